// Test support for GDI: device contexts on surfaces of their own (made the way
// the window system makes a window's), memory DCs with a bitmap, and pixel
// checks that take a picture — one character per pixel — and report the
// caller's file and line.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/gdi/surface.h"

namespace gdi_test {

inline constexpr DWORD kSentinel = 0xdeadbeef;

using platform::gdi::Surface;

// The colours pictures name. Each survives RGB565 and back unchanged, so what
// is drawn reads back as it was given.
inline const std::map<char, COLORREF>& pictureColours() {
    static const std::map<char, COLORREF> colours = {
        {'.', RGB(255, 255, 255)}, {'#', RGB(0, 0, 0)},     {'R', RGB(255, 0, 0)},
        {'G', RGB(0, 255, 0)},     {'B', RGB(0, 0, 255)},   {'Y', RGB(255, 255, 0)},
        {'C', RGB(0, 255, 255)},   {'M', RGB(255, 0, 255)}, {'g', RGB(132, 130, 132)},
    };
    return colours;
}

inline COLORREF colourOf(char c) { return pictureColours().at(c); }

// A window device context on a surface of its own, as GetDC would give:
// origin is where the DC's (0, 0) lies on the surface, clip what it may touch.
class WindowDC {
public:
    WindowDC(int width, int height, POINT origin = {0, 0}, std::optional<platform::gdi::Region> clip = {})
        : surface(std::make_shared<Surface>(width, height)) {
        platform::gdi::DrawTarget target;
        target.surface = surface;
        target.origin = origin;
        target.clip = clip ? *clip : platform::gdi::Region(RECT{0, 0, width, height});
        hdc = platform::gdi::createWindowDC(target);
    }
    ~WindowDC() { platform::gdi::releaseWindowDC(hdc); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    std::shared_ptr<Surface> surface;
    HDC hdc = nullptr;
};

// A memory DC with a bitmap of its own selected; restores and deletes both.
class MemoryDC {
public:
    explicit MemoryDC(HBITMAP bitmap) : hdc(CreateCompatibleDC(nullptr)), bitmap(bitmap) {
        previous = SelectObject(hdc, bitmap);
    }
    MemoryDC(int width, int height) : MemoryDC(CreateBitmap(width, height, 1, 16, nullptr)) {}
    ~MemoryDC() {
        SelectObject(hdc, previous);
        DeleteDC(hdc);
        DeleteObject(bitmap);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC hdc;
    HBITMAP bitmap;
    HGDIOBJ previous = nullptr;
};

// Fills the surface from a picture, top-left at (x, y).
inline void paint(Surface& surface, int x, int y, const std::vector<std::string>& rows) {
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c)
            surface.row(y + static_cast<int>(r))[x + c] = platform::gdi::toRgb565(colourOf(rows[r][c]));
}

inline char pictureCharOf(uint16_t pixel) {
    for (const auto& [c, colour] : pictureColours())
        if (platform::gdi::toRgb565(colour) == pixel) return c;
    return '?';
}

// The surface's pixels at (x, y) as a picture of the given size.
inline std::vector<std::string> pictureOf(const Surface& surface, int x, int y, int width, int height) {
    std::vector<std::string> rows;
    for (int r = 0; r < height; ++r) {
        std::string row;
        for (int c = 0; c < width; ++c) row += pictureCharOf(surface.row(y + r)[x + c]);
        rows.push_back(row);
    }
    return rows;
}

inline std::string joined(const std::vector<std::string>& rows) {
    std::string text;
    for (const std::string& row : rows) text += "\n  " + row;
    return text;
}

inline void expectPicture(const char* file, int line, const Surface& surface, int x, int y,
                          const std::vector<std::string>& expected) {
    ::testing::ScopedTrace trace(file, line, "picture");
    const int height = static_cast<int>(expected.size());
    const int width = height ? static_cast<int>(expected[0].size()) : 0;
    const auto actual = pictureOf(surface, x, y, width, height);
    EXPECT_EQ(joined(actual), joined(expected)) << "at (" << x << ", " << y << ")";
}

inline void expectPixel(const char* file, int line, const Surface& surface, int x, int y, COLORREF expected) {
    ::testing::ScopedTrace trace(file, line, "pixel");
    const COLORREF actual = platform::gdi::fromRgb565(surface.row(y)[x]);
    EXPECT_EQ(actual, expected) << "pixel (" << x << ", " << y << ") is 0x" << std::hex << actual << ", expected 0x"
                                << expected;
}

// The bounding box of the pixels that differ from the background colour, or an empty rectangle.
inline RECT inkBox(const Surface& surface, COLORREF background) {
    const uint16_t paper = platform::gdi::toRgb565(background);
    RECT box{surface.width(), surface.height(), 0, 0};
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x)
            if (surface.row(y)[x] != paper) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    if (box.left >= box.right) box = {0, 0, 0, 0};
    return box;
}

inline std::string describe(const RECT& r) {
    std::ostringstream out;
    out << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
    return out.str();
}

// Little-endian fields of records made byte by byte (.bmp data, icon images).
inline void put16(std::vector<uint8_t>& out, uint16_t v) { out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)}); }
inline void put32(std::vector<uint8_t>& out, uint32_t v) {
    out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
}

inline void fillSurface(Surface& surface, COLORREF colour) {
    for (int y = 0; y < surface.height(); ++y)
        std::fill_n(surface.row(y), surface.width(), platform::gdi::toRgb565(colour));
}

}  // namespace gdi_test

#define EXPECT_PICTURE(surface, x, y, ...) gdi_test::expectPicture(__FILE__, __LINE__, (surface), (x), (y), __VA_ARGS__)
#define EXPECT_PIXEL(surface, x, y, colour) gdi_test::expectPixel(__FILE__, __LINE__, (surface), (x), (y), (colour))

// The call fails with the given return and last error (preset to the sentinel first).
#define EXPECT_FAILS_WITH(call, failure, error)                                  \
    do {                                                                        \
        SetLastError(gdi_test::kSentinel);                                      \
        EXPECT_EQ((call), (failure)) << #call;                                  \
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(error)) << #call;          \
    } while (0)
