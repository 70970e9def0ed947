#include "thread.h"

#include "device_clock.h"
#include "handle_table.h"
#include "process.h"

namespace platform::kernel {

void notifyIdleWatchers();          // process.cpp
void threadLeft(Thread& thread);    // process.cpp

namespace {
thread_local std::shared_ptr<Thread> tlsCurrent;
}

Thread::Thread(DWORD id, std::shared_ptr<Process> process) : id_(id), process_(std::move(process)) {}

Thread::~Thread() {
    if (host.joinable()) host.detach();
}

bool Thread::idle() const {
    if (exited_) return true;
    if (suspendCount_ > 0 && blockKind_ == BlockKind::Suspended) return true;
    if (blockKind_ == BlockKind::None) return false;
    if (exitRequested_) return false;
    if (blockDeadlineMs_ != UINT64_MAX && deviceClock().nowMs() >= blockDeadlineMs_) return false;
    switch (blockKind_) {
        case BlockKind::Objects:
            if (grantedIndex_ >= 0) return false;
            for (Waitable* object : waitObjects_)
                if (object->signaledFor(*this)) return false;
            break;
        case BlockKind::Messages:
            return !(blockReady_ && blockReady_());
        default:
            if (blockReady_ && blockReady_()) return false;
            break;
    }
    return windowCount.load() == 0;
}

void Thread::requestExit(DWORD exitCode) {
    if (exited_) return;
    if (!exitRequested_) {
        exitRequested_ = true;
        requestedExitCode_ = exitCode;
    }
    wake_.notify_all();
}

DWORD Thread::suspend() {
    DWORD previous = suspendCount_;
    if (suspendCount_ < 127) ++suspendCount_;
    wake_.notify_all();
    return previous;
}

DWORD Thread::resume() {
    DWORD previous = suspendCount_;
    if (suspendCount_ > 0) --suspendCount_;
    if (suspendCount_ == 0) wake_.notify_all();
    return previous;
}

void Thread::exitPointLocked(KernelLock& lock) {
    // A suspended thread stops here until resumed (or ended).
    if (suspendCount_ > 0 && !exitRequested_) {
        BlockKind saved = blockKind_;
        blockKind_ = BlockKind::Suspended;
        notifyIdleWatchers();
        wake_.wait(lock, [&] { return suspendCount_ == 0 || exitRequested_; });
        blockKind_ = saved;
    }
    if (exitRequested_) throw ThreadExit{requestedExitCode_};
}

void Thread::markExited(DWORD exitCode) {
    exited_ = true;
    exitCode_ = exitCode;
    blockKind_ = BlockKind::None;
    for (auto& weak : heldObjects)
        if (auto object = weak.lock()) object->grantWaiters();
    heldObjects.clear();
    grantWaiters();
}

Thread& currentThread() { return *currentThreadPtr(); }

std::shared_ptr<Thread> currentThreadPtr() {
    if (!tlsCurrent) {
        // A host thread the platform did not start joins the host process.
        auto thread = createThreadObject(hostProcessPtr());
        thread->adopted = true;
        tlsCurrent = thread;
    }
    return tlsCurrent;
}

void runThread(std::shared_ptr<Thread> thread, std::function<DWORD()> body) {
    tlsCurrent = thread;
    DWORD exitCode = 0;
    try {
        {
            KernelLock lock(kernelLock());
            thread->exitPointLocked(lock);  // CREATE_SUSPENDED waits here
        }
        exitCode = body();
    } catch (const ThreadExit& exit) {
        exitCode = exit.exitCode;
    }
    {
        KernelLock lock(kernelLock());
        thread->markExited(exitCode);
        threadLeft(*thread);
        notifyIdleWatchers();
    }
    tlsCurrent.reset();
}

}  // namespace platform::kernel

namespace platform::kernel {
void startThread(const std::shared_ptr<Thread>& thread, std::function<DWORD()> body) {
    KernelLock lock(kernelLock());
    thread->host = std::thread(runThread, thread, std::move(body));
    // Threads of the host process are never reaped; they run on their own.
    if (&thread->process() == &hostProcess()) thread->host.detach();
}
}  // namespace platform::kernel
