// The device's one registry: a tree of keys under four roots, guarded by one lock.
// Thread: any.
//
// Every read or change of the tree happens while a RegistryLock is held, so a
// caller that needs several steps to be seen as one (an import of a whole file)
// keeps one RegistryLock across them. Keys and values keep the spelling they were
// created with and are found and ordered without regard to case.
#pragma once

#include <windef.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "registry_names.h"

namespace platform::registry {

struct RegistryValue {
    DWORD type = 0;
    std::vector<BYTE> data;
};

struct KeyNode {
    std::u16string className;    // given when the key was created
    size_t depth = 0;            // 0 for a root, 1 for its subkeys, ...
    bool deleted = false;        // set on the key and its whole subtree when it is deleted
    uint64_t lastWriteTime = 0;  // in 100 ns units since 1601 (UTC), as FILETIME counts
    std::map<std::u16string, std::shared_ptr<KeyNode>, NameLess> subkeys;
    std::map<std::u16string, RegistryValue, NameLess> values;
};

class RegistryLock {
  public:
    RegistryLock();
    RegistryLock(const RegistryLock&) = delete;
    RegistryLock& operator=(const RegistryLock&) = delete;

    const std::shared_ptr<KeyNode>& root(RootKey root) const;

    // The key reached from base through names; null when some key is missing.
    std::shared_ptr<KeyNode> find(const std::shared_ptr<KeyNode>& base,
                                  const std::vector<std::u16string_view>& names) const;

    struct Created {
        std::shared_ptr<KeyNode> node;
        bool createdNew = false;
        LONG error = 0;
    };
    // Finds or creates the key reached from base through names, creating missing
    // keys on the way. The last key gets className if it is new. Refuses, changing
    // nothing, a key that would lie deeper than kMaxKeyDepth.
    Created create(const std::shared_ptr<KeyNode>& base,
                   const std::vector<std::u16string_view>& names, std::u16string_view className);

    // Removes the subkey name of parent with everything below it; false if missing.
    bool removeSubkey(KeyNode& parent, std::u16string_view name);

    // Sets or replaces a value, keeping the spelling of an existing name.
    void setValue(KeyNode& key, std::u16string_view name, RegistryValue value);
    // Removes a value; false if missing.
    bool removeValue(KeyNode& key, std::u16string_view name);

    // Empties every root (a fresh device). Keys that handles still refer to become deleted.
    void clearAll();

  private:
    std::unique_lock<std::mutex> lock_;
};

// The current system time in FILETIME units, from the device clock.
uint64_t currentFileTime();

}  // namespace platform::registry
