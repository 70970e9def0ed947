// Reading the numbers, times and byte lists that scripts and tests write as text.
#pragma once

#include <windef.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// A whole unsigned number in decimal ("42") or hexadecimal ("0x2A", "0X2a"), at
// most max. No sign, blanks or suffix.
std::optional<uint64_t> parseUnsigned(std::string_view text, uint64_t max = UINT64_MAX);
std::optional<DWORD> parseDword(std::string_view text);

// A positive decimal number such as "100" or "0.5".
std::optional<double> parsePositive(std::string_view text);

// Bytes written as hexadecimal pairs: each word is one or more bytes, separated
// by commas or not at all ("01", "ff,3a", "0102ff"). Empty words list: no bytes.
std::optional<std::vector<BYTE>> parseHexBytes(const std::vector<std::string>& words);

struct DateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// "YYYY-MM-DD" and "HH:MM:SS", checked as a real calendar date (leap years
// included) from 1601 on; nullopt for anything else.
std::optional<DateTime> parseDateTime(std::string_view date, std::string_view time);

}  // namespace sim
