// The screen: its size and rotation, the work area, the device's metrics and
// colours, and the composed picture of every window.
//
// The default screen is 240 x 320 at 16 bits per pixel. The shell's taskbar
// takes a strip at the top, so the work area starts below it; a maximised
// window fills the work area with its frame pushed outside it, so that a
// maximised captioned pop-up has a 240 x 268 client area. Rotation by 90 or
// 270 degrees swaps the sides. The rotation at boot comes from the registry,
// HKEY_LOCAL_MACHINE "System\Gdi\Rotation" value "Angle".
#pragma once

#include <windows.h>

#include <memory>

#include "platform/gdi/surface.h"

namespace platform::window {

inline constexpr int kScreenShortSide = 240;
inline constexpr int kScreenLongSide = 320;
inline constexpr int kBitsPerPixel = 16;
inline constexpr int kTaskbarHeight = 26;
inline constexpr int kCaptionHeight = 26;
inline constexpr int kBorderWidth = 1;
inline constexpr int kEdgeWidth = 2;

struct ScreenSize {
    int width = kScreenShortSide;
    int height = kScreenLongSide;
};

// Thread: any (they take the window lock).
ScreenSize screenSize();
int rotationAngle();  // 0, 90, 180 or 270
RECT workArea();
RECT screenRect();

// Sets up the screen at boot: the rotation from the registry (0 when absent or
// not one of 0, 90, 180, 270), the default work area, and an empty input log.
void bootScreen();

// Turns the screen while programs run: every maximised window, and every
// window that covered the old work area exactly, is resized to the new work
// area (it gets WM_SIZE), and every top-level window gets WM_SETTINGCHANGE.
// False for an angle other than 0, 90, 180, 270.
bool rotateScreen(int angle);

// Sets the work area (SPI_SETWORKAREA); false for a rectangle outside the screen.
bool setWorkArea(const RECT& area);

// The picture of the screen now: every visible top-level window's surface in
// Z order over the desktop colour. Thread: any.
std::shared_ptr<gdi::Surface> composeScreenshot();
// The picture of one window as it shows on the screen (its own surface,
// clipped to its region); null for a window that is not a visible window.
std::shared_ptr<gdi::Surface> windowScreenshot(HWND hwnd);

// The system colours (GetSysColor) and their brushes (GetSysColorBrush), index
// without SYS_COLOR_INDEX_FLAG; a brush is null for an index that names no colour.
COLORREF systemColor(int index);
HBRUSH systemColorBrush(int index);
// The brush a class background stands for: a brush, or a system colour given
// as (HBRUSH)(COLOR_x + 1).
HBRUSH classBackgroundBrush(HBRUSH background);

}  // namespace platform::window
