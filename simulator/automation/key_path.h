// Registry keys written in full, with their root: "HKEY_LOCAL_MACHINE\Norvane",
// or with the root's short form: "HKLM\Norvane" (likewise HKCU, HKCR).
#pragma once

#include <windef.h>

#include <optional>
#include <string>
#include <string_view>

namespace sim {

struct KeyPath {
    HKEY root = nullptr;
    std::u16string subkey;  // below the root; empty for the root itself
    std::string text;       // the whole path with the root in full, for messages and export
};

// The key path, or nullopt with the reason in *reason.
std::optional<KeyPath> parseKeyPath(std::string_view text, std::string* reason);

}  // namespace sim
