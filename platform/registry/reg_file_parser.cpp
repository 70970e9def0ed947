#include "reg_file_parser.h"

#include <winreg.h>

#include <cstdint>
#include <optional>

#include "platform/text/utf.h"
#include "reg_file_text.h"

namespace platform::registry {

namespace {

constexpr std::u16string_view kHeaderVersion5 = u"Windows Registry Editor Version 5.00";
constexpr std::u16string_view kHeaderRegedit4 = u"REGEDIT4";

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view trimLeft(std::u16string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    return s;
}

std::u16string_view trimRight(std::u16string_view s) {
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::u16string_view trim(std::u16string_view s) { return trimLeft(trimRight(s)); }

int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

bool startsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && compareNames(text.substr(0, prefix.size()), prefix) == 0;
}

// A parse failure, carrying the line it belongs to.
struct Failure {
    size_t line;
    std::string reason;
};

class Parser {
  public:
    Parser(std::u16string_view text, const std::string& sourceName) : source_(sourceName) {
        if (!text.empty() && text.front() == u'\uFEFF') text.remove_prefix(1);
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find(u'\n', start);
            if (end == std::u16string_view::npos) end = text.size();
            std::u16string_view line = text.substr(start, end - start);
            if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
            lines_.push_back(line);
            start = end + 1;
        }
    }

    ParsedRegFile run() {
        ParsedRegFile result;
        if (auto failure = parseAll()) {
            result.error = source_ + ":" + std::to_string(failure->line) + ": " + failure->reason;
        } else {
            result.operations = std::move(operations_);
        }
        return result;
    }

  private:
    enum class Section { None, Key, DeletedKey };

    std::optional<Failure> parseAll() {
        std::u16string_view header = trimRight(lines_[0]);
        if (header == kHeaderVersion5) {
            ansiStrings_ = false;
        } else if (header == kHeaderRegedit4) {
            ansiStrings_ = true;
        } else {
            return Failure{1, "not a registry file: the first line must be \"" +
                                  platform::text::toUtf8(kHeaderVersion5) + "\" or \"REGEDIT4\""};
        }
        for (index_ = 1; index_ < lines_.size(); ++index_) {
            std::u16string_view line = trimLeft(lines_[index_]);
            if (line.find(u'\0') != std::u16string_view::npos)
                return fail("line contains a NUL character");
            if (trimRight(line).empty() || line.front() == u';') continue;
            std::optional<Failure> failure;
            if (line.front() == u'[')
                failure = parseKeyLine(trimRight(line));
            else if (line.front() == u'@' || line.front() == u'"')
                failure = parseValueLine(line);
            else
                failure =
                    fail("expected a [key], a \"name\"=value line, a ; comment or a blank line");
            if (failure) return failure;
        }
        return std::nullopt;
    }

    Failure fail(std::string reason) const { return {index_ + 1, std::move(reason)}; }

    std::optional<Failure> parseKeyLine(std::u16string_view line) {
        size_t close = line.rfind(u']');
        if (close == std::u16string_view::npos) return fail("key line has no closing ']'");
        if (close + 1 != line.size()) return fail("unexpected text after the key's ']'");
        std::u16string_view inside = line.substr(1, close - 1);
        bool deleting = !inside.empty() && inside.front() == u'-';
        if (deleting) inside.remove_prefix(1);

        size_t slash = inside.find(u'\\');
        std::u16string_view rootName = inside.substr(0, slash);
        auto root = rootNamed(rootName);
        if (!root) return fail("unknown root key \"" + platform::text::toUtf8(rootName) + "\"");
        std::u16string_view subPath =
            slash == std::u16string_view::npos ? std::u16string_view() : inside.substr(slash + 1);
        if (slash != std::u16string_view::npos && subPath.empty())
            return fail("key path ends with a backslash after the root");
        SplitPath split = splitKeyPath(subPath);
        if (split.error) return fail(split.reason);
        if (split.names.size() > kMaxKeyDepth)
            return fail("key nested deeper than " + std::to_string(kMaxKeyDepth) + " levels");
        if (deleting && split.names.empty()) return fail("a root key cannot be deleted");

        RegOperation op;
        op.kind = deleting ? RegOperation::Kind::DeleteKey : RegOperation::Kind::CreateKey;
        op.root = *root;
        for (auto name : split.names) op.path.emplace_back(name);
        sectionRoot_ = op.root;
        sectionPath_ = op.path;
        section_ = deleting ? Section::DeletedKey : Section::Key;
        operations_.push_back(std::move(op));
        return std::nullopt;
    }

    // A quoted string starting at text[0] == '"'; only \\ and \" are escapes.
    // On success, text is advanced past the closing quote.
    std::optional<Failure> parseQuoted(std::u16string_view& text, std::u16string& out) {
        out.clear();
        size_t i = 1;
        while (i < text.size()) {
            char16_t c = text[i];
            if (c == u'"') {
                text.remove_prefix(i + 1);
                return std::nullopt;
            }
            if (c == u'\\') {
                if (i + 1 >= text.size()) return fail("line ends inside an escape sequence");
                char16_t escaped = text[i + 1];
                if (escaped != u'\\' && escaped != u'"')
                    return fail("bad escape sequence \"\\" +
                                platform::text::toUtf8(std::u16string_view(&escaped, 1)) +
                                "\" (only \\\\ and \\\" are allowed)");
                out.push_back(escaped);
                i += 2;
                continue;
            }
            out.push_back(c);
            ++i;
        }
        return fail("string has no closing quote");
    }

    std::optional<Failure> parseValueLine(std::u16string_view line) {
        if (section_ == Section::None) return fail("value line before any [key] line");
        if (section_ == Section::DeletedKey) return fail("value line under a deleted [-key]");
        std::u16string name;
        if (line.front() == u'@') {
            line.remove_prefix(1);
        } else if (auto failure = parseQuoted(line, name)) {
            return failure;
        }
        if (name.size() > kMaxValueNameLength)
            return fail("value name longer than " + std::to_string(kMaxValueNameLength) +
                        " characters");
        line = trimLeft(line);
        if (line.empty() || line.front() != u'=') return fail("expected '=' after the value name");
        line = trimLeft(line.substr(1));

        RegOperation op;
        op.root = sectionRoot_;
        op.path = sectionPath_;
        op.valueName = std::move(name);
        if (trimRight(line) == u"-") {
            op.kind = RegOperation::Kind::DeleteValue;
            operations_.push_back(std::move(op));
            return std::nullopt;
        }
        op.kind = RegOperation::Kind::SetValue;
        std::optional<Failure> failure;
        if (!line.empty() && line.front() == u'"')
            failure = parseStringData(line, op.value);
        else if (startsWithNoCase(line, u"dword:"))
            failure = parseDwordData(line.substr(6), op.value);
        else if (startsWithNoCase(line, u"hex"))
            failure = parseHexData(line.substr(3), op.value);
        else
            failure = fail("unknown value data (expected \"text\", dword:, hex:, hex(N): or -)");
        if (failure) return failure;
        if (op.value.data.size() > kMaxValueDataSize)
            return fail("value data longer than " + std::to_string(kMaxValueDataSize) + " bytes");
        operations_.push_back(std::move(op));
        return std::nullopt;
    }

    std::optional<Failure> parseStringData(std::u16string_view line, RegistryValue& value) {
        std::u16string text;
        if (auto failure = parseQuoted(line, text)) return failure;
        if (!trim(line).empty()) return fail("unexpected text after the closing quote");
        value.type = REG_SZ;
        appendUtf16(value.data, text);
        appendUtf16(value.data, std::u16string_view(u"\0", 1));
        return std::nullopt;
    }

    std::optional<Failure> parseDwordData(std::u16string_view digits, RegistryValue& value) {
        digits = trim(digits);
        if (digits.empty()) return fail("dword: has no digits");
        uint64_t number = 0;
        for (char16_t c : digits) {
            int digit = hexDigit(c);
            if (digit < 0)
                return fail("bad dword: \"" + platform::text::toUtf8(digits) +
                            "\" is not hexadecimal");
            number = number * 16 + digit;
            if (number > 0xFFFFFFFFu)
                return fail("dword out of range: \"" + platform::text::toUtf8(digits) + "\"");
        }
        value.type = REG_DWORD;
        for (int shift = 0; shift < 32; shift += 8) value.data.push_back(BYTE(number >> shift));
        return std::nullopt;
    }

    // "hex:" or "hex(N):" followed by comma-separated bytes; a line ending in a
    // backslash continues on the next line.
    std::optional<Failure> parseHexData(std::u16string_view rest, RegistryValue& value) {
        DWORD type = REG_BINARY;
        if (!rest.empty() && rest.front() == u'(') {
            size_t close = rest.find(u')');
            std::u16string_view digits = rest.substr(1, close == rest.npos ? rest.npos : close - 1);
            if (close == rest.npos || digits.empty() || digits.size() > 8)
                return fail("bad hex(N): type must be 1 to 8 hexadecimal digits in parentheses");
            uint32_t number = 0;
            for (char16_t c : digits) {
                int digit = hexDigit(c);
                if (digit < 0)
                    return fail("bad hex(N): type \"" + platform::text::toUtf8(digits) + "\"");
                number = number * 16 + uint32_t(digit);
            }
            type = number;
            rest.remove_prefix(close + 1);
        }
        if (rest.empty() || rest.front() != u':') return fail("expected ':' after hex");
        rest.remove_prefix(1);

        std::vector<BYTE> bytes;
        bool needByte = false;  // after a comma, another byte must follow
        for (;;) {
            std::u16string_view segment = trim(rest);
            bool continues = !segment.empty() && segment.back() == u'\\';
            if (continues) segment = trimRight(segment.substr(0, segment.size() - 1));
            if (auto failure = parseHexBytes(segment, bytes, needByte)) return failure;
            if (!continues) break;
            if (index_ + 1 >= lines_.size())
                return fail("file ends inside a value continued with '\\' (truncated)");
            ++index_;
            rest = lines_[index_];
            if (trim(rest).empty()) return fail("continuation line is empty");
        }
        if (needByte) return fail("bad hex: a byte must follow the last ','");
        value.type = type;
        bool textType = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
        if (ansiStrings_ && textType) {
            for (BYTE b : bytes) {
                char16_t c = ansiToUtf16(b);
                value.data.push_back(BYTE(c & 0xFF));
                value.data.push_back(BYTE(c >> 8));
            }
        } else {
            value.data = std::move(bytes);
        }
        return std::nullopt;
    }

    std::optional<Failure> parseHexBytes(std::u16string_view segment, std::vector<BYTE>& bytes,
                                         bool& needByte) {
        if (segment.empty()) return std::nullopt;
        size_t start = 0;
        for (;;) {
            size_t comma = segment.find(u',', start);
            std::u16string_view token =
                trim(segment.substr(start, comma == segment.npos ? segment.npos : comma - start));
            bool last = comma == segment.npos;
            if (token.empty()) {
                // Only a continuation may end a segment right after a comma.
                if (last && needByte) return std::nullopt;
                return fail("bad hex: missing byte between commas");
            }
            int high = token.size() <= 2 ? hexDigit(token[0]) : -1;
            int low = token.size() == 2 ? hexDigit(token[1]) : 0;
            if (high < 0 || low < 0)
                return fail("bad hex byte \"" + platform::text::toUtf8(token) +
                            "\" (expected two hexadecimal digits)");
            bytes.push_back(BYTE(token.size() == 2 ? high * 16 + low : high));
            if (last) {
                needByte = false;
                return std::nullopt;
            }
            needByte = true;
            start = comma + 1;
        }
    }

    static void appendUtf16(std::vector<BYTE>& data, std::u16string_view text) {
        for (char16_t c : text) {
            data.push_back(BYTE(c & 0xFF));
            data.push_back(BYTE(c >> 8));
        }
    }

    std::string source_;
    std::vector<std::u16string_view> lines_;
    size_t index_ = 0;
    bool ansiStrings_ = false;
    Section section_ = Section::None;
    RootKey sectionRoot_ = RootKey::LocalMachine;
    std::vector<std::u16string> sectionPath_;
    std::vector<RegOperation> operations_;
};

}  // namespace

ParsedRegFile parseRegText(std::u16string_view text, const std::string& sourceName) {
    return Parser(text, sourceName).run();
}

}  // namespace platform::registry
