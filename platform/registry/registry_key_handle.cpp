#include "registry_key_handle.h"

#include "platform/kernel/handle_table.h"

namespace platform::registry {

std::optional<RootKey> predefinedRoot(HKEY key) {
    if (key == HKEY_CLASSES_ROOT) return RootKey::ClassesRoot;
    if (key == HKEY_CURRENT_USER) return RootKey::CurrentUser;
    if (key == HKEY_LOCAL_MACHINE) return RootKey::LocalMachine;
    if (key == HKEY_USERS) return RootKey::Users;
    return std::nullopt;
}

HKEY predefinedKey(RootKey root) {
    switch (root) {
        case RootKey::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case RootKey::CurrentUser:
            return HKEY_CURRENT_USER;
        case RootKey::LocalMachine:
            return HKEY_LOCAL_MACHINE;
        case RootKey::Users:
            return HKEY_USERS;
    }
    return nullptr;
}

ResolvedKey resolveKey(HKEY key, const RegistryLock& lock) {
    if (auto root = predefinedRoot(key)) return {lock.root(*root), ERROR_SUCCESS};
    auto object = kernel::handleTable().lookupAs<RegistryKeyObject>(key);
    if (!object) return {nullptr, ERROR_INVALID_HANDLE};
    if (object->key()->deleted) return {nullptr, ERROR_KEY_DELETED};
    return {object->key(), ERROR_SUCCESS};
}

HKEY openKeyHandle(std::shared_ptr<KeyNode> key) {
    auto object = std::make_shared<RegistryKeyObject>(std::move(key));
    return static_cast<HKEY>(kernel::handleTable().insert(std::move(object)));
}

}  // namespace platform::registry
