// UTF-16 <-> UTF-8 conversion, with U+FFFD for what is malformed.
#include "platform/text/utf.h"

#include <gtest/gtest.h>

#include <string>

using platform::text::toUtf16;
using platform::text::toUtf16Exact;
using platform::text::toUtf8;
using platform::text::toUtf8Exact;

TEST(Utf, WellFormedTextRoundTrips) {
    const struct {
        std::string utf8;
        std::u16string utf16;
    } cases[] = {
        {"", u""},
        {"A~", u"A~"},
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        {"\xC2\x80\xC3\xA9\xDF\xBF", u"\u0080\u00E9\u07FF"},
        {"\xE0\xA0\x80\xEA\xB0\x80\xEF\xBF\xBF", u"\u0800\uAC00\uFFFF"},
        {"\xF0\x90\x80\x80\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF", u"\U00010000\U0001F600\U0010FFFF"},
        {"배터리 부족", u"배터리 부족"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.utf16));
        EXPECT_EQ(toUtf8(c.utf16), c.utf8);
        EXPECT_EQ(toUtf16(c.utf8), c.utf16);
        EXPECT_EQ(toUtf8Exact(c.utf16), c.utf8);
        EXPECT_EQ(toUtf16Exact(c.utf8), c.utf16);
    }
}

TEST(Utf, UnpairedSurrogatesAreReplacedOrRefused) {
    const std::string fffd = "\xEF\xBF\xBD";
    const struct {
        std::u16string utf16;
        std::string utf8;
    } cases[] = {
        {{0xD800}, fffd},
        {{0xDC00}, fffd},
        {{0xD83D, u'A'}, fffd + "A"},
        {{0xDE00, 0xD83D}, fffd + fffd},  // a pair in the wrong order
        {{u'x', 0xD83D, 0xD83D, 0xDE00}, "x" + fffd + "\xF0\x9F\x98\x80"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.utf16));
        EXPECT_EQ(toUtf8(c.utf16), c.utf8);
        EXPECT_EQ(toUtf8Exact(c.utf16), std::nullopt);
    }
}

TEST(Utf, EachMaximalIllFormedSubsequenceIsOneReplacementOrARefusal) {
    const char16_t r = platform::text::kReplacementChar;
    const struct {
        std::string utf8;
        std::u16string utf16;
    } cases[] = {
        {"\x80", {r}},  // stray continuation byte
        {"\xBF\x80", {r, r}},
        {"\xFF", {r}},
        {"\xC0\xAF", {r, r}},                // overlong '/'
        {"\xE0\x80\xAF", {r, r, r}},         // overlong, three bytes
        {"\xED\xA0\x80", {r, r, r}},         // an encoded surrogate
        {"\xF4\x90\x80\x80", {r, r, r, r}},  // past U+10FFFF
        {"\xE2\x82", {r}},                   // truncated at the end
        {"\xE2\x82"
         "A",
         {r, u'A'}},  // truncated before an ASCII byte
        {"\xF0\x9F\x98", {r}},
        {"a\xC3", {u'a', r}},
        // The example of the Unicode standard's recommended practice.
        {"\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64",
         {u'a', r, r, r, u'b', r, u'c', r, r, u'd'}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.utf8));
        EXPECT_EQ(toUtf16(c.utf8), c.utf16);
        EXPECT_EQ(toUtf16Exact(c.utf8), std::nullopt);
    }
}
