// Conversion between the API's UTF-16 text and the host's UTF-8.
//
// Malformed input never fails a conversion: an unpaired surrogate in UTF-16,
// and each maximal ill-formed subsequence in UTF-8 (a stray continuation
// byte, a truncated sequence, an overlong form, an encoded surrogate or a
// value past U+10FFFF), becomes one U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace platform::text {

inline constexpr char16_t kReplacementChar = u'\uFFFD';

__attribute__((visibility("default"))) std::string toUtf8(std::u16string_view text);
__attribute__((visibility("default"))) std::u16string toUtf16(std::string_view text);

}  // namespace platform::text
