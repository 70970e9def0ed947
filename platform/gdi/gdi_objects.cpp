#include "gdi_objects.h"

#include <array>
#include <cstring>

namespace platform::gdi {

Bitmap::Bitmap(std::shared_ptr<Surface> surface, int bitsPerPixel, bool permanent)
    : GdiObject(permanent), surface_(std::move(surface)), bitsPerPixel_(bitsPerPixel) {}

Bitmap::Bitmap(DibFormat format)
    : surface_(std::make_shared<Surface>(format.width, format.height)),
      bitsPerPixel_(format.bitsPerPixel),
      dib_(std::make_unique<Dib>()) {
    dib_->bits = std::make_unique<uint8_t[]>(format.imageSize());  // zeroed
    dib_->format = std::move(format);
    syncFromDib();
}

Bitmap::~Bitmap() = default;

void Bitmap::syncFromDib() {
    if (dib_) decodeDib(dib_->format, dib_->bits.get(), *surface_);
}

void Bitmap::syncToDib(const RECT& touched) {
    if (dib_) encodeDib(dib_->format, *surface_, touched, dib_->bits.get());
}

BITMAP Bitmap::describe() const {
    BITMAP bm{};
    bm.bmWidth = surface_->width();
    bm.bmHeight = surface_->height();
    // Device-dependent rows are padded to 2 bytes, DIB rows to 4.
    bm.bmWidthBytes = dib_ ? static_cast<LONG>(dib_->format.stride())
                           : (bm.bmWidth * bitsPerPixel_ + 15) / 16 * 2;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = static_cast<WORD>(bitsPerPixel_);
    bm.bmBits = dib_ ? dib_->bits.get() : nullptr;
    return bm;
}

HGDIOBJ insertObject(std::shared_ptr<GdiObject> object) {
    HANDLE handle = kernel::handleTable().insert(std::move(object));
    if (!handle) kernel::setLastError(ERROR_NOT_ENOUGH_MEMORY);
    return handle;
}

namespace {

// Handles of the stock objects, by GetStockObject index, and the default bitmap.
struct StockObjects {
    std::array<HGDIOBJ, SYSTEM_FONT + 1> handles{};
    std::shared_ptr<Bitmap> bitmap;
    HGDIOBJ bitmapHandle = nullptr;
};

HGDIOBJ insertPermanent(std::shared_ptr<GdiObject> object) {
    // Owned by no process, so that no process's end takes them away.
    return kernel::handleTable().insert(std::move(object), 0);
}

HGDIOBJ stockBrush(COLORREF color, UINT style = BS_SOLID) {
    return insertPermanent(std::make_shared<Brush>(LOGBRUSH{style, color, 0}, true));
}

HGDIOBJ stockPen(COLORREF color, UINT style = PS_SOLID) {
    return insertPermanent(std::make_shared<Pen>(LOGPEN{style, {1, 0}, color}, true));
}

const StockObjects& stock() {
    static StockObjects* objects = [] {
        auto* made = new StockObjects;  // lives as long as the host process
        made->handles[WHITE_BRUSH] = stockBrush(RGB(255, 255, 255));
        made->handles[LTGRAY_BRUSH] = stockBrush(RGB(192, 192, 192));
        made->handles[GRAY_BRUSH] = stockBrush(RGB(128, 128, 128));
        made->handles[DKGRAY_BRUSH] = stockBrush(RGB(64, 64, 64));
        made->handles[BLACK_BRUSH] = stockBrush(RGB(0, 0, 0));
        made->handles[NULL_BRUSH] = stockBrush(0, BS_NULL);
        made->handles[WHITE_PEN] = stockPen(RGB(255, 255, 255));
        made->handles[BLACK_PEN] = stockPen(RGB(0, 0, 0));
        made->handles[NULL_PEN] = stockPen(0, PS_NULL);
        LOGFONTW system{};
        system.lfHeight = -12;
        system.lfWeight = FW_NORMAL;
        system.lfCharSet = DEFAULT_CHARSET;
        std::memcpy(system.lfFaceName, u"System", sizeof(u"System"));
        made->handles[SYSTEM_FONT] = insertPermanent(std::make_shared<Font>(system, true));
        auto pixel = std::make_shared<Surface>(1, 1);
        pixel->row(0)[0] = 0;  // black
        made->bitmap = std::make_shared<Bitmap>(std::move(pixel), 1, true);
        made->bitmapHandle = insertPermanent(made->bitmap);
        return made;
    }();
    return *objects;
}

}  // namespace

HGDIOBJ stockObject(int index) {
    if (index < 0 || index >= static_cast<int>(stock().handles.size())) return nullptr;
    return stock().handles[index];
}

std::shared_ptr<Bitmap> defaultBitmap() { return stock().bitmap; }
HGDIOBJ defaultBitmapHandle() { return stock().bitmapHandle; }

HBRUSH createSystemBrush(COLORREF color) {
    return static_cast<HBRUSH>(insertPermanent(std::make_shared<Brush>(LOGBRUSH{BS_SOLID, color, 0}, true)));
}

int regionType(const Region& region) {
    if (region.empty()) return NULLREGION;
    return region.rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

std::optional<Region> takeRegion(HRGN hrgn) {
    std::lock_guard lock(gdiLock());
    auto object = resolveObject<RegionObject>(hrgn);
    if (!object) return std::nullopt;
    Region copy = object->region;
    kernel::handleTable().remove(hrgn);
    return copy;
}

std::optional<Region> regionOf(HRGN hrgn) {
    std::lock_guard lock(gdiLock());
    auto object = resolveObject<RegionObject>(hrgn);
    if (!object) return std::nullopt;
    return object->region;
}

BOOL setRegion(HRGN hrgn, const Region& region) {
    std::lock_guard lock(gdiLock());
    auto object = resolveObject<RegionObject>(hrgn);
    if (!object) return FALSE;
    object->region = region;
    return TRUE;
}

}  // namespace platform::gdi
