// Reading numbers, bytes, dates and registry values as scripts write them.
#include <gtest/gtest.h>
#include <winreg.h>

#include "simulator/automation/parse.h"
#include "simulator/automation/reg_value.h"

namespace sim {
namespace {

TEST(Parse, UnsignedNumbers) {
    struct Case {
        const char* text;
        std::optional<uint64_t> expected;
    };
    const Case cases[] = {
        {"0", 0},           {"42", 42},       {"0x2A", 42},      {"0X2a", 42},
        {"4294967295", 4294967295u},          {"0xFFFFFFFF", 0xFFFFFFFFu},
        {"", std::nullopt}, {"0x", std::nullopt}, {"-1", std::nullopt}, {"+1", std::nullopt},
        {" 1", std::nullopt}, {"1 ", std::nullopt}, {"12abc", std::nullopt}, {"0x1G", std::nullopt},
        {"99999999999999999999999", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(parseUnsigned(c.text), c.expected) << '"' << c.text << '"';

    EXPECT_EQ(parseDword("0xFFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(parseDword("4294967296"), std::nullopt);
    EXPECT_EQ(parseDword("0x100000000"), std::nullopt);
}

TEST(Parse, PositiveRates) {
    EXPECT_EQ(parsePositive("100"), 100.0);
    EXPECT_EQ(parsePositive("0.5"), 0.5);
    for (const char* bad : {"0", "-2", "", "fast", "1e3", "nan", "inf", "2x"}) {
        EXPECT_EQ(parsePositive(bad), std::nullopt) << bad;
    }
}

TEST(Parse, HexBytes) {
    using Bytes = std::vector<BYTE>;
    struct Case {
        std::vector<std::string> words;
        std::optional<Bytes> expected;
    };
    const Case cases[] = {
        {{}, Bytes{}},
        {{"01", "ff", "3A"}, Bytes{0x01, 0xff, 0x3a}},
        {{"01,ff,3a"}, Bytes{0x01, 0xff, 0x3a}},
        {{"01ff3a"}, Bytes{0x01, 0xff, 0x3a}},
        {{"1", "2"}, Bytes{0x01, 0x02}},
        {{"1,2,ab"}, Bytes{0x01, 0x02, 0xab}},
        {{"123"}, std::nullopt},   // an odd number of digits is no whole number of bytes
        {{"0g"}, std::nullopt},
        {{"01,,02"}, std::nullopt},
        {{"01,"}, std::nullopt},
        {{""}, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseHexBytes(c.words), c.expected) << ::testing::PrintToString(c.words);
    }
}

TEST(Parse, DatesAndTimes) {
    struct Case {
        const char* date;
        const char* time;
        bool valid;
    };
    const Case cases[] = {
        {"2024-02-29", "23:59:59", true},   // a leap day
        {"2000-02-29", "00:00:00", true},   // divisible by 400: a leap year
        {"1900-02-29", "00:00:00", false},  // divisible by 100 only: not one
        {"2023-02-29", "00:00:00", false},
        {"2024-04-31", "00:00:00", false},
        {"2024-12-31", "12:00:00", true},
        {"2024-13-01", "00:00:00", false},
        {"2024-00-10", "00:00:00", false},
        {"2024-01-00", "00:00:00", false},
        {"2024-01-01", "24:00:00", false},
        {"2024-01-01", "23:60:00", false},
        {"2024-01-01", "23:59:60", false},
        {"1600-12-31", "23:59:59", false},  // before the platform's epoch
        {"1601-01-01", "00:00:00", true},
        {"2024-1-01", "00:00:00", false},
        {"2024/01/01", "00:00:00", false},
        {"2024-01-01", "0:00:00", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseDateTime(c.date, c.time).has_value(), c.valid) << c.date << ' ' << c.time;
    }
    auto parsed = parseDateTime("2024-02-29", "13:45:07");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->year, 2024);
    EXPECT_EQ(parsed->month, 2);
    EXPECT_EQ(parsed->day, 29);
    EXPECT_EQ(parsed->hour, 13);
    EXPECT_EQ(parsed->minute, 45);
    EXPECT_EQ(parsed->second, 7);
}

TEST(RegValueText, ParsesEachType) {
    std::string reason;
    auto dword = parseRegValue("dword", {"0x2A"}, &reason);
    ASSERT_TRUE(dword) << reason;
    EXPECT_EQ(*dword, RegValue::dword(42));
    EXPECT_EQ(dword->data, (std::vector<BYTE>{0x2A, 0, 0, 0}));

    auto text = parseRegValue("sz", {"Tern 70"}, &reason);
    ASSERT_TRUE(text) << reason;
    EXPECT_EQ(text->type, DWORD(REG_SZ));
    // UTF-16LE with its terminator.
    EXPECT_EQ(text->data.size(), 16u);
    EXPECT_EQ(text->data[14], 0);
    EXPECT_EQ(text->data[15], 0);

    auto strings = parseRegValue("multi_sz", {"a", "b"}, &reason);
    ASSERT_TRUE(strings) << reason;
    EXPECT_EQ(strings->data, (std::vector<BYTE>{'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}));
    auto empty = parseRegValue("multi_sz", {}, &reason);
    ASSERT_TRUE(empty) << reason;
    EXPECT_EQ(empty->data, (std::vector<BYTE>{0, 0}));

    auto bytes = parseRegValue("binary", {"de,ad", "beef"}, &reason);
    ASSERT_TRUE(bytes) << reason;
    EXPECT_EQ(bytes->data, (std::vector<BYTE>{0xde, 0xad, 0xbe, 0xef}));
}

TEST(RegValueText, RefusesBadData) {
    struct Case {
        const char* type;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"dword", {}},        {"dword", {"1", "2"}},      {"dword", {"0x100000000"}},
        {"dword", {"-1"}},    {"sz", {}},                 {"sz", {"two", "words"}},
        {"multi_sz", {"a", ""}},  // an empty string would end the list early
        {"binary", {"xyz"}},  {"qword", {"1"}},           {"DWORD", {"1"}},
    };
    for (const auto& c : cases) {
        std::string reason;
        EXPECT_FALSE(parseRegValue(c.type, c.words, &reason)) << c.type << ' ' << ::testing::PrintToString(c.words);
        EXPECT_FALSE(reason.empty()) << c.type;
    }
}

TEST(RegValueText, DescribesAndMatchesByType) {
    struct Case {
        RegValue value;
        std::string described;
        std::vector<std::string> matching;
        std::vector<std::string> notMatching;
    };
    const Case cases[] = {
        {RegValue::dword(42), "dword 0x0000002A (42)", {"42"}, {"43"}},
        {RegValue::dword(42), "dword 0x0000002A (42)", {"0x2a"}, {"forty-two"}},
        {RegValue::dword(0xFFFFFFFF), "dword 0xFFFFFFFF (4294967295)", {"0xFFFFFFFF"}, {"-1"}},
        {RegValue::sz("Tern 70"), "sz \"Tern 70\"", {"Tern 70"}, {"tern 70"}},
        {RegValue::sz("Tern 70"), "sz \"Tern 70\"", {"Tern 70"}, {"Tern", "70"}},
        {RegValue::expandSz("%x%"), "expand_sz \"%x%\"", {"%x%"}, {"x"}},
        {RegValue::multiSz({"a", "b c"}), "multi_sz \"a\" \"b c\"", {"a", "b c"}, {"a"}},
        {RegValue::multiSz({}), "multi_sz", {}, {""}},
        {RegValue::binary({1, 0xff}), "binary 01 ff", {"01ff"}, {"01"}},
        {RegValue::binary({}), "binary", {}, {"00"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.value.describe(), c.described);
        EXPECT_TRUE(c.value.matches(c.matching)) << c.described;
        EXPECT_FALSE(c.value.matches(c.notMatching)) << c.described;
    }
}

TEST(RegValueText, ReadsWhatOtherWritersStored) {
    // A string stored without its terminator, and a dword of the wrong size.
    RegValue unterminated{REG_SZ, {'h', 0, 'i', 0}};
    EXPECT_EQ(unterminated.asText(), "hi");
    RegValue shortDword{REG_DWORD, {1, 0}};
    EXPECT_EQ(shortDword.asDword(), std::nullopt);
    EXPECT_EQ(shortDword.describe(), "type 4 01 00");
    EXPECT_FALSE(shortDword.matches({"1"}));
    // A multi-string whose last string lacks its terminator.
    RegValue multi{REG_MULTI_SZ, {'a', 0, 0, 0, 'b', 0}};
    EXPECT_EQ(multi.asStrings(), (std::vector<std::string>{"a", "b"}));
}

}  // namespace
}  // namespace sim
