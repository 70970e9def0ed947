// Device names compare without regard to case, as the platform's file system
// does; '*' and '?' in a search pattern match as the platform's FindFirstFile.
#pragma once

#include <string_view>

namespace platform::files {

// The upper-case form of one UTF-16 unit: ASCII, Latin-1, Latin Extended-A,
// Greek, Cyrillic and the full-width Latin letters. Other units (Hangul among
// them) have no case and stay as they are.
char16_t upperCase(char16_t unit);

bool sameName(std::u16string_view a, std::u16string_view b);

// Whether a pattern holds '*' or '?'.
bool hasWildcards(std::u16string_view pattern);

// '*' matches any run of characters, '?' exactly one; everything else compares
// without regard to case. A pattern ending in ".*" also matches the name without
// an extension ("*.*" matches every name, "ABC.*" matches "ABC").
bool matchesPattern(std::u16string_view name, std::u16string_view pattern);

}  // namespace platform::files
