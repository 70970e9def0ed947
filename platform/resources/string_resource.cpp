// LoadStringW: strings are kept in blocks of 16 (block n holds ids 16(n-1) to
// 16n-1), each a length and that many characters, without terminator.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "platform/kernel/last_error.h"
#include "resource_lookup.h"

using namespace platform::resources;

extern "C" {

int WINAPI LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax) {
    if (cchBufferMax < 0 || (!lpBuffer && cchBufferMax > 0) || uID > 0xFFFF) {
        platform::kernel::setLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto block = findResourceData(hInstance, RT_STRING, MAKEINTRESOURCE((uID >> 4) + 1));
    if (!block) return 0;
    const uint8_t* p = block->data();
    size_t left = block->size();
    auto word = [&](size_t at) { return static_cast<uint16_t>(p[at] | (p[at + 1] << 8)); };
    size_t at = 0;
    for (UINT slot = 0; slot < (uID & 15); ++slot) {
        if (at + 2 > left) break;
        at += 2 + 2 * size_t(word(at));
    }
    if (at + 2 > left) {
        platform::kernel::setLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    size_t length = word(at);
    const uint8_t* text = p + at + 2;
    if (length == 0 || length * 2 > left - at - 2) {  // an empty slot is a string that does not exist
        platform::kernel::setLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    if (cchBufferMax == 0) {
        LPCWSTR resourceText = reinterpret_cast<LPCWSTR>(text);
        if (lpBuffer) {
            std::memcpy(lpBuffer, &resourceText, sizeof resourceText);
            return static_cast<int>(length);
        }
#if PLATFORM_32BIT_TARGET
        // As documented on the device: the pointer itself is the result.
        return static_cast<int>(reinterpret_cast<intptr_t>(resourceText));
#else
        // A host pointer does not fit in the result; use lpBuffer to get it.
        platform::kernel::setLastError(ERROR_INVALID_PARAMETER);
        return 0;
#endif
    }
    size_t copied = std::min(length, static_cast<size_t>(cchBufferMax - 1));
    std::memcpy(lpBuffer, text, copied * 2);
    lpBuffer[copied] = 0;
    return static_cast<int>(copied);
}

}  // extern "C"
