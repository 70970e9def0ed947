#include "simulator/automation/reg_value.h"

#include <winreg.h>

#include <cstdio>
#include <cstring>

#include "simulator/automation/parse.h"
#include "platform/text/utf.h"

namespace sim {
namespace {

void appendText(std::vector<BYTE>& data, std::string_view utf8) {
    std::u16string wide = platform::text::toUtf16(utf8);
    wide.push_back(u'\0');
    const auto* bytes = reinterpret_cast<const BYTE*>(wide.data());
    data.insert(data.end(), bytes, bytes + wide.size() * sizeof(char16_t));
}

std::u16string wideOf(const std::vector<BYTE>& data) {
    std::u16string wide(data.size() / 2, u'\0');
    if (!wide.empty()) std::memcpy(wide.data(), data.data(), wide.size() * 2);
    return wide;
}

std::string hexBytes(const std::vector<BYTE>& data) {
    std::string out;
    char buffer[4];
    for (BYTE b : data) {
        std::snprintf(buffer, sizeof buffer, "%02x", b);
        if (!out.empty()) out += ' ';
        out += buffer;
    }
    return out;
}

std::string inQuotes(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

RegValue RegValue::dword(DWORD value) {
    RegValue v{REG_DWORD, std::vector<BYTE>(4)};
    std::memcpy(v.data.data(), &value, 4);  // the device is little-endian, as is every host we run on
    return v;
}

RegValue RegValue::sz(std::string_view text) {
    RegValue v{REG_SZ, {}};
    appendText(v.data, text);
    return v;
}

RegValue RegValue::expandSz(std::string_view text) {
    RegValue v{REG_EXPAND_SZ, {}};
    appendText(v.data, text);
    return v;
}

RegValue RegValue::multiSz(const std::vector<std::string>& strings) {
    RegValue v{REG_MULTI_SZ, {}};
    for (const auto& s : strings) appendText(v.data, s);
    appendText(v.data, "");  // the empty string that ends the list
    return v;
}

RegValue RegValue::binary(std::vector<BYTE> bytes) { return {REG_BINARY, std::move(bytes)}; }

std::optional<DWORD> RegValue::asDword() const {
    if (type != REG_DWORD || data.size() != 4) return std::nullopt;
    DWORD value;
    std::memcpy(&value, data.data(), 4);
    return value;
}

std::optional<std::string> RegValue::asText() const {
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || data.size() % 2 != 0) return std::nullopt;
    std::u16string wide = wideOf(data);
    // The stored terminator (and any the writer added beyond it) is not text.
    if (auto end = wide.find(u'\0'); end != std::u16string::npos) wide.resize(end);
    return platform::text::toUtf8(wide);
}

std::optional<std::vector<std::string>> RegValue::asStrings() const {
    if (type != REG_MULTI_SZ || data.size() % 2 != 0) return std::nullopt;
    std::u16string wide = wideOf(data);
    std::vector<std::string> strings;
    size_t start = 0;
    while (start < wide.size()) {
        size_t end = wide.find(u'\0', start);
        if (end == std::u16string::npos) end = wide.size();  // a last string without its terminator
        if (end == start) break;                            // the empty string ends the list
        strings.push_back(platform::text::toUtf8(std::u16string_view(wide).substr(start, end - start)));
        start = end + 1;
    }
    return strings;
}

std::string RegValue::describe() const {
    if (auto value = asDword()) {
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "dword 0x%08X (%u)", *value, *value);
        return buffer;
    }
    if (auto text = asText()) return (type == REG_SZ ? "sz " : "expand_sz ") + inQuotes(*text);
    if (auto strings = asStrings()) {
        std::string out = "multi_sz";
        for (const auto& s : *strings) out += " " + inQuotes(s);
        return out;
    }
    std::string bytes = hexBytes(data);
    if (type == REG_BINARY) return bytes.empty() ? "binary" : "binary " + bytes;
    return "type " + std::to_string(type) + (bytes.empty() ? "" : " " + bytes);
}

bool RegValue::matches(const std::vector<std::string>& words) const {
    if (type == REG_DWORD) {
        auto value = asDword();
        auto expected = words.size() == 1 ? parseDword(words[0]) : std::nullopt;
        return value && expected && *value == *expected;
    }
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        auto text = asText();
        return text && words.size() == 1 && *text == words[0];
    }
    if (type == REG_MULTI_SZ) {
        auto strings = asStrings();
        return strings && *strings == words;
    }
    auto bytes = parseHexBytes(words);
    return bytes && *bytes == data;
}

std::optional<RegValue> parseRegValue(std::string_view typeName, const std::vector<std::string>& words,
                                      std::string* reason) {
    auto fail = [&](std::string why) -> std::optional<RegValue> {
        if (reason) *reason = std::move(why);
        return std::nullopt;
    };
    if (typeName == "dword") {
        if (words.size() != 1) return fail("a dword takes one number");
        auto value = parseDword(words[0]);
        if (!value) return fail("\"" + words[0] + "\" is not a 32-bit number (decimal or 0x hex)");
        return RegValue::dword(*value);
    }
    if (typeName == "sz" || typeName == "expand_sz") {
        if (words.size() != 1) return fail("a text value takes one text; quote a text with blanks");
        return typeName == "sz" ? RegValue::sz(words[0]) : RegValue::expandSz(words[0]);
    }
    if (typeName == "multi_sz") {
        for (const auto& s : words) {
            if (s.empty()) return fail("a multi_sz cannot hold an empty string: it would end the list");
        }
        return RegValue::multiSz(words);
    }
    if (typeName == "binary") {
        auto bytes = parseHexBytes(words);
        if (!bytes) return fail("binary data is hex bytes such as 01 ff or 01,ff");
        return RegValue::binary(std::move(*bytes));
    }
    return fail("unknown value type \"" + std::string(typeName) +
                "\" (dword, sz, expand_sz, multi_sz or binary)");
}

}  // namespace sim
