// GetMessageW, PeekMessageW, PostMessageW, PostThreadMessageW, SendMessageW,
// SendNotifyMessageW, PostQuitMessage, TranslateMessage, DispatchMessageW,
// the queue queries and MsgWaitForMultipleObjectsEx.
#include <algorithm>
#include <vector>

#include "input.h"
#include "keyboard.h"
#include "messaging.h"
#include "paint.h"
#include "platform/kernel/device_clock.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/thread.h"
#include "platform/kernel/wait_handles.h"
#include "window.h"

using namespace platform::window;
using platform::kernel::setLastError;

namespace {

// Messages whose parameters point into the sender's memory cannot wait in a
// queue; the platform refuses to post them.
bool needsSend(UINT message) {
    switch (message) {
        case WM_CREATE:
        case WM_NCCREATE:
        case WM_SETTEXT:
        case WM_GETTEXT:
        case WM_WINDOWPOSCHANGING:
        case WM_WINDOWPOSCHANGED:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_DELETEITEM:
        case WM_COMPAREITEM:
        case WM_STYLECHANGING:
        case WM_STYLECHANGED:
        case WM_NOTIFY:
            return true;
        default:
            return false;
    }
}

// Checks GetMessageW's and PeekMessageW's window filter: one of the calling thread's windows.
bool validFilterWindow(HWND hwnd) { return !hwnd || resolveOwnWindow(hwnd); }

std::vector<HWND> topLevelHandles() {
    WindowLock lock(windowLock());
    std::vector<HWND> handles;
    for (auto& window : topLevelWindows()) handles.push_back(window->handle);
    return handles;
}

bool ownsTimer(HWND hwnd, UINT id, TIMERPROC proc) {
    auto queue = currentQueue();
    platform::kernel::KernelLock lock(platform::kernel::kernelLock());
    return std::any_of(queue->timers.begin(), queue->timers.end(), [&](const Timer& timer) {
        return timer.hwnd == hwnd && timer.id == id && timer.proc == proc;
    });
}

}  // namespace

extern "C" {

BOOL WINAPI GetMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    if (!lpMsg) {
        setLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (!validFilterWindow(hWnd)) return -1;
    nextMessage(*lpMsg, MessageFilter{hWnd, wMsgFilterMin, wMsgFilterMax}, PM_REMOVE, true);
    return lpMsg->message != WM_QUIT;
}

BOOL WINAPI PeekMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
    if (!lpMsg) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!validFilterWindow(hWnd)) return FALSE;
    return nextMessage(*lpMsg, MessageFilter{hWnd, wMsgFilterMin, wMsgFilterMax}, wRemoveMsg, false);
}

BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (needsSend(Msg)) {
        setLastError(ERROR_MESSAGE_SYNC_ONLY);
        return FALSE;
    }
    if (hWnd == HWND_BROADCAST) {
        for (HWND hwnd : topLevelHandles()) postToWindow(hwnd, Msg, wParam, lParam);
        return TRUE;
    }
    return postToWindow(hWnd, Msg, wParam, lParam);
}

BOOL WINAPI PostThreadMessageW(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (needsSend(Msg)) {
        setLastError(ERROR_MESSAGE_SYNC_ONLY);
        return FALSE;
    }
    auto queue = idThread == platform::kernel::currentThread().id() ? currentQueue() : queueOfThread(idThread);
    if (!queue) {
        setLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    const MSG msg = makeMessage(nullptr, Msg, wParam, lParam);
    platform::kernel::KernelLock lock(platform::kernel::kernelLock());
    queue->posted.push_back(QueuedMessage{msg, nullptr});
    queue->wakeLocked();
    return TRUE;
}

LRESULT WINAPI SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (hWnd == HWND_BROADCAST) {
        for (HWND hwnd : topLevelHandles()) sendMessage(hwnd, Msg, wParam, lParam);
        return 0;
    }
    return sendMessage(hWnd, Msg, wParam, lParam);
}

BOOL WINAPI SendNotifyMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (hWnd == HWND_BROADCAST) {
        for (HWND hwnd : topLevelHandles()) notifyWindow(hwnd, Msg, wParam, lParam);
        return TRUE;
    }
    if (!resolveWindow(hWnd)) return FALSE;
    notifyWindow(hWnd, Msg, wParam, lParam);
    return TRUE;
}

BOOL WINAPI InSendMessage(void) { return currentQueue()->inSend > 0; }

void WINAPI PostQuitMessage(int nExitCode) {
    auto queue = currentQueue();
    platform::kernel::KernelLock lock(platform::kernel::kernelLock());
    queue->quitPosted = true;
    queue->quitCode = nExitCode;
    queue->wakeLocked();
}

BOOL WINAPI TranslateMessage(CONST MSG* lpMsg) {
    if (!lpMsg) return FALSE;
    const UINT message = lpMsg->message;
    if (message != WM_KEYDOWN && message != WM_KEYUP && message != WM_SYSKEYDOWN && message != WM_SYSKEYUP)
        return FALSE;
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
        auto queue = currentQueue();
        const KeyStateArray state = queue->keyStateSet ? queue->keyState : asyncKeyState();
        WCHAR character = characterForKey(static_cast<BYTE>(lpMsg->wParam), state);
        if (character) {
            MSG charMsg = *lpMsg;
            charMsg.message = message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
            charMsg.wParam = character;
            platform::kernel::KernelLock lock(platform::kernel::kernelLock());
            queue->posted.push_back(QueuedMessage{charMsg, nullptr});
            queue->wakeLocked();
        }
    }
    return TRUE;
}

LRESULT WINAPI DispatchMessageW(CONST MSG* lpMsg) {
    if (!lpMsg) {
        setLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (lpMsg->message == WM_TIMER && lpMsg->lParam) {
        // Only a timer procedure this thread set up is called, never a posted pointer.
        auto proc = reinterpret_cast<TIMERPROC>(lpMsg->lParam);
        if (ownsTimer(lpMsg->hwnd, static_cast<UINT>(lpMsg->wParam), proc))
            proc(lpMsg->hwnd, WM_TIMER, static_cast<UINT>(lpMsg->wParam),
                 static_cast<DWORD>(platform::kernel::deviceClock().nowMs()));
        return 0;
    }
    if (!lpMsg->hwnd) return 0;
    bool frame = false;
    {
        WindowLock lock(windowLock());
        auto window = resolveOwnWindow(lpMsg->hwnd);
        if (!window) return 0;
        frame = lpMsg->message == WM_PAINT && window->frameDirty;
    }
    if (frame) sendFramePaint(lpMsg->hwnd);
    return callWindowProcedure(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

DWORD WINAPI GetMessagePos(void) { return currentQueue()->lastMessagePos; }

DWORD WINAPI GetQueueStatus(UINT flags) {
    auto queue = currentQueue();
    platform::kernel::KernelLock lock(platform::kernel::kernelLock());
    DWORD status = queue->statusLocked(platform::kernel::deviceClock().nowMs()) & flags;
    return MAKELONG(status, status);
}

DWORD WINAPI MsgWaitForMultipleObjectsEx(DWORD nCount, CONST HANDLE* pHandles, DWORD dwMilliseconds,
                                         DWORD dwWakeMask, DWORD dwFlags) {
    if (nCount >= MAXIMUM_WAIT_OBJECTS || (nCount && !pHandles) || (dwFlags & MWMO_WAITALL)) {
        setLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    std::vector<std::shared_ptr<platform::kernel::Waitable>> objects;
    for (DWORD i = 0; i < nCount; ++i) {
        auto object = platform::kernel::resolveWaitHandle(pHandles[i]);
        if (!object) return WAIT_FAILED;
        objects.push_back(std::move(object));
    }
    auto queue = currentQueue();
    std::vector<platform::kernel::Waitable*> raw;
    for (auto& object : objects) raw.push_back(object.get());
    raw.push_back(queue.get());

    struct ClearMask {
        ThreadQueue& queue;
        ~ClearMask() {
            platform::kernel::KernelLock lock(platform::kernel::kernelLock());
            queue.waitMask = 0;
        }
    } clearMask{*queue};

    auto& clock = platform::kernel::deviceClock();
    const uint64_t deadline = dwMilliseconds == INFINITE ? UINT64_MAX : clock.nowMs() + dwMilliseconds;
    for (;;) {
        processSentMessages();
        DWORD timeout;
        {
            platform::kernel::KernelLock lock(platform::kernel::kernelLock());
            const uint64_t now = clock.nowMs();
            if (queue->hasWakeLocked(dwWakeMask & ~static_cast<DWORD>(QS_SENDMESSAGE), now)) return WAIT_OBJECT_0 + nCount;
            queue->waitMask = dwWakeMask | QS_SENDMESSAGE;
            uint64_t until = deadline;
            if (dwWakeMask & QS_TIMER) until = std::min(until, queue->nextTimerDueLocked());
            timeout = until == UINT64_MAX ? INFINITE
                      : until <= now      ? 0
                                          : static_cast<DWORD>(std::min<uint64_t>(until - now, INFINITE - 1));
        }
        DWORD woke = platform::kernel::waitForObjects(raw, timeout);
        if (woke < WAIT_OBJECT_0 + nCount) return woke;
        if (woke == WAIT_TIMEOUT && clock.nowMs() >= deadline) {
            platform::kernel::KernelLock lock(platform::kernel::kernelLock());
            const uint64_t now = clock.nowMs();
            return queue->hasWakeLocked(dwWakeMask & ~static_cast<DWORD>(QS_SENDMESSAGE), now) ? WAIT_OBJECT_0 + nCount
                                                                                              : WAIT_TIMEOUT;
        }
    }
}

}  // extern "C"
