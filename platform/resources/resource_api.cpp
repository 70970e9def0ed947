// FindResourceW, LoadResource, SizeofResource, LockResource.
#include <windows.h>

#include "platform/kernel/last_error.h"
#include "platform/loader/module.h"
#include "resource_directory.h"
#include "resource_lookup.h"

namespace platform::resources {

namespace {

const ResourceEntry* findEntry(const ResourceDirectory& directory, LPCWSTR type, LPCWSTR name) {
    ResourceKey typeKey, nameKey;
    if (!ResourceKey::from(type, typeKey) || !ResourceKey::from(name, nameKey)) {
        kernel::setLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (directory.empty()) {
        kernel::setLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    ResourceDirectory::Lookup result;
    const ResourceEntry* entry = directory.find(typeKey, nameKey, &result);
    if (!entry)
        kernel::setLastError(result == ResourceDirectory::Lookup::NoSuchType ? ERROR_RESOURCE_TYPE_NOT_FOUND
                                                                             : ERROR_RESOURCE_NAME_NOT_FOUND);
    return entry;
}

// The entry an HRSRC names in that module; null with ERROR_INVALID_HANDLE.
const ResourceEntry* entryOf(const ResourceDirectory& directory, HRSRC resource) {
    const ResourceEntry* entry = resource ? directory.byHeader(resource) : nullptr;
    if (!entry) kernel::setLastError(ERROR_INVALID_HANDLE);
    return entry;
}

}  // namespace

std::optional<std::span<const uint8_t>> findResourceData(HINSTANCE instance, LPCWSTR type, LPCWSTR name) {
    auto module = moduleForResources(instance);
    if (!module) return std::nullopt;
    ResourceDirectory directory(*module);
    const ResourceEntry* entry = findEntry(directory, type, name);
    if (!entry) return std::nullopt;
    return entry->data;
}

}  // namespace platform::resources

using namespace platform::resources;

extern "C" {

HRSRC WINAPI FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType) {
    auto module = moduleForResources(hModule);
    if (!module) return nullptr;
    ResourceDirectory directory(*module);
    const ResourceEntry* entry = findEntry(directory, lpType, lpName);
    return entry ? reinterpret_cast<HRSRC>(const_cast<uint8_t*>(entry->header)) : nullptr;
}

HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo) {
    auto module = moduleForResources(hModule);
    if (!module) return nullptr;
    ResourceDirectory directory(*module);
    const ResourceEntry* entry = entryOf(directory, hResInfo);
    return entry ? const_cast<uint8_t*>(entry->data.data()) : nullptr;
}

DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo) {
    auto module = moduleForResources(hModule);
    if (!module) return 0;
    ResourceDirectory directory(*module);
    const ResourceEntry* entry = entryOf(directory, hResInfo);
    return entry ? static_cast<DWORD>(entry->data.size()) : 0;
}

// Resource data needs no locking here: the handle is the data's address.
LPVOID WINAPI LockResource(HGLOBAL hResData) { return hResData; }

}  // extern "C"
