// Conversion between the API's UTF-16 text and the host's UTF-8.
//
// toUtf8 and toUtf16 never fail: an unpaired surrogate in UTF-16, and each
// maximal ill-formed subsequence in UTF-8 (a stray continuation byte, a
// truncated sequence, an overlong form, an encoded surrogate or a value past
// U+10FFFF), becomes one U+FFFD.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::text {

inline constexpr char16_t kReplacementChar = u'\uFFFD';

std::string toUtf8(std::u16string_view text);
std::u16string toUtf16(std::string_view text);

// The same conversions refusing malformed input (nullopt) instead of
// replacing it, for names, where a replaced character would name something else.
std::optional<std::string> toUtf8Exact(std::u16string_view text);
std::optional<std::u16string> toUtf16Exact(std::string_view text);

// One UTF-8 sequence at text[pos] (pos < text.size()): its code point, or
// nullopt for a maximal ill-formed subsequence. Either way pos moves past
// what was read, so a caller can replace or reject and go on.
std::optional<char32_t> decodeUtf8(std::string_view text, size_t& pos);
// Appends one code point (not a surrogate) as UTF-16.
void appendUtf16(std::u16string& out, char32_t codePoint);

}  // namespace platform::text
