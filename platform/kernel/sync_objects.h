// Mutexes and events, and the one system-wide namespace of named objects.
#pragma once

#include <windef.h>

#include <memory>
#include <mutex>
#include <string>

#include "scheduler.h"

namespace platform::kernel {

class Thread;

// A named object keeps its name in the namespace while it lives.
class NamedWaitable : public Waitable {
public:
    ~NamedWaitable() override;
    const std::u16string& name() const { return name_; }

private:
    friend class ObjectNamespace;
    std::u16string name_;
};

class Mutex final : public NamedWaitable {
public:
    std::string_view kindName() const override { return "mutex"; }
    bool signaledFor(const Thread& waiter) const override;
    void acquireFor(Thread& waiter) override;
    // Kernel lock held. False when the caller does not own the mutex.
    bool release(Thread& caller);

private:
    std::weak_ptr<Thread> owner_;
    DWORD recursion_ = 0;
};

class Event final : public NamedWaitable {
public:
    Event(bool manualReset, bool initialState) : manualReset_(manualReset), signaled_(initialState) {}
    std::string_view kindName() const override { return "event"; }
    bool signaledFor(const Thread&) const override { return signaled_; }
    void acquireFor(Thread&) override {
        if (!manualReset_) signaled_ = false;
    }
    // Kernel lock held for these.
    void set();
    void reset() { signaled_ = false; }
    void pulse();
    DWORD data() const { return data_; }
    void setData(DWORD data) { data_ = data; }

private:
    const bool manualReset_;
    bool signaled_;
    DWORD data_ = 0;
};

// Looks up or creates a named object. Returns the object and whether it existed;
// null when the name belongs to an object of another kind.
class ObjectNamespace {
public:
    template <class T, class Make>
    std::shared_ptr<T> openOrCreate(const std::u16string& name, bool& existed, bool& wrongKind, Make make);
    template <class T>
    std::shared_ptr<T> open(const std::u16string& name, bool& wrongKind);

    void forget(NamedWaitable& object);

private:
    std::shared_ptr<NamedWaitable> findLocked(const std::u16string& name);

    std::mutex mutex_;
    std::vector<std::weak_ptr<NamedWaitable>> objects_;
};

ObjectNamespace& objectNamespace();

// ---- template members ----
template <class T, class Make>
std::shared_ptr<T> ObjectNamespace::openOrCreate(const std::u16string& name, bool& existed, bool& wrongKind,
                                                 Make make) {
    std::lock_guard lock(mutex_);
    existed = false;
    wrongKind = false;
    if (auto found = findLocked(name)) {
        existed = true;
        auto typed = std::dynamic_pointer_cast<T>(found);
        wrongKind = !typed;
        return typed;
    }
    std::shared_ptr<T> created = make();
    created->name_ = name;
    objects_.push_back(created);
    return created;
}

template <class T>
std::shared_ptr<T> ObjectNamespace::open(const std::u16string& name, bool& wrongKind) {
    std::lock_guard lock(mutex_);
    auto found = findLocked(name);
    auto typed = std::dynamic_pointer_cast<T>(found);
    wrongKind = found && !typed;
    return typed;
}

}  // namespace platform::kernel
