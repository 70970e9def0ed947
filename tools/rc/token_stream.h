// A cursor over preprocessed tokens with the helpers every statement parser
// uses. The list always ends with an End token.
#pragma once

#include <string>
#include <string_view>

#include "token.h"

namespace rc {

class TokenStream {
public:
    explicit TokenStream(TokenList tokens);

    const Token& peek(size_t ahead = 0) const;
    const Token& next();
    bool atEnd() const { return peek().kind == TokenKind::End; }

    bool acceptPunct(std::string_view punct);
    void expectPunct(std::string_view punct, std::string_view what);
    bool acceptKeyword(std::string_view word);
    // The separator of list items: a comma, which the script may leave out
    // where the list is unambiguous (flags of menu items and accelerators).
    void optionalComma() { acceptPunct(","); }

    // BEGIN or {, END or }.
    bool atBlockStart() const;
    bool atBlockEnd() const;
    void expectBlockStart(std::string_view what);

    [[noreturn]] void fail(const std::string& message) const;
    [[noreturn]] void failAt(const Token& token, const std::string& message) const;

    // A numeric expression (| & ^ + - * / % << >> ~ and parentheses). isLong
    // tells whether any number in it had an L suffix.
    uint32_t number(std::string_view what, bool* isLong = nullptr);
    int16_t signedShort(std::string_view what);
    uint16_t word(std::string_view what);
    // One string, or adjacent strings joined.
    std::u16string string(std::string_view what);

private:
    TokenList tokens_;
    size_t pos_ = 0;
};

std::string describe(const Token& token);

}  // namespace rc
