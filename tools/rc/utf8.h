// UTF-8 source text to UTF-16, the encoding of every text in the resources.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rc {

// Appends one code point as UTF-16.
void appendUtf16(std::u16string& out, char32_t codePoint);
// Decodes one UTF-8 sequence at text[pos], advancing pos; nullopt when the
// bytes are not valid UTF-8.
std::optional<char32_t> decodeUtf8(std::string_view text, size_t& pos);
// UTF-16 back to UTF-8 (for messages and names).
std::string toUtf8(std::u16string_view text);

}  // namespace rc
