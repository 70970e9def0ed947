// Icons from .ico image data, drawn through their masks.
#include <windows.h>

#include <gtest/gtest.h>

#include "gdi_test_support.h"
#include "platform/gdi/icon.h"

using gdi_test::colourOf;
using gdi_test::put16;
using gdi_test::put32;
using gdi_test::kSentinel;
using gdi_test::WindowDC;

namespace {

// One icon image: the header (its height counting both images), the colour
// table, the colour rows and the mask rows, each stored bottom row first and
// padded to 4 bytes. Rows are given top first; mask rows as '1'/'0' strings.
std::vector<uint8_t> iconImage(int width, WORD bitsPerPixel, const std::vector<RGBQUAD>& palette,
                               const std::vector<std::vector<uint8_t>>& colourRows, const std::vector<std::string>& maskRows) {
    const int height = static_cast<int>(colourRows.size());
    std::vector<uint8_t> out;
    put32(out, 40);
    put32(out, static_cast<uint32_t>(width));
    put32(out, static_cast<uint32_t>(2 * height));
    put16(out, 1);
    put16(out, bitsPerPixel);
    put32(out, BI_RGB);
    for (int i = 0; i < 3; ++i) put32(out, 0);
    put32(out, static_cast<uint32_t>(palette.size()));
    put32(out, 0);
    for (const RGBQUAD& q : palette) out.insert(out.end(), {q.rgbBlue, q.rgbGreen, q.rgbRed, 0});
    auto pad = [&out](size_t from) {
        while ((out.size() - from) % 4) out.push_back(0);
    };
    for (int y = height - 1; y >= 0; --y) {
        const size_t from = out.size();
        out.insert(out.end(), colourRows[y].begin(), colourRows[y].end());
        pad(from);
    }
    for (int y = static_cast<int>(maskRows.size()) - 1; y >= 0; --y) {
        const size_t from = out.size();
        std::vector<uint8_t> bits((width + 7) / 8, 0);
        for (int x = 0; x < width; ++x)
            if (maskRows[y][x] == '1') bits[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), bits.begin(), bits.end());
        pad(from);
    }
    return out;
}

const std::vector<RGBQUAD> kPalette = {{0, 0, 0, 0}, {0, 0, 255, 0}, {0, 255, 0, 0}, {255, 255, 255, 0},
                                       {255, 0, 0, 0}, {0, 255, 255, 0}};
// Top: red, green, and two transparent pixels. Bottom: blue, yellow, an opaque
// black one, and a white one over a set mask bit, which inverts the background.
std::vector<uint8_t> kEightBitIcon() {
    return iconImage(4, 8, kPalette, {{1, 2, 0, 0}, {4, 5, 0, 3}}, {"0011", "0001"});
}

class Icons : public ::testing::Test {
protected:
    WindowDC window{8, 4};
    void SetUp() override { gdi_test::fillSurface(*window.surface, colourOf('C')); }
};

TEST_F(Icons, DrawnThroughTheirMasks) {
    HICON icon = platform::gdi::createIconFromImage(kEightBitIcon());
    ASSERT_NE(icon, nullptr);
    auto size = platform::gdi::iconSize(icon);
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(size->cx, 4);
    EXPECT_EQ(size->cy, 2);
    ASSERT_TRUE(DrawIcon(window.hdc, 1, 1, icon));
    // The cyan background shows through, and is inverted to red under white.
    EXPECT_PICTURE(*window.surface, 0, 0, {"CCCCCCCC", "CRGCCCCC", "CBY#RCCC", "CCCCCCCC"});

    gdi_test::fillSurface(*window.surface, colourOf('C'));
    ASSERT_TRUE(DrawIconEx(window.hdc, 0, 0, icon, 8, 4, 0, nullptr, DI_NORMAL));  // stretched
    EXPECT_PICTURE(*window.surface, 0, 0, {"RRGGCCCC", "RRGGCCCC", "BBYY##RR", "BBYY##RR"});

    const struct {
        UINT flags;
        std::vector<std::string> picture;
    } parts[] = {
        {DI_MASK, {"##CC", "###C"}},   // the mask alone clears the covered pixels
        {DI_IMAGE, {"RG##", "BY#."}},  // the image alone is copied
    };
    for (const auto& part : parts) {
        SCOPED_TRACE(::testing::Message() << "flags " << part.flags);
        gdi_test::fillSurface(*window.surface, colourOf('C'));
        ASSERT_TRUE(DrawIconEx(window.hdc, 0, 0, icon, 0, 0, 0, nullptr, part.flags));
        EXPECT_PICTURE(*window.surface, 0, 0, part.picture);
    }

    // A flicker-free brush fills the icon's rectangle first.
    HBRUSH yellow = CreateSolidBrush(colourOf('Y'));
    gdi_test::fillSurface(*window.surface, colourOf('C'));
    ASSERT_TRUE(DrawIconEx(window.hdc, 0, 0, icon, 0, 0, 0, yellow, DI_NORMAL));
    EXPECT_PICTURE(*window.surface, 0, 0, {"RGYYC", "BY#BC"});  // yellow inverted under white is blue
    DeleteObject(yellow);
    EXPECT_TRUE(DestroyIcon(icon));
}

TEST_F(Icons, AlphaImagesBlendAndNeedNoMask) {
    // 32 bits with alpha: opaque red, then fully transparent blue; no mask rows.
    const auto image = iconImage(2, 32, {}, {{0, 0, 255, 255, 255, 0, 0, 0}}, {});
    HICON icon = platform::gdi::createIconFromImage(image);
    ASSERT_NE(icon, nullptr);
    ASSERT_TRUE(DrawIcon(window.hdc, 0, 0, icon));
    EXPECT_PICTURE(*window.surface, 0, 0, {"RCC"});

    const auto half = iconImage(1, 32, {}, {{0, 0, 255, 128}}, {"0"});
    HICON blended = platform::gdi::createIconFromImage(half);
    ASSERT_TRUE(DrawIcon(window.hdc, 4, 0, blended));
    const COLORREF mixed = platform::gdi::fromRgb565(window.surface->row(0)[4]);
    EXPECT_NEAR(GetRValue(mixed), 128, 8);
    EXPECT_NEAR(GetGValue(mixed), 128, 8);
    EXPECT_NEAR(GetBValue(mixed), 128, 8);
    DestroyIcon(icon);
    DestroyIcon(blended);
}

TEST_F(Icons, BadImagesAndHandles) {
    auto noMask = iconImage(4, 8, kPalette, {{1, 2, 0, 0}, {4, 5, 0, 3}}, {});
    const auto good = kEightBitIcon();
    auto oddHeight = good;
    oddHeight[8] = 3;  // biHeight 3: not two images
    const struct {
        const char* what;
        std::vector<uint8_t> image;
        DWORD error;
    } cases[] = {
        {"no bytes", {}, ERROR_INVALID_DATA},
        {"a header alone", std::vector<uint8_t>(good.begin(), good.begin() + 40), ERROR_INVALID_DATA},
        {"no mask for a paletted image", noMask, ERROR_INVALID_DATA},
        {"an odd height", oddHeight, ERROR_INVALID_DATA},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FAILS_WITH(platform::gdi::createIconFromImage(c.image), nullptr, c.error);
    }

    HICON icon = platform::gdi::createIconFromImage(kEightBitIcon());
    ASSERT_TRUE(DestroyIcon(icon));
    EXPECT_FAILS_WITH(DestroyIcon(icon), FALSE, ERROR_INVALID_CURSOR_HANDLE);
    EXPECT_FAILS_WITH(DrawIcon(window.hdc, 0, 0, icon), FALSE, ERROR_INVALID_CURSOR_HANDLE);
    EXPECT_FALSE(platform::gdi::iconSize(icon).has_value());
    HBRUSH brush = CreateSolidBrush(0);
    EXPECT_FAILS_WITH(DrawIcon(window.hdc, 0, 0, reinterpret_cast<HICON>(brush)), FALSE, ERROR_INVALID_CURSOR_HANDLE);
    EXPECT_FAILS_WITH(DeleteObject(icon), FALSE, ERROR_INVALID_HANDLE);
    DeleteObject(brush);
    EXPECT_PICTURE(*window.surface, 0, 0, {"CCCCCCCC"});

    // A shared icon (one of a module's resources) outlives DestroyIcon.
    HICON shared = platform::gdi::createIconFromImage(kEightBitIcon(), true);
    EXPECT_TRUE(DestroyIcon(shared));
    EXPECT_TRUE(DrawIcon(window.hdc, 0, 0, shared));
    EXPECT_FAILS_WITH(DrawIconEx(window.hdc, 0, 0, shared, 0, 0, 0, nullptr, 0), FALSE, ERROR_INVALID_PARAMETER);
    EXPECT_FAILS_WITH(DrawIconEx(window.hdc, 0, 0, shared, -1, 0, 0, nullptr, DI_NORMAL), FALSE, ERROR_INVALID_PARAMETER);
}

}  // namespace
