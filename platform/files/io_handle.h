// What ReadFile, WriteFile, SetFilePointer and the other handle calls reach: an
// open file or an open stream device. Each operation returns false (or
// nothing) with the calling thread's last error set.
#pragma once

#include <windef.h>

#include <cstdint>
#include <optional>

#include "platform/kernel/kernel_object.h"

namespace platform::files {

class IoHandle : public kernel::KernelObject {
public:
    virtual bool read(void* buffer, DWORD length, DWORD& bytesRead) = 0;
    virtual bool write(const void* buffer, DWORD length, DWORD& bytesWritten) = 0;
    // Moves the position by distance from FILE_BEGIN, FILE_CURRENT or FILE_END.
    // wide says whether the caller gave a high part (a 64-bit position).
    virtual std::optional<uint64_t> setPointer(int64_t distance, bool wide, DWORD moveMethod) = 0;
    virtual std::optional<uint64_t> size() = 0;
    virtual bool setEndOfFile() = 0;
    virtual bool flush() = 0;
    virtual bool ioControl(DWORD code, void* in, DWORD inLength, void* out, DWORD outLength,
                           DWORD* bytesReturned) = 0;
};

}  // namespace platform::files
