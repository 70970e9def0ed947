// RegOpenKeyExW, RegCreateKeyExW, RegCloseKey, RegDeleteKeyW, RegQueryInfoKeyW,
// RegEnumKeyExW: the keys of the registry. Each returns the platform's error code.
#include <winreg.h>

#include <algorithm>
#include <iterator>

#include "platform/kernel/handle_table.h"
#include "registry_buffers.h"
#include "registry_key_handle.h"
#include "registry_store.h"

using namespace platform::registry;

namespace {

std::u16string_view textOrEmpty(LPCWSTR text) { return text ? std::u16string_view(text) : u""; }

// The handle a successful open or create hands out: a root opened with no subkey
// is the root itself, anything else gets a new handle.
LONG handOut(HKEY base, const std::shared_ptr<KeyNode>& baseNode,
             const std::shared_ptr<KeyNode>& key, PHKEY result) {
    if (key == baseNode && predefinedRoot(base)) {
        *result = base;
        return ERROR_SUCCESS;
    }
    HKEY handle = openKeyHandle(key);
    if (!handle) return ERROR_OUTOFMEMORY;
    *result = handle;
    return ERROR_SUCCESS;
}

}  // namespace

extern "C" {

// On failure *phkResult is set to NULL, so a caller never goes on with a stale value.
LONG WINAPI RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD /*ulOptions*/, REGSAM /*samDesired*/,
                          PHKEY phkResult) {
    if (phkResult == nullptr) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    SplitPath path = splitKeyPath(textOrEmpty(lpSubKey));
    std::shared_ptr<KeyNode> base, key;
    {
        RegistryLock lock;
        ResolvedKey resolved = resolveKey(hKey, lock);
        if (!resolved.node) return resolved.error;
        if (path.error) return path.error;
        key = lock.find(resolved.node, path.names);
        if (!key) return ERROR_FILE_NOT_FOUND;
        base = resolved.node;
    }
    return handOut(hKey, base, key, phkResult);
}

LONG WINAPI RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD /*Reserved*/, LPWSTR lpClass,
                            DWORD /*dwOptions*/, REGSAM /*samDesired*/,
                            LPSECURITY_ATTRIBUTES /*lpSecurityAttributes*/, PHKEY phkResult,
                            LPDWORD lpdwDisposition) {
    if (phkResult == nullptr) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    std::u16string_view className;
    if (lpClass) {
        auto length = boundedLength(lpClass, kMaxClassLength);
        if (!length) return ERROR_INVALID_PARAMETER;
        className = std::u16string_view(lpClass, *length);
    }
    SplitPath path = splitKeyPath(textOrEmpty(lpSubKey));
    std::shared_ptr<KeyNode> base;
    RegistryLock::Created created;
    {
        RegistryLock lock;
        ResolvedKey resolved = resolveKey(hKey, lock);
        if (!resolved.node) return resolved.error;
        if (path.error) return path.error;
        created = lock.create(resolved.node, path.names, className);
        if (!created.node) return created.error;
        base = resolved.node;
    }
    LONG result = handOut(hKey, base, created.node, phkResult);
    if (result == ERROR_SUCCESS && lpdwDisposition)
        *lpdwDisposition = created.createdNew ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return result;
}

// Closing a root is accepted and does nothing, as the roots are always open.
LONG WINAPI RegCloseKey(HKEY hKey) {
    if (predefinedRoot(hKey)) return ERROR_SUCCESS;
    auto& table = platform::kernel::handleTable();
    if (!table.lookupAs<RegistryKeyObject>(hKey)) return ERROR_INVALID_HANDLE;
    return table.remove(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

// Deletes the subkey with all its subkeys and values, as this platform does.
LONG WINAPI RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey) {
    SplitPath path = splitKeyPath(textOrEmpty(lpSubKey));
    RegistryLock lock;
    ResolvedKey resolved = resolveKey(hKey, lock);
    if (!resolved.node) return resolved.error;
    if (path.error) return path.error;
    if (path.names.empty()) return ERROR_INVALID_PARAMETER;  // names no key to delete
    std::u16string_view last = path.names.back();
    path.names.pop_back();
    std::shared_ptr<KeyNode> parent = lock.find(resolved.node, path.names);
    if (!parent || !lock.removeSubkey(*parent, last)) return ERROR_FILE_NOT_FOUND;
    return ERROR_SUCCESS;
}

LONG WINAPI RegQueryInfoKeyW(HKEY hKey, LPWSTR lpClass, LPDWORD lpcbClass, LPDWORD lpReserved,
                             LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen,
                             LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen,
                             LPDWORD lpcbMaxValueLen, LPDWORD lpcbSecurityDescriptor,
                             PFILETIME lpftLastWriteTime) {
    if (lpReserved != nullptr) return ERROR_INVALID_PARAMETER;
    if (lpClass != nullptr && lpcbClass == nullptr) return ERROR_INVALID_PARAMETER;
    RegistryLock lock;
    ResolvedKey resolved = resolveKey(hKey, lock);
    if (!resolved.node) return resolved.error;
    const KeyNode& key = *resolved.node;

    if (lpClass != nullptr && !nameFits(key.className, lpcbClass)) {
        reportNameLength(key.className, lpcbClass);
        return ERROR_MORE_DATA;
    }
    if (lpClass != nullptr)
        writeName(key.className, lpClass, lpcbClass);
    else
        reportNameLength(key.className, lpcbClass);

    size_t maxSubKeyLength = 0, maxClassLength = 0;
    for (const auto& [name, child] : key.subkeys) {
        maxSubKeyLength = std::max(maxSubKeyLength, name.size());
        maxClassLength = std::max(maxClassLength, child->className.size());
    }
    size_t maxValueNameLength = 0, maxValueSize = 0;
    for (const auto& [name, value] : key.values) {
        maxValueNameLength = std::max(maxValueNameLength, name.size());
        maxValueSize = std::max(maxValueSize, value.data.size());
    }
    if (lpcSubKeys) *lpcSubKeys = static_cast<DWORD>(key.subkeys.size());
    if (lpcbMaxSubKeyLen) *lpcbMaxSubKeyLen = static_cast<DWORD>(maxSubKeyLength);
    if (lpcbMaxClassLen) *lpcbMaxClassLen = static_cast<DWORD>(maxClassLength);
    if (lpcValues) *lpcValues = static_cast<DWORD>(key.values.size());
    if (lpcbMaxValueNameLen) *lpcbMaxValueNameLen = static_cast<DWORD>(maxValueNameLength);
    if (lpcbMaxValueLen) *lpcbMaxValueLen = static_cast<DWORD>(maxValueSize);
    if (lpcbSecurityDescriptor) *lpcbSecurityDescriptor = 0;  // keys carry no security here
    writeFileTime(lpftLastWriteTime, key.lastWriteTime);
    return ERROR_SUCCESS;
}

LONG WINAPI RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcbName,
                          LPDWORD lpReserved, LPWSTR lpClass, LPDWORD lpcbClass,
                          PFILETIME lpftLastWriteTime) {
    if (lpName == nullptr || lpcbName == nullptr || lpReserved != nullptr)
        return ERROR_INVALID_PARAMETER;
    if (lpClass != nullptr && lpcbClass == nullptr) return ERROR_INVALID_PARAMETER;
    RegistryLock lock;
    ResolvedKey resolved = resolveKey(hKey, lock);
    if (!resolved.node) return resolved.error;
    const auto& subkeys = resolved.node->subkeys;
    if (dwIndex >= subkeys.size()) return ERROR_NO_MORE_ITEMS;
    const auto& [name, child] = *std::next(subkeys.begin(), dwIndex);

    bool classWanted = lpClass != nullptr;
    if (!nameFits(name, lpcbName) || (classWanted && !nameFits(child->className, lpcbClass))) {
        reportNameLength(name, lpcbName);
        if (classWanted) reportNameLength(child->className, lpcbClass);
        return ERROR_MORE_DATA;
    }
    writeName(name, lpName, lpcbName);
    if (classWanted) writeName(child->className, lpClass, lpcbClass);
    writeFileTime(lpftLastWriteTime, child->lastWriteTime);
    return ERROR_SUCCESS;
}

}  // extern "C"
