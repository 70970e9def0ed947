#include "simulator/automation/parse.h"

#include <charconv>
#include <cmath>

namespace sim {
namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A field of exactly `digits` decimal digits.
std::optional<int> fixedField(std::string_view text, size_t digits) {
    if (text.size() != digits) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

std::optional<uint64_t> parseUnsigned(std::string_view text, uint64_t max) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text[0] == '+' || text[0] == '-') return std::nullopt;
    uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size() || value > max) return std::nullopt;
    return value;
}

std::optional<DWORD> parseDword(std::string_view text) {
    auto value = parseUnsigned(text, UINT32_MAX);
    if (!value) return std::nullopt;
    return static_cast<DWORD>(*value);
}

std::optional<double> parsePositive(std::string_view text) {
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value,
                                        std::chars_format::fixed);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (!std::isfinite(value) || value <= 0) return std::nullopt;
    return value;
}

std::optional<std::vector<BYTE>> parseHexBytes(const std::vector<std::string>& words) {
    std::vector<BYTE> bytes;
    for (const auto& word : words) {
        // Commas separate pieces; a piece is one digit (one byte) or pairs of digits.
        size_t start = 0;
        while (start <= word.size()) {
            size_t comma = word.find(',', start);
            if (comma == std::string::npos) comma = word.size();
            std::string_view piece(word.data() + start, comma - start);
            start = comma + 1;
            if (piece.empty() || (piece.size() > 1 && piece.size() % 2 == 1)) return std::nullopt;
            if (piece.size() == 1) {
                int digit = hexDigit(piece[0]);
                if (digit < 0) return std::nullopt;
                bytes.push_back(static_cast<BYTE>(digit));
                continue;
            }
            for (size_t i = 0; i < piece.size(); i += 2) {
                int high = hexDigit(piece[i]);
                int low = hexDigit(piece[i + 1]);
                if (high < 0 || low < 0) return std::nullopt;
                bytes.push_back(static_cast<BYTE>(high * 16 + low));
            }
        }
    }
    return bytes;
}

std::optional<DateTime> parseDateTime(std::string_view date, std::string_view time) {
    if (date.size() != 10 || date[4] != '-' || date[7] != '-') return std::nullopt;
    if (time.size() != 8 || time[2] != ':' || time[5] != ':') return std::nullopt;
    auto year = fixedField(date.substr(0, 4), 4);
    auto month = fixedField(date.substr(5, 2), 2);
    auto day = fixedField(date.substr(8, 2), 2);
    auto hour = fixedField(time.substr(0, 2), 2);
    auto minute = fixedField(time.substr(3, 2), 2);
    auto second = fixedField(time.substr(6, 2), 2);
    if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
    if (*year < 1601 || *month < 1 || *month > 12) return std::nullopt;
    if (*day < 1 || *day > daysInMonth(*year, *month)) return std::nullopt;
    if (*hour > 23 || *minute > 59 || *second > 59) return std::nullopt;
    return DateTime{*year, *month, *day, *hour, *minute, *second};
}

}  // namespace sim
