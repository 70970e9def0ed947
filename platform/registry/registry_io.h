// Import and export of the registry in the standard .reg text format, and the
// rooted key paths ("HKEY_LOCAL_MACHINE\Norvane", "HKLM\Norvane") that the
// simulator's console and scripts name keys with.
// Thread: any.
#pragma once

#include <windef.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform::registry {

struct RegFileResult {
    bool ok = false;
    std::string error;  // "file:line: reason" when an import is refused
};

// Applies a .reg file: a "REGEDIT4" or "Windows Registry Editor Version 5.00"
// header, then [key] and [-key] (deletes the key tree) lines, "name"="text",
// @ for the default value, dword:, hex:, hex(N): (hex(2) and hex(7) hold UTF-16LE
// in version 5.00 and ANSI bytes in REGEDIT4), "name"=- deletions, lines continued
// with a trailing backslash, ; comments and blank lines; CRLF or LF. The file is
// UTF-8 (with or without a byte order mark) or UTF-16LE (with one). Roots are
// written in full or short (HKLM, HKCU, HKCR, HKU). The whole file is parsed
// before anything is applied, and applied at once, so a malformed file changes
// nothing and no reader sees half of a file.
RegFileResult importRegFile(const std::filesystem::path& file);
RegFileResult importRegText(std::u16string_view text, const std::string& sourceName);

// Writes the key and everything below it as a version 5.00 .reg file (UTF-16LE
// with a byte order mark, CRLF), which importRegFile reads back to the same keys
// and values. Key classes and write times are not part of the format.
RegFileResult exportRegFile(std::u16string_view rootedKeyPath, const std::filesystem::path& file);
// The same text, without the byte order mark.
RegFileResult exportRegText(std::u16string_view rootedKeyPath, std::u16string& text);

// Empties the whole registry (a fresh device). Open key handles then answer
// ERROR_KEY_DELETED.
void clearRegistry();

struct RootedKeyPath {
    HKEY root = nullptr;    // HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT, HKEY_USERS
    std::u16string subKey;  // "Norvane\Hotkey"; empty for the root itself
};
// Splits a rooted key path; the root is written in full or short, in any case.
// nullopt for an unknown root or a subkey path the registry would refuse.
std::optional<RootedKeyPath> parseRootedKeyPath(std::u16string_view path);

}  // namespace platform::registry
