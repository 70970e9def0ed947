#include "file_object.h"

#include <winbase.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

#include "file_info.h"
#include "host_error.h"
#include "platform/kernel/last_error.h"

namespace platform::files {

using kernel::setLastError;

FileObject::FileObject(UniqueFd fd, FileId id, DWORD access, DWORD share)
    : fd_(std::move(fd)), id_(id), access_(access), share_(share) {}

FileObject::~FileObject() { openFiles().remove(id_, access_, share_); }

bool FileObject::grants(DWORD access) const {
    if (access_ & access) return true;
    setLastError(ERROR_ACCESS_DENIED);
    return false;
}

namespace {

// A transfer needs a buffer unless it moves nothing.
bool hasBuffer(const void* buffer, DWORD length) {
    if (buffer || !length) return true;
    setLastError(ERROR_INVALID_PARAMETER);
    return false;
}

}  // namespace

bool FileObject::read(void* buffer, DWORD length, DWORD& bytesRead) {
    bytesRead = 0;
    if (!grants(GENERIC_READ) || !hasBuffer(buffer, length)) return false;
    std::lock_guard lock(mutex_);
    auto* bytes = static_cast<char*>(buffer);
    while (bytesRead < length) {
        const ssize_t n = ::pread(fd_.get(), bytes + bytesRead, length - bytesRead,
                                  static_cast<off_t>(position_ + bytesRead));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            position_ += bytesRead;
            setLastError(errorFromErrno(errno));
            return false;
        }
        if (n == 0) break;  // end of file: a synchronous read succeeds short
        bytesRead += static_cast<DWORD>(n);
    }
    position_ += bytesRead;
    return true;
}

bool FileObject::write(const void* buffer, DWORD length, DWORD& bytesWritten) {
    bytesWritten = 0;
    if (!grants(GENERIC_WRITE) || !hasBuffer(buffer, length)) return false;
    std::lock_guard lock(mutex_);
    const auto* bytes = static_cast<const char*>(buffer);
    while (bytesWritten < length) {
        const ssize_t n = ::pwrite(fd_.get(), bytes + bytesWritten, length - bytesWritten,
                                   static_cast<off_t>(position_ + bytesWritten));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // The bytes that did reach the file are reported, and the call fails.
            position_ += bytesWritten;
            setLastError(n < 0 ? errorFromErrno(errno) : ERROR_DISK_FULL);
            return false;
        }
        bytesWritten += static_cast<DWORD>(n);
    }
    position_ += bytesWritten;
    return true;
}

std::optional<uint64_t> FileObject::setPointer(int64_t distance, bool wide, DWORD moveMethod) {
    std::lock_guard lock(mutex_);
    int64_t base;
    switch (moveMethod) {
        case FILE_BEGIN: base = 0; break;
        case FILE_CURRENT: base = static_cast<int64_t>(position_); break;
        case FILE_END: {
            struct stat st;
            if (::fstat(fd_.get(), &st) != 0) {
                setLastError(errorFromErrno(errno));
                return std::nullopt;
            }
            base = st.st_size;
            break;
        }
        default: setLastError(ERROR_INVALID_PARAMETER); return std::nullopt;
    }
    int64_t target;
    if (__builtin_add_overflow(base, distance, &target)) {
        setLastError(ERROR_INVALID_PARAMETER);
        return std::nullopt;
    }
    if (target < 0) {
        setLastError(ERROR_NEGATIVE_SEEK);
        return std::nullopt;
    }
    // Without a high part the caller can only be told a 32-bit position.
    if (!wide && target > static_cast<int64_t>(std::numeric_limits<DWORD>::max() - 1)) {
        setLastError(ERROR_INVALID_PARAMETER);
        return std::nullopt;
    }
    position_ = static_cast<uint64_t>(target);
    return position_;
}

std::optional<uint64_t> FileObject::size() {
    struct stat st;
    if (::fstat(fd_.get(), &st) != 0) {
        setLastError(errorFromErrno(errno));
        return std::nullopt;
    }
    return static_cast<uint64_t>(st.st_size);
}

bool FileObject::setEndOfFile() {
    if (!grants(GENERIC_WRITE)) return false;
    std::lock_guard lock(mutex_);
    if (::ftruncate(fd_.get(), static_cast<off_t>(position_)) != 0) {
        setLastError(errorFromErrno(errno));
        return false;
    }
    return true;
}

bool FileObject::flush() {
    if (!grants(GENERIC_WRITE)) return false;
    if (::fdatasync(fd_.get()) != 0) {
        setLastError(errorFromErrno(errno));
        return false;
    }
    return true;
}

bool FileObject::ioControl(DWORD, void*, DWORD, void*, DWORD, DWORD*) {
    // A file on the device's storage answers no device control request.
    setLastError(ERROR_INVALID_FUNCTION);
    return false;
}

namespace {

int openFlags(DWORD access, bool truncates) {
    int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    const bool reads = access & GENERIC_READ;
    const bool writes = (access & GENERIC_WRITE) || truncates;
    if (reads && writes) return flags | O_RDWR;
    if (writes) return flags | O_WRONLY;
    return flags | O_RDONLY;
}

}  // namespace

std::optional<OpenedFile> openFile(const ResolvedPath& path, DWORD desiredAccess, DWORD share,
                                   DWORD disposition, DWORD flagsAndAttributes, DWORD& error) {
    const DWORD access = effectiveAccess(desiredAccess);
    if (disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING ||
        (share & ~DWORD(FILE_SHARE_READ | FILE_SHARE_WRITE)) ||
        (disposition == TRUNCATE_EXISTING && !(access & GENERIC_WRITE))) {
        error = ERROR_INVALID_PARAMETER;
        return std::nullopt;
    }
    if (path.isRoot) {
        error = disposition == CREATE_NEW ? ERROR_FILE_EXISTS : ERROR_ACCESS_DENIED;
        return std::nullopt;
    }
    if (!path.parentExists) {
        error = ERROR_PATH_NOT_FOUND;
        return std::nullopt;
    }

    auto lock = openFiles().lock();
    struct stat before;
    const bool existed = ::lstat(path.host.c_str(), &before) == 0;
    if (existed && S_ISDIR(before.st_mode)) {
        error = disposition == CREATE_NEW ? ERROR_FILE_EXISTS : ERROR_ACCESS_DENIED;
        return std::nullopt;
    }
    if (existed && !S_ISREG(before.st_mode)) {  // host fifos, sockets, device nodes
        error = ERROR_ACCESS_DENIED;
        return std::nullopt;
    }

    const bool truncates = existed && (disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING);
    int flags = openFlags(access, truncates);
    switch (disposition) {
        case CREATE_NEW:
            if (existed) {
                error = ERROR_FILE_EXISTS;
                return std::nullopt;
            }
            flags |= O_CREAT | O_EXCL;
            break;
        case CREATE_ALWAYS:
        case OPEN_ALWAYS: flags |= O_CREAT; break;
        case OPEN_EXISTING:
        case TRUNCATE_EXISTING:
            if (!existed) {
                error = ERROR_FILE_NOT_FOUND;
                return std::nullopt;
            }
            break;
    }
    // The host lets its owner (and root) write anything; the device honours
    // the read-only attribute.
    if (existed && isReadOnly(before.st_mode) && ((access & GENERIC_WRITE) || truncates)) {
        error = ERROR_ACCESS_DENIED;
        return std::nullopt;
    }

    const mode_t mode = (flagsAndAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    UniqueFd fd(::open(path.host.c_str(), flags, mode));
    if (!fd) {
        error = errno == EEXIST ? ERROR_FILE_EXISTS : errorFromErrno(errno);
        return std::nullopt;
    }
    struct stat st;
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        error = ERROR_ACCESS_DENIED;
        return std::nullopt;
    }
    const FileId id{st.st_dev, st.st_ino};
    // Emptying the file changes it under every other handle, so it needs their
    // write sharing even when the new handle itself only reads.
    if (!openFiles().mayOpen(lock, id, truncates ? access | GENERIC_WRITE : access, share)) {
        error = ERROR_SHARING_VIOLATION;
        return std::nullopt;
    }
    if (truncates && ::ftruncate(fd.get(), 0) != 0) {
        error = errorFromErrno(errno);
        return std::nullopt;
    }
    openFiles().add(lock, id, access, share);
    lock.unlock();
    return OpenedFile{std::make_shared<FileObject>(std::move(fd), id, access, share), existed};
}

}  // namespace platform::files
