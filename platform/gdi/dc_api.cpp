// Memory device contexts, selecting objects, colours and modes, the clip, and
// what the device reports about itself.
#include <windows.h>

#include <algorithm>
#include <utility>

#include "device_context.h"

using namespace platform::gdi;
using platform::kernel::handleTable;
using platform::kernel::setLastError;

namespace {
constexpr int kLogicalPixelsPerInch = 96;
constexpr int kDisplayBitsPerPixel = 16;

int millimetres(int pixels) { return pixels * 254 / (kLogicalPixelsPerInch * 10); }

// The DC's system clip (its surface, or the window's clip on it) in DC coordinates.
Region systemClipInDc(const DeviceContext& dc) {
    const POINT o = dc.origin();
    return dc.systemClip().offset(-o.x, -o.y);
}

int effectiveClipType(const DeviceContext& dc) { return regionType(dc.effectiveClip()); }

int selectClip(DeviceContext& dc, const Region* region) {
    if (region)
        dc.userClip = *region;
    else
        dc.userClip.reset();
    return effectiveClipType(dc);
}

RECT normalized(int left, int top, int right, int bottom) {
    return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}
}  // namespace

extern "C" HDC WINAPI CreateCompatibleDC(HDC hdc) {
    std::lock_guard lock(gdiLock());
    if (hdc && !resolveDC(hdc)) return nullptr;
    return static_cast<HDC>(insertObject(std::make_shared<DeviceContext>(DeviceContext::Kind::memory)));
}

extern "C" BOOL WINAPI DeleteDC(HDC hdc) {
    std::shared_ptr<platform::kernel::KernelObject> deleted;  // freed after the lock
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    if (!dc) return FALSE;
    if (dc->kind != DeviceContext::Kind::memory) {
        // A window's device context goes back with ReleaseDC or EndPaint.
        setLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    deleted = handleTable().remove(hdc);
    return TRUE;
}

extern "C" HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ hgdiobj) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    if (!dc) return nullptr;
    auto object = resolveObject<GdiObject>(hgdiobj);
    if (!object) return nullptr;
    if (auto brush = std::dynamic_pointer_cast<Brush>(object)) return dc->select(dc->brush, hgdiobj, brush);
    if (auto pen = std::dynamic_pointer_cast<Pen>(object)) return dc->select(dc->pen, hgdiobj, pen);
    if (auto font = std::dynamic_pointer_cast<Font>(object)) return dc->select(dc->font, hgdiobj, font);
    if (auto region = std::dynamic_pointer_cast<RegionObject>(object))
        return reinterpret_cast<HGDIOBJ>(static_cast<INT_PTR>(selectClip(*dc, &region->region)));
    if (auto bitmap = std::dynamic_pointer_cast<Bitmap>(object)) {
        // Bitmaps go into memory device contexts only, and into one at a time.
        const bool elsewhere = bitmap->selections > 0 && dc->bitmap.object != bitmap && !bitmap->permanent();
        if (dc->kind != DeviceContext::Kind::memory || elsewhere) {
            setLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        return dc->select(dc->bitmap, hgdiobj, bitmap);
    }
    setLastError(ERROR_INVALID_HANDLE);  // a device context is not selectable
    return nullptr;
}

extern "C" HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT uObjectType) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    if (!dc) return nullptr;
    switch (uObjectType) {
        case OBJ_BRUSH: return dc->brush.handle;
        case OBJ_PEN: return dc->pen.handle;
        case OBJ_FONT: return dc->font.handle;
        case OBJ_BITMAP:
            if (dc->kind == DeviceContext::Kind::memory) return dc->bitmap.handle;
            break;
    }
    setLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}

extern "C" int WINAPI GetDeviceCaps(HDC hdc, int nIndex) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    if (!dc) return 0;
    const SIZE display = displaySize();
    switch (nIndex) {
        case DRIVERVERSION: return 0x0500;
        case TECHNOLOGY: return DT_RASDISPLAY;
        case HORZRES: return display.cx;
        case VERTRES: return display.cy;
        case HORZSIZE: return millimetres(display.cx);
        case VERTSIZE: return millimetres(display.cy);
        case BITSPIXEL: return dc->monochrome() ? 1 : kDisplayBitsPerPixel;
        case PLANES: return 1;
        case NUMCOLORS: return dc->monochrome() ? 2 : -1;
        case RASTERCAPS: return RC_BITBLT | RC_STRETCHBLT;
        case LOGPIXELSX:
        case LOGPIXELSY: return kLogicalPixelsPerInch;
    }
    return 0;
}

extern "C" int WINAPI SetBkMode(HDC hdc, int iBkMode) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    if (!dc) return 0;
    if (iBkMode != TRANSPARENT && iBkMode != OPAQUE) {
        setLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return std::exchange(dc->bkMode, iBkMode);
}

extern "C" int WINAPI GetBkMode(HDC hdc) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    return dc ? dc->bkMode : 0;
}

extern "C" COLORREF WINAPI SetBkColor(HDC hdc, COLORREF crColor) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    return dc ? std::exchange(dc->bkColor, crColor & 0xFFFFFF) : CLR_INVALID;
}

extern "C" COLORREF WINAPI GetBkColor(HDC hdc) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    return dc ? dc->bkColor : CLR_INVALID;
}

extern "C" COLORREF WINAPI SetTextColor(HDC hdc, COLORREF crColor) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    return dc ? std::exchange(dc->textColor, crColor & 0xFFFFFF) : CLR_INVALID;
}

extern "C" COLORREF WINAPI GetTextColor(HDC hdc) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    return dc ? dc->textColor : CLR_INVALID;
}

extern "C" UINT WINAPI SetTextAlign(HDC hdc, UINT fMode) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    return dc ? std::exchange(dc->textAlign, fMode & (TA_CENTER | TA_BASELINE)) : GDI_ERROR;
}

extern "C" UINT WINAPI GetTextAlign(HDC hdc) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    return dc ? dc->textAlign : GDI_ERROR;
}

extern "C" int WINAPI SelectClipRgn(HDC hdc, HRGN hrgn) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    if (!dc) return ERROR;
    if (!hrgn) return selectClip(*dc, nullptr);
    auto region = resolveObject<RegionObject>(hrgn);
    return region ? selectClip(*dc, &region->region) : ERROR;
}

extern "C" int WINAPI IntersectClipRect(HDC hdc, int nLeftRect, int nTopRect, int nRightRect, int nBottomRect) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    if (!dc) return ERROR;
    const Region rect(normalized(nLeftRect, nTopRect, nRightRect, nBottomRect));
    const Region clip = dc->userClip ? dc->userClip->intersected(rect) : rect;
    return selectClip(*dc, &clip);
}

extern "C" int WINAPI ExcludeClipRect(HDC hdc, int nLeftRect, int nTopRect, int nRightRect, int nBottomRect) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    if (!dc) return ERROR;
    const Region rect(normalized(nLeftRect, nTopRect, nRightRect, nBottomRect));
    const Region clip = (dc->userClip ? *dc->userClip : systemClipInDc(*dc)).subtracted(rect);
    return selectClip(*dc, &clip);
}

extern "C" int WINAPI GetClipBox(HDC hdc, LPRECT lprc) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    if (!dc) return ERROR;
    if (!lprc) {
        setLastError(ERROR_INVALID_PARAMETER);
        return ERROR;
    }
    const POINT o = dc->origin();
    const Region clip = dc->effectiveClip().offset(-o.x, -o.y);
    *lprc = clip.box();
    return regionType(clip);
}
