#include "device_context.h"

#include <climits>
#include <cstdint>

namespace platform::gdi {

DeviceContext::DeviceContext(Kind kind) : kind(kind) {
    select(brush, stockObject(WHITE_BRUSH), stockAs<Brush>(WHITE_BRUSH));
    select(pen, stockObject(BLACK_PEN), stockAs<Pen>(BLACK_PEN));
    select(font, stockObject(SYSTEM_FONT), stockAs<Font>(SYSTEM_FONT));
    if (kind == Kind::memory) select(bitmap, defaultBitmapHandle(), defaultBitmap());
}

DeviceContext::~DeviceContext() {
    for (GdiObject* held : {static_cast<GdiObject*>(bitmap.object.get()), static_cast<GdiObject*>(brush.object.get()),
                            static_cast<GdiObject*>(pen.object.get()), static_cast<GdiObject*>(font.object.get())})
        if (held) --held->selections;
}

Surface* DeviceContext::surface() const {
    return kind == Kind::memory ? bitmap.object->surface().get() : target.surface.get();
}

POINT DeviceContext::origin() const { return kind == Kind::memory ? POINT{0, 0} : target.origin; }

Region DeviceContext::systemClip() const {
    const Surface* s = surface();
    if (!s) return {};
    Region clip(RECT{0, 0, s->width(), s->height()});
    return kind == Kind::window ? clip.intersected(target.clip) : clip;
}

Region DeviceContext::effectiveClip() const {
    Region clip = systemClip();
    if (userClip) {
        const POINT o = origin();
        clip = clip.intersected(userClip->offset(o.x, o.y));
    }
    return clip;
}

std::shared_ptr<DeviceContext> resolveDC(HDC hdc) { return kernel::resolveHandle<DeviceContext>(hdc); }

Canvas::Canvas(DeviceContext& dc) : dc_(dc), surface_(dc.surface()), origin_(dc.origin()), clip_(dc.effectiveClip()) {
    if (dc.kind == DeviceContext::Kind::memory) dc.bitmap.object->syncFromDib();
}

Canvas::~Canvas() {
    if (dc_.kind == DeviceContext::Kind::memory && touched_.right > touched_.left)
        dc_.bitmap.object->syncToDib(touched_);
}

RECT Canvas::toSurface(const RECT& r) const {
    // Clamped: a program's coordinates may be anything.
    auto shift = [](LONG v, LONG by) {
        return static_cast<LONG>(std::clamp<int64_t>(int64_t{v} + by, INT32_MIN, INT32_MAX));
    };
    return {shift(r.left, origin_.x), shift(r.top, origin_.y), shift(r.right, origin_.x), shift(r.bottom, origin_.y)};
}

bool Canvas::drawable(int64_t dcX, int64_t dcY) const {
    const int64_t x = dcX + origin_.x, y = dcY + origin_.y;
    return surface_ && x >= 0 && y >= 0 && x < surface_->width() && y < surface_->height() &&
           clip_.contains(static_cast<LONG>(x), static_cast<LONG>(y));
}

uint16_t Canvas::pixelFor(COLORREF color) const { return monochrome() ? monochromeOf(color) : toRgb565(color); }

void Canvas::fill(const RECT& dcRect, uint16_t pixel) {
    forEachSpan(toSurface(dcRect), [pixel](uint16_t* row, int, int x0, int x1) { std::fill(row + x0, row + x1, pixel); });
}

void Canvas::touch(const RECT& area) {
    if (touched_.right <= touched_.left) {
        touched_ = area;
        return;
    }
    touched_ = {std::min(touched_.left, area.left), std::min(touched_.top, area.top),
                std::max(touched_.right, area.right), std::max(touched_.bottom, area.bottom)};
}

uint16_t blend565(uint16_t dst, uint16_t color, unsigned alpha) {
    if (alpha >= 255) return color;
    if (alpha == 0) return dst;
    auto mix = [alpha](unsigned under, unsigned over) { return (over * alpha + under * (255 - alpha) + 127) / 255; };
    const unsigned r = mix(dst >> 11, color >> 11);
    const unsigned g = mix((dst >> 5) & 0x3F, (color >> 5) & 0x3F);
    const unsigned b = mix(dst & 0x1F, color & 0x1F);
    return static_cast<uint16_t>((r << 11) | (g << 5) | b);
}

uint16_t monochromeOf(COLORREF color) {
    const unsigned brightness = (GetRValue(color) * 30 + GetGValue(color) * 59 + GetBValue(color) * 11) / 100;
    return brightness >= 128 ? 0xFFFF : 0x0000;
}

HDC createWindowDC(const DrawTarget& target) {
    std::lock_guard lock(gdiLock());
    auto dc = std::make_shared<DeviceContext>(DeviceContext::Kind::window);
    dc->target = target;
    return static_cast<HDC>(insertObject(std::move(dc)));
}

void retargetWindowDC(HDC hdc, const DrawTarget& target) {
    std::lock_guard lock(gdiLock());
    auto dc = kernel::handleTable().lookupAs<DeviceContext>(hdc);
    if (dc && dc->kind == DeviceContext::Kind::window) dc->target = target;
}

void releaseWindowDC(HDC hdc) {
    std::shared_ptr<kernel::KernelObject> released;  // dropped after the lock
    std::lock_guard lock(gdiLock());
    auto dc = kernel::handleTable().lookupAs<DeviceContext>(hdc);
    if (dc && dc->kind == DeviceContext::Kind::window) released = kernel::handleTable().remove(hdc);
}

}  // namespace platform::gdi
