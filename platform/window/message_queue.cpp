// The per-thread queues: what each holds, whether it has something to
// retrieve, and the registry that finds a thread's queue.
#include "message_queue.h"

#include <algorithm>
#include <unordered_map>

#include "platform/kernel/device_clock.h"
#include "platform/kernel/thread.h"
#include "window.h"

namespace platform::window {

namespace {

bool isKeyMessage(UINT message) { return message >= WM_KEYFIRST && message <= WM_KEYLAST; }
bool isMouseMoveMessage(UINT message) { return message == WM_MOUSEMOVE; }

struct QueueRegistry {
    std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>> byThread;
};

QueueRegistry& registry() {
    static auto* instance = new QueueRegistry;
    return *instance;
}

}  // namespace

bool MessageFilter::allowsMessage(UINT message) const {
    if (first == 0 && last == 0) return true;
    // A reversed range takes everything outside the gap between them.
    if (first <= last) return message >= first && message <= last;
    return message >= first || message <= last;
}

bool MessageFilter::allows(HWND window, UINT message) const {
    if (hwnd && window != hwnd) return false;
    return allowsMessage(message);
}

ThreadQueue::ThreadQueue(std::shared_ptr<kernel::Thread> owner)
    : thread(std::move(owner)), threadId(thread->id()) {}

bool ThreadQueue::signaledFor(const kernel::Thread&) const {
    if (!sent.empty()) return true;
    if (awaitingReply && awaitingReply->done) return true;
    if (waitMask && hasWakeLocked(waitMask, kernel::deviceClock().nowMs())) return true;
    return false;
}

void ThreadQueue::wakeLocked() {
    grantWaiters();
    kernel::wakeThread(*thread);
}

bool ThreadQueue::hasMessageLocked(const MessageFilter& filter, uint64_t nowMs) const {
    for (const auto& queued : posted)
        if (filter.allows(queued.msg.hwnd, queued.msg.message)) return true;
    for (const auto& queued : input)
        if (filter.allows(queued.msg.hwnd, queued.msg.message)) return true;
    if (quitPosted && filter.allowsMessage(WM_QUIT)) return true;
    if (filter.allowsMessage(WM_PAINT)) {
        if (filter.hwnd ? std::find(paintPending.begin(), paintPending.end(), filter.hwnd) != paintPending.end()
                        : !paintPending.empty())
            return true;
    }
    for (const auto& timer : timers)
        if (timer.dueMs <= nowMs && filter.allows(timer.hwnd, WM_TIMER)) return true;
    return false;
}

DWORD ThreadQueue::statusLocked(uint64_t nowMs) const {
    DWORD status = 0;
    if (!sent.empty()) status |= QS_SENDMESSAGE;
    if (postedHotkeys > 0) status |= QS_HOTKEY;
    if (posted.size() > postedHotkeys || quitPosted) status |= QS_POSTMESSAGE;
    for (const auto& queued : input) {
        if (isKeyMessage(queued.msg.message)) status |= QS_KEY;
        else if (isMouseMoveMessage(queued.msg.message)) status |= QS_MOUSEMOVE;
        else status |= QS_MOUSEBUTTON;
    }
    if (!paintPending.empty()) status |= QS_PAINT;
    for (const auto& timer : timers)
        if (timer.dueMs <= nowMs) status |= QS_TIMER;
    return status;
}

bool ThreadQueue::hasWakeLocked(DWORD mask, uint64_t nowMs) const { return (statusLocked(nowMs) & mask) != 0; }

uint64_t ThreadQueue::nextTimerDueLocked() const {
    uint64_t next = UINT64_MAX;
    for (const auto& timer : timers) next = std::min(next, timer.dueMs);
    return next;
}

void ThreadQueue::addPaintPendingLocked(HWND window) {
    if (std::find(paintPending.begin(), paintPending.end(), window) != paintPending.end()) return;
    paintPending.push_back(window);
    wakeLocked();
}

void ThreadQueue::removePaintPendingLocked(HWND window) { std::erase(paintPending, window); }

std::shared_ptr<ThreadQueue> currentQueue() {
    auto thread = kernel::currentThreadPtr();
    WindowLock lock(windowLock());
    auto& slot = registry().byThread[thread->id()];
    if (!slot || slot->thread != thread) slot = std::make_shared<ThreadQueue>(thread);
    return slot;
}

std::shared_ptr<ThreadQueue> queueOfThread(DWORD threadId) {
    WindowLock lock(windowLock());
    auto it = registry().byThread.find(threadId);
    if (it == registry().byThread.end()) return nullptr;
    if (queueEnded(*it->second)) return nullptr;
    return it->second;
}

std::vector<std::shared_ptr<ThreadQueue>> allQueues() {
    WindowLock lock(windowLock());
    std::vector<std::shared_ptr<ThreadQueue>> result;
    for (auto it = registry().byThread.begin(); it != registry().byThread.end();) {
        if (queueEnded(*it->second)) {
            it = registry().byThread.erase(it);
            continue;
        }
        result.push_back(it->second);
        ++it;
    }
    return result;
}

bool queueEnded(const ThreadQueue& queue) {
    kernel::KernelLock lock(kernel::kernelLock());
    return queue.thread->exited();
}

}  // namespace platform::window
