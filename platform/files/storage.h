// The device's storage: device paths ("\Nand\Album\x.BMP") map into one host
// folder, the storage root. No device path reaches outside it.
//
// Device names compare without regard to case, host names do not: each
// component that exists is found on the host without regard to case (so
// "\nand\album" finds "Nand/Album"); components that do not exist yet keep the
// caller's spelling. Host links are followed only while they stay inside the
// root. Names are UTF-16 on the device and UTF-8 on the host.
#pragma once

#include <windef.h>

#include <filesystem>
#include <optional>
#include <string_view>

#include "device_path.h"

namespace platform::files {

// Puts the storage root at a host folder, creating it when missing (throws
// std::filesystem::filesystem_error when that fails). An empty path detaches
// the storage: every file call then fails with ERROR_NOT_READY.
void setStorageRoot(const std::filesystem::path& root);
// The root as a canonical host path; empty while detached.
std::filesystem::path storageRoot();

struct ResolvedPath {
    std::filesystem::path host;  // free of links wherever it exists
    bool isRoot = false;         // the path names "\" itself
    bool parentExists = false;   // every component above the last is an existing folder
    bool exists = false;         // the last component exists too
};

// Maps a parsed path onto the host. Fails with ERROR_NOT_READY while the
// storage is detached and ERROR_ACCESS_DENIED for a host link that leads out
// of the root or round in a loop. A link inside the root that dangles is
// followed to where it points, so a file created through it lands there.
std::optional<ResolvedPath> resolvePath(const DevicePath& path, DWORD& error);

// A host path inside the storage as it may be used: itself, or where it leads
// when it is a link that stays inside the root; nothing for a link that leads
// out of the root or round in a loop.
std::optional<std::filesystem::path> containedTarget(const std::filesystem::path& host);

// Parses and maps a device path; the errors of parseDevicePath and resolvePath.
std::optional<ResolvedPath> resolveDevicePath(std::u16string_view devicePath, DWORD& error);

// The host path of a device path (which need not exist yet), or nothing with
// the platform's error in *error.
std::optional<std::filesystem::path> hostPath(std::u16string_view devicePath, DWORD* error = nullptr);

}  // namespace platform::files
