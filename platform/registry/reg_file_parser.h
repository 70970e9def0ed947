// Reading the .reg text format into a list of changes, without touching the
// registry, so that a malformed file can be refused whole.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "registry_names.h"
#include "registry_store.h"

namespace platform::registry {

struct RegOperation {
    enum class Kind { CreateKey, DeleteKey, SetValue, DeleteValue };
    Kind kind = Kind::CreateKey;
    RootKey root = RootKey::LocalMachine;
    std::vector<std::u16string> path;  // key names below the root
    std::u16string valueName;          // SetValue, DeleteValue; empty for the default value
    RegistryValue value;               // SetValue
};

struct ParsedRegFile {
    std::vector<RegOperation> operations;  // in file order
    std::string error;                     // "source:line: reason" when malformed
};

// Parses the text of a REGEDIT4 or version 5.00 file (a leading byte order mark is
// allowed). Every operation it returns can be applied: names, nesting and data
// sizes are already checked against the registry's limits.
ParsedRegFile parseRegText(std::u16string_view text, const std::string& sourceName);

}  // namespace platform::registry
