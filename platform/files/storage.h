// The device's storage: device paths ("\Nand\Album\x.BMP") map into one host
// folder, the storage root. No device path reaches outside it.
#pragma once

#include <windef.h>

#include <filesystem>
#include <optional>
#include <string_view>

namespace platform::files {

void setStorageRoot(const std::filesystem::path& root);
std::filesystem::path storageRoot();

// The host path of a device path, or nothing (with the platform's error in
// *error: ERROR_PATH_NOT_FOUND, ERROR_INVALID_NAME, ERROR_FILENAME_EXCED_RANGE,
// ERROR_ACCESS_DENIED for a path that would leave the root).
std::optional<std::filesystem::path> hostPath(std::u16string_view devicePath, DWORD* error = nullptr);

}  // namespace platform::files
