// Region objects: CreateRectRgn and kin, CombineRgn, the queries, OffsetRgn.
#include <windows.h>

#include <algorithm>

#include "gdi_objects.h"

using namespace platform::gdi;
using platform::kernel::setLastError;

namespace {

// The rectangle with its corners in order: the region is the same whichever
// corners the program names.
RECT ordered(int left, int top, int right, int bottom) {
    return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

HRGN insertRegion(Region region) {
    return static_cast<HRGN>(insertObject(std::make_shared<RegionObject>(std::move(region))));
}

}  // namespace

extern "C" HRGN WINAPI CreateRectRgn(int nLeftRect, int nTopRect, int nRightRect, int nBottomRect) {
    std::lock_guard lock(gdiLock());
    return insertRegion(Region(ordered(nLeftRect, nTopRect, nRightRect, nBottomRect)));
}

extern "C" HRGN WINAPI CreateRectRgnIndirect(CONST RECT* lprc) {
    if (!lprc) {
        setLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreateRectRgn(lprc->left, lprc->top, lprc->right, lprc->bottom);
}

extern "C" BOOL WINAPI SetRectRgn(HRGN hrgn, int nLeftRect, int nTopRect, int nRightRect, int nBottomRect) {
    std::lock_guard lock(gdiLock());
    auto object = resolveObject<RegionObject>(hrgn);
    if (!object) return FALSE;
    object->region = Region(ordered(nLeftRect, nTopRect, nRightRect, nBottomRect));
    return TRUE;
}

extern "C" int WINAPI CombineRgn(HRGN hrgnDest, HRGN hrgnSrc1, HRGN hrgnSrc2, int fnCombineMode) {
    std::lock_guard lock(gdiLock());
    auto dest = resolveObject<RegionObject>(hrgnDest);
    if (!dest) return ERROR;
    auto first = resolveObject<RegionObject>(hrgnSrc1);
    if (!first) return ERROR;
    if (fnCombineMode == RGN_COPY) {
        dest->region = first->region;
        return regionType(dest->region);
    }
    if (fnCombineMode < RGN_AND || fnCombineMode > RGN_DIFF) {
        setLastError(ERROR_INVALID_PARAMETER);
        return ERROR;
    }
    auto second = resolveObject<RegionObject>(hrgnSrc2);
    if (!second) return ERROR;
    const Region& a = first->region;
    const Region& b = second->region;
    switch (fnCombineMode) {
        case RGN_AND: dest->region = a.intersected(b); break;
        case RGN_OR: dest->region = a.united(b); break;
        case RGN_XOR: dest->region = a.xored(b); break;
        case RGN_DIFF: dest->region = a.subtracted(b); break;
    }
    return regionType(dest->region);
}

extern "C" BOOL WINAPI EqualRgn(HRGN hSrcRgn1, HRGN hSrcRgn2) {
    std::lock_guard lock(gdiLock());
    auto first = resolveObject<RegionObject>(hSrcRgn1);
    if (!first) return ERROR;
    auto second = resolveObject<RegionObject>(hSrcRgn2);
    if (!second) return ERROR;
    return first->region == second->region;
}

extern "C" int WINAPI OffsetRgn(HRGN hrgn, int nXOffset, int nYOffset) {
    std::lock_guard lock(gdiLock());
    auto object = resolveObject<RegionObject>(hrgn);
    if (!object) return ERROR;
    // A move that would carry the region past the coordinate range fails and
    // leaves it where it was.
    const RECT box = object->region.box();
    auto fits = [](int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; };
    if (!object->region.empty() &&
        !(fits(int64_t{box.left} + nXOffset) && fits(int64_t{box.right} + nXOffset) &&
          fits(int64_t{box.top} + nYOffset) && fits(int64_t{box.bottom} + nYOffset))) {
        setLastError(ERROR_INVALID_PARAMETER);
        return ERROR;
    }
    object->region = object->region.offset(nXOffset, nYOffset);
    return regionType(object->region);
}

extern "C" BOOL WINAPI PtInRegion(HRGN hrgn, int X, int Y) {
    std::lock_guard lock(gdiLock());
    auto object = resolveObject<RegionObject>(hrgn);
    return object && object->region.contains(X, Y);
}

extern "C" BOOL WINAPI RectInRegion(HRGN hrgn, CONST RECT* lprc) {
    std::lock_guard lock(gdiLock());
    auto object = resolveObject<RegionObject>(hrgn);
    if (!object) return FALSE;
    if (!lprc) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const Region rect(ordered(lprc->left, lprc->top, lprc->right, lprc->bottom));
    return !object->region.intersected(rect).empty();
}

extern "C" int WINAPI GetRgnBox(HRGN hrgn, LPRECT lprc) {
    std::lock_guard lock(gdiLock());
    auto object = resolveObject<RegionObject>(hrgn);
    if (!object) return ERROR;
    if (!lprc) {
        setLastError(ERROR_INVALID_PARAMETER);
        return ERROR;
    }
    *lprc = object->region.box();
    return regionType(object->region);
}
