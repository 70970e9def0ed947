#include "file_info.h"

#include <winbase.h>

#include <fcntl.h>

#include <cerrno>

#include "host_error.h"

namespace platform::files {

bool FileInfo::isDirectory() const { return attributes & FILE_ATTRIBUTE_DIRECTORY; }

bool isReadOnly(mode_t mode) { return !S_ISDIR(mode) && !(mode & S_IWUSR); }

DWORD attributesOf(mode_t mode) {
    if (S_ISDIR(mode)) return FILE_ATTRIBUTE_DIRECTORY;
    return FILE_ATTRIBUTE_ARCHIVE | (isReadOnly(mode) ? FILE_ATTRIBUTE_READONLY : 0);
}

FILETIME fileTimeOf(int64_t seconds, uint32_t nanoseconds) {
    constexpr int64_t kSecondsFrom1601To1970 = 11644473600;
    const int64_t ticks = (seconds + kSecondsFrom1601To1970) * 10'000'000 + nanoseconds / 100;
    const auto value = static_cast<uint64_t>(ticks < 0 ? 0 : ticks);
    return FILETIME{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
}

std::optional<FileInfo> fileInfo(const std::filesystem::path& host, DWORD& error) {
    struct statx st;
    if (::statx(AT_FDCWD, host.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &st) != 0) {
        error = errorFromErrno(errno);
        return std::nullopt;
    }
    FileInfo info;
    info.attributes = attributesOf(st.stx_mode);
    info.size = S_ISDIR(st.stx_mode) ? 0 : st.stx_size;
    info.lastWriteTime = fileTimeOf(st.stx_mtime.tv_sec, st.stx_mtime.tv_nsec);
    info.lastAccessTime = fileTimeOf(st.stx_atime.tv_sec, st.stx_atime.tv_nsec);
    // Host file systems that keep no birth time report the last write instead.
    info.creationTime = (st.stx_mask & STATX_BTIME) ? fileTimeOf(st.stx_btime.tv_sec, st.stx_btime.tv_nsec)
                                                    : info.lastWriteTime;
    return info;
}

}  // namespace platform::files
