// Device names compare without regard to case (towupper's), as the platform's
// file system does; '*' and '?' in a search pattern match as the platform's
// FindFirstFile.
#pragma once

#include <string_view>

namespace platform::files {

bool sameName(std::u16string_view a, std::u16string_view b);

// '*' matches any run of characters, '?' exactly one; everything else compares
// without regard to case. A pattern ending in ".*" also matches the name without
// an extension ("*.*" matches every name, "ABC.*" matches "ABC").
bool matchesPattern(std::u16string_view name, std::u16string_view pattern);

}  // namespace platform::files
