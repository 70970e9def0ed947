// Regions are kept in the banded form: the rectangles are grouped in bands of
// equal top and bottom, bands never overlap and are sorted top to bottom, the
// rectangles of a band are sorted left to right and never touch, and two
// adjacent bands never have the same spans (they would be one band). That form
// is unique for a set of pixels, so equality compares rectangles and a
// rectangle count of one means a simple region.
#include "region.h"

#include <algorithm>
#include <limits>

namespace platform::gdi {

namespace {

struct Span {
    LONG left;
    LONG right;
    bool operator==(const Span&) const = default;
};

// One band of a region: its rows and its spans, left to right.
struct Band {
    LONG top;
    LONG bottom;
    std::vector<Span> spans;
};

std::vector<Band> bandsOf(const std::vector<RECT>& rects) {
    std::vector<Band> bands;
    for (const RECT& r : rects) {
        if (bands.empty() || bands.back().top != r.top) bands.push_back({r.top, r.bottom, {}});
        bands.back().spans.push_back({r.left, r.right});
    }
    return bands;
}

// Combines two span lists pixel by pixel with keep(inFirst, inSecond).
template <class Keep>
std::vector<Span> combineSpans(const std::vector<Span>& a, const std::vector<Span>& b, Keep keep) {
    std::vector<LONG> edges;
    edges.reserve(2 * (a.size() + b.size()));
    for (const Span& s : a) edges.insert(edges.end(), {s.left, s.right});
    for (const Span& s : b) edges.insert(edges.end(), {s.left, s.right});
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

    std::vector<Span> out;
    size_t ia = 0, ib = 0;
    for (size_t i = 0; i + 1 < edges.size(); ++i) {
        const LONG x = edges[i];
        while (ia < a.size() && a[ia].right <= x) ++ia;
        while (ib < b.size() && b[ib].right <= x) ++ib;
        const bool inA = ia < a.size() && a[ia].left <= x;
        const bool inB = ib < b.size() && b[ib].left <= x;
        if (!keep(inA, inB)) continue;
        if (!out.empty() && out.back().right == x)
            out.back().right = edges[i + 1];
        else
            out.push_back({x, edges[i + 1]});
    }
    return out;
}

// The spans of the band that covers row y, or none.
const std::vector<Span>& spansAt(const std::vector<Band>& bands, size_t& cursor, LONG y) {
    static const std::vector<Span> kNone;
    while (cursor < bands.size() && bands[cursor].bottom <= y) ++cursor;
    if (cursor < bands.size() && bands[cursor].top <= y) return bands[cursor].spans;
    return kNone;
}

template <class Keep>
std::vector<RECT> combine(const std::vector<RECT>& first, const std::vector<RECT>& second, Keep keep) {
    const std::vector<Band> a = bandsOf(first);
    const std::vector<Band> b = bandsOf(second);
    std::vector<LONG> rows;
    rows.reserve(2 * (a.size() + b.size()));
    for (const Band& band : a) rows.insert(rows.end(), {band.top, band.bottom});
    for (const Band& band : b) rows.insert(rows.end(), {band.top, band.bottom});
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());

    std::vector<Band> out;
    size_t ca = 0, cb = 0;
    for (size_t i = 0; i + 1 < rows.size(); ++i) {
        std::vector<Span> spans = combineSpans(spansAt(a, ca, rows[i]), spansAt(b, cb, rows[i]), keep);
        if (spans.empty()) continue;
        if (!out.empty() && out.back().bottom == rows[i] && out.back().spans == spans)
            out.back().bottom = rows[i + 1];  // same spans as the band above: one band
        else
            out.push_back({rows[i], rows[i + 1], std::move(spans)});
    }

    std::vector<RECT> rects;
    for (const Band& band : out)
        for (const Span& s : band.spans) rects.push_back({s.left, band.top, s.right, band.bottom});
    return rects;
}

}  // namespace

Region::Region(const RECT& rect) {
    if (rect.left < rect.right && rect.top < rect.bottom) rects_.push_back(rect);
}

bool Region::contains(LONG x, LONG y) const {
    // The first rectangle whose band ends below y, then its band's spans.
    auto it = std::upper_bound(rects_.begin(), rects_.end(), y,
                               [](LONG row, const RECT& r) { return row < r.bottom; });
    for (; it != rects_.end() && it->top <= y; ++it)
        if (x >= it->left && x < it->right) return true;
    return false;
}

RECT Region::box() const {
    if (rects_.empty()) return {0, 0, 0, 0};
    RECT box{std::numeric_limits<LONG>::max(), rects_.front().top, std::numeric_limits<LONG>::min(),
             rects_.back().bottom};
    for (const RECT& r : rects_) {
        box.left = std::min(box.left, r.left);
        box.right = std::max(box.right, r.right);
    }
    return box;
}

bool Region::operator==(const Region& other) const {
    return std::equal(rects_.begin(), rects_.end(), other.rects_.begin(), other.rects_.end(),
                      [](const RECT& a, const RECT& b) {
                          return a.left == b.left && a.top == b.top && a.right == b.right &&
                                 a.bottom == b.bottom;
                      });
}

Region Region::united(const Region& other) const {
    Region result;
    result.rects_ = combine(rects_, other.rects_, [](bool a, bool b) { return a || b; });
    return result;
}

Region Region::intersected(const Region& other) const {
    Region result;
    result.rects_ = combine(rects_, other.rects_, [](bool a, bool b) { return a && b; });
    return result;
}

Region Region::subtracted(const Region& other) const {
    Region result;
    result.rects_ = combine(rects_, other.rects_, [](bool a, bool b) { return a && !b; });
    return result;
}

Region Region::xored(const Region& other) const {
    Region result;
    result.rects_ = combine(rects_, other.rects_, [](bool a, bool b) { return a != b; });
    return result;
}

Region Region::offset(LONG dx, LONG dy) const {
    Region result = *this;
    for (RECT& r : result.rects_) {
        r.left += dx;
        r.right += dx;
        r.top += dy;
        r.bottom += dy;
    }
    return result;
}

}  // namespace platform::gdi
