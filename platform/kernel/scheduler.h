// How device threads wait.
//
// One kernel lock guards the state of every waitable object and every wait, so
// that a wait on several objects and the signalling of any of them are atomic.
// A thread that waits registers with each object; when an object becomes
// signalled it grants itself to its waiters in the order they came (an
// auto-reset event or a mutex to the first one only). Waits end on a grant, on
// the device-clock deadline, or when the thread's process is ending: every wait
// and sleep is a point at which an ending thread leaves (by ThreadExit).
#pragma once

#include <winbase.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <vector>

#include "kernel_object.h"

namespace platform::kernel {

class Thread;

// The kernel lock. Held only briefly; never held while calling device code.
std::mutex& kernelLock();
using KernelLock = std::unique_lock<std::mutex>;

// Thrown at a wait point to unwind a thread that ExitThread, ExitProcess or the
// end of its process stops; caught by the thread's start routine.
struct ThreadExit {
    DWORD exitCode;
};

class Waitable : public KernelObject {
public:
    // Kernel lock held for all of these.
    virtual bool signaledFor(const Thread& waiter) const = 0;
    // Takes the object for the waiter that it satisfies (resets an auto-reset
    // event, takes a mutex).
    virtual void acquireFor(Thread& waiter) { (void)waiter; }

    // Call after the object became signalled (kernel lock held).
    void grantWaiters();

private:
    friend class Thread;
    friend DWORD waitForObjects(std::span<Waitable* const>, DWORD);
    std::vector<Thread*> waiters_;
};

// What a blocked thread waits for; it decides whether the device is idle.
enum class BlockKind { None, Objects, Sleep, Messages, Suspended };

// Waits for any of the objects (lowest index wins when several are signalled).
// Returns WAIT_OBJECT_0 + index or WAIT_TIMEOUT. Leaves by ThreadExit when the
// thread is being ended. timeoutMs is device time, INFINITE for no limit.
DWORD waitForObjects(std::span<Waitable* const> objects, DWORD timeoutMs);

// Sleeps for device time; a wait point.
void sleepDevice(DWORD ms);

// Blocks the calling thread until ready() holds (checked with the kernel lock
// held), the deadline passes, or the thread is ended. Used by message queues,
// which call wakeThread() when they change. Returns false on timeout.
bool blockUntil(KernelLock& lock, BlockKind kind, const std::function<bool()>& ready,
                DWORD timeoutMs);

// Wakes a thread blocked in blockUntil so that it re-checks its condition.
void wakeThread(Thread& thread);

// A wait point that does not block: leaves by ThreadExit if the thread is ending.
void checkForExit();

}  // namespace platform::kernel
