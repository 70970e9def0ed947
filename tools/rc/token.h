// Tokens of a script after preprocessing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "diagnostics.h"

namespace rc {

enum class TokenKind { Identifier, Number, String, Punct, End };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;      // identifier or punctuator; a number's or string's spelling
    uint32_t value = 0;    // number
    bool isLong = false;   // number with an L suffix (a DWORD in raw data)
    std::u16string wide;   // string: its characters as UTF-16
    std::string bytes;     // string: its bytes as written (narrow strings in raw data)
    bool wideLiteral = false;  // L"..."
    SourceLocation where;

    bool is(TokenKind k, std::string_view t) const { return kind == k && text == t; }
    bool isPunct(std::string_view t) const { return is(TokenKind::Punct, t); }
    // Keywords of the script language are case-insensitive.
    bool isKeyword(std::string_view word) const;
};

using TokenList = std::vector<Token>;

// Splits one logical line (comments already removed) into tokens. Throws
// ScriptError for a malformed number, string or character.
TokenList tokenizeLine(const std::string& line, const SourceLocation& where);

}  // namespace rc
