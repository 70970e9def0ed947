// Finding one resource of a module for the functions that load resources of a
// given kind (strings, menus, accelerators, bitmaps, icons, dialogs).
//
// Thread: any.
#pragma once

#include <windef.h>

#include <cstdint>
#include <optional>
#include <span>

namespace platform::resources {

// The resource's bytes inside the module's image (valid while the module is
// loaded), or nullopt with the last error set as FindResourceW sets it:
// ERROR_INVALID_HANDLE for an unknown module, ERROR_INVALID_PARAMETER for a
// NULL or malformed type or name, ERROR_RESOURCE_DATA_NOT_FOUND for a module
// without resources, ERROR_RESOURCE_TYPE_NOT_FOUND, ERROR_RESOURCE_NAME_NOT_FOUND.
std::optional<std::span<const uint8_t>> findResourceData(HINSTANCE instance, LPCWSTR type, LPCWSTR name);

}  // namespace platform::resources
