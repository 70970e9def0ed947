// Filling the caller's buffers the way every registry function does.
//
// A name is written with its terminator into a buffer whose size the caller gives
// in characters (terminator included); the size variable then receives the name's
// length without the terminator. When any buffer of a call is too small, the call
// returns ERROR_MORE_DATA, writes into no buffer, and every size variable given
// receives the size needed: names in characters without the terminator, data in bytes.
#pragma once

#include <windef.h>

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace platform::registry {

inline bool nameFits(std::u16string_view name, const DWORD* capacity) {
    return capacity == nullptr || name.size() < *capacity;
}

inline void writeName(std::u16string_view name, WCHAR* buffer, DWORD* capacity) {
    if (buffer == nullptr || capacity == nullptr) return;
    std::memcpy(buffer, name.data(), name.size() * sizeof(WCHAR));
    buffer[name.size()] = 0;
    *capacity = static_cast<DWORD>(name.size());
}

inline void reportNameLength(std::u16string_view name, DWORD* capacity) {
    if (capacity != nullptr) *capacity = static_cast<DWORD>(name.size());
}

inline void writeFileTime(FILETIME* out, uint64_t time) {
    if (out == nullptr) return;
    out->dwLowDateTime = static_cast<DWORD>(time);
    out->dwHighDateTime = static_cast<DWORD>(time >> 32);
}

}  // namespace platform::registry
