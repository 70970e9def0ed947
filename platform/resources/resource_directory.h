// A module's resources: the resource stream in its ".rsrc" section, read into
// entries that point into the module's image. The entries stay valid while the
// module is loaded.
//
// Thread: any (a directory is read-only once made).
#pragma once

#include <windef.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace platform::loader {
class Module;
}

namespace platform::resources {

// A resource type or name as the API passes it: a number made with
// MAKEINTRESOURCE, "#123", or a name (compared without regard to case).
struct ResourceKey {
    bool isOrdinal = true;
    uint16_t ordinal = 0;
    std::u16string name;  // upper-case

    // False for NULL or a text that is neither a name nor "#number".
    static bool from(LPCWSTR value, ResourceKey& key);
    static ResourceKey number(uint16_t value);
};

struct ResourceEntry {
    ResourceKey type;
    ResourceKey name;
    uint16_t language = 0;
    const uint8_t* header = nullptr;  // the entry's header in the image: its HRSRC
    std::span<const uint8_t> data;
};

class ResourceDirectory {
public:
    // The module's resources; empty when it has no resource section or the
    // section holds no valid resource stream (malformed entries are dropped
    // from the first bad one on, never read past the section).
    explicit ResourceDirectory(const loader::Module& module);

    enum class Lookup { Found, NoSuchType, NoSuchName };
    // Among entries of that type and name, the one in the terminal's user
    // interface language, else a language-neutral one, else the first.
    const ResourceEntry* find(const ResourceKey& type, const ResourceKey& name, Lookup* result = nullptr) const;
    // The entry whose header is at `header` (an HRSRC), or null.
    const ResourceEntry* byHeader(const void* header) const;

    bool empty() const { return entries_.empty(); }
    const std::vector<ResourceEntry>& entries() const { return entries_; }

private:
    std::vector<ResourceEntry> entries_;
};

// The module a resource function's instance handle names (NULL: the calling
// process's program); null with ERROR_INVALID_HANDLE set for an unknown handle.
std::shared_ptr<loader::Module> moduleForResources(HINSTANCE instance);

// The terminal's user interface language (Korean).
constexpr uint16_t kUserInterfaceLanguage = 0x0412;

}  // namespace platform::resources
