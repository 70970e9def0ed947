// The text of a device path: "\Nand\Album\x.BMP". Backslashes separate (forward
// slashes are accepted too), the path starts at the root "\", and a path without
// a leading separator is also taken from the root: the device has no current
// folder. Parsing is pure text work; storage.h maps the result onto the host.
#pragma once

#include <windef.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::files {

// The longest path the API takes: MAX_PATH less the terminator.
inline constexpr size_t kMaxPathLength = MAX_PATH - 1;

// Whether the last component is a name or a search pattern ('*' and '?' allowed).
enum class LastComponent { Name, Pattern };

struct DevicePath {
    // From the root down, with "." dropped and ".." applied. Empty for the root.
    std::vector<std::u16string> components;
};

// Parses a device path. Fails with
//   ERROR_PATH_NOT_FOUND        for an empty path,
//   ERROR_FILENAME_EXCED_RANGE  for a path longer than kMaxPathLength,
//   ERROR_INVALID_NAME          for a character no name may hold (control
//                               characters, < > : " |, and * ? outside a
//                               pattern) or text that is not valid UTF-16,
//   ERROR_ACCESS_DENIED         for ".." that would climb above the root.
std::optional<DevicePath> parseDevicePath(std::u16string_view text, LastComponent last, DWORD& error);

// The text behind an API's path argument, read no further than the longest
// path allows. NULL fails with ERROR_INVALID_PARAMETER, a longer text with
// ERROR_FILENAME_EXCED_RANGE.
std::optional<std::u16string_view> pathArgument(const WCHAR* text, DWORD& error);

// When text names a stream device — three letters, a digit and a colon
// ("CAM1:"), optionally after one "\" — its canonical form (upper case, no
// backslash); otherwise nothing.
std::optional<std::u16string> streamDeviceName(std::u16string_view text);

}  // namespace platform::files
