#include "registry_store.h"

#include <winerror.h>

#include <array>

#include "platform/kernel/device_clock.h"

namespace platform::registry {

namespace {

struct Store {
    std::mutex mutex;
    std::array<std::shared_ptr<KeyNode>, kRootCount> roots;

    Store() {
        for (auto& root : roots) root = std::make_shared<KeyNode>();
    }
};

Store& store() {
    static Store instance;
    return instance;
}

// Marks a key and everything below it deleted and frees their contents; handles
// that still refer to one of them see ERROR_KEY_DELETED.
void markDeleted(KeyNode& key) {
    key.deleted = true;
    for (auto& [name, child] : key.subkeys) markDeleted(*child);
    key.subkeys.clear();
    key.values.clear();
}

}  // namespace

uint64_t currentFileTime() {
    const auto& clock = kernel::deviceClock();
    int64_t systemMs = clock.localTimeMs() - clock.localBiasMs();
    return systemMs > 0 ? uint64_t(systemMs) * 10000u : 0;
}

RegistryLock::RegistryLock() : lock_(store().mutex) {}

const std::shared_ptr<KeyNode>& RegistryLock::root(RootKey root) const {
    return store().roots[static_cast<size_t>(root)];
}

std::shared_ptr<KeyNode> RegistryLock::find(const std::shared_ptr<KeyNode>& base,
                                            const std::vector<std::u16string_view>& names) const {
    std::shared_ptr<KeyNode> key = base;
    for (std::u16string_view name : names) {
        auto it = key->subkeys.find(name);
        if (it == key->subkeys.end()) return nullptr;
        key = it->second;
    }
    return key;
}

RegistryLock::Created RegistryLock::create(const std::shared_ptr<KeyNode>& base,
                                           const std::vector<std::u16string_view>& names,
                                           std::u16string_view className) {
    // No existing key lies deeper than the limit, so such a path always needs a new one.
    if (base->depth + names.size() > kMaxKeyDepth) return {nullptr, false, ERROR_INVALID_PARAMETER};
    std::shared_ptr<KeyNode> key = base;
    bool createdNew = false;
    uint64_t now = currentFileTime();
    for (std::u16string_view name : names) {
        auto it = key->subkeys.find(name);
        if (it != key->subkeys.end()) {
            key = it->second;
            continue;
        }
        auto child = std::make_shared<KeyNode>();
        child->depth = key->depth + 1;
        child->lastWriteTime = now;
        key->subkeys.emplace(std::u16string(name), child);
        key->lastWriteTime = now;
        key = std::move(child);
        createdNew = true;
    }
    if (createdNew) key->className = std::u16string(className);
    return {key, createdNew, ERROR_SUCCESS};
}

bool RegistryLock::removeSubkey(KeyNode& parent, std::u16string_view name) {
    auto it = parent.subkeys.find(name);
    if (it == parent.subkeys.end()) return false;
    markDeleted(*it->second);
    parent.subkeys.erase(it);
    parent.lastWriteTime = currentFileTime();
    return true;
}

void RegistryLock::setValue(KeyNode& key, std::u16string_view name, RegistryValue value) {
    auto it = key.values.find(name);
    if (it != key.values.end())
        it->second = std::move(value);
    else
        key.values.emplace(std::u16string(name), std::move(value));
    key.lastWriteTime = currentFileTime();
}

bool RegistryLock::removeValue(KeyNode& key, std::u16string_view name) {
    auto it = key.values.find(name);
    if (it == key.values.end()) return false;
    key.values.erase(it);
    key.lastWriteTime = currentFileTime();
    return true;
}

void RegistryLock::clearAll() {
    for (auto& root : store().roots) {
        for (auto& [name, child] : root->subkeys) markDeleted(*child);
        root->subkeys.clear();
        root->values.clear();
        root->lastWriteTime = 0;
    }
}

}  // namespace platform::registry
