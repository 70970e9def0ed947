// SetTimer and KillTimer: timers live in their thread's queue and come due on
// the device clock; a due timer yields WM_TIMER when nothing else is waiting.
#include <algorithm>

#include "message_queue.h"
#include "platform/kernel/device_clock.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/thread.h"
#include "window.h"

using namespace platform::window;
using platform::kernel::setLastError;

namespace {

constexpr UINT kShortestInterval = 10;
constexpr UINT kLongestInterval = 0x7FFFFFFF;

// The window given must be one of the calling thread's.
bool checkTimerWindow(HWND hwnd) { return !hwnd || resolveOwnWindow(hwnd); }

}  // namespace

extern "C" {

UINT WINAPI SetTimer(HWND hWnd, UINT nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
    if (!checkTimerWindow(hWnd)) return 0;
    const UINT interval = std::clamp(uElapse, kShortestInterval, kLongestInterval);
    auto queue = currentQueue();
    platform::kernel::KernelLock lock(platform::kernel::kernelLock());
    auto& timers = queue->timers;
    auto existing = std::find_if(timers.begin(), timers.end(),
                                 [&](const Timer& t) { return t.hwnd == hWnd && t.id == nIDEvent; });
    UINT id = nIDEvent;
    if (!hWnd && existing == timers.end()) {
        // A thread timer gets an id of its own that no other thread timer uses.
        id = 1;
        while (std::any_of(timers.begin(), timers.end(), [&](const Timer& t) { return !t.hwnd && t.id == id; })) ++id;
    }
    Timer timer{hWnd, id, interval, platform::kernel::deviceClock().nowMs() + interval, lpTimerFunc};
    if (existing != timers.end()) *existing = timer;
    else timers.push_back(timer);
    queue->wakeLocked();
    return hWnd ? (id ? id : 1) : id;
}

BOOL WINAPI KillTimer(HWND hWnd, UINT uIDEvent) {
    if (!checkTimerWindow(hWnd)) return FALSE;
    auto queue = currentQueue();
    platform::kernel::KernelLock lock(platform::kernel::kernelLock());
    auto& timers = queue->timers;
    auto it = std::find_if(timers.begin(), timers.end(),
                           [&](const Timer& t) { return t.hwnd == hWnd && t.id == uIDEvent; });
    if (it == timers.end()) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    timers.erase(it);
    return TRUE;
}

}  // extern "C"
