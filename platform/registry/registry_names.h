// Names in the registry: the platform's limits, case-insensitive comparison, the
// names of the roots and the splitting of a subkey path ("Norvane\Hotkey") into
// key names.
#pragma once

#include <windef.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::registry {

// Limits the platform documents for its registry.
inline constexpr size_t kMaxKeyNameLength = 255;    // characters, without the terminator
inline constexpr size_t kMaxValueNameLength = 255;  // characters, without the terminator
inline constexpr size_t kMaxClassLength = 255;      // characters, without the terminator
inline constexpr size_t kMaxValueDataSize = 4096;   // bytes
inline constexpr size_t kMaxKeyDepth = 16;          // nested keys below a root

enum class RootKey { ClassesRoot, CurrentUser, LocalMachine, Users };
inline constexpr size_t kRootCount = 4;

// A root by its full name ("HKEY_LOCAL_MACHINE") or short one ("HKLM", "HKCU",
// "HKCR", "HKU"), without regard to case.
std::optional<RootKey> rootNamed(std::u16string_view name);
// The full name, as an exported file writes it.
std::u16string_view rootFullName(RootKey root);

// Three-way comparison of two names without regard to case: each character is
// compared as towupper gives it, so '_' sorts after the letters.
int compareNames(std::u16string_view a, std::u16string_view b);

// Orders names as the registry enumerates them: ascending, without regard to case.
struct NameLess {
    using is_transparent = void;
    bool operator()(std::u16string_view a, std::u16string_view b) const {
        return compareNames(a, b) < 0;
    }
};

// The key names of a subkey path, or the platform's error code. A path must not
// begin with a backslash, must not contain an empty name, and no name may be
// longer than kMaxKeyNameLength; one trailing backslash is tolerated. An empty
// path gives no names (the key itself).
struct SplitPath {
    std::vector<std::u16string_view> names;
    LONG error = 0;      // ERROR_SUCCESS or ERROR_INVALID_PARAMETER
    std::string reason;  // why the path was refused, for messages
};
SplitPath splitKeyPath(std::u16string_view path);

// Length of a NUL-terminated name, or nullopt when it exceeds limit (reads at
// most limit + 1 characters, so an unterminated buffer is not overrun by much).
std::optional<size_t> boundedLength(const WCHAR* text, size_t limit);

}  // namespace platform::registry
