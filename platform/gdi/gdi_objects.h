// GDI objects: brushes, pens, fonts, bitmaps and regions, each reached through
// a handle of the kernel's one handle table (device contexts are in
// device_context.h, icons in icon.h).
//
// CloseHandle does not close them; DeleteObject does. An object selected into
// a device context cannot be deleted: DeleteObject fails, as the platform
// documents, and the handle stays valid until the object is deselected and
// deleted again. Stock objects and the system's own objects are permanent:
// DeleteObject leaves them alone and succeeds.
//
// Thread: any; the members of the objects are guarded by gdiLock().
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "dib_format.h"
#include "platform/kernel/handle_table.h"
#include "region.h"
#include "surface.h"

namespace platform::gdi {

class GdiObject : public kernel::KernelObject {
public:
    explicit GdiObject(bool permanent = false) : permanent_(permanent) {}
    bool closableByCloseHandle() const override { return false; }

    virtual DWORD objectType() const = 0;  // OBJ_BRUSH, OBJ_BITMAP, ...
    bool permanent() const { return permanent_; }

    // How many device contexts hold the object selected. Atomic: a device
    // context of an ended process lets go of its objects without the GDI lock.
    std::atomic<int> selections{0};

private:
    const bool permanent_;
};

class Brush final : public GdiObject {
public:
    Brush(const LOGBRUSH& logBrush, bool permanent = false) : GdiObject(permanent), logBrush(logBrush) {}
    std::string_view kindName() const override { return "brush"; }
    DWORD objectType() const override { return OBJ_BRUSH; }
    bool hollow() const { return logBrush.lbStyle == BS_NULL; }

    const LOGBRUSH logBrush;
};

class Pen final : public GdiObject {
public:
    Pen(const LOGPEN& logPen, bool permanent = false) : GdiObject(permanent), logPen(logPen) {}
    std::string_view kindName() const override { return "pen"; }
    DWORD objectType() const override { return OBJ_PEN; }
    bool invisible() const { return logPen.lopnStyle == PS_NULL; }
    int width() const { return logPen.lopnWidth.x > 1 ? logPen.lopnWidth.x : 1; }

    const LOGPEN logPen;
};

class Font final : public GdiObject {
public:
    Font(const LOGFONTW& logFont, bool permanent = false) : GdiObject(permanent), logFont(logFont) {}
    std::string_view kindName() const override { return "font"; }
    DWORD objectType() const override { return OBJ_FONT; }

    const LOGFONTW logFont;
};

class RegionObject final : public GdiObject {
public:
    explicit RegionObject(Region region) : region(std::move(region)) {}
    std::string_view kindName() const override { return "region"; }
    DWORD objectType() const override { return OBJ_REGION; }

    Region region;
};

// A bitmap's pixels live in a Surface in the display's format. A DIB section
// also has pixel memory of its own, in its header's format, that the program
// reads and writes directly; GDI brings the surface up to date from it before
// every use and writes what it drew back into it.
class Bitmap final : public GdiObject {
public:
    // A device-dependent bitmap; bitsPerPixel is what GetObject reports
    // (1 for a monochrome bitmap, whose pixels are black or white).
    Bitmap(std::shared_ptr<Surface> surface, int bitsPerPixel, bool permanent = false);
    // A DIB section with zeroed pixel memory of format.imageSize() bytes.
    explicit Bitmap(DibFormat format);
    ~Bitmap() override;

    std::string_view kindName() const override { return "bitmap"; }
    DWORD objectType() const override { return OBJ_BITMAP; }

    const std::shared_ptr<Surface>& surface() const { return surface_; }
    int bitsPerPixel() const { return bitsPerPixel_; }
    // Monochrome in the platform's sense: black and white, converted to and
    // from colour with a device context's text and background colours.
    bool monochrome() const { return bitsPerPixel_ == 1 && !dib_; }

    bool isDibSection() const { return dib_ != nullptr; }
    const DibFormat* dibFormat() const { return dib_ ? &dib_->format : nullptr; }
    uint8_t* dibBits() const { return dib_ ? dib_->bits.get() : nullptr; }

    void syncFromDib();                     // before GDI reads or draws
    void syncToDib(const RECT& touched);    // after GDI drew into touched (surface coordinates)

    // The BITMAP record GetObject reports.
    BITMAP describe() const;

private:
    struct Dib {
        DibFormat format;
        std::unique_ptr<uint8_t[]> bits;
    };
    std::shared_ptr<Surface> surface_;
    int bitsPerPixel_;
    std::unique_ptr<Dib> dib_;
};

// Looks a handle up as a GDI object of kind T; on failure ERROR_INVALID_HANDLE.
template <class T>
std::shared_ptr<T> resolveObject(HGDIOBJ handle) {
    return kernel::resolveHandle<T>(handle);
}

// Adds an object to the handle table, owned by the calling process.
HGDIOBJ insertObject(std::shared_ptr<GdiObject> object);

// The stock objects, made on first use and owned by no process.
HGDIOBJ stockObject(int index);                // NULL for an index the platform has not
template <class T>
std::shared_ptr<T> stockAs(int index) {
    return kernel::handleTable().lookupAs<T>(stockObject(index));
}
std::shared_ptr<Bitmap> defaultBitmap();      // the 1 x 1 monochrome bitmap of a new memory DC
HGDIOBJ defaultBitmapHandle();

// A brush that no DeleteObject frees, for the system's own colours (the
// window system's system-colour brushes).
HBRUSH createSystemBrush(COLORREF color);

// ---- regions owned by windows ----
// The window system takes a region given to a window (SetWindowRgn): it gets
// a copy, and the handle is retired at once, so the region is the system's
// from then on. Every later call with the handle, DeleteObject included, fails
// with ERROR_INVALID_HANDLE and changes nothing: a program that deletes the
// region after giving it away cannot break the window. nullopt (with
// ERROR_INVALID_HANDLE) when hrgn is not a live region.
std::optional<Region> takeRegion(HRGN hrgn);

// The region behind a handle, for the window system (GetWindowRgn copies into
// a caller's region with setRegion). nullopt / FALSE with ERROR_INVALID_HANDLE.
std::optional<Region> regionOf(HRGN hrgn);
BOOL setRegion(HRGN hrgn, const Region& region);
int regionType(const Region& region);  // NULLREGION, SIMPLEREGION or COMPLEXREGION

}  // namespace platform::gdi
