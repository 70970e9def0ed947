// Bitmaps: CreateBitmap from a caller's bytes, CreateDIBSection in its
// formats, GetObject, and bitmaps read from .bmp data.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gdi_test_support.h"
#include "platform/gdi/bmp_reader.h"

using gdi_test::colourOf;
using gdi_test::put16;
using gdi_test::put32;
using gdi_test::kSentinel;
using gdi_test::MemoryDC;

namespace {

// The picture a memory DC's bitmap holds, read through GetPixel.
std::vector<std::string> pictureThroughDC(HDC dc, int width, int height) {
    std::vector<std::string> rows;
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            char name = '?';
            for (const auto& [n, colour] : gdi_test::pictureColours())
                if (colour == c) name = n;
            row += name;
        }
        rows.push_back(row);
    }
    return rows;
}

#define EXPECT_DC_PICTURE(dc, ...)                                                       \
    do {                                                                                \
        const std::vector<std::string> expected = __VA_ARGS__;                          \
        EXPECT_EQ(gdi_test::joined(pictureThroughDC((dc), static_cast<int>(expected[0].size()), \
                                                    static_cast<int>(expected.size()))), \
                  gdi_test::joined(expected));                                           \
    } while (0)

uint16_t pixel565(char c) { return platform::gdi::toRgb565(colourOf(c)); }

TEST(CreateBitmap, SixteenBitsFromTheCallersBytes) {
    // Rows of 16-bit pixels in the display's format, top row first.
    const uint16_t pixels[] = {pixel565('R'), pixel565('G'), pixel565('B'),
                               pixel565('Y'), pixel565('#'), pixel565('.')};
    MemoryDC dc(CreateBitmap(3, 2, 1, 16, pixels));
    ASSERT_NE(dc.bitmap, nullptr);
    EXPECT_DC_PICTURE(dc.hdc, {"RGB", "Y#."});
    BITMAP bm;
    ASSERT_EQ(GetObjectW(dc.bitmap, sizeof bm, &bm), (int)sizeof bm);
    EXPECT_EQ(bm.bmWidth, 3);
    EXPECT_EQ(bm.bmHeight, 2);
    EXPECT_EQ(bm.bmWidthBytes, 6);
    EXPECT_EQ(bm.bmPlanes, 1);
    EXPECT_EQ(bm.bmBitsPixel, 16);
    EXPECT_EQ(bm.bmBits, nullptr);
}

TEST(CreateBitmap, OtherDepthsPadTheirRowsToTwoBytes) {
    // 24 bits, one pixel a row: 3 bytes and a pad byte (0xEE must be skipped).
    const uint8_t bgr[] = {0, 0, 255, 0xEE, 0, 255, 0, 0xEE};
    MemoryDC rgb(CreateBitmap(1, 2, 1, 24, bgr));
    EXPECT_DC_PICTURE(rgb.hdc, {"R", "G"});
    const uint8_t bgrx[] = {255, 0, 0, 0x55, 0, 255, 255, 0x55};
    MemoryDC rgbx(CreateBitmap(2, 1, 1, 32, bgrx));
    EXPECT_DC_PICTURE(rgbx.hdc, {"BY"});

    // One bit a pixel, most significant first, 1 white: 10 pixels take 2 bytes.
    const uint8_t bits[] = {0b10110000, 0b01000000, 0b00000000, 0b11000000};
    MemoryDC mono(CreateBitmap(10, 2, 1, 1, bits));
    EXPECT_DC_PICTURE(mono.hdc, {".#..#####.", "########.."});
    BITMAP bm;
    ASSERT_EQ(GetObjectW(mono.bitmap, sizeof bm, &bm), (int)sizeof bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(bm.bmWidthBytes, 2);
}

TEST(CreateBitmap, SizesAndDepths) {
    EXPECT_FAILS_WITH(CreateBitmap(-1, 4, 1, 16, nullptr), nullptr, ERROR_INVALID_PARAMETER);
    EXPECT_FAILS_WITH(CreateBitmap(4, -1, 1, 16, nullptr), nullptr, ERROR_INVALID_PARAMETER);
    EXPECT_FAILS_WITH(CreateBitmap(4, 4, 2, 16, nullptr), nullptr, ERROR_INVALID_PARAMETER);
    EXPECT_FAILS_WITH(CreateBitmap(4, 4, 1, 8, nullptr), nullptr, ERROR_INVALID_PARAMETER);
    EXPECT_FAILS_WITH(CreateBitmap(1 << 20, 1 << 20, 1, 16, nullptr), nullptr, ERROR_NOT_ENOUGH_MEMORY);
    // A zero side gives the one-pixel monochrome bitmap.
    HBITMAP empty = CreateBitmap(0, 10, 1, 16, nullptr);
    ASSERT_NE(empty, nullptr);
    BITMAP bm;
    ASSERT_EQ(GetObjectW(empty, sizeof bm, &bm), (int)sizeof bm);
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_TRUE(DeleteObject(empty));

    gdi_test::WindowDC window(2, 2);
    EXPECT_FAILS_WITH(CreateCompatibleBitmap(window.hdc, -5, 5), nullptr, ERROR_INVALID_PARAMETER);
    EXPECT_FAILS_WITH(CreateCompatibleBitmap(nullptr, 5, 5), nullptr, ERROR_INVALID_HANDLE);
    // Without bytes the bitmap starts black.
    MemoryDC black(CreateCompatibleBitmap(window.hdc, 2, 1));
    EXPECT_DC_PICTURE(black.hdc, {"##"});
}

struct DibCase {
    const char* name;
    WORD bitsPerPixel;
    DWORD compression;
    DWORD masks[3];
    bool topDown;
    std::vector<uint8_t> rowBytes[2];  // the image's top row, then its bottom row, as stored
};

TEST(CreateDIBSection, FormatsRowOrderAndWritesBack) {
    // Each image is 2 x 2: top row R G, bottom row B Y.
    const DibCase cases[] = {
        {"565 bitfields, bottom-up", 16, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}, false,
         {{0x00, 0xF8, 0xE0, 0x07}, {0x1F, 0x00, 0xE0, 0xFF}}},
        {"565 bitfields, top-down", 16, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}, true,
         {{0x00, 0xF8, 0xE0, 0x07}, {0x1F, 0x00, 0xE0, 0xFF}}},
        {"555, the BI_RGB 16-bit format", 16, BI_RGB, {}, false, {{0x00, 0x7C, 0xE0, 0x03}, {0x1F, 0x00, 0xE0, 0x7F}}},
        {"24 bits", 24, BI_RGB, {}, false, {{0, 0, 255, 0, 255, 0, 0, 0}, {255, 0, 0, 0, 255, 255, 0, 0}}},
        {"32 bits", 32, BI_RGB, {}, true, {{0, 0, 255, 0, 0, 255, 0, 0}, {255, 0, 0, 0, 0, 255, 255, 0}}},
    };
    for (const DibCase& c : cases) {
        SCOPED_TRACE(c.name);
        struct {
            BITMAPINFOHEADER header;
            DWORD masks[3];
        } info{};
        info.header.biSize = sizeof(BITMAPINFOHEADER);
        info.header.biWidth = 2;
        info.header.biHeight = c.topDown ? -2 : 2;
        info.header.biPlanes = 1;
        info.header.biBitCount = c.bitsPerPixel;
        info.header.biCompression = c.compression;
        std::copy(std::begin(c.masks), std::end(c.masks), info.masks);
        void* bits = reinterpret_cast<void*>(static_cast<uintptr_t>(kSentinel));
        HBITMAP dib = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(dib, nullptr);
        ASSERT_NE(bits, nullptr);
        const size_t stride = (2 * c.bitsPerPixel + 31) / 32 * 4;
        uint8_t* memory = static_cast<uint8_t*>(bits);
        std::memset(memory, 0, stride * 2);
        for (int imageRow = 0; imageRow < 2; ++imageRow) {
            const int stored = c.topDown ? imageRow : 1 - imageRow;
            std::memcpy(memory + stride * stored, c.rowBytes[imageRow].data(), c.rowBytes[imageRow].size());
        }

        BITMAP bm;
        ASSERT_EQ(GetObjectW(dib, sizeof bm, &bm), (int)sizeof bm);
        EXPECT_EQ(bm.bmBits, bits);
        EXPECT_EQ(bm.bmWidthBytes, (LONG)stride);
        EXPECT_EQ(bm.bmBitsPixel, c.bitsPerPixel);
        DIBSECTION ds{};
        ASSERT_EQ(GetObjectW(dib, sizeof ds, &ds), (int)sizeof ds);
        EXPECT_EQ(ds.dsBmih.biHeight, c.topDown ? -2 : 2);
        EXPECT_EQ(ds.dsBitfields[0], c.compression == BI_BITFIELDS ? c.masks[0] : 0u);

        MemoryDC dc(dib);
        EXPECT_DC_PICTURE(dc.hdc, {"RG", "BY"});
        // What GDI draws goes into the program's pixel memory, in its format;
        // the pixels GDI did not touch keep their bytes.
        const std::vector<uint8_t> untouched(memory + stride * (c.topDown ? 0 : 1),
                                             memory + stride * (c.topDown ? 0 : 1) + stride);
        SetPixel(dc.hdc, 0, 1, colourOf('Y'));
        SetPixel(dc.hdc, 1, 1, colourOf('R'));
        const uint8_t* bottom = memory + stride * (c.topDown ? 1 : 0);
        EXPECT_DC_PICTURE(dc.hdc, {"RG", "YR"});
        const uint8_t* top = memory + stride * (c.topDown ? 0 : 1);
        EXPECT_EQ(std::vector<uint8_t>(top, top + stride), untouched);
        // Y then R on the bottom row: the top row's bytes, mirrored pixel for pixel.
        const size_t bytesPerPixel = c.bitsPerPixel / 8;
        const std::vector<uint8_t>& yellowSource = c.rowBytes[1];  // B Y
        const std::vector<uint8_t>& redSource = c.rowBytes[0];     // R G
        EXPECT_EQ(std::vector<uint8_t>(bottom, bottom + bytesPerPixel),
                  std::vector<uint8_t>(yellowSource.begin() + bytesPerPixel, yellowSource.begin() + 2 * bytesPerPixel));
        EXPECT_EQ(std::vector<uint8_t>(bottom + bytesPerPixel, bottom + 2 * bytesPerPixel),
                  std::vector<uint8_t>(redSource.begin(), redSource.begin() + bytesPerPixel));
    }
}

TEST(CreateDIBSection, PalettedWritesTakeTheNearestEntry) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[4];
    } info{};
    info.header = {sizeof(BITMAPINFOHEADER), 4, 1, 1, 8, BI_RGB, 0, 0, 0, 4, 0};
    info.colours[0] = {0, 0, 0, 0};
    info.colours[1] = {0, 0, 255, 0};    // red
    info.colours[2] = {255, 0, 0, 0};    // blue
    info.colours[3] = {255, 255, 255, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    uint8_t* indices = static_cast<uint8_t*>(bits);
    indices[0] = 1, indices[1] = 2, indices[2] = 3, indices[3] = 0;
    MemoryDC dc(dib);
    EXPECT_DC_PICTURE(dc.hdc, {"RB.#"});
    SetPixel(dc.hdc, 3, 0, RGB(200, 10, 10));  // nearest: red
    SetPixel(dc.hdc, 2, 0, RGB(20, 20, 20));   // nearest: black
    EXPECT_EQ(indices[3], 1);
    EXPECT_EQ(indices[2], 0);
}

TEST(CreateDIBSection, RefusesWhatItCannotMake) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, 4, 1, 16, BI_RGB, 0, 0, 0, 0, 0};
    const struct {
        const char* what;
        BITMAPINFOHEADER header;
        UINT usage;
        HANDLE section;
        DWORD error;
    } cases[] = {
        {"palette indices", info.bmiHeader, DIB_PAL_COLORS, nullptr, ERROR_INVALID_PARAMETER},
        {"a file mapping", info.bmiHeader, DIB_RGB_COLORS, reinterpret_cast<HANDLE>(0x1234), ERROR_NOT_SUPPORTED},
        {"zero width", {sizeof(BITMAPINFOHEADER), 0, 4, 1, 16, BI_RGB, 0, 0, 0, 0, 0}, DIB_RGB_COLORS, nullptr,
         ERROR_INVALID_PARAMETER},
        {"two planes", {sizeof(BITMAPINFOHEADER), 4, 4, 2, 16, BI_RGB, 0, 0, 0, 0, 0}, DIB_RGB_COLORS, nullptr,
         ERROR_INVALID_PARAMETER},
        {"7 bits a pixel", {sizeof(BITMAPINFOHEADER), 4, 4, 1, 7, BI_RGB, 0, 0, 0, 0, 0}, DIB_RGB_COLORS, nullptr,
         ERROR_INVALID_PARAMETER},
        {"run-length", {sizeof(BITMAPINFOHEADER), 4, 4, 1, 8, BI_RLE8, 0, 0, 0, 0, 0}, DIB_RGB_COLORS, nullptr,
         ERROR_INVALID_PARAMETER},
        {"bitfields at 24 bits", {sizeof(BITMAPINFOHEADER), 4, 4, 1, 24, BI_BITFIELDS, 0, 0, 0, 0, 0}, DIB_RGB_COLORS,
         nullptr, ERROR_INVALID_PARAMETER},
        {"too big", {sizeof(BITMAPINFOHEADER), 1 << 16, 1 << 16, 1, 16, BI_RGB, 0, 0, 0, 0, 0}, DIB_RGB_COLORS, nullptr,
         ERROR_NOT_ENOUGH_MEMORY},
        {"a made-up header size", {7, 4, 4, 1, 16, BI_RGB, 0, 0, 0, 0, 0}, DIB_RGB_COLORS, nullptr,
         ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colours[256];
        } given{};
        given.header = c.header;
        void* bits = reinterpret_cast<void*>(static_cast<uintptr_t>(kSentinel));
        EXPECT_FAILS_WITH(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&given), c.usage, &bits, c.section, 0),
                          nullptr, c.error);
        EXPECT_EQ(bits, nullptr) << "the bits pointer is cleared on failure";
    }
    EXPECT_FAILS_WITH(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr,
                      ERROR_INVALID_PARAMETER);
}

// .bmp data made in the test: a file header (or none, as in a resource), an
// info header, a colour table and the rows.
std::vector<uint8_t> bmpData(bool withFileHeader, int width, int height, WORD bitsPerPixel,
                             const std::vector<RGBQUAD>& palette, const std::vector<std::vector<uint8_t>>& storedRows,
                             DWORD compression = BI_RGB, int colorsUsed = -1) {
    std::vector<uint8_t> dib;
    put32(dib, 40);
    put32(dib, static_cast<uint32_t>(width));
    put32(dib, static_cast<uint32_t>(height));
    put16(dib, 1);
    put16(dib, bitsPerPixel);
    put32(dib, compression);
    put32(dib, 0);
    put32(dib, 2835);
    put32(dib, 2835);
    put32(dib, colorsUsed < 0 ? static_cast<uint32_t>(palette.size()) : static_cast<uint32_t>(colorsUsed));
    put32(dib, 0);
    for (const RGBQUAD& q : palette) dib.insert(dib.end(), {q.rgbBlue, q.rgbGreen, q.rgbRed, 0});
    const size_t pixelsAt = dib.size();
    for (const auto& row : storedRows) {
        dib.insert(dib.end(), row.begin(), row.end());
        while ((dib.size() - pixelsAt) % 4) dib.push_back(0xCD);  // padding that must be skipped
    }
    if (!withFileHeader) return dib;
    std::vector<uint8_t> file = {'B', 'M'};
    put32(file, static_cast<uint32_t>(14 + dib.size()));
    put32(file, 0);
    put32(file, static_cast<uint32_t>(14 + pixelsAt));
    file.insert(file.end(), dib.begin(), dib.end());
    return file;
}

const std::vector<RGBQUAD> kFourColours = {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {255, 255, 255, 0}};

TEST(BmpReader, DepthsRowOrderAndPadding) {
    const struct {
        const char* name;
        int width, height;
        WORD bitsPerPixel;
        std::vector<RGBQUAD> palette;
        std::vector<std::vector<uint8_t>> storedRows;  // bottom row first unless height < 0
        std::vector<std::string> picture;
    } cases[] = {
        {"8 bits, 3 wide", 3, 2, 8, kFourColours, {{2, 1, 0}, {0, 1, 3}}, {"RG.", "BGR"}},
        {"4 bits, 3 wide", 3, 2, 4, kFourColours, {{0x21, 0x00}, {0x01, 0x30}}, {"RG.", "BGR"}},
        {"1 bit, 9 wide", 9, 1, 1, {{0, 0, 0, 0}, {255, 255, 255, 0}}, {{0b10100000, 0b10000000}},
         {".#.#####."}},
        {"24 bits, 1 wide", 1, 2, 24, {}, {{255, 0, 0}, {0, 0, 255}}, {"R", "B"}},
        {"32 bits", 2, 1, 32, {}, {{0, 255, 0, 0, 0, 255, 255, 0}}, {"GY"}},
        {"top-down 24 bits", 1, -2, 24, {}, {{255, 0, 0}, {0, 0, 255}}, {"B", "R"}},
    };
    for (const auto& c : cases) {
        for (bool withFileHeader : {true, false}) {
            SCOPED_TRACE(::testing::Message() << c.name << (withFileHeader ? ", a file" : ", a resource"));
            const auto data = bmpData(withFileHeader, c.width, c.height, c.bitsPerPixel, c.palette, c.storedRows);
            DWORD error = kSentinel;
            auto image = platform::gdi::readBmp(data, &error);
            ASSERT_TRUE(image.has_value()) << "error " << error;
            EXPECT_EQ(error, kSentinel);
            EXPECT_EQ(image->bitsPerPixel, c.bitsPerPixel);
            EXPECT_PICTURE(*image->pixels, 0, 0, c.picture);
        }
    }
}

TEST(BmpReader, LoadedBitmapsAreInTheDisplaysFormatOrMonochrome) {
    const auto colour = bmpData(false, 2, 1, 8, kFourColours, {{0, 2}});
    HBITMAP bitmap = platform::gdi::createBitmapFromBmp(colour);
    ASSERT_NE(bitmap, nullptr);
    BITMAP bm;
    ASSERT_EQ(GetObjectW(bitmap, sizeof bm, &bm), (int)sizeof bm);
    EXPECT_EQ(bm.bmBitsPixel, 16);
    EXPECT_EQ(bm.bmWidth, 2);
    MemoryDC dc(bitmap);
    EXPECT_DC_PICTURE(dc.hdc, {"RB"});

    const auto blackAndWhite = bmpData(false, 2, 1, 1, {{255, 255, 255, 0}, {0, 0, 0, 0}}, {{0b01000000}});
    HBITMAP mono = platform::gdi::createBitmapFromBmp(blackAndWhite);
    ASSERT_EQ(GetObjectW(mono, sizeof bm, &bm), (int)sizeof bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    MemoryDC monoDc(mono);
    EXPECT_DC_PICTURE(monoDc.hdc, {".#"});
}

TEST(BmpReader, BrokenDataFails) {
    const auto good = bmpData(true, 3, 2, 24, {}, {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {1, 2, 3, 4, 5, 6, 7, 8, 9}});
    auto truncated = good;
    truncated.resize(truncated.size() - 1);
    auto offsetPastEnd = good;
    offsetPastEnd[10] = 0xF0;
    auto offsetIntoHeader = good;
    offsetIntoHeader[10] = 20;
    const struct {
        const char* what;
        std::vector<uint8_t> data;
        DWORD error;
    } cases[] = {
        {"nothing", {}, ERROR_INVALID_DATA},
        {"a file header alone", {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0}, ERROR_INVALID_DATA},
        {"the last pixel byte missing", truncated, ERROR_INVALID_DATA},
        {"pixels past the end", offsetPastEnd, ERROR_INVALID_DATA},
        {"pixels inside the header", offsetIntoHeader, ERROR_INVALID_DATA},
        {"run-length compressed", bmpData(false, 2, 2, 8, kFourColours, {{0, 0}, {0, 0}}, BI_RLE8), ERROR_NOT_SUPPORTED},
        {"more colours than the depth holds", bmpData(false, 2, 1, 1, kFourColours, {{0}}, BI_RGB, 4),
         ERROR_INVALID_DATA},
        {"a huge image", bmpData(false, 1 << 15, 1 << 15, 24, {}, {}), ERROR_NOT_ENOUGH_MEMORY},
        {"negative width", bmpData(false, -2, 1, 24, {}, {{0, 0, 0, 0, 0, 0}}), ERROR_INVALID_DATA},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DWORD error = kSentinel;
        EXPECT_FALSE(platform::gdi::readBmp(c.data, &error).has_value());
        EXPECT_EQ(error, c.error);
        EXPECT_FAILS_WITH(platform::gdi::createBitmapFromBmp(c.data), nullptr, c.error);
    }
}

}  // namespace
