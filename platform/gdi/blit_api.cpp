// BitBlt, StretchBlt, PatBlt, SetPixel, GetPixel.
#include <windows.h>

#include <optional>

#include "blit.h"

using namespace platform::gdi;
using platform::kernel::setLastError;

namespace {

constexpr DWORD kRopCodeShift = 16;
uint8_t ropCode(DWORD rop) { return static_cast<uint8_t>(rop >> kRopCodeShift); }

// Colour to monochrome and back, as the platform converts in blits: a colour
// source pixel equal to the source DC's background colour becomes white, any
// other black; a monochrome source's black pixels take the destination DC's
// text colour and its white ones the destination's background colour.
struct Conversion {
    enum class Kind { none, toColour, toMonochrome } kind = Kind::none;
    uint16_t black = 0, white = 0xFFFF;  // toColour
    uint16_t sourceBackground = 0;       // toMonochrome
    uint16_t operator()(uint16_t s) const {
        switch (kind) {
            case Kind::toColour: return s ? white : black;
            case Kind::toMonochrome: return s == sourceBackground ? 0xFFFF : 0x0000;
            case Kind::none: break;
        }
        return s;
    }
};

Conversion conversionFor(const DeviceContext& dst, const DeviceContext& src) {
    Conversion c;
    if (src.monochrome() && !dst.monochrome()) {
        c.kind = Conversion::Kind::toColour;
        c.black = toRgb565(dst.textColor);
        c.white = toRgb565(dst.bkColor);
    } else if (!src.monochrome() && dst.monochrome()) {
        c.kind = Conversion::Kind::toMonochrome;
        c.sourceBackground = toRgb565(src.bkColor);
    }
    return c;
}

// The rectangle an extent covers, as the blits count it (see blit.h).
int64_t spanStart(int64_t origin, int64_t extent) { return extent < 0 ? origin + extent + 1 : origin; }
RECT extentRect(int64_t x, int64_t y, int64_t w, int64_t h) {
    const int64_t left = spanStart(x, w), top = spanStart(y, h);
    return clampedRect(left, top, left + (w < 0 ? -w : w), top + (h < 0 ? -h : h));
}

// Fills the rectangle with a raster operation that takes no source.
void patternFill(Canvas& canvas, const RECT& dcRect, DWORD rop, uint16_t pattern) {
    const uint8_t code = ropCode(rop);
    const RECT area = canvas.toSurface(dcRect);
    if (code == 0x00 || code == 0xFF || code == 0xF0) {
        const uint16_t value = code == 0x00 ? 0x0000 : code == 0xFF ? 0xFFFF : pattern;
        canvas.forEachSpan(area, [value](uint16_t* row, int, int x0, int x1) { std::fill(row + x0, row + x1, value); });
        return;
    }
    canvas.forEachSpan(area, [&](uint16_t* row, int, int x0, int x1) {
        for (int x = x0; x < x1; ++x) row[x] = applyRop3(code, pattern, 0, row[x]);
    });
}

BOOL blit(HDC hdcDest, int xDst, int yDst, int wDst, int hDst, HDC hdcSrc, int xSrc, int ySrc, int wSrc, int hSrc,
          DWORD rop) {
    std::lock_guard lock(gdiLock());
    auto dst = resolveDC(hdcDest);
    if (!dst) return FALSE;
    const bool usesSource = ropUsesSource(rop);
    std::shared_ptr<DeviceContext> src;
    if (usesSource && !(src = resolveDC(hdcSrc))) return FALSE;
    if (wDst == 0 || hDst == 0) return TRUE;
    if (usesSource && (wSrc == 0 || hSrc == 0)) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }

    Canvas canvas(*dst);
    uint16_t pattern = 0;
    if (ropUsesPattern(rop)) {
        if (dst->brush.object->hollow()) return TRUE;  // a null brush paints nothing
        pattern = canvas.pixelFor(dst->brush.object->logBrush.lbColor);
    }
    if (!usesSource) {
        patternFill(canvas, extentRect(xDst, yDst, wDst, hDst), rop, pattern);
        return TRUE;
    }

    std::optional<Canvas> sourceCanvas;  // brings a source DIB section up to date
    if (src != dst) sourceCanvas.emplace(*src);
    const Surface* source = src->surface();
    if (!source) return TRUE;
    std::optional<Surface> snapshot;  // a blit within one surface reads what was there before
    if (source == canvas.surface()) source = &snapshot.emplace(*source);
    const POINT so = src->origin();
    const uint16_t* base = source->row(0);
    const Conversion convert = conversionFor(*dst, *src);
    const int64_t xs = int64_t{xSrc} + so.x, ys = int64_t{ySrc} + so.y;

    if (rop == SRCCOPY && convert.kind == Conversion::Kind::none) {
        stretchPixels(canvas, xDst, yDst, wDst, hDst, *source, xs, ys, wSrc, hSrc,
                      [base](uint16_t, size_t i) { return base[i]; });
    } else {
        const uint8_t code = ropCode(rop);
        stretchPixels(canvas, xDst, yDst, wDst, hDst, *source, xs, ys, wSrc, hSrc,
                      [&](uint16_t d, size_t i) { return applyRop3(code, pattern, convert(base[i]), d); });
    }
    return TRUE;
}

}  // namespace

extern "C" BOOL WINAPI BitBlt(HDC hdcDest, int nXDest, int nYDest, int nWidth, int nHeight, HDC hdcSrc, int nXSrc,
                              int nYSrc, DWORD dwRop) {
    return blit(hdcDest, nXDest, nYDest, nWidth, nHeight, hdcSrc, nXSrc, nYSrc, nWidth, nHeight, dwRop);
}

extern "C" BOOL WINAPI StretchBlt(HDC hdcDest, int nXOriginDest, int nYOriginDest, int nWidthDest, int nHeightDest,
                                  HDC hdcSrc, int nXOriginSrc, int nYOriginSrc, int nWidthSrc, int nHeightSrc,
                                  DWORD dwRop) {
    return blit(hdcDest, nXOriginDest, nYOriginDest, nWidthDest, nHeightDest, hdcSrc, nXOriginSrc, nYOriginSrc,
                nWidthSrc, nHeightSrc, dwRop);
}

extern "C" BOOL WINAPI PatBlt(HDC hdc, int nXLeft, int nYLeft, int nWidth, int nHeight, DWORD dwRop) {
    if (ropUsesSource(dwRop)) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return blit(hdc, nXLeft, nYLeft, nWidth, nHeight, nullptr, 0, 0, 0, 0, dwRop);
}

extern "C" COLORREF WINAPI SetPixel(HDC hdc, int X, int Y, COLORREF crColor) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    if (!dc) return CLR_INVALID;
    Canvas canvas(*dc);
    if (!canvas.drawable(X, Y)) return CLR_INVALID;
    const uint16_t pixel = canvas.pixelFor(crColor);
    canvas.fill({X, Y, X + 1, Y + 1}, pixel);
    return fromRgb565(pixel);  // the colour the display can show
}

extern "C" COLORREF WINAPI GetPixel(HDC hdc, int nXPos, int nYPos) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    if (!dc) return CLR_INVALID;
    Canvas canvas(*dc);
    if (!canvas.drawable(nXPos, nYPos)) return CLR_INVALID;
    const POINT o = canvas.origin();
    return fromRgb565(canvas.surface()->row(nYPos + o.y)[nXPos + o.x]);
}
