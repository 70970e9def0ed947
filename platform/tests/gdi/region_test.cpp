// Regions: the Region class's exact set operations and its banded
// decomposition, and the HRGN functions on top of it.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "gdi_test_support.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/region.h"

using gdi_test::kSentinel;
using platform::gdi::Region;

namespace {

Region unionOf(const std::vector<RECT>& rects) {
    Region region;
    for (const RECT& r : rects) region = region.united(Region(r));
    return region;
}

bool inAny(const std::vector<RECT>& rects, LONG x, LONG y) {
    for (const RECT& r : rects)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
    return false;
}

std::string describe(const std::vector<RECT>& rects) {
    std::string text;
    for (const RECT& r : rects) text += gdi_test::describe(r) + " ";
    return text;
}

enum class Op { unite, intersect, subtract, exclusiveOr };

struct SetCase {
    const char* name;
    std::vector<RECT> a;
    std::vector<RECT> b;
    Op op;
    std::vector<RECT> expected;  // the banded decomposition
};

TEST(RegionClass, SetOperationsAreExactAndBanded) {
    const SetCase cases[] = {
        {"overlapping union makes three bands", {{0, 0, 4, 2}}, {{2, 1, 6, 4}}, Op::unite,
         {{0, 0, 4, 1}, {0, 1, 6, 2}, {2, 2, 6, 4}}},
        {"touching rectangles become one", {{0, 0, 2, 3}}, {{2, 0, 5, 3}}, Op::unite, {{0, 0, 5, 3}}},
        {"stacked rectangles of equal spans become one", {{1, 0, 4, 2}}, {{1, 2, 4, 5}}, Op::unite, {{1, 0, 4, 5}}},
        {"a shared band merges its spans", {{0, 0, 2, 2}, {4, 0, 6, 2}}, {{2, 0, 4, 1}}, Op::unite,
         {{0, 0, 6, 1}, {0, 1, 2, 2}, {4, 1, 6, 2}}},
        {"union with nothing", {{1, 1, 3, 2}}, {}, Op::unite, {{1, 1, 3, 2}}},
        {"intersection of overlapping", {{0, 0, 4, 3}}, {{2, 1, 6, 5}}, Op::intersect, {{2, 1, 4, 3}}},
        {"intersection of disjoint is empty", {{0, 0, 2, 2}}, {{3, 3, 5, 5}}, Op::intersect, {}},
        {"intersection with a ring", {{0, 0, 6, 1}, {0, 1, 1, 4}, {5, 1, 6, 4}, {0, 4, 6, 5}}, {{0, 2, 6, 3}},
         Op::intersect, {{0, 2, 1, 3}, {5, 2, 6, 3}}},
        {"difference punches a hole", {{0, 0, 5, 4}}, {{1, 1, 4, 3}}, Op::subtract,
         {{0, 0, 5, 1}, {0, 1, 1, 3}, {4, 1, 5, 3}, {0, 3, 5, 4}}},
        {"difference removing everything", {{1, 1, 3, 3}}, {{0, 0, 4, 4}}, Op::subtract, {}},
        {"difference of a corner", {{0, 0, 4, 4}}, {{2, 2, 6, 6}}, Op::subtract, {{0, 0, 4, 2}, {0, 2, 2, 4}}},
        {"exclusive or of overlapping", {{0, 0, 4, 2}}, {{2, 1, 6, 3}}, Op::exclusiveOr,
         {{0, 0, 4, 1}, {0, 1, 2, 2}, {4, 1, 6, 2}, {2, 2, 6, 3}}},
        {"exclusive or with itself is empty", {{1, 1, 4, 4}}, {{1, 1, 4, 4}}, Op::exclusiveOr, {}},
    };
    for (const SetCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Region a = unionOf(c.a), b = unionOf(c.b);
        Region result;
        std::function<bool(bool, bool)> keep;
        switch (c.op) {
            case Op::unite: result = a.united(b), keep = [](bool p, bool q) { return p || q; }; break;
            case Op::intersect: result = a.intersected(b), keep = [](bool p, bool q) { return p && q; }; break;
            case Op::subtract: result = a.subtracted(b), keep = [](bool p, bool q) { return p && !q; }; break;
            case Op::exclusiveOr: result = a.xored(b), keep = [](bool p, bool q) { return p != q; }; break;
        }
        EXPECT_EQ(describe(result.rects()), describe(c.expected));
        EXPECT_EQ(result.empty(), c.expected.empty());
        for (LONG y = -1; y < 8; ++y)
            for (LONG x = -1; x < 8; ++x)
                ASSERT_EQ(result.contains(x, y), keep(inAny(c.a, x, y), inAny(c.b, x, y))) << "pixel " << x << ", " << y;
        EXPECT_EQ(gdi_test::describe(result.box()), gdi_test::describe(unionOf(c.expected).box()));
    }
}

TEST(RegionClass, SamePixelsCompareEqualWhateverTheirHistory) {
    const Region oneWay = unionOf({{0, 0, 4, 2}, {0, 2, 2, 4}});
    const Region otherWay = Region(RECT{0, 0, 4, 4}).subtracted(Region(RECT{2, 2, 4, 4}));
    EXPECT_TRUE(oneWay == otherWay);
    EXPECT_EQ(describe(oneWay.rects()), describe(otherWay.rects()));
    EXPECT_FALSE(oneWay == Region(RECT{0, 0, 4, 4}));

    // Empty or inverted rectangles hold no pixels.
    EXPECT_TRUE(Region(RECT{3, 3, 3, 9}).empty());
    EXPECT_TRUE(Region(RECT{5, 0, 1, 4}).empty());
    EXPECT_EQ(gdi_test::describe(Region().box()), gdi_test::describe({0, 0, 0, 0}));
    EXPECT_TRUE(Region() == Region(RECT{2, 2, 2, 2}));

    const Region moved = oneWay.offset(10, -5);
    EXPECT_TRUE(moved.contains(10, -5));
    EXPECT_FALSE(moved.contains(12, -3));
    EXPECT_TRUE(moved.contains(11, -2));
}

// A region made from a program's table of steps, as a switch program shapes
// its 120-pixel disc button: each step narrows a rectangle and the rectangles
// are united into one region.
TEST(RegionFunctions, DiscFromStepTableCoversItsRows) {
    const POINT steps[] = {{60, 0}, {-10, 1}, {-4, 1}, {-3, 1}, {-4, 1}, {-3, 1}, {-1, 1}, {-3, 1}, {-2, 1},
                           {-2, 1}, {-1, 1},  {-1, 1}, {-2, 1}, {-1, 1}, {-1, 1}, {-2, 1}, {-1, 1}, {-1, 1},
                           {-1, 2}, {-2, 2},  {-1, 1}, {-1, 1}, {-1, 1}, {-1, 2}, {-1, 1}, {-1, 2}, {-1, 1},
                           {-1, 3}, {-2, 3},  {-1, 3}, {-1, 4}, {-1, 4}, {-1, 4}, {-1, 9}};
    RECT r{0, 0, 120, 120};
    std::vector<RECT> rects;
    HRGN disc = nullptr;
    for (const POINT& step : steps) {
        r = {r.left + step.x, r.top + step.y, r.right - step.x, r.bottom - step.y};
        rects.push_back(r);
        if (!disc) {
            disc = CreateRectRgn(r.left, r.top, r.right, r.bottom);
            ASSERT_NE(disc, nullptr);
            continue;
        }
        HRGN part = CreateRectRgn(r.left, r.top, r.right, r.bottom);
        ASSERT_NE(CombineRgn(disc, disc, part, RGN_OR), ERROR);
        ASSERT_TRUE(DeleteObject(part));
    }
    EXPECT_EQ(gdi_test::describe(rects.front()), gdi_test::describe({60, 0, 60, 120}));
    EXPECT_EQ(gdi_test::describe(rects.back()), gdi_test::describe({0, 60, 120, 60}));

    RECT box{1, 2, 3, 4};
    EXPECT_EQ(GetRgnBox(disc, &box), COMPLEXREGION);
    EXPECT_EQ(gdi_test::describe(box), gdi_test::describe({1, 1, 119, 119}));  // rows and columns 1 to 118
    for (LONG y = 0; y < 120; ++y)
        for (LONG x = 0; x < 120; ++x) {
            ASSERT_EQ(PtInRegion(disc, x, y) != FALSE, inAny(rects, x, y)) << x << ", " << y;
            ASSERT_EQ(PtInRegion(disc, x, y), PtInRegion(disc, 119 - x, y)) << "mirror of " << x << ", " << y;
        }
    EXPECT_FALSE(PtInRegion(disc, 5, 5));  // a corner of the picture is outside
    EXPECT_TRUE(PtInRegion(disc, 60, 60));
    EXPECT_TRUE(DeleteObject(disc));
}

TEST(RegionFunctions, CombineReturnsTheKindOfResult) {
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(5, 5, 15, 15);
    HRGN far = CreateRectRgn(50, 50, 60, 60);
    HRGN dest = CreateRectRgn(0, 0, 0, 0);
    const struct {
        HRGN first, second;
        int mode;
        int expected;
    } cases[] = {
        {a, b, RGN_AND, SIMPLEREGION},  {a, b, RGN_OR, COMPLEXREGION},   {a, b, RGN_XOR, COMPLEXREGION},
        {a, b, RGN_DIFF, COMPLEXREGION}, {a, far, RGN_AND, NULLREGION}, {a, a, RGN_DIFF, NULLREGION},
        {a, nullptr, RGN_COPY, SIMPLEREGION},  // RGN_COPY ignores the second region
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "mode " << c.mode);
        EXPECT_EQ(CombineRgn(dest, c.first, c.second, c.mode), c.expected);
    }

    // The destination may be one of the sources.
    EXPECT_EQ(CombineRgn(a, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(a, 14, 14));
    EXPECT_FALSE(PtInRegion(a, 14, 0));
    for (HRGN h : {a, b, far, dest}) DeleteObject(h);
}

TEST(RegionFunctions, BadArgumentsFailAndChangeNothing) {
    HRGN dest = CreateRectRgn(1, 1, 3, 3);
    HRGN source = CreateRectRgn(0, 0, 9, 9);
    HRGN stale = CreateRectRgn(0, 0, 1, 1);
    ASSERT_TRUE(DeleteObject(stale));
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));

    const struct {
        const char* what;
        HRGN first, second;
        int mode;
        DWORD error;
    } cases[] = {
        {"unknown mode", source, source, 6, ERROR_INVALID_PARAMETER},
        {"mode 0", source, source, 0, ERROR_INVALID_PARAMETER},
        {"stale source", stale, source, RGN_OR, ERROR_INVALID_HANDLE},
        {"stale second source", source, stale, RGN_AND, ERROR_INVALID_HANDLE},
        {"brush as a region", reinterpret_cast<HRGN>(brush), source, RGN_OR, ERROR_INVALID_HANDLE},
        {"null source", nullptr, source, RGN_COPY, ERROR_INVALID_HANDLE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetLastError(kSentinel);
        EXPECT_EQ(CombineRgn(dest, c.first, c.second, c.mode), ERROR);
        EXPECT_EQ(GetLastError(), c.error);
        RECT box{};
        EXPECT_EQ(GetRgnBox(dest, &box), SIMPLEREGION);
        EXPECT_EQ(gdi_test::describe(box), gdi_test::describe({1, 1, 3, 3}));
    }
    SetLastError(kSentinel);
    EXPECT_EQ(CombineRgn(stale, source, nullptr, RGN_COPY), ERROR);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);

    // Out-parameters of failed calls stay as they were.
    RECT untouched{7, 7, 7, 7};
    SetLastError(kSentinel);
    EXPECT_EQ(GetRgnBox(stale, &untouched), ERROR);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
    EXPECT_EQ(gdi_test::describe(untouched), gdi_test::describe({7, 7, 7, 7}));
    SetLastError(kSentinel);
    EXPECT_EQ(GetRgnBox(dest, nullptr), ERROR);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);

    SetLastError(kSentinel);
    EXPECT_FALSE(PtInRegion(stale, 0, 0));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
    SetLastError(kSentinel);
    EXPECT_EQ(OffsetRgn(stale, 1, 1), ERROR);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
    SetLastError(kSentinel);
    EXPECT_FALSE(SetRectRgn(stale, 0, 0, 1, 1));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
    SetLastError(kSentinel);
    EXPECT_EQ(EqualRgn(dest, stale), ERROR);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
    SetLastError(kSentinel);
    EXPECT_EQ(CreateRectRgnIndirect(nullptr), nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);

    for (HGDIOBJ h : {static_cast<HGDIOBJ>(dest), static_cast<HGDIOBJ>(source), static_cast<HGDIOBJ>(brush)})
        DeleteObject(h);
}

TEST(RegionFunctions, CornersInAnyOrderAndEmptySizes) {
    const struct {
        RECT given;
        int type;
        RECT box;
    } cases[] = {
        {{10, 20, 0, 5}, SIMPLEREGION, {0, 5, 10, 20}},  // corners swapped
        {{0, 0, 0, 10}, NULLREGION, {0, 0, 0, 0}},        // zero width
        {{4, 4, 8, 4}, NULLREGION, {0, 0, 0, 0}},         // zero height
        {{-8, -4, -2, -1}, SIMPLEREGION, {-8, -4, -2, -1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(gdi_test::describe(c.given));
        HRGN region = CreateRectRgnIndirect(&c.given);
        ASSERT_NE(region, nullptr);
        RECT box{static_cast<LONG>(kSentinel), 0, 0, 0};
        EXPECT_EQ(GetRgnBox(region, &box), c.type);
        EXPECT_EQ(gdi_test::describe(box), gdi_test::describe(c.box));
        ASSERT_TRUE(SetRectRgn(region, c.given.right, c.given.bottom, c.given.left, c.given.top));
        EXPECT_EQ(GetRgnBox(region, &box), c.type);
        EXPECT_EQ(gdi_test::describe(box), gdi_test::describe(c.box));
        DeleteObject(region);
    }
}

TEST(RegionFunctions, OffsetEqualAndRectInRegion) {
    HRGN a = CreateRectRgn(0, 0, 4, 4);
    HRGN b = CreateRectRgn(10, 10, 14, 14);
    EXPECT_FALSE(EqualRgn(a, b));
    EXPECT_EQ(OffsetRgn(a, 10, 10), SIMPLEREGION);
    EXPECT_TRUE(EqualRgn(a, b));

    // A move past the coordinate range fails and leaves the region in place.
    SetLastError(kSentinel);
    EXPECT_EQ(OffsetRgn(a, INT32_MAX, 0), ERROR);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(EqualRgn(a, b));
    // An empty region moves anywhere.
    HRGN empty = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(OffsetRgn(empty, INT32_MAX, INT32_MIN), NULLREGION);

    const RECT touching{14, 10, 20, 20}, overlapping{13, 13, 20, 20}, reversed{20, 20, 13, 13};
    EXPECT_FALSE(RectInRegion(b, &touching));  // right and bottom edges are outside
    EXPECT_TRUE(RectInRegion(b, &overlapping));
    EXPECT_TRUE(RectInRegion(b, &reversed));
    for (HRGN h : {a, b, empty}) DeleteObject(h);
}

}  // namespace
