// A registry value's type and bytes, and how scripts write them.
//
// Scripts name the type (dword, sz, expand_sz, multi_sz, binary) and give the
// data as words: a number in decimal or 0x hex for dword, one text for sz and
// expand_sz, one text per string for multi_sz, hex bytes for binary.
#pragma once

#include <windef.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct RegValue {
    DWORD type = 0;
    std::vector<BYTE> data;

    static RegValue dword(DWORD value);
    static RegValue sz(std::string_view text);
    static RegValue expandSz(std::string_view text);
    static RegValue multiSz(const std::vector<std::string>& strings);
    static RegValue binary(std::vector<BYTE> bytes);

    std::optional<DWORD> asDword() const;                    // a 4-byte REG_DWORD
    std::optional<std::string> asText() const;               // REG_SZ, REG_EXPAND_SZ
    std::optional<std::vector<std::string>> asStrings() const;  // REG_MULTI_SZ

    // As `reg get` shows it: "dword 0x0000002A (42)", "sz "Tern 70"",
    // "multi_sz "a" "b"", "binary 01 ff".
    std::string describe() const;

    // Whether the words, read by this value's type, state this value: a number
    // for a dword, the exact text for a string, each string of a multi-string,
    // the bytes for anything else.
    bool matches(const std::vector<std::string>& words) const;

    bool operator==(const RegValue&) const = default;
};

// A value from a type name and its data words; nullopt with *reason otherwise.
std::optional<RegValue> parseRegValue(std::string_view typeName, const std::vector<std::string>& words,
                                      std::string* reason);

}  // namespace sim
