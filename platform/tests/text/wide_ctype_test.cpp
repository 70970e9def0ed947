// Character classes and case mapping of UTF-16 units.
#include <gtest/gtest.h>
#include <tchar.h>

#include <cstdint>

TEST(WideCase, LetterPairsMapBothWays) {
    const struct {
        WCHAR upper;
        WCHAR lower;
    } pairs[] = {
        {u'A', u'a'},   {u'Z', u'z'}, {u'À', u'à'}, {u'Ö', u'ö'}, {u'Ø', u'ø'}, {u'Þ', u'þ'},
        {u'Ā', u'ā'},   {u'Į', u'į'}, {u'Ĳ', u'ĳ'}, {u'Ĺ', u'ĺ'}, {u'Ň', u'ň'}, {u'Ŋ', u'ŋ'},
        {u'Ŷ', u'ŷ'},   {u'Ÿ', u'ÿ'}, {u'Ź', u'ź'}, {u'Ž', u'ž'}, {u'Ά', u'ά'}, {u'Έ', u'έ'},
        {u'Ί', u'ί'},   {u'Ό', u'ό'}, {u'Ώ', u'ώ'}, {u'Α', u'α'}, {u'Ρ', u'ρ'}, {u'Σ', u'σ'},
        {u'Ϋ', u'ϋ'},   {u'Ѐ', u'ѐ'}, {u'Џ', u'џ'}, {u'А', u'а'}, {u'Я', u'я'}, {u'Ａ', u'ａ'},
        {u'Ｚ', u'ｚ'},
    };
    for (const auto& p : pairs) {
        SCOPED_TRACE(::testing::Message() << "U+" << std::hex << static_cast<unsigned>(p.upper));
        EXPECT_EQ(towlower(p.upper), p.lower);
        EXPECT_EQ(towupper(p.lower), p.upper);
        EXPECT_EQ(towlower(p.lower), p.lower);
        EXPECT_EQ(towupper(p.upper), p.upper);
    }
}

TEST(WideCase, OtherUnitsAreLeftAlone) {
    const WCHAR unchanged[] = {
        u'@',   u'[',   u'`',   u'{',   u'1',   0,      u'×',   u'÷',
        u'ß',   u'µ',   0x0130, 0x0131,  // dotted and dotless i depend on the language
        0x0138, 0x0149, 0x017F, 0x03A2, 0x03C2, 0xAC00, 0xD800, 0xFFFF,
    };
    for (WCHAR c : unchanged) {
        SCOPED_TRACE(::testing::Message() << "U+" << std::hex << static_cast<unsigned>(c));
        EXPECT_EQ(towlower(c), c);
        EXPECT_EQ(towupper(c), c);
    }
}

TEST(WideCase, EveryMappingIsAPair) {
    for (uint32_t u = 0; u <= 0xFFFF; ++u) {
        const auto c = static_cast<WCHAR>(u);
        const WCHAR lower = towlower(c);
        const WCHAR upper = towupper(c);
        ASSERT_TRUE(lower == c || upper == c) << "U+" << std::hex << u << " has both cases";
        if (lower != c) {
            ASSERT_EQ(towupper(lower), c) << "U+" << std::hex << u;
        }
        if (upper != c) {
            ASSERT_EQ(towlower(upper), c) << "U+" << std::hex << u;
        }
    }
}

TEST(WideClass, SpacesAndDigits) {
    const struct {
        WCHAR c;
        bool space;
        bool digit;
        bool xdigit;
    } cases[] = {
        {u' ', true, false, false},    {u'\t', true, false, false},   {u'\n', true, false, false},
        {u'\v', true, false, false},   {u'\f', true, false, false},   {u'\r', true, false, false},
        {0x3000, true, false, false},  {0x2003, true, false, false},  {0x2028, true, false, false},
        {0x00A0, false, false, false}, {0x2007, false, false, false}, {0x202F, false, false, false},
        {0x001F, false, false, false}, {0, false, false, false},      {u'0', false, true, true},
        {u'9', false, true, true},     {u'/', false, false, false},   {u':', false, false, false},
        {u'a', false, false, true},    {u'F', false, false, true},    {u'g', false, false, false},
        {u'G', false, false, false},   {u'０', false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "U+" << std::hex << static_cast<unsigned>(c.c));
        EXPECT_EQ(iswspace(c.c) != 0, c.space);
        EXPECT_EQ(iswdigit(c.c) != 0, c.digit);
        EXPECT_EQ(iswxdigit(c.c) != 0, c.xdigit);
    }
}
