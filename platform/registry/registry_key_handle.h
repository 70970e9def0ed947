// Registry key handles. An HKEY is either one of the predefined roots or a kernel
// handle to an opened key, closed with RegCloseKey (CloseHandle refuses it).
#pragma once

#include <winreg.h>

#include <memory>
#include <optional>

#include "platform/kernel/kernel_object.h"
#include "registry_store.h"

namespace platform::registry {

class RegistryKeyObject : public kernel::KernelObject {
  public:
    explicit RegistryKeyObject(std::shared_ptr<KeyNode> key) : key_(std::move(key)) {}
    std::string_view kindName() const override { return "registry key"; }
    bool closableByCloseHandle() const override { return false; }
    const std::shared_ptr<KeyNode>& key() const { return key_; }

  private:
    const std::shared_ptr<KeyNode> key_;
};

std::optional<RootKey> predefinedRoot(HKEY key);
HKEY predefinedKey(RootKey root);

struct ResolvedKey {
    std::shared_ptr<KeyNode> node;  // null on error
    LONG error = ERROR_SUCCESS;     // ERROR_INVALID_HANDLE or ERROR_KEY_DELETED
};
// The key an HKEY refers to: a root, or the key behind an opened handle. Anything
// else (NULL, closed, made up, another kind of object) is ERROR_INVALID_HANDLE;
// a handle whose key was deleted meanwhile is ERROR_KEY_DELETED.
ResolvedKey resolveKey(HKEY key, const RegistryLock& lock);

// A new handle to key, owned by the calling process; null if the handle table is full.
HKEY openKeyHandle(std::shared_ptr<KeyNode> key);

}  // namespace platform::registry
