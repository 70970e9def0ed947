// Screenshots: a surface, or a rectangle of it, written as an 8-bit RGB PNG file.
//
// Thread: any; the caller holds gdiLock() when the surface may be drawn on.
#pragma once

#include <windows.h>

#include <filesystem>

#include "surface.h"

namespace platform::gdi {

// crop (surface coordinates) is clipped to the surface; NULL writes it all.
// False when nothing is left to write or the file cannot be written.
bool writePng(const Surface& surface, const std::filesystem::path& path, const RECT* crop = nullptr);

}  // namespace platform::gdi
