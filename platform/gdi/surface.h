// A surface: the pixels a window (or a memory bitmap) draws into, 16 bits per
// pixel in the display's format (RGB565). The screen is composed from window
// surfaces. One GDI lock guards every surface and every GDI object, so that any
// thread may draw (a camera preview draws from its own thread).
#pragma once

#include <windef.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "region.h"

namespace platform::gdi {

std::recursive_mutex& gdiLock();

// The display's size in pixels, as GetDeviceCaps reports it (HORZRES, VERTRES).
// The window system sets it at boot and when the screen turns; 240 x 320 until then.
SIZE displaySize();
void setDisplaySize(SIZE size);

class Surface {
public:
    Surface(int width, int height);  // white; a negative side counts as 0

    int width() const { return width_; }
    int height() const { return height_; }
    uint16_t* row(int y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
    const uint16_t* row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
    void resize(int width, int height);  // keeps what fits, fills the rest white

private:
    int width_;
    int height_;
    std::vector<uint16_t> pixels_;
};

inline uint16_t toRgb565(COLORREF color) {
    uint32_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}
inline COLORREF fromRgb565(uint16_t pixel) {
    uint32_t r = (pixel >> 11) & 0x1F, g = (pixel >> 5) & 0x3F, b = pixel & 0x1F;
    return ((r << 3) | (r >> 2)) | (((g << 2) | (g >> 4)) << 8) | (((b << 3) | (b >> 2)) << 16);
}

// Where a window's device context draws: the window's surface, the surface
// position of the DC's (0, 0), and the clip (surface coordinates) — the window's
// client or whole area, less what its children cover, and its window region.
struct DrawTarget {
    std::shared_ptr<Surface> surface;
    POINT origin{0, 0};
    Region clip;
    HWND window = nullptr;
};

// Device contexts on windows (the window system makes them for GetDC,
// GetWindowDC and BeginPaint; GDI draws through them).
HDC createWindowDC(const DrawTarget& target);
void retargetWindowDC(HDC dc, const DrawTarget& target);  // the window moved or resized
void releaseWindowDC(HDC dc);

// One layer of the screen: a window's surface at its screen position, showing
// only the visible part (screen coordinates). Layers go bottom to top.
struct Layer {
    std::shared_ptr<const Surface> surface;
    POINT screenPosition{0, 0};
    Region visible;
};
void composeScreen(Surface& screen, const std::vector<Layer>& layers);

}  // namespace platform::gdi
