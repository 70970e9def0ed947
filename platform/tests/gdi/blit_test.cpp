// BitBlt, StretchBlt and PatBlt: sizes and signs, clipping, raster
// operations and the monochrome conversions; FillRect and the shapes.
#include <windows.h>

#include <gtest/gtest.h>

#include "gdi_test_support.h"

using gdi_test::colourOf;
using gdi_test::kSentinel;
using gdi_test::MemoryDC;
using gdi_test::WindowDC;
using platform::gdi::Region;
using platform::gdi::toRgb565;

namespace {

// A source bitmap holding a picture, in a memory DC.
struct Picture {
    explicit Picture(const std::vector<std::string>& rows)
        : dc(static_cast<int>(rows[0].size()), static_cast<int>(rows.size())) {
        for (size_t y = 0; y < rows.size(); ++y)
            for (size_t x = 0; x < rows[y].size(); ++x)
                SetPixel(dc.hdc, static_cast<int>(x), static_cast<int>(y), colourOf(rows[y][x]));
    }
    MemoryDC dc;
};

const std::vector<std::string> kSource = {"RGB", "YCM"};

struct StretchCase {
    const char* name;
    int x, y, w, h;          // destination
    int sx, sy, sw, sh;      // source
    std::vector<std::string> expected;  // the 8 x 4 destination afterwards
};

TEST(StretchBlt, SizesSignsAndPlacement) {
    const StretchCase cases[] = {
        {"same size", 1, 1, 3, 2, 0, 0, 3, 2, {"........", ".RGB....", ".YCM....", "........"}},
        {"part of the source", 0, 0, 2, 1, 1, 1, 2, 1, {"CM......", "........", "........", "........"}},
        {"twice as wide and high", 0, 0, 6, 4, 0, 0, 3, 2, {"RRGGBB..", "RRGGBB..", "YYCCMM..", "YYCCMM.."}},
        {"to half its width", 0, 0, 2, 2, 0, 0, 3, 2, {"RB......", "YM......", "........", "........"}},
        {"mirrored by a negative destination width", 3, 0, -3, 2, 0, 0, 3, 2,
         {".BGR....", ".MCY....", "........", "........"}},
        {"mirrored by a negative source height", 0, 0, 3, 2, 0, 1, 3, -2, {"YCM.....", "RGB.....", "........", "........"}},
        {"both negative: no mirror", 2, 1, -3, -2, 2, 1, -3, -2, {"RGB.....", "YCM.....", "........", "........"}},
        {"source partly outside leaves those pixels", 0, 0, 4, 2, 1, 0, 4, 2,
         {"GB......", "CM......", "........", "........"}},
        {"destination partly off the surface", -1, 3, 3, 2, 0, 0, 3, 2,
         {"........", "........", "........", "GB......"}},
        {"zero destination width draws nothing", 0, 0, 0, 2, 0, 0, 3, 2,
         {"........", "........", "........", "........"}},
    };
    Picture source(kSource);
    for (const StretchCase& c : cases) {
        SCOPED_TRACE(c.name);
        WindowDC window(8, 4);
        EXPECT_TRUE(StretchBlt(window.hdc, c.x, c.y, c.w, c.h, source.dc.hdc, c.sx, c.sy, c.sw, c.sh, SRCCOPY));
        EXPECT_PICTURE(*window.surface, 0, 0, c.expected);
    }
}

TEST(StretchBlt, AFramesPixelsLandWhereNearestNeighbourPutsThem) {
    // A camera preview frame, 320 x 240, onto a 240 x 268 client area.
    std::vector<uint16_t> frame(320 * 240);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) frame[y * 320 + x] = static_cast<uint16_t>((y << 8) ^ x);
    MemoryDC source(CreateBitmap(320, 240, 1, 16, frame.data()));
    WindowDC window(240, 268 + 4, {0, 4});  // the client area starts 4 rows down the surface
    ASSERT_TRUE(StretchBlt(window.hdc, 0, 0, 240, 268, source.hdc, 0, 0, 320, 240, SRCCOPY));
    for (int y = 0; y < 268; y += 7)
        for (int x = 0; x < 240; x += 5) {
            const int sx = (2 * x + 1) * 320 / (2 * 240), sy = (2 * y + 1) * 240 / (2 * 268);
            ASSERT_EQ(window.surface->row(y + 4)[x], frame[sy * 320 + sx]) << x << ", " << y;
        }
    // The last row and column come from the source's last ones.
    EXPECT_EQ(window.surface->row(4 + 267)[239], frame[239 * 320 + 319]);
    EXPECT_EQ(window.surface->row(3)[0], 0xFFFF) << "above the client area nothing is drawn";
}

TEST(BitBlt, ClippedToTheWindowsClip) {
    // A window whose clip has a hole where a child covers it.
    const Region clip = Region(RECT{0, 0, 6, 4}).subtracted(Region(RECT{2, 1, 4, 3}));
    WindowDC window(8, 4, {0, 0}, clip);
    Picture source({"MMMMMMMM", "MMMMMMMM", "MMMMMMMM", "MMMMMMMM"});
    ASSERT_TRUE(BitBlt(window.hdc, -2, -2, 20, 20, source.dc.hdc, -2, -2, SRCCOPY));
    EXPECT_PICTURE(*window.surface, 0, 0, {"MMMMMM..", "MM..MM..", "MM..MM..", "MMMMMM.."});
}

TEST(BitBlt, WithinOneSurfaceReadsWhatWasThere) {
    Picture picture({"RGBY....", "........"});
    ASSERT_TRUE(BitBlt(picture.dc.hdc, 2, 0, 4, 1, picture.dc.hdc, 0, 0, SRCCOPY));  // scroll right by 2
    WindowDC copy(8, 2);
    BitBlt(copy.hdc, 0, 0, 8, 2, picture.dc.hdc, 0, 0, SRCCOPY);
    EXPECT_PICTURE(*copy.surface, 0, 0, {"RGRGBY..", "........"});
}

TEST(BitBlt, RasterOperationsCombineBitByBit) {
    const uint16_t p = 0x0F0F, s = 0x3333, d = 0x5555;  // pattern (brush), source, destination
    const struct {
        const char* name;
        DWORD rop;
        uint16_t expected;
    } cases[] = {
        {"SRCCOPY", SRCCOPY, s},
        {"SRCPAINT", SRCPAINT, static_cast<uint16_t>(s | d)},
        {"SRCAND", SRCAND, static_cast<uint16_t>(s & d)},
        {"SRCINVERT", SRCINVERT, static_cast<uint16_t>(s ^ d)},
        {"SRCERASE", SRCERASE, static_cast<uint16_t>(s & ~d)},
        {"NOTSRCCOPY", NOTSRCCOPY, static_cast<uint16_t>(~s)},
        {"NOTSRCERASE", NOTSRCERASE, static_cast<uint16_t>(~(s | d))},
        {"MERGECOPY", MERGECOPY, static_cast<uint16_t>(p & s)},
        {"MERGEPAINT", MERGEPAINT, static_cast<uint16_t>(~s | d)},
        {"PATCOPY", PATCOPY, p},
        {"PATPAINT", PATPAINT, static_cast<uint16_t>(p | ~s | d)},
        {"PATINVERT", PATINVERT, static_cast<uint16_t>(p ^ d)},
        {"DSTINVERT", DSTINVERT, static_cast<uint16_t>(~d)},
        {"BLACKNESS", BLACKNESS, 0x0000},
        {"WHITENESS", WHITENESS, 0xFFFF},
    };
    MemoryDC source(CreateBitmap(1, 1, 1, 16, &s));
    HBRUSH brush = CreateSolidBrush(platform::gdi::fromRgb565(p));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WindowDC window(1, 1);
        window.surface->row(0)[0] = d;
        HGDIOBJ old = SelectObject(window.hdc, brush);
        EXPECT_TRUE(BitBlt(window.hdc, 0, 0, 1, 1, source.hdc, 0, 0, c.rop));
        EXPECT_EQ(window.surface->row(0)[0], c.expected) << std::hex << window.surface->row(0)[0];
        SelectObject(window.hdc, old);
    }
    DeleteObject(brush);
}

TEST(BitBlt, MonochromeAndColourConvertThroughTheDCsColours) {
    // Monochrome to colour: black takes the destination's text colour, white its background colour.
    const uint8_t bits[] = {0b01000000};
    MemoryDC mono(CreateBitmap(2, 1, 1, 1, bits));
    WindowDC window(2, 1);
    SetTextColor(window.hdc, colourOf('R'));
    SetBkColor(window.hdc, colourOf('B'));
    ASSERT_TRUE(BitBlt(window.hdc, 0, 0, 2, 1, mono.hdc, 0, 0, SRCCOPY));
    EXPECT_PICTURE(*window.surface, 0, 0, {"RB"});

    // Colour to monochrome: the source DC's background colour becomes white, all else black.
    Picture colour({"GYG"});
    SetBkColor(colour.dc.hdc, colourOf('G'));
    HDC monoDC = CreateCompatibleDC(nullptr);
    HBITMAP target = CreateCompatibleBitmap(monoDC, 3, 1);  // monochrome: made from a fresh memory DC
    HGDIOBJ old = SelectObject(monoDC, target);
    ASSERT_TRUE(BitBlt(monoDC, 0, 0, 3, 1, colour.dc.hdc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(monoDC, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(monoDC, 1, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(monoDC, 2, 0), RGB(255, 255, 255));
    // A colour drawn into a monochrome bitmap is black or white by brightness.
    RECT all{0, 0, 3, 1};
    HBRUSH yellow = CreateSolidBrush(colourOf('Y'));
    FillRect(monoDC, &all, yellow);
    EXPECT_EQ(GetPixel(monoDC, 1, 0), RGB(255, 255, 255));
    SelectObject(monoDC, old);
    DeleteDC(monoDC);
    DeleteObject(target);
    DeleteObject(yellow);
}

TEST(BitBlt, BadArguments) {
    WindowDC window(4, 4);
    Picture source({"RG"});
    HDC stale = CreateCompatibleDC(nullptr);
    DeleteDC(stale);
    EXPECT_FAILS_WITH(BitBlt(window.hdc, 0, 0, 2, 1, nullptr, 0, 0, SRCCOPY), FALSE, ERROR_INVALID_HANDLE);
    EXPECT_FAILS_WITH(BitBlt(window.hdc, 0, 0, 2, 1, stale, 0, 0, SRCCOPY), FALSE, ERROR_INVALID_HANDLE);
    EXPECT_FAILS_WITH(BitBlt(stale, 0, 0, 2, 1, source.dc.hdc, 0, 0, SRCCOPY), FALSE, ERROR_INVALID_HANDLE);
    EXPECT_FAILS_WITH(StretchBlt(window.hdc, 0, 0, 2, 2, source.dc.hdc, 0, 0, 0, 1, SRCCOPY), FALSE,
                      ERROR_INVALID_PARAMETER);
    EXPECT_FAILS_WITH(PatBlt(window.hdc, 0, 0, 2, 2, SRCCOPY), FALSE, ERROR_INVALID_PARAMETER);
    EXPECT_PICTURE(*window.surface, 0, 0, {"....", "....", "....", "...."});
    // Operations without a source need none; huge extents are clipped.
    EXPECT_TRUE(BitBlt(window.hdc, -5, 2, INT32_MAX, 1, nullptr, 0, 0, BLACKNESS));
    EXPECT_TRUE(StretchBlt(window.hdc, 0, 3, INT32_MAX, 1, source.dc.hdc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_PICTURE(*window.surface, 0, 0, {"....", "....", "####", "RRRR"});
    EXPECT_TRUE(PatBlt(window.hdc, 1, 0, 2, 2, PATCOPY));  // the white stock brush
    SelectObject(window.hdc, GetStockObject(NULL_BRUSH));
    EXPECT_TRUE(PatBlt(window.hdc, 0, 0, 4, 4, PATCOPY));  // a null brush paints nothing
    EXPECT_PICTURE(*window.surface, 0, 0, {"....", "....", "####", "RRRR"});
}

TEST(BitBlt, IntoADibSectionWritesOnlyWhatChanged) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, -2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    uint8_t* memory = static_cast<uint8_t*>(bits);
    for (int i = 0; i < 24; ++i) memory[i] = static_cast<uint8_t>(0x11 * (i % 12));  // colours 565 cannot hold
    MemoryDC dc(dib);
    Picture source({"R"});
    ASSERT_TRUE(BitBlt(dc.hdc, 1, 1, 1, 1, source.dc.hdc, 0, 0, SRCCOPY));
    for (int i = 0; i < 24; ++i) {
        if (i >= 12 + 3 && i < 12 + 6) continue;
        ASSERT_EQ(memory[i], 0x11 * (i % 12)) << "byte " << i;
    }
    EXPECT_EQ(memory[15], 0);
    EXPECT_EQ(memory[16], 0);
    EXPECT_EQ(memory[17], 255);
}

TEST(Shapes, FillRectRectangleEllipseAndLines) {
    WindowDC window(8, 6);
    HBRUSH red = CreateSolidBrush(colourOf('R'));
    RECT r{1, 1, 4, 3};
    EXPECT_TRUE(FillRect(window.hdc, &r, red));
    RECT inverted{6, 5, 5, 4};
    EXPECT_TRUE(FillRect(window.hdc, &inverted, red));  // an inverted rectangle fills nothing
    EXPECT_PICTURE(*window.surface, 0, 0, {"........", ".RRR....", ".RRR....", "........", "........", "........"});
    EXPECT_FAILS_WITH(FillRect(window.hdc, nullptr, red), 0, ERROR_INVALID_PARAMETER);

    gdi_test::fillSurface(*window.surface, RGB(255, 255, 255));
    HPEN blue = CreatePen(PS_SOLID, 1, colourOf('B'));
    SelectObject(window.hdc, blue);
    SelectObject(window.hdc, red);
    EXPECT_TRUE(Rectangle(window.hdc, 0, 0, 5, 4));
    SelectObject(window.hdc, GetStockObject(NULL_PEN));
    EXPECT_TRUE(Rectangle(window.hdc, 5, 0, 8, 3));  // without a pen: one pixel smaller
    EXPECT_PICTURE(*window.surface, 0, 0, {"BBBBBRR.", "BRRRBRR.", "BRRRB...", "BBBBB...", "........", "........"});

    gdi_test::fillSurface(*window.surface, RGB(255, 255, 255));
    SelectObject(window.hdc, blue);
    EXPECT_TRUE(MoveToEx(window.hdc, 0, 5, nullptr));
    EXPECT_TRUE(LineTo(window.hdc, 5, 0));  // the end point is not drawn
    POINT at{static_cast<LONG>(kSentinel), static_cast<LONG>(kSentinel)};
    EXPECT_TRUE(MoveToEx(window.hdc, 7, 0, &at));
    EXPECT_EQ(at.x, 5);
    EXPECT_EQ(at.y, 0);
    EXPECT_TRUE(LineTo(window.hdc, 7, 5));
    EXPECT_TRUE(LineTo(window.hdc, INT32_MIN, INT32_MAX));  // far away: quick and clipped
    EXPECT_PICTURE(*window.surface, 0, 0, {".......B", "....B..B", "...B...B", "..B....B", ".B.....B", "B......B"});

    gdi_test::fillSurface(*window.surface, RGB(255, 255, 255));
    SelectObject(window.hdc, GetStockObject(NULL_PEN));
    EXPECT_TRUE(Ellipse(window.hdc, 0, 0, 7, 7));  // a 6 x 6 disc without its pen
    EXPECT_PICTURE(*window.surface, 0, 0, {".RRRR...", "RRRRRR..", "RRRRRR..", "RRRRRR..", "RRRRRR..", ".RRRR..."});

    SelectObject(window.hdc, GetStockObject(BLACK_PEN));
    SelectObject(window.hdc, GetStockObject(WHITE_BRUSH));
    DeleteObject(red);
    DeleteObject(blue);
}

}  // namespace
