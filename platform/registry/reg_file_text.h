// The character encodings of .reg files: reading UTF-8 (with or without a byte
// order mark) and UTF-16LE (with one), writing UTF-16LE, and the ANSI bytes that
// REGEDIT4 files use inside hex(1), hex(2) and hex(7) data.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform::registry {

struct DecodedText {
    std::u16string text;
    std::string error;  // empty on success
    size_t errorLine = 0;
};

// The text of a .reg file's bytes. The byte order mark, if any, is dropped.
// Unlike the platform's lenient UTF-8 conversion, malformed UTF-8 is an error
// with its line, so that a damaged file is refused rather than imported altered.
DecodedText decodeRegFileBytes(std::string_view bytes);

// UTF-16LE bytes with a byte order mark, as an exported file is written.
std::string encodeUtf16leWithBom(std::u16string_view text);

// The character an ANSI (Windows-1252) byte stands for.
char16_t ansiToUtf16(unsigned char byte);

}  // namespace platform::registry
