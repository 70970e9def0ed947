// Brushes and pens, and what they paint: FillRect, FillRgn, Rectangle,
// Ellipse, MoveToEx and LineTo.
#include <windows.h>

#include <cmath>
#include <algorithm>
#include <cstdlib>

#include "device_context.h"

using namespace platform::gdi;
using platform::kernel::setLastError;

namespace {

RECT ordered(int left, int top, int right, int bottom) {
    return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

// Rows of an ellipse inscribed in a rectangle: for row y, the columns whose
// pixel centres lie inside it (first, end), or an empty pair.
std::pair<LONG, LONG> ellipseRow(const RECT& r, LONG y) {
    const double a = (static_cast<double>(r.right) - r.left) / 2, b = (static_cast<double>(r.bottom) - r.top) / 2;
    if (a <= 0 || b <= 0) return {0, 0};
    const double cx = (static_cast<double>(r.left) + r.right) / 2, cy = (static_cast<double>(r.top) + r.bottom) / 2;
    const double dy = (y + 0.5 - cy) / b;
    if (dy * dy > 1) return {0, 0};
    const double half = a * std::sqrt(1 - dy * dy);
    const LONG first = static_cast<LONG>(std::ceil(cx - half - 0.5));
    const LONG last = static_cast<LONG>(std::floor(cx + half - 0.5));
    return last >= first ? std::pair{first, last + 1} : std::pair<LONG, LONG>{0, 0};
}

void fillEllipse(Canvas& canvas, const RECT& r, uint16_t pixel, const RECT* hole) {
    // Only the rows the clip lets through are worked out.
    const RECT box = canvas.clip().box();
    const POINT o = canvas.origin();
    const LONG from = static_cast<LONG>(std::max<int64_t>(r.top, int64_t{box.top} - o.y));
    const LONG to = static_cast<LONG>(std::min<int64_t>(r.bottom, int64_t{box.bottom} - o.y));
    for (LONG y = from; y < to; ++y) {
        const auto [x0, x1] = ellipseRow(r, y);
        if (x0 >= x1) continue;
        const auto [h0, h1] = hole ? ellipseRow(*hole, y) : std::pair<LONG, LONG>{0, 0};
        if (h0 >= h1) {
            canvas.fill({x0, y, x1, y + 1}, pixel);
        } else {
            canvas.fill({x0, y, h0, y + 1}, pixel);
            canvas.fill({h1, y, x1, y + 1}, pixel);
        }
    }
}

// Paints a pen's dot of its width centred on (x, y).
void penDot(Canvas& canvas, LONG x, LONG y, int width, uint16_t pixel) {
    const LONG from = width / 2;
    canvas.fill({x - from, y - from, x - from + width, y - from + width}, pixel);
}

}  // namespace

extern "C" HBRUSH WINAPI CreateSolidBrush(COLORREF crColor) {
    std::lock_guard lock(gdiLock());
    return static_cast<HBRUSH>(insertObject(std::make_shared<Brush>(LOGBRUSH{BS_SOLID, crColor & 0xFFFFFF, 0})));
}

extern "C" HPEN WINAPI CreatePenIndirect(CONST LOGPEN* lplgpn) {
    if (!lplgpn || (lplgpn->lopnStyle != PS_SOLID && lplgpn->lopnStyle != PS_DASH && lplgpn->lopnStyle != PS_NULL)) {
        setLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    LOGPEN pen = *lplgpn;
    pen.lopnColor &= 0xFFFFFF;
    pen.lopnWidth.y = 0;
    if (pen.lopnWidth.x < 0) pen.lopnWidth.x = 0;
    std::lock_guard lock(gdiLock());
    return static_cast<HPEN>(insertObject(std::make_shared<Pen>(pen)));
}

extern "C" HPEN WINAPI CreatePen(int fnPenStyle, int nWidth, COLORREF crColor) {
    const LOGPEN pen{static_cast<UINT>(fnPenStyle), {nWidth, 0}, crColor};
    return CreatePenIndirect(&pen);
}

extern "C" int WINAPI FillRect(HDC hDC, CONST RECT* lprc, HBRUSH hbr) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hDC);
    if (!dc) return 0;
    auto brush = resolveObject<Brush>(hbr);
    if (!brush) return 0;
    if (!lprc) {
        setLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (brush->hollow()) return TRUE;
    Canvas canvas(*dc);
    canvas.fill(*lprc, canvas.pixelFor(brush->logBrush.lbColor));
    return TRUE;
}

extern "C" BOOL WINAPI FillRgn(HDC hdc, HRGN hrgn, HBRUSH hbr) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    if (!dc) return FALSE;
    auto region = resolveObject<RegionObject>(hrgn);
    if (!region) return FALSE;
    auto brush = resolveObject<Brush>(hbr);
    if (!brush) return FALSE;
    if (brush->hollow()) return TRUE;
    Canvas canvas(*dc);
    const uint16_t pixel = canvas.pixelFor(brush->logBrush.lbColor);
    for (const RECT& r : region->region.rects()) canvas.fill(r, pixel);
    return TRUE;
}

namespace {

void fillRectangle(Canvas& canvas, const RECT& r, uint16_t pixel, const RECT* hole) {
    Region area(r);
    if (hole) area = area.subtracted(Region(*hole));
    for (const RECT& part : area.rects()) canvas.fill(part, pixel);
}

// Rectangle and Ellipse: the shape filled with the DC's brush and outlined
// with its pen. The outline lies inside the bounding rectangle, the pen's width
// thick; without a pen the filled shape is one pixel narrower and shorter.
template <class Paint>
BOOL drawShape(HDC hdc, int left, int top, int right, int bottom, Paint paint) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    if (!dc) return FALSE;
    Canvas canvas(*dc);
    const RECT r = ordered(left, top, right, bottom);
    const Pen& pen = *dc->pen.object;
    const Brush& brush = *dc->brush.object;
    const int64_t w = pen.invisible() ? 0 : pen.width();
    const RECT inner = pen.invisible()
                           ? clampedRect(r.left, r.top, int64_t{r.right} - 1, int64_t{r.bottom} - 1)
                           : clampedRect(int64_t{r.left} + w, int64_t{r.top} + w, int64_t{r.right} - w, int64_t{r.bottom} - w);
    if (!brush.hollow()) paint(canvas, inner, canvas.pixelFor(brush.logBrush.lbColor), nullptr);
    if (!pen.invisible()) paint(canvas, r, canvas.pixelFor(pen.logPen.lopnColor), &inner);
    return TRUE;
}

}  // namespace

extern "C" BOOL WINAPI Rectangle(HDC hdc, int nLeftRect, int nTopRect, int nRightRect, int nBottomRect) {
    return drawShape(hdc, nLeftRect, nTopRect, nRightRect, nBottomRect, fillRectangle);
}

extern "C" BOOL WINAPI Ellipse(HDC hdc, int nLeftRect, int nTopRect, int nRightRect, int nBottomRect) {
    return drawShape(hdc, nLeftRect, nTopRect, nRightRect, nBottomRect, fillEllipse);
}

extern "C" BOOL WINAPI MoveToEx(HDC hdc, int X, int Y, LPPOINT lpPoint) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    if (!dc) return FALSE;
    if (lpPoint) *lpPoint = dc->penPosition;
    dc->penPosition = {X, Y};
    return TRUE;
}

extern "C" BOOL WINAPI LineTo(HDC hdc, int nXEnd, int nYEnd) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    if (!dc) return FALSE;
    const POINT from = dc->penPosition;
    dc->penPosition = {nXEnd, nYEnd};
    const Pen& pen = *dc->pen.object;
    if (pen.invisible()) return TRUE;
    Canvas canvas(*dc);
    const uint16_t pixel = canvas.pixelFor(pen.logPen.lopnColor);
    // The line's points without its last, one per step along the longer
    // axis; only the steps near the clip are walked, so a line of any length is cheap.
    const int64_t dx = int64_t{nXEnd} - from.x, dy = int64_t{nYEnd} - from.y;
    const int64_t steps = std::max(std::llabs(dx), std::llabs(dy));
    if (steps == 0 || !canvas.surface()) return TRUE;
    const RECT box = canvas.clip().box();
    const POINT o = canvas.origin();
    const double margin = pen.width();
    double first = 0, last = static_cast<double>(steps - 1);
    auto limit = [&](double start, double delta, double low, double high) {
        // Steps s with low <= start + s * delta / steps <= high.
        if (delta == 0) {
            if (start < low || start > high) last = -1;
            return;
        }
        double a = (low - start) * steps / delta, b = (high - start) * steps / delta;
        if (a > b) std::swap(a, b);
        first = std::max(first, std::floor(a));
        last = std::min(last, std::ceil(b));
    };
    limit(from.x + o.x, static_cast<double>(dx), box.left - margin, box.right + margin);
    limit(from.y + o.y, static_cast<double>(dy), box.top - margin, box.bottom + margin);
    constexpr int64_t kDashOn = 18, kDashPeriod = 24;
    for (int64_t step = static_cast<int64_t>(first); step <= static_cast<int64_t>(last); ++step) {
        if (pen.logPen.lopnStyle == PS_DASH && step % kDashPeriod >= kDashOn) continue;
        const LONG x = static_cast<LONG>(from.x + std::llround(static_cast<double>(step) * dx / steps));
        const LONG y = static_cast<LONG>(from.y + std::llround(static_cast<double>(step) * dy / steps));
        penDot(canvas, x, y, pen.width(), pixel);
    }
    return TRUE;
}
