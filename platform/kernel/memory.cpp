// LocalAlloc and kin. Blocks are tracked, so that freeing a pointer twice or one
// that never came from LocalAlloc fails instead of corrupting the heap.
#include <winbase.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "last_error.h"

namespace platform::kernel {
namespace {

class LocalHeap {
public:
    void* allocate(UINT flags, UINT bytes) {
        void* block = std::malloc(bytes ? bytes : 1);
        if (!block) return nullptr;
        if (flags & LMEM_ZEROINIT) std::memset(block, 0, bytes);
        std::lock_guard lock(mutex_);
        blocks_[block] = bytes;
        return block;
    }

    bool free(void* block) {
        {
            std::lock_guard lock(mutex_);
            if (blocks_.erase(block) == 0) return false;
        }
        std::free(block);
        return true;
    }

    bool sizeOf(void* block, UINT& bytes) {
        std::lock_guard lock(mutex_);
        auto it = blocks_.find(block);
        if (it == blocks_.end()) return false;
        bytes = it->second;
        return true;
    }

    void* reallocate(void* block, UINT bytes, UINT flags) {
        UINT oldBytes = 0;
        if (!sizeOf(block, oldBytes)) return nullptr;
        void* fresh = allocate(flags, bytes);
        if (!fresh) return nullptr;
        std::memcpy(fresh, block, oldBytes < bytes ? oldBytes : bytes);
        free(block);
        return fresh;
    }

private:
    std::mutex mutex_;
    std::unordered_map<void*, UINT> blocks_;
};

LocalHeap& heap() {
    static LocalHeap* local = new LocalHeap;
    return *local;
}

}  // namespace
}  // namespace platform::kernel

using platform::kernel::heap;
using platform::kernel::setLastError;

extern "C" {

HLOCAL WINAPI LocalAlloc(UINT uFlags, UINT uBytes) {
    void* block = heap().allocate(uFlags, uBytes);
    if (!block) setLastError(ERROR_NOT_ENOUGH_MEMORY);
    return block;
}

HLOCAL WINAPI LocalReAlloc(HLOCAL hMem, UINT uBytes, UINT uFlags) {
    void* block = heap().reallocate(hMem, uBytes, uFlags);
    if (!block) setLastError(ERROR_INVALID_HANDLE);
    return block;
}

UINT WINAPI LocalSize(HLOCAL hMem) {
    UINT bytes = 0;
    if (!heap().sizeOf(hMem, bytes)) setLastError(ERROR_INVALID_HANDLE);
    return bytes;
}

HLOCAL WINAPI LocalFree(HLOCAL hMem) {
    if (!hMem) return nullptr;
    if (heap().free(hMem)) return nullptr;
    setLastError(ERROR_INVALID_HANDLE);
    return hMem;
}

}  // extern "C"
