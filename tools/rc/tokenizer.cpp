#include <cctype>
#include <cstring>
#include <strings.h>

#include "token.h"
#include "platform/text/utf.h"

namespace rc {

using platform::text::appendUtf16;
using platform::text::decodeUtf8;

bool Token::isKeyword(std::string_view word) const {
    return kind == TokenKind::Identifier && text.size() == word.size() &&
           ::strncasecmp(text.c_str(), word.data(), word.size()) == 0;
}

namespace {

bool isIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool isIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

class LineScanner {
public:
    LineScanner(const std::string& line, const SourceLocation& where) : line_(line), where_(where) {}

    TokenList run() {
        TokenList tokens;
        while (pos_ < line_.size()) {
            char c = line_[pos_];
            if (std::isspace(static_cast<unsigned char>(c))) {
                ++pos_;
            } else if ((c == 'L' || c == 'l') && pos_ + 1 < line_.size() && line_[pos_ + 1] == '"') {
                ++pos_;
                tokens.push_back(string(true));
            } else if (c == '"') {
                tokens.push_back(string(false));
            } else if (c == '\'') {
                tokens.push_back(character());
            } else if (std::isdigit(static_cast<unsigned char>(c))) {
                tokens.push_back(number());
            } else if (isIdentStart(c)) {
                size_t start = pos_;
                while (pos_ < line_.size() && isIdentChar(line_[pos_])) ++pos_;
                tokens.push_back(make(TokenKind::Identifier, line_.substr(start, pos_ - start)));
            } else {
                tokens.push_back(punct());
            }
        }
        return tokens;
    }

private:
    Token make(TokenKind kind, std::string text) const {
        Token t;
        t.kind = kind;
        t.text = std::move(text);
        t.where = where_;
        return t;
    }

    [[noreturn]] void fail(const std::string& message) const { throw ScriptError(where_, message); }

    Token number() {
        size_t start = pos_;
        uint64_t value = 0;
        bool hex = line_[pos_] == '0' && pos_ + 1 < line_.size() && (line_[pos_ + 1] == 'x' || line_[pos_ + 1] == 'X');
        if (hex) {
            pos_ += 2;
            if (pos_ >= line_.size() || hexValue(line_[pos_]) < 0) fail("malformed hexadecimal number");
            while (pos_ < line_.size() && hexValue(line_[pos_]) >= 0) {
                value = value * 16 + hexValue(line_[pos_++]);
                if (value > 0xFFFFFFFFull) fail("number does not fit in 32 bits");
            }
        } else {
            while (pos_ < line_.size() && std::isdigit(static_cast<unsigned char>(line_[pos_]))) {
                value = value * 10 + (line_[pos_++] - '0');
                if (value > 0xFFFFFFFFull) fail("number does not fit in 32 bits");
            }
        }
        bool isLong = false;
        while (pos_ < line_.size() && std::strchr("lLuU", line_[pos_])) {
            if (line_[pos_] == 'l' || line_[pos_] == 'L') isLong = true;
            ++pos_;
        }
        if (pos_ < line_.size() && isIdentChar(line_[pos_])) fail("malformed number '" + line_.substr(start, pos_ - start + 1) + "'");
        Token t = make(TokenKind::Number, line_.substr(start, pos_ - start));
        t.value = static_cast<uint32_t>(value);
        t.isLong = isLong;
        return t;
    }

    // One escape after a backslash; appends to both views of the string.
    void escape(Token& t) {
        if (pos_ >= line_.size()) fail("unterminated string");
        char c = line_[pos_++];
        auto put = [&](uint32_t unit) {
            t.wide.push_back(static_cast<char16_t>(unit));
            t.bytes.push_back(static_cast<char>(unit & 0xFF));
        };
        switch (c) {
            case 'n': put('\n'); return;
            case 'r': put('\r'); return;
            case 't': put('\t'); return;
            case 'a': put('\a'); return;
            case 'b': put('\b'); return;
            case 'f': put('\f'); return;
            case 'v': put('\v'); return;
            case '\\': put('\\'); return;
            case '"': put('"'); return;
            case '\'': put('\''); return;
            case 'x':
            case 'X': {
                int maxDigits = t.wideLiteral ? 4 : 2;
                uint32_t unit = 0;
                int digits = 0;
                while (digits < maxDigits && pos_ < line_.size() && hexValue(line_[pos_]) >= 0) {
                    unit = unit * 16 + hexValue(line_[pos_++]);
                    ++digits;
                }
                if (digits == 0) fail("\\x without hexadecimal digits");
                put(unit);
                return;
            }
            default:
                if (c >= '0' && c <= '7') {
                    uint32_t unit = c - '0';
                    for (int digits = 1; digits < 3 && pos_ < line_.size() && line_[pos_] >= '0' && line_[pos_] <= '7';
                         ++digits)
                        unit = unit * 8 + (line_[pos_++] - '0');
                    put(unit);
                    return;
                }
                // An unknown escape keeps the backslash and the character.
                put('\\');
                --pos_;
                return;
        }
    }

    Token string(bool wide) {
        Token t = make(TokenKind::String, "");
        t.wideLiteral = wide;
        size_t start = pos_;
        ++pos_;  // opening quote
        for (;;) {
            if (pos_ >= line_.size()) fail("unterminated string");
            char c = line_[pos_];
            if (c == '"') {
                if (pos_ + 1 < line_.size() && line_[pos_ + 1] == '"') {  // "" is one quote
                    t.wide.push_back(u'"');
                    t.bytes.push_back('"');
                    pos_ += 2;
                    continue;
                }
                ++pos_;
                break;
            }
            if (c == '\\') {
                ++pos_;
                escape(t);
                continue;
            }
            size_t at = pos_;
            auto codePoint = decodeUtf8(line_, pos_);
            if (!codePoint) fail("string is not valid UTF-8");
            appendUtf16(t.wide, *codePoint);
            t.bytes.append(line_, at, pos_ - at);
        }
        t.text = line_.substr(start, pos_ - start);
        return t;
    }

    Token character() {
        size_t start = pos_++;
        Token t = make(TokenKind::Number, "");
        if (pos_ >= line_.size()) fail("unterminated character constant");
        if (line_[pos_] == '\\') {
            ++pos_;
            Token scratch;
            escape(scratch);
            t.value = scratch.wide.empty() ? 0 : scratch.wide[0];
        } else {
            auto codePoint = decodeUtf8(line_, pos_);
            if (!codePoint) fail("character constant is not valid UTF-8");
            t.value = *codePoint;
        }
        if (pos_ >= line_.size() || line_[pos_] != '\'') fail("unterminated character constant");
        ++pos_;
        t.text = line_.substr(start, pos_ - start);
        return t;
    }

    Token punct() {
        static const char* const kTwoChar[] = {"==", "!=", "<=", ">=", "<<", ">>", "&&", "||", "##"};
        for (const char* op : kTwoChar)
            if (line_.compare(pos_, 2, op) == 0) {
                pos_ += 2;
                return make(TokenKind::Punct, op);
            }
        char c = line_[pos_];
        if (!std::strchr(",|+-()[]{}~*/%&^!<>=?:#;.\\", c)) {
            if (static_cast<unsigned char>(c) >= 0x80) fail("unexpected non-ASCII character outside a string");
            fail(std::string("unexpected character '") + c + "'");
        }
        ++pos_;
        return make(TokenKind::Punct, std::string(1, c));
    }

    const std::string& line_;
    const SourceLocation& where_;
    size_t pos_ = 0;
};

}  // namespace

TokenList tokenizeLine(const std::string& line, const SourceLocation& where) { return LineScanner(line, where).run(); }

}  // namespace rc
