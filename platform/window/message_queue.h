// Per-thread message queues.
//
// Every thread that uses the window system has one queue. It holds, in the
// order GetMessageW takes them: messages sent from other threads (processed
// before anything is retrieved), posted messages (WM_HOTKEY ahead of the
// rest), input messages (keys and taps), WM_QUIT once the others are gone,
// WM_PAINT for windows with something to paint, and WM_TIMER for timers that
// are due. The queue's message state is guarded by the kernel lock, so that a
// thread blocked for messages (kernel::blockUntil with BlockKind::Messages)
// and the idle rule can look at it; the queue is also a kernel Waitable, for
// a thread waiting for the reply to a send or for messages together with
// objects (MsgWaitForMultipleObjectsEx).
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "platform/kernel/scheduler.h"

namespace platform::kernel {
class Thread;
}

namespace platform::window {

using KeyStateArray = std::array<BYTE, 256>;

// A message sent to another thread's window: the sender waits until the
// receiver's thread has run the window procedure (or ended). A notification
// has no sender and nobody waits for it.
struct SentMessage {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::shared_ptr<class ThreadQueue> sender;
    // Kernel lock held for these.
    bool done = false;
    bool abandoned = false;  // the sender stopped waiting (it is ending)
    LRESULT result = 0;
    // A notification's WINDOWPOS; its lParam points here.
    std::optional<WINDOWPOS> windowPos;
};

struct QueuedMessage {
    MSG msg{};
    // Input messages: the key state after the event, which becomes the
    // retrieving thread's GetKeyState view.
    std::shared_ptr<const KeyStateArray> keyState;
};

struct Timer {
    HWND hwnd = nullptr;
    UINT id = 0;
    UINT interval = 0;
    uint64_t dueMs = 0;
    TIMERPROC proc = nullptr;
};

// The hwnd and message-range filter of GetMessageW and PeekMessageW. A null
// window takes messages of every window of the thread and thread messages; a
// range of 0, 0 takes every message.
struct MessageFilter {
    HWND hwnd = nullptr;
    UINT first = 0;
    UINT last = 0;
    bool allowsMessage(UINT message) const;
    bool allows(HWND window, UINT message) const;
};

class ThreadQueue final : public kernel::Waitable {
public:
    explicit ThreadQueue(std::shared_ptr<kernel::Thread> thread);

    std::string_view kindName() const override { return "message queue"; }
    // Only the owning thread waits on its queue: for the reply it awaits, for
    // incoming sends, and in MsgWaitForMultipleObjectsEx for its wake mask.
    bool signaledFor(const kernel::Thread& waiter) const override;

    const std::shared_ptr<kernel::Thread> thread;
    const DWORD threadId;

    // ---- kernel lock held ----
    std::deque<std::shared_ptr<SentMessage>> sent;
    std::deque<QueuedMessage> posted;
    size_t postedHotkeys = 0;  // how many WM_HOTKEY lead the posted messages
    std::deque<QueuedMessage> input;
    bool quitPosted = false;
    int quitCode = 0;
    std::vector<HWND> paintPending;  // windows with an update region or a stale frame
    std::vector<Timer> timers;
    std::shared_ptr<SentMessage> awaitingReply;
    DWORD waitMask = 0;  // while in MsgWaitForMultipleObjectsEx

    // Wakes the owning thread so that it looks at its queue again.
    void wakeLocked();
    bool hasMessageLocked(const MessageFilter& filter, uint64_t nowMs) const;
    bool hasWakeLocked(DWORD mask, uint64_t nowMs) const;  // QS_* bits
    DWORD statusLocked(uint64_t nowMs) const;              // QS_* bits present
    uint64_t nextTimerDueLocked() const;                   // UINT64_MAX without timers
    void addPaintPendingLocked(HWND window);
    void removePaintPendingLocked(HWND window);

    // ---- window lock held ----
    HWND active = nullptr;
    HWND focus = nullptr;
    HWND capture = nullptr;

    // ---- the owning thread only ----
    KeyStateArray keyState{};
    bool keyStateSet = false;  // a key message was retrieved; else the asynchronous state shows
    int inSend = 0;            // processing a message sent by another thread
    DWORD lastMessagePos = 0;
    DWORD lastMessageTime = 0;
};

// The calling thread's queue, made on first use.
std::shared_ptr<ThreadQueue> currentQueue();
// The queue of a live thread, if it has one.
std::shared_ptr<ThreadQueue> queueOfThread(DWORD threadId);
// Every queue whose thread is alive.
std::vector<std::shared_ptr<ThreadQueue>> allQueues();
// Whether the queue's thread has ended.
bool queueEnded(const ThreadQueue& queue);

}  // namespace platform::window
