// Import and export of the registry in the standard .reg text format.
#pragma once

#include <windef.h>

#include <filesystem>
#include <string>

namespace platform::registry {

struct RegFileResult {
    bool ok = false;
    std::string error;  // "file:line: reason" when refused
};

// Applies a .reg file (REGEDIT4 or version 5.00, UTF-8 or UTF-16LE). A malformed
// file is refused whole: nothing of it is applied.
RegFileResult importRegFile(const std::filesystem::path& file);
RegFileResult importRegText(std::u16string_view text, const std::string& sourceName);

// Writes the key and everything below it as a version 5.00 .reg file (UTF-16LE).
// rootedKeyPath is like u"HKEY_LOCAL_MACHINE\\Norvane".
RegFileResult exportRegFile(std::u16string_view rootedKeyPath, const std::filesystem::path& file);

// Empties the whole registry (a fresh device).
void clearRegistry();

}  // namespace platform::registry
