// LoadAcceleratorsW, CreateAcceleratorTableW, DestroyAcceleratorTable. An
// accelerator resource is a list of 8-byte entries (flags, key, command,
// padding), the last one's flags carrying 0x80.
#include <windows.h>

#include "accelerator_table.h"
#include "platform/kernel/handle_table.h"
#include "resource_lookup.h"

namespace platform::resources {

namespace {

constexpr BYTE kLastEntry = 0x80;
constexpr BYTE kKnownFlags = FVIRTKEY | FNOINVERT | FSHIFT | FCONTROL | FALT;

HACCEL insert(std::shared_ptr<AcceleratorTable> table) {
    return reinterpret_cast<HACCEL>(kernel::handleTable().insert(std::move(table)));
}

}  // namespace

std::shared_ptr<AcceleratorTable> acceleratorTableFromHandle(HACCEL handle) {
    auto table = kernel::handleTable().lookupAs<AcceleratorTable>(reinterpret_cast<HANDLE>(handle));
    if (!table) kernel::setLastError(ERROR_INVALID_ACCEL_HANDLE);
    return table;
}

}  // namespace platform::resources

using namespace platform::resources;

extern "C" {

HACCEL WINAPI LoadAcceleratorsW(HINSTANCE hInstance, LPCWSTR lpTableName) {
    auto bytes = findResourceData(hInstance, RT_ACCELERATOR, lpTableName);
    if (!bytes) return nullptr;
    auto table = std::make_shared<AcceleratorTable>();
    const uint8_t* p = bytes->data();
    bool ended = false;
    for (size_t at = 0; at + 8 <= bytes->size() && !ended; at += 8) {
        ACCEL entry;
        entry.fVirt = static_cast<BYTE>(p[at] & kKnownFlags);
        entry.key = static_cast<WORD>(p[at + 2] | (p[at + 3] << 8));
        entry.cmd = static_cast<WORD>(p[at + 4] | (p[at + 5] << 8));
        ended = (p[at] & kLastEntry) != 0;
        table->entries.push_back(entry);
    }
    if (!ended) {  // cut short or without its end mark
        platform::kernel::setLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    return insert(std::move(table));
}

HACCEL WINAPI CreateAcceleratorTableW(LPACCEL lpaccl, int cEntries) {
    if (!lpaccl || cEntries <= 0) {
        platform::kernel::setLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto table = std::make_shared<AcceleratorTable>();
    table->entries.assign(lpaccl, lpaccl + cEntries);
    for (ACCEL& entry : table->entries) entry.fVirt &= kKnownFlags;
    return insert(std::move(table));
}

BOOL WINAPI DestroyAcceleratorTable(HACCEL hAccel) {
    if (!acceleratorTableFromHandle(hAccel)) return FALSE;
    platform::kernel::handleTable().remove(reinterpret_cast<HANDLE>(hAccel));
    return TRUE;
}

}  // extern "C"
