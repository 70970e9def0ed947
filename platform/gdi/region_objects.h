// Region objects (HRGN) as the window system sees them; GDI implements these.
#pragma once

#include <windef.h>

#include <optional>

#include "region.h"

namespace platform::gdi {

// The content of a region object; nullopt (ERROR_INVALID_HANDLE) for a handle that names no region.
std::optional<Region> regionOf(HRGN region);
// Hands a region object's content to the caller and deletes the object (SetWindowRgn's ownership); nullopt (ERROR_INVALID_HANDLE) for a handle that names no region.
// The handle is retired at once, so every later call with it — the program's
// DeleteObject included — fails with ERROR_INVALID_HANDLE and changes nothing:
// a program that deletes a region it gave away cannot break the window.
std::optional<Region> takeRegion(HRGN region);
// Replaces a region object's content (GetWindowRgn); false (ERROR_INVALID_HANDLE) for a handle that names no region.
bool assignRegion(HRGN region, const Region& content);

}  // namespace platform::gdi
