// UTF-16 <-> UTF-8, with U+FFFD for whatever is malformed.
#include "utf.h"

#include <cstdint>

namespace platform::text {
namespace {

bool isHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The well-formed UTF-8 sequence a lead byte starts: its length and the range
// its second byte must fall in (this range is what rules out overlong forms,
// encoded surrogates and values past U+10FFFF). Length 0: not a lead byte.
struct LeadByte {
    int length;
    unsigned char secondMin;
    unsigned char secondMax;
};

LeadByte classify(unsigned char b) {
    if (b < 0x80) return {1, 0, 0};
    if (b >= 0xC2 && b <= 0xDF) return {2, 0x80, 0xBF};
    if (b == 0xE0) return {3, 0xA0, 0xBF};
    if (b == 0xED) return {3, 0x80, 0x9F};
    if (b >= 0xE1 && b <= 0xEF) return {3, 0x80, 0xBF};
    if (b == 0xF0) return {4, 0x90, 0xBF};
    if (b >= 0xF1 && b <= 0xF3) return {4, 0x80, 0xBF};
    if (b == 0xF4) return {4, 0x80, 0x8F};
    return {0, 0, 0};
}

}  // namespace

void appendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 | (c >> 10));
        out += static_cast<char16_t>(0xDC00 | (c & 0x3FF));
    }
}

std::optional<char32_t> decodeUtf8(std::string_view text, size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    const LeadByte kind = classify(lead);
    // Take continuation bytes while they are valid; the first one that is
    // not ends this (ill-formed) sequence and starts the next.
    char32_t c = kind.length == 1 ? lead : lead & (0x7F >> kind.length);
    size_t taken = 1;
    while (taken < static_cast<size_t>(kind.length) && pos + taken < text.size()) {
        const auto b = static_cast<unsigned char>(text[pos + taken]);
        const bool valid = taken == 1 ? (b >= kind.secondMin && b <= kind.secondMax) : isContinuation(b);
        if (!valid) break;
        c = (c << 6) | (b & 0x3F);
        ++taken;
    }
    pos += taken;
    if (kind.length == 0 || taken != static_cast<size_t>(kind.length)) return std::nullopt;
    return c;
}

namespace {

// Malformed input either becomes U+FFFD (replace) or ends the conversion
// with false.
bool convert(std::u16string_view text, std::string& out, bool replace) {
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
            if (!replace) return false;
            c = kReplacementChar;
        }
        appendUtf8(out, c);
    }
    return true;
}

bool convert(std::string_view text, std::u16string& out, bool replace) {
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (auto c = decodeUtf8(text, i)) {
            appendUtf16(out, *c);
        } else {
            if (!replace) return false;
            out += kReplacementChar;
        }
    }
    return true;
}

}  // namespace

std::string toUtf8(std::u16string_view text) {
    std::string out;
    convert(text, out, true);
    return out;
}

std::u16string toUtf16(std::string_view text) {
    std::u16string out;
    convert(text, out, true);
    return out;
}

std::optional<std::string> toUtf8Exact(std::u16string_view text) {
    std::string out;
    if (!convert(text, out, false)) return std::nullopt;
    return out;
}

std::optional<std::u16string> toUtf16Exact(std::string_view text) {
    std::u16string out;
    if (!convert(text, out, false)) return std::nullopt;
    return out;
}

}  // namespace platform::text
