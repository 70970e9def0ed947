// Device contexts: the drawing state (selected objects, colours, modes, clip)
// and what they draw on — a window's surface through its DrawTarget, or the
// bitmap selected into a memory device context.
//
// Thread: any; everything here is used with gdiLock() held.
#pragma once

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <optional>

#include "gdi_objects.h"
#include "region.h"
#include "surface.h"

namespace platform::gdi {

template <class T>
struct Selection {
    HGDIOBJ handle = nullptr;
    std::shared_ptr<T> object;
};

class DeviceContext final : public GdiObject {
public:
    enum class Kind { window, memory };
    explicit DeviceContext(Kind kind);  // with the stock brush, pen, font (and bitmap)
    ~DeviceContext() override;          // lets go of what it holds selected

    std::string_view kindName() const override { return "device context"; }
    DWORD objectType() const override { return kind == Kind::memory ? OBJ_MEMDC : OBJ_DC; }

    // Puts an object into its slot; returns the handle it replaces.
    template <class T>
    HGDIOBJ select(Selection<T>& slot, HGDIOBJ handle, std::shared_ptr<T> object) {
        HGDIOBJ previous = slot.handle;
        if (slot.object) --slot.object->selections;
        ++object->selections;
        slot = {handle, std::move(object)};
        return previous;
    }

    const Kind kind;
    DrawTarget target;         // window device contexts
    Selection<Bitmap> bitmap;  // memory device contexts
    Selection<Brush> brush;
    Selection<Pen> pen;
    Selection<Font> font;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    UINT textAlign = TA_LEFT | TA_TOP;
    POINT penPosition{0, 0};
    std::optional<Region> userClip;  // SelectClipRgn and kin, in the DC's coordinates

    // What the DC draws on, and where its (0, 0) lies there.
    Surface* surface() const;
    POINT origin() const;
    bool monochrome() const { return kind == Kind::memory && bitmap.object->monochrome(); }
    // The area drawing may touch, in surface coordinates: the system's clip
    // (the surface, or the window's clip on it) and the program's clip.
    Region systemClip() const;
    Region effectiveClip() const;
};

// Looks an HDC up; on failure ERROR_INVALID_HANDLE.
std::shared_ptr<DeviceContext> resolveDC(HDC hdc);

// One drawing call's view of a device context. A DIB section selected into
// the DC is brought up to date when the canvas is made, and what was drawn
// goes back into its pixel memory when the canvas ends.
class Canvas {
public:
    explicit Canvas(DeviceContext& dc);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    DeviceContext& dc() const { return dc_; }
    Surface* surface() const { return surface_; }
    POINT origin() const { return origin_; }
    const Region& clip() const { return clip_; }
    bool monochrome() const { return dc_.monochrome(); }

    RECT toSurface(const RECT& dcRect) const;
    bool drawable(int64_t dcX, int64_t dcY) const;  // on the surface and inside the clip
    // A colour as stored on this surface: black or white on a monochrome bitmap.
    uint16_t pixelFor(COLORREF color) const;

    // f(uint16_t* row, int y, int x0, int x1) for each row span of the
    // rectangle (surface coordinates) inside the clip; marks it touched.
    template <class F>
    void forEachSpan(const RECT& area, F&& f) {
        if (!surface_) return;
        for (const RECT& c : clip_.rects()) {
            const LONG left = std::max(c.left, area.left), right = std::min(c.right, area.right);
            const LONG top = std::max(c.top, area.top), bottom = std::min(c.bottom, area.bottom);
            if (left >= right || top >= bottom) continue;
            touch({left, top, right, bottom});
            for (LONG y = top; y < bottom; ++y) f(surface_->row(y), static_cast<int>(y), static_cast<int>(left), static_cast<int>(right));
        }
    }

    void fill(const RECT& dcRect, uint16_t pixel);
    void touch(const RECT& area);

private:
    DeviceContext& dc_;
    Surface* surface_;
    POINT origin_;
    Region clip_;
    RECT touched_{0, 0, 0, 0};
};

// A rectangle from wide coordinates, clamped to what RECT holds: programs
// may pass any coordinates, and sums of them must not overflow.
inline RECT clampedRect(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    auto c = [](int64_t v) { return static_cast<LONG>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    return {c(left), c(top), c(right), c(bottom)};
}

// The 565 pixel blended over dst with coverage alpha (0..255).
uint16_t blend565(uint16_t dst, uint16_t color, unsigned alpha);
// Black or white, by brightness, for monochrome bitmaps.
uint16_t monochromeOf(COLORREF color);

}  // namespace platform::gdi
