#include "resource_directory.h"

#include <winbase.h>

#include "elf_section.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/process.h"
#include "platform/loader/module.h"
#include "platform/loader/process_modules.h"

namespace platform::resources {

namespace {

uint16_t wordAt(std::span<const uint8_t> b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }
uint32_t dwordAt(std::span<const uint8_t> b, size_t at) {
    return wordAt(b, at) | (static_cast<uint32_t>(wordAt(b, at + 2)) << 16);
}

char16_t upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool sameKey(const ResourceKey& a, const ResourceKey& b) {
    return a.isOrdinal == b.isOrdinal && (a.isOrdinal ? a.ordinal == b.ordinal : a.name == b.name);
}

// A type or name field of an entry header at `at` (within `end`); advances at.
bool readKey(std::span<const uint8_t> b, size_t& at, size_t end, ResourceKey& key) {
    if (at + 4 > end) return false;
    if (wordAt(b, at) == 0xFFFF) {
        key = ResourceKey::number(wordAt(b, at + 2));
        at += 4;
        return true;
    }
    key.isOrdinal = false;
    key.name.clear();
    for (;;) {
        if (at + 2 > end) return false;
        char16_t c = wordAt(b, at);
        at += 2;
        if (!c) return true;
        key.name.push_back(upper(c));
    }
}

}  // namespace

ResourceKey ResourceKey::number(uint16_t value) {
    ResourceKey key;
    key.isOrdinal = true;
    key.ordinal = value;
    return key;
}

bool ResourceKey::from(LPCWSTR value, ResourceKey& key) {
    uintptr_t raw = reinterpret_cast<uintptr_t>(value);
    if (raw == 0) return false;
    if (raw < 0x10000) {
        key = number(static_cast<uint16_t>(raw));
        return true;
    }
    if (value[0] == u'#') {
        uint32_t n = 0;
        const WCHAR* p = value + 1;
        if (!*p) return false;
        for (; *p; ++p) {
            if (*p < u'0' || *p > u'9') return false;
            n = n * 10 + (*p - u'0');
            if (n > 0xFFFF) return false;
        }
        key = number(static_cast<uint16_t>(n));
        return true;
    }
    key.isOrdinal = false;
    key.name.clear();
    for (const WCHAR* p = value; *p; ++p) key.name.push_back(upper(*p));
    return !key.name.empty();
}

ResourceDirectory::ResourceDirectory(const loader::Module& module) {
    const std::vector<char>& image = module.image();
    auto section = findElfSection(std::span(reinterpret_cast<const uint8_t*>(image.data()), image.size()), ".rsrc");
    if (!section) return;
    std::span<const uint8_t> s = *section;
    size_t at = 0;
    bool first = true;
    while (at + 32 <= s.size()) {
        uint32_t dataSize = dwordAt(s, at);
        uint32_t headerSize = dwordAt(s, at + 4);
        if (headerSize < 32 || headerSize > s.size() - at || dataSize > s.size() - at - headerSize) break;
        size_t end = at + headerSize;
        size_t p = at + 8;
        ResourceEntry entry;
        if (!readKey(s, p, end, entry.type) || !readKey(s, p, end, entry.name)) break;
        p = (p + 3) & ~size_t(3);
        if (p + 16 > end) break;
        entry.language = wordAt(s, p + 6);
        entry.header = s.data() + at;
        entry.data = s.subspan(end, dataSize);
        // The stream starts with an empty entry of type 0.
        if (!(first && entry.type.isOrdinal && entry.type.ordinal == 0 && dataSize == 0)) entries_.push_back(entry);
        first = false;
        at = (end + dataSize + 3) & ~size_t(3);
    }
}

const ResourceEntry* ResourceDirectory::find(const ResourceKey& type, const ResourceKey& name, Lookup* result) const {
    const ResourceEntry* best = nullptr;
    int bestRank = 0;
    bool typeSeen = false;
    for (const ResourceEntry& e : entries_) {
        if (!sameKey(e.type, type)) continue;
        typeSeen = true;
        if (!sameKey(e.name, name)) continue;
        int rank = e.language == kUserInterfaceLanguage ? 3 : (e.language & 0x3FF) == 0 ? 2 : 1;
        if (rank > bestRank) {
            best = &e;
            bestRank = rank;
        }
    }
    if (result) *result = best ? Lookup::Found : typeSeen ? Lookup::NoSuchName : Lookup::NoSuchType;
    return best;
}

const ResourceEntry* ResourceDirectory::byHeader(const void* header) const {
    for (const ResourceEntry& e : entries_)
        if (e.header == header) return &e;
    return nullptr;
}

std::shared_ptr<loader::Module> moduleForResources(HINSTANCE instance) {
    std::shared_ptr<loader::Module> module =
        instance ? loader::moduleByHandle(instance) : loader::mainModuleOf(*kernel::currentProcessPtr());
    if (!module) kernel::setLastError(ERROR_INVALID_HANDLE);
    return module;
}

}  // namespace platform::resources
