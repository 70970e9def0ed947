// Calls that work on files and folders by name: delete, move, copy, create and
// remove folders, attributes.
#include <winbase.h>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "device_path.h"
#include "file_info.h"
#include "file_object.h"
#include "host_error.h"
#include "host_name.h"
#include "open_files.h"
#include "platform/kernel/last_error.h"
#include "storage.h"

using platform::kernel::setLastError;
namespace files = platform::files;

namespace {

BOOL failWith(DWORD error) {
    setLastError(error);
    return FALSE;
}

struct NamedPath {
    files::DevicePath parsed;
    files::ResolvedPath resolved;
};

std::optional<NamedPath> namedPath(LPCWSTR text, DWORD& error) {
    const auto view = files::pathArgument(text, error);
    if (!view) return std::nullopt;
    auto parsed = files::parseDevicePath(*view, files::LastComponent::Name, error);
    if (!parsed) return std::nullopt;
    auto resolved = files::resolvePath(*parsed, error);
    if (!resolved) return std::nullopt;
    return NamedPath{std::move(*parsed), std::move(*resolved)};
}

// The error for a path whose last component must exist.
DWORD missingError(const files::ResolvedPath& path) {
    return path.parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

// Renames without replacing an existing entry.
int renameNoReplace(const char* from, const char* to) {
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
    // A host file system without the flag: the check and the rename both run
    // under the open-files lock, so no device call creates the name in between.
    struct stat st;
    if (::lstat(to, &st) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::rename(from, to);
}

bool copyContents(files::FileObject& from, files::FileObject& to) {
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        DWORD got = 0;
        if (!from.read(buffer.data(), static_cast<DWORD>(buffer.size()), got)) return false;
        if (got == 0) return true;
        DWORD put = 0;
        if (!to.write(buffer.data(), got, put)) return false;
    }
}

}  // namespace

extern "C" {

BOOL WINAPI DeleteFileW(LPCWSTR lpFileName) {
    DWORD error = ERROR_SUCCESS;
    const auto path = namedPath(lpFileName, error);
    if (!path) return failWith(error);
    const auto& host = path->resolved.host;
    if (path->resolved.isRoot) return failWith(ERROR_ACCESS_DENIED);

    auto lock = files::openFiles().lock();
    struct stat st;
    if (::lstat(host.c_str(), &st) != 0) return failWith(missingError(path->resolved));
    if (!S_ISREG(st.st_mode) || files::isReadOnly(st.st_mode)) return failWith(ERROR_ACCESS_DENIED);
    if (files::openFiles().isOpen(lock, {st.st_dev, st.st_ino})) return failWith(ERROR_SHARING_VIOLATION);
    if (::unlink(host.c_str()) != 0) return failWith(files::errorFromErrno(errno));
    return TRUE;
}

BOOL WINAPI MoveFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName) {
    DWORD error = ERROR_SUCCESS;
    const auto from = namedPath(lpExistingFileName, error);
    if (!from) return failWith(error);
    const auto to = namedPath(lpNewFileName, error);
    if (!to) return failWith(error);
    if (from->resolved.isRoot || to->resolved.isRoot) return failWith(ERROR_ACCESS_DENIED);
    if (!to->resolved.parentExists) return failWith(ERROR_PATH_NOT_FOUND);

    auto lock = files::openFiles().lock();
    struct stat source;
    if (::lstat(from->resolved.host.c_str(), &source) != 0) return failWith(missingError(from->resolved));
    if (S_ISREG(source.st_mode) && files::openFiles().isOpen(lock, {source.st_dev, source.st_ino}))
        return failWith(ERROR_SHARING_VIOLATION);

    std::filesystem::path target = to->resolved.host;
    struct stat existing;
    if (::lstat(target.c_str(), &existing) == 0) {
        // The new name may find the file itself without regard to case: then the
        // move only changes the spelling, to the caller's.
        if (existing.st_dev != source.st_dev || existing.st_ino != source.st_ino)
            return failWith(ERROR_ALREADY_EXISTS);
        const auto spelling = files::toHostName(to->parsed.components.back());
        target = target.parent_path() / *spelling;
        if (target == from->resolved.host) return TRUE;
    }
    if (renameNoReplace(from->resolved.host.c_str(), target.c_str()) != 0) {
        // A folder cannot move into itself.
        return failWith(errno == EINVAL ? ERROR_ACCESS_DENIED
                        : errno == EEXIST ? ERROR_ALREADY_EXISTS
                                          : files::errorFromErrno(errno));
    }
    return TRUE;
}

BOOL WINAPI CopyFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, BOOL bFailIfExists) {
    DWORD error = ERROR_SUCCESS;
    const auto from = namedPath(lpExistingFileName, error);
    if (!from) return failWith(error);
    const auto to = namedPath(lpNewFileName, error);
    if (!to) return failWith(error);

    // Both ends go through the open-file rules, so a copy of a file onto
    // itself, or onto a file open elsewhere, is a sharing violation rather than
    // a truncated original.
    const auto source = files::openFile(from->resolved, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0, error);
    if (!source) return failWith(error);
    struct stat st;
    if (::fstat(source->file->fd(), &st) != 0) return failWith(files::errorFromErrno(errno));
    const DWORD attributes = files::isReadOnly(st.st_mode) ? FILE_ATTRIBUTE_READONLY : 0;
    const auto target = files::openFile(to->resolved, GENERIC_WRITE, 0, bFailIfExists ? CREATE_NEW : CREATE_ALWAYS,
                                        attributes, error);
    if (!target) return failWith(error == ERROR_ALREADY_EXISTS ? ERROR_FILE_EXISTS : error);

    if (!copyContents(*source->file, *target->file)) {
        const DWORD copyError = platform::kernel::lastError();
        ::unlink(to->resolved.host.c_str());  // no half copy stays behind
        return failWith(copyError);
    }
    // The copy keeps the original's attributes and time of last write.
    const struct timespec times[2] = {{0, UTIME_NOW}, st.st_mtim};
    ::futimens(target->file->fd(), times);
    ::fchmod(target->file->fd(), st.st_mode & 07777);
    return TRUE;
}

BOOL WINAPI CreateDirectoryW(LPCWSTR lpPathName, LPSECURITY_ATTRIBUTES) {
    DWORD error = ERROR_SUCCESS;
    const auto path = namedPath(lpPathName, error);
    if (!path) return failWith(error);
    if (path->resolved.isRoot) return failWith(ERROR_ALREADY_EXISTS);
    if (!path->resolved.parentExists) return failWith(ERROR_PATH_NOT_FOUND);
    if (::mkdir(path->resolved.host.c_str(), 0777) != 0) return failWith(files::errorFromErrno(errno));
    return TRUE;
}

BOOL WINAPI RemoveDirectoryW(LPCWSTR lpPathName) {
    DWORD error = ERROR_SUCCESS;
    const auto path = namedPath(lpPathName, error);
    if (!path) return failWith(error);
    if (path->resolved.isRoot) return failWith(ERROR_ACCESS_DENIED);
    struct stat st;
    if (::lstat(path->resolved.host.c_str(), &st) != 0) return failWith(missingError(path->resolved));
    if (!S_ISDIR(st.st_mode)) return failWith(ERROR_DIRECTORY);
    if (::rmdir(path->resolved.host.c_str()) != 0)
        return failWith(errno == EEXIST ? ERROR_DIR_NOT_EMPTY : files::errorFromErrno(errno));
    return TRUE;
}

DWORD WINAPI GetFileAttributesW(LPCWSTR lpFileName) {
    DWORD error = ERROR_SUCCESS;
    const auto path = namedPath(lpFileName, error);
    if (!path) {
        setLastError(error);
        return INVALID_FILE_ATTRIBUTES;
    }
    if (!path->resolved.exists) {
        setLastError(missingError(path->resolved));
        return INVALID_FILE_ATTRIBUTES;
    }
    const auto info = files::fileInfo(path->resolved.host, error);
    if (!info) {
        setLastError(error);
        return INVALID_FILE_ATTRIBUTES;
    }
    return info->attributes;
}

}  // extern "C"
