#include "token_stream.h"

#include "expression.h"

namespace rc {

std::string describe(const Token& token) {
    switch (token.kind) {
        case TokenKind::End: return "the end of the script";
        case TokenKind::String: return "string " + token.text;
        case TokenKind::Number: return "number " + token.text;
        default: return "'" + token.text + "'";
    }
}

TokenStream::TokenStream(TokenList tokens) : tokens_(std::move(tokens)) {
    Token end;
    end.kind = TokenKind::End;
    if (!tokens_.empty()) end.where = tokens_.back().where;
    tokens_.push_back(end);
}

const Token& TokenStream::peek(size_t ahead) const {
    size_t at = pos_ + ahead;
    return at < tokens_.size() ? tokens_[at] : tokens_.back();
}

const Token& TokenStream::next() {
    const Token& t = peek();
    if (pos_ + 1 < tokens_.size()) ++pos_;
    return t;
}

bool TokenStream::acceptPunct(std::string_view punct) {
    if (!peek().isPunct(punct)) return false;
    next();
    return true;
}

void TokenStream::expectPunct(std::string_view punct, std::string_view what) {
    if (!acceptPunct(punct)) fail("expected " + std::string(what) + ", found " + describe(peek()));
}

bool TokenStream::acceptKeyword(std::string_view word) {
    if (!peek().isKeyword(word)) return false;
    next();
    return true;
}

bool TokenStream::atBlockStart() const { return peek().isPunct("{") || peek().isKeyword("BEGIN"); }
bool TokenStream::atBlockEnd() const { return peek().isPunct("}") || peek().isKeyword("END"); }

void TokenStream::expectBlockStart(std::string_view what) {
    if (!atBlockStart()) fail("expected BEGIN or '{' to open " + std::string(what) + ", found " + describe(peek()));
    next();
}

void TokenStream::fail(const std::string& message) const { failAt(peek(), message); }

void TokenStream::failAt(const Token& token, const std::string& message) const {
    throw ScriptError(token.where, message);
}

uint32_t TokenStream::number(std::string_view what, bool* isLong) {
    const Token& first = peek();
    if (first.kind != TokenKind::Number && !first.isPunct("(") && !first.isPunct("-") && !first.isPunct("~") &&
        !first.isPunct("+")) {
        if (first.kind == TokenKind::Identifier) failAt(first, "undefined symbol '" + first.text + "' as " + std::string(what));
        failAt(first, "expected " + std::string(what) + ", found " + describe(first));
    }
    return static_cast<uint32_t>(evaluateExpression(*this, ExpressionMode::Resource, isLong));
}

int16_t TokenStream::signedShort(std::string_view what) {
    const Token& at = peek();
    int32_t value = static_cast<int32_t>(number(what));
    if (value < -32768 || value > 32767) failAt(at, std::string(what) + " " + std::to_string(value) + " does not fit in 16 bits");
    return static_cast<int16_t>(value);
}

uint16_t TokenStream::word(std::string_view what) {
    const Token& at = peek();
    int32_t value = static_cast<int32_t>(number(what));
    if (value < -32768 || value > 65535) failAt(at, std::string(what) + " " + std::to_string(value) + " does not fit in 16 bits");
    return static_cast<uint16_t>(value);
}

std::u16string TokenStream::string(std::string_view what) {
    if (peek().kind != TokenKind::String) fail("expected " + std::string(what) + " (a string), found " + describe(peek()));
    std::u16string text;
    while (peek().kind == TokenKind::String) text += next().wide;
    return text;
}

}  // namespace rc
