// Device-independent bitmap layouts: the header that describes them
// (BITMAPINFOHEADER and the later, longer headers, or the 12-byte core header),
// and conversion of their rows to and from the display's RGB565 surfaces.
// Rows are padded to 4 bytes and stored bottom-up unless the height is negative.
//
// Thread: any (pure functions).
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "surface.h"

namespace platform::gdi {

// The largest bitmap GDI makes, in pixels, so that a wild size fails cleanly
// instead of exhausting memory.
inline constexpr int64_t kMaxBitmapPixels = 16 * 1024 * 1024;
inline bool bitmapSizeAllowed(int64_t width, int64_t height) {
    return width >= 0 && height >= 0 && width * height <= kMaxBitmapPixels;
}

struct DibFormat {
    int width = 0;
    int height = 0;  // always positive; topDown tells the row order
    bool topDown = false;
    int bitsPerPixel = 0;  // 1, 4, 8, 16, 24 or 32
    DWORD compression = BI_RGB;
    uint32_t masks[3] = {0, 0, 0};  // red, green, blue; for 16 and 32 bits per pixel
    std::vector<RGBQUAD> palette;   // for 1, 4 and 8 bits per pixel

    size_t stride() const { return (static_cast<size_t>(width) * bitsPerPixel + 31) / 32 * 4; }
    size_t imageSize() const { return stride() * static_cast<size_t>(height); }
    bool isRgb565() const { return bitsPerPixel == 16 && masks[0] == 0xF800 && masks[1] == 0x07E0 && masks[2] == 0x001F; }
};

struct DibHeader {
    DibFormat format;
    size_t size = 0;  // bytes of the header, its masks and its colour table
};

// How the header's height is read: an icon image's header counts the colour
// image and the mask below it, so its height is twice the picture's.
enum class DibHeight { image, iconImage };

// Parses a DIB header from the start of bytes. On failure sets *error to
// ERROR_INVALID_DATA (truncated or inconsistent), ERROR_NOT_SUPPORTED (a
// compressed or otherwise unsupported layout) or ERROR_NOT_ENOUGH_MEMORY (too large).
std::optional<DibHeader> parseDibHeader(std::span<const uint8_t> bytes, DibHeight height, DWORD* error);

// Decodes a whole image (bits holds format.imageSize() bytes) into surface,
// which has the format's size.
void decodeDib(const DibFormat& format, const uint8_t* bits, Surface& surface);

// Encodes the area (surface coordinates, clipped to the image) of surface
// into the image's bits, leaving the rest of the bits as they were.
void encodeDib(const DibFormat& format, const Surface& surface, const RECT& area, uint8_t* bits);

uint16_t readLe16(const uint8_t* p);
uint32_t readLe32(const uint8_t* p);

}  // namespace platform::gdi
