#include "scheduler.h"

#include <algorithm>

#include "device_clock.h"
#include "process.h"
#include "thread.h"

namespace platform::kernel {

std::mutex& kernelLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}

void notifyIdleWatchers();  // process.cpp

namespace {

uint64_t deadlineFor(DWORD timeoutMs) {
    if (timeoutMs == INFINITE) return UINT64_MAX;
    return deviceClock().nowMs() + timeoutMs;
}

// Blocks on the thread's condition variable until woken or the deadline; false
// once the deadline has passed. The kernel lock is held around it.
bool waitStep(Thread& self, KernelLock& lock, std::condition_variable& cv, uint64_t deadline) {
    if (deadline == UINT64_MAX) {
        cv.wait(lock);
        return true;
    }
    if (deviceClock().nowMs() >= deadline) return false;
    cv.wait_until(lock, deviceClock().hostTimeAt(deadline));
    (void)self;
    return deviceClock().nowMs() < deadline;
}

}  // namespace

void Waitable::grantWaiters() {
    // Waiters in arrival order; a grant may end the object's signalled state.
    for (Thread* waiter : std::vector<Thread*>(waiters_)) {
        if (waiter->grantedIndex_ >= 0) continue;
        if (!signaledFor(*waiter)) {
            continue;
        }
        auto& objects = waiter->waitObjects_;
        auto it = std::find(objects.begin(), objects.end(), this);
        if (it == objects.end()) continue;
        acquireFor(*waiter);
        waiter->grantedIndex_ = static_cast<int>(it - objects.begin());
        waiter->wake_.notify_one();
    }
}

DWORD waitForObjects(std::span<Waitable* const> objects, DWORD timeoutMs) {
    Thread& self = currentThread();
    KernelLock lock(kernelLock());
    self.exitPointLocked(lock);

    for (size_t i = 0; i < objects.size(); ++i) {
        if (objects[i]->signaledFor(self)) {
            objects[i]->acquireFor(self);
            return WAIT_OBJECT_0 + static_cast<DWORD>(i);
        }
    }
    if (timeoutMs == 0) return WAIT_TIMEOUT;

    const uint64_t deadline = deadlineFor(timeoutMs);
    self.waitObjects_ = objects;
    self.grantedIndex_ = -1;
    self.blockKind_ = BlockKind::Objects;
    self.blockDeadlineMs_ = deadline;
    for (Waitable* object : objects) object->waiters_.push_back(&self);
    notifyIdleWatchers();

    auto leave = [&] {
        for (Waitable* object : objects) {
            auto& list = object->waiters_;
            list.erase(std::remove(list.begin(), list.end(), &self), list.end());
        }
        self.waitObjects_ = {};
        self.blockKind_ = BlockKind::None;
        self.blockDeadlineMs_ = UINT64_MAX;
    };

    DWORD result = WAIT_TIMEOUT;
    for (;;) {
        if (self.grantedIndex_ >= 0) {
            result = WAIT_OBJECT_0 + static_cast<DWORD>(self.grantedIndex_);
            break;
        }
        if (self.exitRequested_) break;
        if (!waitStep(self, lock, self.wake_, deadline)) {
            if (self.grantedIndex_ >= 0) continue;
            break;
        }
    }
    self.grantedIndex_ = -1;
    leave();
    if (result == WAIT_TIMEOUT) self.exitPointLocked(lock);
    return result;
}

bool blockUntil(KernelLock& lock, BlockKind kind, const std::function<bool()>& ready,
                DWORD timeoutMs) {
    Thread& self = currentThread();
    self.exitPointLocked(lock);
    if (ready()) return true;
    if (timeoutMs == 0) return false;

    const uint64_t deadline = deadlineFor(timeoutMs);
    self.blockKind_ = kind;
    self.blockReady_ = ready;
    self.blockDeadlineMs_ = deadline;
    notifyIdleWatchers();

    bool satisfied = false;
    for (;;) {
        if (ready()) {
            satisfied = true;
            break;
        }
        if (self.exitRequested_) break;
        if (!waitStep(self, lock, self.wake_, deadline)) {
            satisfied = ready();
            break;
        }
    }
    self.blockKind_ = BlockKind::None;
    self.blockReady_ = nullptr;
    self.blockDeadlineMs_ = UINT64_MAX;
    if (!satisfied) self.exitPointLocked(lock);
    return satisfied;
}

void sleepDevice(DWORD ms) {
    KernelLock lock(kernelLock());
    if (ms == 0) {
        currentThread().exitPointLocked(lock);
        lock.unlock();
        std::this_thread::yield();
        return;
    }
    blockUntil(lock, BlockKind::Sleep, [] { return false; }, ms);
}

void wakeThread(Thread& thread) { thread.wake_.notify_all(); }

void checkForExit() {
    KernelLock lock(kernelLock());
    currentThread().exitPointLocked(lock);
}

}  // namespace platform::kernel
