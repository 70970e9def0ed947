// Showing, moving, sizing and restacking windows.
//
// The messages follow the platform: ShowWindow sends WM_SHOWWINDOW when the
// visibility changes; every change of place, size, Z order or visibility sends
// WM_WINDOWPOSCHANGING (to a window of the calling thread, which may change
// the WINDOWPOS) and WM_WINDOWPOSCHANGED, which DefWindowProcW turns into
// WM_MOVE and WM_SIZE. A window gets its first WM_MOVE and WM_SIZE when it is
// first shown, and again whenever its place or size changes, shown or not.
// Showing a top-level window without SWP_NOACTIVATE makes it the foreground
// window; hiding the active window passes activation on.
#pragma once

#include <windows.h>

#include "window.h"

namespace platform::window {

// Thread: any; the window lock is not held.
BOOL showWindow(HWND hwnd, int command);
BOOL setWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);

// The window rectangle that fills the work area (a top-level window) or the
// parent's client area (a child), with the frame outside it. Window lock held.
RECT maximizedRect(const Window& window);

}  // namespace platform::window
