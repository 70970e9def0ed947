// The compiled resources of one script, in the order the script defines them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "byte_writer.h"
#include "diagnostics.h"

namespace rc {

// Resource types with numbers of their own.
enum : uint16_t {
    kTypeCursor = 1,
    kTypeBitmap = 2,
    kTypeIcon = 3,
    kTypeMenu = 4,
    kTypeDialog = 5,
    kTypeString = 6,
    kTypeAccelerator = 9,
    kTypeRcData = 10,
    kTypeGroupIcon = 14,
    kTypeVersion = 16,
};

// Memory flags of the resource header.
enum : uint16_t {
    kMoveable = 0x0010,
    kPure = 0x0020,
    kPreload = 0x0040,
    kDiscardable = 0x1000,
};

// A resource type or name: a 16-bit number or a text (kept upper-case, as the
// platform compares names without regard to case).
struct ResourceId {
    bool isOrdinal = true;
    uint16_t ordinal = 0;
    std::u16string name;

    static ResourceId number(uint16_t value);
    static ResourceId text(const std::u16string& value);  // upper-cases it
    bool operator==(const ResourceId& other) const;
    std::string describe() const;
};

struct Resource {
    ResourceId type;
    ResourceId name;
    uint16_t language = 0;
    uint16_t memoryFlags = kMoveable | kPure | kDiscardable;
    uint32_t version = 0;
    uint32_t characteristics = 0;
    Bytes data;
    SourceLocation where;
};

class ResourceSet {
public:
    // Adds a resource; a second one of the same type, name and language is a
    // script error.
    void add(Resource resource);
    const std::vector<Resource>& all() const { return resources_; }

    // The next free number of an RT_ICON image (the images of every icon group
    // are numbered one after the other).
    uint16_t nextIconImageId() { return ++lastIconImage_; }

private:
    std::vector<Resource> resources_;
    uint16_t lastIconImage_ = 0;
};

}  // namespace rc
