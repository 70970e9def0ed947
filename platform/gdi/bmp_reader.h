// Bitmaps from .bmp data: a .bmp file (BITMAPFILEHEADER, then the DIB), or a
// resource bitmap, which is the same without the file header. Uncompressed
// images at 1, 4, 8 (with their colour table), 16, 24 and 32 bits per pixel.
//
// Thread: any.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <span>

#include "surface.h"

namespace platform::gdi {

struct BmpImage {
    std::shared_ptr<Surface> pixels;  // top row first, in the display's format
    int bitsPerPixel = 0;             // as stored
    bool blackAndWhite = false;       // 1 bit per pixel with a black and a white entry
};

// On failure sets *error to ERROR_INVALID_DATA (truncated or inconsistent),
// ERROR_NOT_SUPPORTED (compressed) or ERROR_NOT_ENOUGH_MEMORY (too large).
std::optional<BmpImage> readBmp(std::span<const uint8_t> bytes, DWORD* error);

// The bitmap LoadBitmapW hands out: a monochrome bitmap for a black-and-white
// image, otherwise one in the display's format. NULL with the last error set
// as readBmp says.
HBITMAP createBitmapFromBmp(std::span<const uint8_t> bytes);

}  // namespace platform::gdi
