// RegSetValueExW, RegQueryValueExW, RegDeleteValueW, RegEnumValueW: the values of
// a key. A NULL or empty value name means the key's unnamed (default) value.
// Each returns the platform's error code.
#include <winreg.h>

#include <cstring>
#include <iterator>

#include "registry_buffers.h"
#include "registry_key_handle.h"
#include "registry_store.h"

using namespace platform::registry;

namespace {

struct ValueName {
    std::u16string_view name;
    bool valid = true;  // false when longer than the platform allows
};

ValueName valueName(LPCWSTR text) {
    if (text == nullptr) return {};
    auto length = boundedLength(text, kMaxValueNameLength);
    if (!length) return {{}, false};
    return {std::u16string_view(text, *length), true};
}

// Reports a value's type and data into the caller's variables; see registry_buffers.h
// for the rules on a buffer that is too small.
LONG reportValue(const RegistryValue& value, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    DWORD size = static_cast<DWORD>(value.data.size());
    if (lpType) *lpType = value.type;
    if (lpData != nullptr && size > *lpcbData) {
        *lpcbData = size;
        return ERROR_MORE_DATA;
    }
    if (lpData != nullptr && size > 0) std::memcpy(lpData, value.data.data(), size);
    if (lpcbData) *lpcbData = size;
    return ERROR_SUCCESS;
}

}  // namespace

extern "C" {

LONG WINAPI RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD /*Reserved*/, DWORD dwType,
                           CONST BYTE* lpData, DWORD cbData) {
    ValueName name = valueName(lpValueName);
    if (!name.valid) return ERROR_INVALID_PARAMETER;
    if (cbData > kMaxValueDataSize) return ERROR_INVALID_PARAMETER;
    if (lpData == nullptr && cbData > 0) return ERROR_INVALID_PARAMETER;
    RegistryValue value{dwType, std::vector<BYTE>(lpData, lpData + cbData)};
    RegistryLock lock;
    ResolvedKey resolved = resolveKey(hKey, lock);
    if (!resolved.node) return resolved.error;
    lock.setValue(*resolved.node, name.name, std::move(value));
    return ERROR_SUCCESS;
}

// lpData NULL with lpcbData given asks for the size only; a buffer too small gives
// ERROR_MORE_DATA with the size needed in *lpcbData and leaves the buffer untouched.
LONG WINAPI RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                             LPBYTE lpData, LPDWORD lpcbData) {
    if (lpReserved != nullptr) return ERROR_INVALID_PARAMETER;
    if (lpData != nullptr && lpcbData == nullptr) return ERROR_INVALID_PARAMETER;
    ValueName name = valueName(lpValueName);
    if (!name.valid) return ERROR_INVALID_PARAMETER;
    RegistryLock lock;
    ResolvedKey resolved = resolveKey(hKey, lock);
    if (!resolved.node) return resolved.error;
    const auto& values = resolved.node->values;
    auto it = values.find(name.name);
    if (it == values.end()) return ERROR_FILE_NOT_FOUND;
    return reportValue(it->second, lpType, lpData, lpcbData);
}

LONG WINAPI RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName) {
    ValueName name = valueName(lpValueName);
    if (!name.valid) return ERROR_INVALID_PARAMETER;
    RegistryLock lock;
    ResolvedKey resolved = resolveKey(hKey, lock);
    if (!resolved.node) return resolved.error;
    return lock.removeValue(*resolved.node, name.name) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LONG WINAPI RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcbValueName,
                          LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    if (lpValueName == nullptr || lpcbValueName == nullptr || lpReserved != nullptr)
        return ERROR_INVALID_PARAMETER;
    if (lpData != nullptr && lpcbData == nullptr) return ERROR_INVALID_PARAMETER;
    RegistryLock lock;
    ResolvedKey resolved = resolveKey(hKey, lock);
    if (!resolved.node) return resolved.error;
    const auto& values = resolved.node->values;
    if (dwIndex >= values.size()) return ERROR_NO_MORE_ITEMS;
    const auto& [name, value] = *std::next(values.begin(), dwIndex);

    DWORD size = static_cast<DWORD>(value.data.size());
    bool dataFits = lpData == nullptr || size <= *lpcbData;
    if (!nameFits(name, lpcbValueName) || !dataFits) {
        reportNameLength(name, lpcbValueName);
        if (lpType) *lpType = value.type;
        if (lpcbData) *lpcbData = size;
        return ERROR_MORE_DATA;
    }
    writeName(name, lpValueName, lpcbValueName);
    return reportValue(value, lpType, lpData, lpcbData);
}

}  // extern "C"
