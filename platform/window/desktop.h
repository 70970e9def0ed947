// The desktop window: GetDesktopWindow returns the shell's desktop window once
// the shell has named one (an ordinary top-level window at the bottom of the Z
// order, listed by EnumWindows), else the root window that stands behind every
// top-level window (never listed). Making the root window the foreground
// window leaves no foreground window.
#pragma once

#include <windows.h>

namespace platform::window {

// Names the shell's desktop window (null: back to the root window). Thread: any.
void setShellDesktopWindow(HWND hwnd);
HWND desktopWindow();

}  // namespace platform::window
