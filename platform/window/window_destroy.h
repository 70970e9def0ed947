// Taking windows away: DestroyWindow's order of messages, and the silent
// removal of windows whose thread or process has ended (nothing can run their
// procedures any more).
#pragma once

#include <windows.h>

#include "window.h"

namespace platform::window {

// Destroys the window: first the windows it owns, then the window itself gets
// WM_DESTROY (its children still exist), its children are destroyed the same
// way, and it gets WM_NCDESTROY last. Without sendDestroy the window itself
// gets only WM_NCDESTROY (a creation that failed in WM_NCCREATE).
// Thread: the window's own; the window lock is not held.
void destroyWindowTree(HWND hwnd, bool sendDestroy);

// Removes every window of threads that have ended (window lock held or not).
void dropWindowsOfEndedThreads();
// Removes every window, class and hotkey of a process that has ended.
void dropWindowsOfProcess(DWORD processId);

// Takes a window out of the tree and the handle table and forgets every
// reference to it (focus, activation, capture, hotkeys, timers, queued
// messages, DCs). Its children and owned windows must be gone already.
// Window lock held.
void unlinkWindow(Window& window);

// Makes sure the process exit hook is in place (once).
void installProcessExitHook();

}  // namespace platform::window
