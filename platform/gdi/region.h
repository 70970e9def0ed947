// A region: a set of pixels made of non-overlapping rectangles. Used by GDI's
// HRGN objects, clipping, and the window system's window regions and hit tests.
#pragma once

#include <windef.h>

#include <vector>

namespace platform::gdi {

class Region {
public:
    Region() = default;
    explicit Region(const RECT& rect);

    bool empty() const { return rects_.empty(); }
    bool contains(LONG x, LONG y) const;
    RECT box() const;                 // {0,0,0,0} when empty
    bool operator==(const Region& other) const;  // same pixels

    Region united(const Region& other) const;
    Region intersected(const Region& other) const;
    Region subtracted(const Region& other) const;
    Region xored(const Region& other) const;
    Region offset(LONG dx, LONG dy) const;

    // Non-overlapping rectangles, sorted top to bottom, then left to right.
    const std::vector<RECT>& rects() const { return rects_; }

private:
    std::vector<RECT> rects_;
};

}  // namespace platform::gdi
