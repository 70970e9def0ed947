// What the API reports about a host file: attributes, size and times.
#pragma once

#include <windef.h>

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <optional>

namespace platform::files {

struct FileInfo {
    DWORD attributes = 0;
    uint64_t size = 0;
    FILETIME creationTime{};
    FILETIME lastAccessTime{};
    FILETIME lastWriteTime{};
    bool isDirectory() const;
};

// Folders are FILE_ATTRIBUTE_DIRECTORY; files are FILE_ATTRIBUTE_ARCHIVE, as a
// file the device wrote is, plus FILE_ATTRIBUTE_READONLY when the host file
// has no owner write permission.
DWORD attributesOf(mode_t mode);

// Whether the host file is read-only in the platform's sense.
bool isReadOnly(mode_t mode);

// The entry itself, links not followed; nothing with the platform's error.
std::optional<FileInfo> fileInfo(const std::filesystem::path& host, DWORD& error);

// Host time → the platform's FILETIME (100 ns units since 1601, UTC).
FILETIME fileTimeOf(int64_t seconds, uint32_t nanoseconds);

}  // namespace platform::files
