#include "reg_file_writer.h"

#include <winreg.h>

#include <optional>

#include "platform/text/utf.h"
#include "reg_file_text.h"

namespace platform::registry {

namespace {

constexpr size_t kHexLineWidth = 78;  // continued with "\" past this width, as is customary

bool hasLineBreak(std::u16string_view text) {
    return text.find_first_of(u"\r\n") != std::u16string_view::npos;
}

std::u16string quoted(std::u16string_view text) {
    std::u16string out = u"\"";
    for (char16_t c : text) {
        if (c == u'\\' || c == u'"') out.push_back(u'\\');
        out.push_back(c);
    }
    out.push_back(u'"');
    return out;
}

// The text of a REG_SZ value when it can be written between quotes and read back
// to the same bytes: whole UTF-16 units, one terminator at the end and none
// before, no line break, no unpaired surrogate.
std::optional<std::u16string> quotableText(const std::vector<BYTE>& data) {
    if (data.size() < 2 || data.size() % 2 != 0) return std::nullopt;
    std::u16string text;
    for (size_t i = 0; i + 2 < data.size(); i += 2)
        text.push_back(char16_t(data[i] | (data[i + 1] << 8)));
    if (data[data.size() - 2] != 0 || data[data.size() - 1] != 0) return std::nullopt;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c == 0 || c == u'\r' || c == u'\n') return std::nullopt;
        bool high = c >= 0xD800 && c <= 0xDBFF, low = c >= 0xDC00 && c <= 0xDFFF;
        if (low) return std::nullopt;
        if (high) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF)
                return std::nullopt;
            ++i;
        }
    }
    return text;
}

std::u16string hexNumber(uint32_t number, size_t minDigits) {
    static constexpr char16_t kDigits[] = u"0123456789abcdef";
    std::u16string out;
    do {
        out.insert(out.begin(), kDigits[number & 0xF]);
        number >>= 4;
    } while (number != 0);
    while (out.size() < minDigits) out.insert(out.begin(), u'0');
    return out;
}

void writeHex(std::u16string& out, std::u16string line, const std::vector<BYTE>& data) {
    bool lineHasByte = false;
    for (size_t i = 0; i < data.size(); ++i) {
        std::u16string token = hexNumber(data[i], 2);
        if (i + 1 < data.size()) token.push_back(u',');
        if (lineHasByte && line.size() + token.size() > kHexLineWidth) {
            out += line + u"\\\r\n";
            line = u"  ";
        }
        line += token;
        lineHasByte = true;
    }
    out += line + u"\r\n";
}

void writeValue(std::u16string& out, std::u16string_view name, const RegistryValue& value) {
    std::u16string prefix = name.empty() ? std::u16string(u"@") : quoted(name);
    prefix += u"=";
    if (value.type == REG_SZ) {
        if (auto text = quotableText(value.data)) {
            out += prefix + quoted(*text) + u"\r\n";
            return;
        }
    }
    if (value.type == REG_DWORD && value.data.size() == 4) {
        uint32_t number = uint32_t(value.data[0]) | uint32_t(value.data[1]) << 8 |
                          uint32_t(value.data[2]) << 16 | uint32_t(value.data[3]) << 24;
        out += prefix + u"dword:" + hexNumber(number, 8) + u"\r\n";
        return;
    }
    if (value.type == REG_BINARY)
        prefix += u"hex:";
    else
        prefix += u"hex(" + hexNumber(value.type, 1) + u"):";
    writeHex(out, std::move(prefix), value.data);
}

bool writeKey(std::u16string& out, std::string& error, const KeyNode& key,
              const std::u16string& path) {
    if (hasLineBreak(path)) {
        error = "key \"" + platform::text::toUtf8(path) +
                "\" has a line break in its name and cannot be exported";
        return false;
    }
    out += u"[" + path + u"]\r\n";
    for (const auto& [name, value] : key.values) {
        if (hasLineBreak(name)) {
            error = "value \"" + platform::text::toUtf8(name) + "\" of key \"" +
                    platform::text::toUtf8(path) +
                    "\" has a line break in its name and cannot be exported";
            return false;
        }
        writeValue(out, name, value);
    }
    out += u"\r\n";
    for (const auto& [name, child] : key.subkeys)
        if (!writeKey(out, error, *child, path + u"\\" + name)) return false;
    return true;
}

}  // namespace

RegTextOutput writeRegText(const RegistryLock& /*lock*/, const std::shared_ptr<KeyNode>& key,
                           const std::u16string& keyPath) {
    RegTextOutput result;
    result.text = u"Windows Registry Editor Version 5.00\r\n\r\n";
    if (!writeKey(result.text, result.error, *key, keyPath)) result.text.clear();
    return result;
}

}  // namespace platform::registry
