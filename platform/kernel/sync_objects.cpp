#include "sync_objects.h"

#include <algorithm>

#include "thread.h"

namespace platform::kernel {

NamedWaitable::~NamedWaitable() {
    if (!name_.empty()) objectNamespace().forget(*this);
}

bool Mutex::signaledFor(const Thread& waiter) const {
    auto owner = owner_.lock();
    // A mutex whose owner ended without releasing it is free again.
    return !owner || owner->exited() || owner.get() == &waiter;
}

void Mutex::acquireFor(Thread& waiter) {
    auto owner = owner_.lock();
    if (owner.get() == &waiter && !owner->exited()) {
        ++recursion_;
        return;
    }
    owner_ = std::static_pointer_cast<Thread>(waiter.shared_from_this());
    recursion_ = 1;
    waiter.heldObjects.push_back(std::static_pointer_cast<Waitable>(shared_from_this()));
}

bool Mutex::release(Thread& caller) {
    auto owner = owner_.lock();
    if (owner.get() != &caller || recursion_ == 0) return false;
    if (--recursion_ == 0) {
        owner_.reset();
        std::erase_if(caller.heldObjects, [this](const std::weak_ptr<Waitable>& held) {
            auto object = held.lock();
            return !object || object.get() == this;
        });
        grantWaiters();
    }
    return true;
}

void Event::set() {
    signaled_ = true;
    grantWaiters();
}

void Event::pulse() {
    signaled_ = true;
    grantWaiters();
    signaled_ = false;
}

std::shared_ptr<NamedWaitable> ObjectNamespace::findLocked(const std::u16string& name) {
    for (auto& weak : objects_)
        if (auto object = weak.lock(); object && object->name_ == name) return object;
    return nullptr;
}

void ObjectNamespace::forget(NamedWaitable& object) {
    std::lock_guard lock(mutex_);
    // The dying object's weak entry has expired; drop every expired entry.
    (void)object;
    std::erase_if(objects_, [](const std::weak_ptr<NamedWaitable>& weak) { return weak.expired(); });
}

ObjectNamespace& objectNamespace() {
    static ObjectNamespace* names = new ObjectNamespace;
    return *names;
}

}  // namespace platform::kernel
