// Which host files the device has open, with what access and share mode, so
// that an open, a delete or a rename that conflicts with an open handle fails
// with ERROR_SHARING_VIOLATION as on the platform.
#pragma once

#include <windef.h>

#include <sys/types.h>

#include <compare>
#include <map>
#include <mutex>

namespace platform::files {

// A host file's identity: the same file whatever name or link reaches it.
struct FileId {
    dev_t device = 0;
    ino_t inode = 0;
    auto operator<=>(const FileId&) const = default;
};

class OpenFiles {
public:
    // A check and the host call it guards happen under one lock, so that no
    // other open slips in between.
    using Lock = std::unique_lock<std::mutex>;
    Lock lock() { return Lock(mutex_); }

    // Whether a new open with this access and share mode may join the handles
    // open on the file: each side must share what the other one uses. An open
    // without read or write access (a query) takes part in no sharing check.
    bool mayOpen(const Lock&, FileId id, DWORD access, DWORD share) const;
    bool isOpen(const Lock&, FileId id) const;
    void add(const Lock&, FileId id, DWORD access, DWORD share);
    // Takes the lock itself; called when a handle's file is released.
    void remove(FileId id, DWORD access, DWORD share);

private:
    struct Opens {
        // Handles open on the file; how many use read and write access; how
        // many refuse to share reading and writing.
        int handles = 0;
        int readers = 0, writers = 0;
        int denyRead = 0, denyWrite = 0;
    };

    std::mutex mutex_;
    std::map<FileId, Opens> files_;
};

OpenFiles& openFiles();

// The access a request amounts to: GENERIC_ALL counts as reading and writing.
DWORD effectiveAccess(DWORD desiredAccess);

}  // namespace platform::files
