// A device thread: a host thread started by CreateThread or by a process's start,
// or a host thread adopted by the host process when it first calls the platform.
#pragma once

#include <winbase.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <thread>
#include <vector>

#include "scheduler.h"

namespace platform::kernel {

class Process;

class Thread final : public Waitable {
public:
    Thread(DWORD id, std::shared_ptr<Process> process);
    ~Thread() override;

    std::string_view kindName() const override { return "thread"; }
    bool signaledFor(const Thread&) const override { return exited_; }

    DWORD id() const { return id_; }
    Process& process() const { return *process_; }
    const std::shared_ptr<Process>& processPtr() const { return process_; }

    // Kernel lock held for the state below.
    bool exited() const { return exited_; }
    DWORD exitCode() const { return exitCode_; }
    int priority() const { return priority_; }
    void setPriority(int priority) { priority_ = priority; }
    BlockKind blockKind() const { return blockKind_; }
    uint64_t blockDeadlineMs() const { return blockDeadlineMs_; }

    // Whether this thread counts as idle for the simulator (kernel lock held).
    bool idle() const;

    // Windows owned by the thread (kept by the window system); a thread that owns
    // windows is idle only while it waits for messages.
    std::atomic<int> windowCount{0};

    // Asks the thread to leave at its next wait point with the given code.
    void requestExit(DWORD exitCode);
    bool exitRequested() const { return exitRequested_; }

    DWORD suspend();  // returns the previous suspend count (kernel lock held)
    DWORD resume();   // kernel lock held

    // Objects the thread holds (mutexes); they are offered to their waiters when
    // the thread ends (kernel lock held).
    std::vector<std::weak_ptr<Waitable>> heldObjects;

private:
    friend DWORD waitForObjects(std::span<Waitable* const>, DWORD);
    friend bool blockUntil(KernelLock&, BlockKind, const std::function<bool()>&, DWORD);
    friend void wakeThread(Thread&);
    friend void checkForExit();
    friend void sleepDevice(DWORD);
    friend class Waitable;
    friend class Process;
    friend void runThread(std::shared_ptr<Thread>, std::function<DWORD()>);
    friend Thread& currentThread();

    void markExited(DWORD exitCode);  // kernel lock held
    // Leaves by ThreadExit if an exit was requested, after waiting out a suspension.
    void exitPointLocked(KernelLock& lock);

    const DWORD id_;
    const std::shared_ptr<Process> process_;
    std::condition_variable wake_;
    bool exited_ = false;
    DWORD exitCode_ = STILL_ACTIVE;
    int priority_ = THREAD_PRIORITY_NORMAL;
    bool exitRequested_ = false;
    DWORD requestedExitCode_ = 0;
    DWORD suspendCount_ = 0;
    BlockKind blockKind_ = BlockKind::None;
    std::function<bool()> blockReady_;  // what the blocked thread waits for
    uint64_t blockDeadlineMs_ = UINT64_MAX;

    // The current wait on objects.
    std::span<Waitable* const> waitObjects_;
    int grantedIndex_ = -1;

public:
    std::thread host;  // the host thread, joined when its process is reaped
    bool adopted = false;
};

// The calling thread (adopting a host thread into the host process if needed).
Thread& currentThread();
std::shared_ptr<Thread> currentThreadPtr();

// Runs body as the given device thread on the calling host thread: sets the
// current thread, catches ThreadExit, marks the thread ended.
void runThread(std::shared_ptr<Thread> thread, std::function<DWORD()> body);

// Starts the host thread that runs body as the device thread. The kernel lock is
// held while the host thread is made, so the thread cannot end (and be reaped)
// before its host object is in place.
void startThread(const std::shared_ptr<Thread>& thread, std::function<DWORD()> body);

}  // namespace platform::kernel
