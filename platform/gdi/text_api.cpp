// Fonts and text: CreateFontIndirectW, GetTextMetricsW, the extent queries and
// ExtTextOutW.
#include <windows.h>

#include <algorithm>
#include <numeric>
#include <string_view>

#include "text_render.h"

using namespace platform::gdi;
using platform::kernel::setLastError;

namespace {

// Coordinates far outside any surface are brought in so that text arithmetic
// cannot overflow; nothing there is visible either way.
constexpr LONG kCoordinateLimit = 1 << 28;
LONG tame(LONG v) { return std::clamp(v, -kCoordinateLimit, kCoordinateLimit); }

bool validText(LPCWSTR text, int count) {
    if (count < 0 || (count > 0 && !text)) {
        setLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

}  // namespace

extern "C" HFONT WINAPI CreateFontIndirectW(CONST LOGFONTW* lplf) {
    if (!lplf) {
        setLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    LOGFONTW font = *lplf;
    font.lfFaceName[LF_FACESIZE - 1] = 0;  // a face name without its terminator stops here
    std::lock_guard lock(gdiLock());
    return static_cast<HFONT>(insertObject(std::make_shared<Font>(font)));
}

extern "C" BOOL WINAPI GetTextMetricsW(HDC hdc, LPTEXTMETRICW lptm) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    if (!dc) return FALSE;
    if (!lptm) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    FontFace& face = faceOf(*dc);
    TEXTMETRICW tm{};
    tm.tmHeight = face.height();
    tm.tmAscent = face.ascent;
    tm.tmDescent = face.descent;
    tm.tmInternalLeading = std::max(0, face.height() - face.emHeight);
    tm.tmExternalLeading = 0;
    tm.tmAveCharWidth = face.averageWidth;
    tm.tmMaxCharWidth = face.maxWidth;
    tm.tmWeight = face.weight;
    tm.tmDigitizedAspectX = 96;
    tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFFFC;
    tm.tmDefaultChar = 0x1F;
    tm.tmBreakChar = 0x20;
    tm.tmItalic = face.italic;
    tm.tmUnderlined = face.underline;
    tm.tmStruckOut = face.strikeOut;
    tm.tmPitchAndFamily = VARIABLE_PITCH | FF_SWISS;  // a proportional font, in the platform's sense of the bit
    tm.tmCharSet = HANGEUL_CHARSET;
    *lptm = tm;
    return TRUE;
}

extern "C" BOOL WINAPI GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int cbString, LPSIZE lpSize) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    if (!dc) return FALSE;
    if (!validText(lpString, cbString) || !lpSize) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    FontFace& face = faceOf(*dc);
    lpSize->cx = textWidth(face, std::u16string_view(lpString, cbString));
    lpSize->cy = face.height();
    return TRUE;
}

extern "C" BOOL WINAPI GetTextExtentExPointW(HDC hdc, LPCWSTR lpszStr, int cchString, int nMaxExtent, INT* lpnFit,
                                             INT* alpDx, LPSIZE lpSize) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    if (!dc) return FALSE;
    if (!validText(lpszStr, cchString) || !lpSize) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    FontFace& face = faceOf(*dc);
    const std::vector<int> advances = unitAdvances(face, std::u16string_view(lpszStr, cchString));
    // Partial extents: the width of the first i + 1 units.
    std::vector<int> extents(advances.size());
    std::partial_sum(advances.begin(), advances.end(), extents.begin());
    int fit = static_cast<int>(extents.size());
    if (lpnFit) {
        fit = static_cast<int>(std::upper_bound(extents.begin(), extents.end(), nMaxExtent) - extents.begin());
        *lpnFit = fit;
    }
    if (alpDx) std::copy_n(extents.begin(), fit, alpDx);
    lpSize->cx = extents.empty() ? 0 : extents.back();
    lpSize->cy = face.height();
    return TRUE;
}

extern "C" BOOL WINAPI ExtTextOutW(HDC hdc, int X, int Y, UINT fuOptions, CONST RECT* lprc, LPCWSTR lpString,
                                   UINT cbCount, CONST INT* lpDx) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    if (!dc) return FALSE;
    if (cbCount > static_cast<UINT>(INT32_MAX) || !validText(lpString, static_cast<int>(cbCount))) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::u16string_view text(lpString ? lpString : u"", cbCount);
    FontFace& face = faceOf(*dc);
    Canvas canvas(*dc);
    if ((fuOptions & ETO_OPAQUE) && lprc) canvas.fill(*lprc, canvas.pixelFor(dc->bkColor));
    if (text.empty()) return TRUE;

    std::vector<int> advances = lpDx ? std::vector<int>(lpDx, lpDx + cbCount) : unitAdvances(face, text);
    int64_t width = 0;
    for (int a : advances) width += a;
    int64_t x = tame(X), top = tame(Y);
    const UINT horizontal = dc->textAlign & TA_CENTER;  // TA_CENTER covers TA_RIGHT's bit
    if (horizontal == TA_CENTER)
        x -= width / 2;
    else if (horizontal == TA_RIGHT)
        x -= width;
    if ((dc->textAlign & TA_BASELINE) == TA_BASELINE)
        top -= face.ascent;
    else if (dc->textAlign & TA_BOTTOM)
        top -= face.height();

    TextLine line;
    line.text = text;
    line.advances = advances.data();
    line.x = static_cast<LONG>(std::clamp<int64_t>(x, INT32_MIN, INT32_MAX));
    line.top = static_cast<LONG>(top);
    drawTextLine(canvas, face, line, (fuOptions & ETO_CLIPPED) && lprc ? lprc : nullptr);
    return TRUE;
}
