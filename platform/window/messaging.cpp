// Sending across threads, posting, and taking messages off a queue in the
// platform's order.
#include "messaging.h"

#include <algorithm>

#include "input.h"
#include "platform/kernel/device_clock.h"
#include "platform/kernel/handle_table.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/thread.h"
#include "window.h"

namespace platform::window {

namespace {

// A queue refuses further posted messages beyond this, as the platform does, so
// that a program posting in a loop to a thread that never reads cannot take
// all memory.
constexpr size_t kPostedLimit = 10000;

bool isOwnThread(const Window& window) { return window.threadId == kernel::currentThread().id(); }

// Finishes a sent message with its result and wakes the sender (kernel lock held).
void completeLocked(SentMessage& sent, LRESULT result) {
    sent.result = result;
    sent.done = true;
    if (sent.sender) sent.sender->wakeLocked();
}

// Queues a message for another thread's window; null when that thread has ended.
std::shared_ptr<SentMessage> queueSent(ThreadQueue& target, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       std::shared_ptr<ThreadQueue> sender, std::optional<WINDOWPOS> windowPos) {
    auto sent = std::make_shared<SentMessage>();
    sent->hwnd = hwnd;
    sent->message = message;
    sent->wParam = wParam;
    sent->lParam = lParam;
    sent->sender = std::move(sender);
    sent->windowPos = windowPos;
    kernel::KernelLock lock(kernel::kernelLock());
    if (target.thread->exited()) return nullptr;
    target.sent.push_back(sent);
    target.wakeLocked();
    return sent;
}

LRESULT sendToOtherThread(const std::shared_ptr<ThreadQueue>& target, HWND hwnd, UINT message,
                          WPARAM wParam, LPARAM lParam) {
    auto self = currentQueue();
    auto sent = queueSent(*target, hwnd, message, wParam, lParam, self, std::nullopt);
    if (!sent) return 0;

    // If the sender leaves (its process ends) before the reply, the receiver
    // must not run a message whose parameters may point into a dead stack.
    struct Withdraw {
        const std::shared_ptr<ThreadQueue>& target;
        const std::shared_ptr<SentMessage>& sent;
        std::shared_ptr<SentMessage> previousAwait;
        ThreadQueue& self;
        ~Withdraw() {
            kernel::KernelLock lock(kernel::kernelLock());
            self.awaitingReply = previousAwait;
            if (!sent->done) {
                sent->abandoned = true;
                std::erase(target->sent, sent);
            }
        }
    } withdraw{target, sent, self->awaitingReply, *self};

    for (;;) {
        processSentMessages();
        {
            kernel::KernelLock lock(kernel::kernelLock());
            if (sent->done) return sent->result;
            self->awaitingReply = sent;
        }
        kernel::Waitable* objects[] = {self.get(), target->thread.get()};
        DWORD woke = kernel::waitForObjects(objects, INFINITE);
        if (woke == WAIT_OBJECT_0 + 1) {
            kernel::KernelLock lock(kernel::kernelLock());
            return sent->done ? sent->result : 0;  // the receiver's thread ended
        }
    }
}

bool takePosted(ThreadQueue& queue, MSG& msg, const MessageFilter& filter, bool remove) {
    for (size_t i = 0; i < queue.posted.size(); ++i) {
        const QueuedMessage& queued = queue.posted[i];
        if (!filter.allows(queued.msg.hwnd, queued.msg.message)) continue;
        msg = queued.msg;
        if (remove) {
            if (i < queue.postedHotkeys) --queue.postedHotkeys;
            queue.posted.erase(queue.posted.begin() + static_cast<long>(i));
        }
        return true;
    }
    return false;
}

bool takeInput(ThreadQueue& queue, MSG& msg, const MessageFilter& filter, bool remove) {
    for (auto it = queue.input.begin(); it != queue.input.end(); ++it) {
        if (!filter.allows(it->msg.hwnd, it->msg.message)) continue;
        msg = it->msg;
        if (remove) {
            if (it->keyState) {
                queue.keyState = *it->keyState;
                queue.keyStateSet = true;
            }
            queue.input.erase(it);
        }
        return true;
    }
    return false;
}

// The window to paint next: parents before children, windows in Z order.
bool takePaint(ThreadQueue& queue, MSG& msg, const MessageFilter& filter) {
    if (queue.paintPending.empty() || !filter.allowsMessage(WM_PAINT)) return false;
    std::erase_if(queue.paintPending, [](HWND hwnd) {
        auto window = kernel::handleTable().lookupAs<Window>(hwnd);
        return !window || window->destroyed;
    });
    for (const auto& window : allWindows()) {
        if (window->queue.get() != &queue) continue;
        if (filter.hwnd && window->handle != filter.hwnd) continue;
        if (std::find(queue.paintPending.begin(), queue.paintPending.end(), window->handle) ==
            queue.paintPending.end())
            continue;
        msg = makeMessage(window->handle, WM_PAINT, 0, 0);
        return true;
    }
    return false;
}

bool takeTimer(ThreadQueue& queue, MSG& msg, const MessageFilter& filter, bool remove, uint64_t now) {
    Timer* due = nullptr;
    for (auto& timer : queue.timers)
        if (timer.dueMs <= now && filter.allows(timer.hwnd, WM_TIMER) && (!due || timer.dueMs < due->dueMs))
            due = &timer;
    if (!due) return false;
    msg = makeMessage(due->hwnd, WM_TIMER, due->id, reinterpret_cast<LPARAM>(due->proc));
    if (remove) due->dueMs = now + due->interval;
    return true;
}

bool takeMessage(ThreadQueue& queue, MSG& msg, const MessageFilter& filter, bool remove) {
    WindowLock windows(windowLock());
    kernel::KernelLock lock(kernel::kernelLock());
    const uint64_t now = kernel::deviceClock().nowMs();
    if (takePosted(queue, msg, filter, remove)) return true;
    if (takeInput(queue, msg, filter, remove)) return true;
    if (queue.quitPosted && filter.allowsMessage(WM_QUIT)) {
        msg = makeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0);
        if (remove) queue.quitPosted = false;
        return true;
    }
    if (takePaint(queue, msg, filter)) return true;
    return takeTimer(queue, msg, filter, remove, now);
}

// When the next timer that the filter takes comes due (kernel lock held).
DWORD timeoutUntilTimer(const ThreadQueue& queue, const MessageFilter& filter) {
    uint64_t next = UINT64_MAX;
    for (const auto& timer : queue.timers)
        if (filter.allows(timer.hwnd, WM_TIMER)) next = std::min(next, timer.dueMs);
    if (next == UINT64_MAX) return INFINITE;
    uint64_t now = kernel::deviceClock().nowMs();
    if (next <= now) return 0;
    return static_cast<DWORD>(std::min<uint64_t>(next - now, INFINITE - 1));
}

}  // namespace

MSG makeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = hwnd;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = static_cast<DWORD>(kernel::deviceClock().nowMs());
    msg.pt = lastPointerPosition();
    return msg;
}

LRESULT callWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc;
    {
        WindowLock lock(windowLock());
        auto window = findWindow(hwnd);
        if (!window) return 0;
        proc = window->proc;
    }
    if (!proc) return DefWindowProcW(hwnd, message, wParam, lParam);
    return proc(hwnd, message, wParam, lParam);
}

LRESULT sendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<ThreadQueue> target;
    {
        WindowLock lock(windowLock());
        auto window = resolveWindow(hwnd);
        if (!window) return 0;
        if (!window->queue) return 0;  // the root window answers nothing
        if (!isOwnThread(*window)) target = window->queue;
    }
    if (!target) return callWindowProcedure(hwnd, message, wParam, lParam);
    return sendToOtherThread(target, hwnd, message, wParam, lParam);
}

void notifyWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                  std::optional<WINDOWPOS> windowPos) {
    std::shared_ptr<ThreadQueue> target;
    {
        WindowLock lock(windowLock());
        auto window = findWindow(hwnd);
        if (!window || !window->queue) return;
        if (!isOwnThread(*window)) target = window->queue;
    }
    if (!target) {
        if (windowPos) lParam = reinterpret_cast<LPARAM>(&*windowPos);
        callWindowProcedure(hwnd, message, wParam, lParam);
        return;
    }
    queueSent(*target, hwnd, message, wParam, lParam, nullptr, windowPos);
}

bool postToWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<ThreadQueue> target;
    if (!hwnd) {
        target = currentQueue();
    } else {
        WindowLock lock(windowLock());
        auto window = findWindow(hwnd);
        if (!window) {
            kernel::setLastError(ERROR_INVALID_WINDOW_HANDLE);
            return false;
        }
        if (!window->queue) return true;  // the root window takes and drops it
        target = window->queue;
    }
    kernel::KernelLock lock(kernel::kernelLock());
    if (target->posted.size() >= kPostedLimit) {
        kernel::setLastError(ERROR_NOT_ENOUGH_QUOTA);
        return false;
    }
    target->posted.push_back(QueuedMessage{makeMessage(hwnd, message, wParam, lParam), nullptr});
    target->wakeLocked();
    return true;
}

void postInput(ThreadQueue& queue, const MSG& msg, std::shared_ptr<const KeyStateArray> keyState) {
    kernel::KernelLock lock(kernel::kernelLock());
    queue.input.push_back(QueuedMessage{msg, std::move(keyState)});
    queue.wakeLocked();
}

void postHotkey(ThreadQueue& queue, HWND hwnd, WPARAM id, LPARAM modifiersAndKey) {
    kernel::KernelLock lock(kernel::kernelLock());
    auto at = queue.posted.begin() + static_cast<long>(queue.postedHotkeys);
    queue.posted.insert(at, QueuedMessage{makeMessage(hwnd, WM_HOTKEY, id, modifiersAndKey), nullptr});
    ++queue.postedHotkeys;
    queue.wakeLocked();
}

void processSentMessages() {
    auto self = currentQueue();
    for (;;) {
        std::shared_ptr<SentMessage> sent;
        {
            kernel::KernelLock lock(kernel::kernelLock());
            if (self->sent.empty()) return;
            sent = self->sent.front();
            self->sent.pop_front();
            if (sent->abandoned) continue;
        }
        LPARAM lParam = sent->windowPos ? reinterpret_cast<LPARAM>(&*sent->windowPos) : sent->lParam;
        struct Reply {
            SentMessage& sent;
            ThreadQueue& self;
            LRESULT result = 0;
            ~Reply() {
                --self.inSend;
                kernel::KernelLock lock(kernel::kernelLock());
                completeLocked(sent, result);
            }
        } reply{*sent, *self};
        ++self->inSend;
        reply.result = callWindowProcedure(sent->hwnd, sent->message, sent->wParam, lParam);
    }
}

bool nextMessage(MSG& msg, const MessageFilter& filter, UINT removeFlags, bool block) {
    auto self = currentQueue();
    const bool remove = (removeFlags & PM_REMOVE) != 0;
    for (;;) {
        processSentMessages();
        if (takeMessage(*self, msg, filter, remove)) {
            self->lastMessagePos = static_cast<DWORD>(MAKELONG(msg.pt.x, msg.pt.y));
            self->lastMessageTime = msg.time;
            return true;
        }
        kernel::KernelLock lock(kernel::kernelLock());
        if (!block) {
            lock.unlock();
            kernel::checkForExit();
            return false;
        }
        ThreadQueue& queue = *self;
        kernel::blockUntil(
            lock, kernel::BlockKind::Messages,
            [&queue, &filter] {
                return !queue.sent.empty() || queue.hasMessageLocked(filter, kernel::deviceClock().nowMs());
            },
            timeoutUntilTimer(queue, filter));
    }
}

void purgeWindowMessages(ThreadQueue& queue, HWND hwnd) {
    kernel::KernelLock lock(kernel::kernelLock());
    for (size_t i = queue.posted.size(); i-- > 0;) {
        if (queue.posted[i].msg.hwnd != hwnd) continue;
        if (i < queue.postedHotkeys) --queue.postedHotkeys;
        queue.posted.erase(queue.posted.begin() + static_cast<long>(i));
    }
    std::erase_if(queue.input, [&](const QueuedMessage& queued) { return queued.msg.hwnd == hwnd; });
    std::erase_if(queue.timers, [&](const Timer& timer) { return timer.hwnd == hwnd; });
    queue.removePaintPendingLocked(hwnd);
}

}  // namespace platform::window
