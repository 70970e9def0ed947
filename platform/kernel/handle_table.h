// The system-wide table of kernel handles.
//
// A handle value encodes a slot index and that slot's generation, so a closed
// (stale) handle, a made-up value or NULL never finds an object. Values are
// multiples of 4 (bit 0 clear) and fit in 32 bits, as on the device. Each handle
// records the process that owns it, so ending a process closes its handles.
#pragma once

#include <winbase.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "kernel_object.h"

namespace platform::kernel {

using ProcessId = DWORD;

class HandleTable {
public:
    // Adds a handle to object, owned by the given process (the calling one by default).
    HANDLE insert(std::shared_ptr<KernelObject> object);
    HANDLE insert(std::shared_ptr<KernelObject> object, ProcessId owner);

    // The object behind a handle; null for stale, unknown or NULL handles.
    std::shared_ptr<KernelObject> lookup(HANDLE handle) const;

    template <class T>
    std::shared_ptr<T> lookupAs(HANDLE handle) const {
        return std::dynamic_pointer_cast<T>(lookup(handle));
    }

    // Removes the handle; returns the object it referred to (null if stale).
    // The object itself lives on while other handles or users hold it.
    std::shared_ptr<KernelObject> remove(HANDLE handle);

    // Removes every handle the process owns, returning the objects (so the
    // caller can drop them outside the table's lock).
    std::vector<std::shared_ptr<KernelObject>> removeAllOf(ProcessId owner);

    size_t countOf(ProcessId owner) const;

private:
    struct Slot {
        std::shared_ptr<KernelObject> object;
        ProcessId owner = 0;
        uint32_t generation = 1;
    };

    // Empties a slot (lock held) and bumps its generation; returns the object.
    std::shared_ptr<KernelObject> retire(uint32_t slot);

    mutable std::mutex mutex_;
    std::vector<Slot> slots_;
    std::vector<uint32_t> freeSlots_;
};

HandleTable& handleTable();

// Looks a handle up as an object of type T; on failure sets ERROR_INVALID_HANDLE
// and returns null. Every API function that takes a handle starts with this.
template <class T>
std::shared_ptr<T> resolveHandle(HANDLE handle);

}  // namespace platform::kernel

#include "last_error.h"

namespace platform::kernel {
template <class T>
std::shared_ptr<T> resolveHandle(HANDLE handle) {
    auto object = handleTable().lookupAs<T>(handle);
    if (!object) setLastError(ERROR_INVALID_HANDLE);
    return object;
}
}  // namespace platform::kernel
