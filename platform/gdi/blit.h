// The pixel engine behind BitBlt, StretchBlt and DrawIconEx: nearest-neighbour
// mapping of a source rectangle onto a destination rectangle, clipped to the
// destination's clip.
//
// Extents are signed, as the platform gives them: a negative width puts the
// image's first column at the origin and runs it towards smaller x (so the
// rectangle covers origin + width + 1 .. origin); when the signs of the source
// and destination extents differ, the image is mirrored on that axis.
// Destination pixels whose source pixel lies outside the source are left alone.
//
// Thread: any, with gdiLock() held.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "device_context.h"

namespace platform::gdi {

// One axis of a blit: which destination coordinates are drawn and, for each,
// the source coordinate (or -1 outside the source).
struct AxisMap {
    int64_t first = 0;  // first visible destination coordinate
    std::vector<int> source;
};

// dstOrigin/dstExtent and srcOrigin/srcExtent in surface coordinates;
// visibleFrom..visibleTo bounds the destination (the clip box). srcLimit is
// the source surface's size along the axis.
AxisMap mapAxis(int64_t dstOrigin, int64_t dstExtent, int64_t srcOrigin, int64_t srcExtent, int64_t visibleFrom,
                int64_t visibleTo, int srcLimit);

// Calls dst = op(dst, index) for every destination pixel drawn, where index
// is the source pixel's offset from source.row(0). dst* are in the canvas's DC
// coordinates, src* in the source surface's coordinates.
template <class Op>
void stretchPixels(Canvas& canvas, int64_t xDst, int64_t yDst, int64_t wDst, int64_t hDst, const Surface& source,
                   int64_t xSrc, int64_t ySrc, int64_t wSrc, int64_t hSrc, Op op) {
    if (!canvas.surface() || canvas.clip().empty()) return;
    const RECT box = canvas.clip().box();
    const POINT o = canvas.origin();
    const AxisMap columns = mapAxis(xDst + o.x, wDst, xSrc, wSrc, box.left, box.right, source.width());
    const AxisMap rows = mapAxis(yDst + o.y, hDst, ySrc, hSrc, box.top, box.bottom, source.height());
    if (columns.source.empty() || rows.source.empty()) return;

    // The columns with a source pixel are contiguous: the mapping is monotonic.
    auto firstValid = std::find_if(columns.source.begin(), columns.source.end(), [](int c) { return c >= 0; });
    if (firstValid == columns.source.end()) return;
    auto lastValid = std::find_if(columns.source.rbegin(), columns.source.rend(), [](int c) { return c >= 0; });
    const LONG left = static_cast<LONG>(columns.first + (firstValid - columns.source.begin()));
    const LONG right = static_cast<LONG>(columns.first + (columns.source.rend() - lastValid));
    const LONG top = static_cast<LONG>(rows.first);
    const LONG bottom = static_cast<LONG>(rows.first + static_cast<int64_t>(rows.source.size()));
    const int* column = columns.source.data();  // indexed by destination x - columns.first
    const int64_t firstColumn = columns.first;
    const size_t stride = static_cast<size_t>(source.width());

    canvas.forEachSpan({left, top, right, bottom}, [&](uint16_t* row, int y, int x0, int x1) {
        const int sy = rows.source[y - rows.first];
        if (sy < 0) return;
        const size_t base = stride * static_cast<size_t>(sy);
        const int* mapped = column + (x0 - firstColumn);
        for (int x = x0; x < x1; ++x) row[x] = op(row[x], base + static_cast<size_t>(*mapped++));
    });
}

// Ternary raster operation code (bits 16-23 of a ROP) applied bit by bit to
// pattern, source and destination pixels.
uint16_t applyRop3(uint8_t code, uint16_t pattern, uint16_t source, uint16_t dest);
inline bool ropUsesSource(DWORD rop) { return (((rop >> 2) ^ rop) & 0x330000) != 0; }
inline bool ropUsesPattern(DWORD rop) { return (((rop >> 4) ^ rop) & 0x0F0000) != 0; }

}  // namespace platform::gdi
