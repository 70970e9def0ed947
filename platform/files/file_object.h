// An open host file behind a file handle. The handle's position is its own;
// its sharing entry and the host descriptor go when the object does.
#pragma once

#include <windef.h>

#include <memory>
#include <mutex>

#include "io_handle.h"
#include "open_files.h"
#include "storage.h"
#include "unique_fd.h"

namespace platform::files {

class FileObject final : public IoHandle {
public:
    FileObject(UniqueFd fd, FileId id, DWORD access, DWORD share);
    ~FileObject() override;

    std::string_view kindName() const override { return "file"; }

    bool read(void* buffer, DWORD length, DWORD& bytesRead) override;
    bool write(const void* buffer, DWORD length, DWORD& bytesWritten) override;
    std::optional<uint64_t> setPointer(int64_t distance, bool wide, DWORD moveMethod) override;
    std::optional<uint64_t> size() override;
    bool setEndOfFile() override;
    bool flush() override;
    bool ioControl(DWORD code, void* in, DWORD inLength, void* out, DWORD outLength,
                   DWORD* bytesReturned) override;

    int fd() const { return fd_.get(); }

private:
    // Whether the handle was opened with the access a call needs; sets
    // ERROR_ACCESS_DENIED when not.
    bool grants(DWORD access) const;

    const UniqueFd fd_;
    const FileId id_;
    const DWORD access_;
    const DWORD share_;
    std::mutex mutex_;  // guards position_ and keeps each call's I/O in one piece
    uint64_t position_ = 0;
};

struct OpenedFile {
    std::shared_ptr<FileObject> file;
    bool existed = false;  // the file was there before the call
};

// Opens or creates a file as CreateFileW does for a path (not a device): the
// platform's access, share and creation values with their documented errors.
// flagsAndAttributes matters only for FILE_ATTRIBUTE_READONLY on a new file.
std::optional<OpenedFile> openFile(const ResolvedPath& path, DWORD access, DWORD share, DWORD disposition,
                                   DWORD flagsAndAttributes, DWORD& error);

}  // namespace platform::files
