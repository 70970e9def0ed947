// Icons: the HICON objects that LoadIconW hands out and DrawIcon draws.
//
// An icon is made from one image of an .ico file (an RT_ICON resource holds
// the same bytes): a BITMAPINFOHEADER whose height counts both of the images
// below it, the colour table, the colour (XOR) image and the one-bit AND
// mask, at 1, 4, 8, 16, 24 or 32 bits per pixel. Drawn normally, the mask
// clears the destination where it is 0 and the colour image is then combined
// by exclusive or; a 32-bit image with any nonzero alpha is blended by its
// alpha instead.
//
// Thread: any.
#pragma once

#include <windows.h>

#include <optional>
#include <span>

namespace platform::gdi {

// NULL with ERROR_INVALID_DATA, ERROR_NOT_SUPPORTED or ERROR_NOT_ENOUGH_MEMORY
// when the image is not one. A shared icon (loaded from a module's resources)
// survives DestroyIcon, which succeeds without destroying it.
HICON createIconFromImage(std::span<const uint8_t> image, bool shared = false);

// The icon's own size; nullopt with ERROR_INVALID_CURSOR_HANDLE for a handle
// that is not a live icon.
std::optional<SIZE> iconSize(HICON icon);

}  // namespace platform::gdi
