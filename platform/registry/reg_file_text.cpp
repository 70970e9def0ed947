#include "reg_file_text.h"

#include <cstdint>

namespace platform::registry {

namespace {

size_t lineAt(std::string_view bytes, size_t offset) {
    size_t line = 1;
    for (size_t i = 0; i < offset && i < bytes.size(); ++i)
        if (bytes[i] == '\n') ++line;
    return line;
}

DecodedText decodeUtf16le(std::string_view bytes) {
    DecodedText result;
    result.text.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto low = static_cast<unsigned char>(bytes[i]);
        auto high = static_cast<unsigned char>(bytes[i + 1]);
        result.text.push_back(static_cast<char16_t>(low | (high << 8)));
    }
    if (bytes.size() % 2 != 0) {
        size_t line = 1;
        for (char16_t c : result.text)
            if (c == u'\n') ++line;
        result.error = "file ends in the middle of a UTF-16 character (truncated)";
        result.errorLine = line;
    }
    return result;
}

DecodedText decodeUtf8(std::string_view bytes) {
    DecodedText result;
    result.text.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        auto lead = static_cast<unsigned char>(bytes[i]);
        uint32_t code = 0;
        size_t extra = 0;
        uint32_t minimum = 0;
        if (lead < 0x80) {
            code = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            code = lead & 0x1F, extra = 1, minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            code = lead & 0x0F, extra = 2, minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            code = lead & 0x07, extra = 3, minimum = 0x10000;
        } else {
            extra = SIZE_MAX;
        }
        bool valid = extra != SIZE_MAX && i + extra < bytes.size();
        for (size_t k = 1; valid && k <= extra; ++k) {
            auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) valid = false;
            code = (code << 6) | (next & 0x3F);
        }
        if (valid && (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)))
            valid = false;
        if (!valid) {
            result.error = "text is not valid UTF-8";
            result.errorLine = lineAt(bytes, i);
            return result;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            result.text.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            result.text.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            result.text.push_back(static_cast<char16_t>(code));
        }
        i += extra + 1;
    }
    return result;
}

}  // namespace

DecodedText decodeRegFileBytes(std::string_view bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE)
        return decodeUtf16le(bytes.substr(2));
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        return decodeUtf8(bytes.substr(3));
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
        static_cast<unsigned char>(bytes[1]) == 0xFF)
        return {{}, "UTF-16 big-endian text is not supported (use UTF-16LE or UTF-8)", 1};
    if (bytes.size() >= 2 && bytes[0] != 0 && bytes[1] == 0)
        return {{}, "UTF-16 text needs a byte order mark", 1};
    return decodeUtf8(bytes);
}

std::string encodeUtf16leWithBom(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    bytes.reserve(2 + text.size() * 2);
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

char16_t ansiToUtf16(unsigned char byte) {
    // Windows-1252 differs from Latin-1 only in 0x80-0x9F; its unused codes map to themselves.
    static constexpr char16_t kHighControls[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
    return byte;
}

}  // namespace platform::registry
