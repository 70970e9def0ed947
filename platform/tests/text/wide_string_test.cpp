// The C library's string functions on WCHAR text.
#include <gtest/gtest.h>
#include <tchar.h>

#include <string>

#include "guarded_buffer.h"

using text_test::GuardedBuffer;

namespace {
int sign(int value) { return (value > 0) - (value < 0); }
}  // namespace

TEST(WideString, Length) {
    const WCHAR noTerminator[4] = {u'a', u'b', u'c', u'd'};
    EXPECT_EQ(wcslen(u""), 0u);
    EXPECT_EQ(wcslen(u"abc"), 3u);
    EXPECT_EQ(wcslen(u"가나다"), 3u);
    EXPECT_EQ(wcslen(u"\U0001F600"), 2u);  // code units, not characters
    EXPECT_EQ(wcsnlen(u"abc", 2), 2u);
    EXPECT_EQ(wcsnlen(u"abc", 10), 3u);
    EXPECT_EQ(wcsnlen(noTerminator, 4), 4u);  // reads no further than the limit
}

TEST(WideString, CopyAndConcatenateTerminateAndStop) {
    GuardedBuffer copy(6);
    EXPECT_EQ(wcscpy(copy.data(), u"hello"), copy.data());
    EXPECT_BUFFER(copy, u"hello", true);

    GuardedBuffer joined(8);
    wcscpy(joined.data(), u"ab");
    EXPECT_EQ(wcscat(joined.data(), u"cde"), joined.data());
    EXPECT_BUFFER(joined, u"abcde", true);

    const struct {
        const WCHAR* tail;
        size_t count;
        const WCHAR* expected;
    } appends[] = {{u"cdef", 2, u"abcd"}, {u"cd", 5, u"abcd"}, {u"cd", 0, u"ab"}};
    for (const auto& c : appends) {
        SCOPED_TRACE(::testing::Message() << "wcsncat count " << c.count);
        GuardedBuffer buffer(wcslen(c.expected) + 1);
        wcscpy(buffer.data(), u"ab");
        EXPECT_EQ(wcsncat(buffer.data(), c.tail, c.count), buffer.data());
        EXPECT_BUFFER(buffer, c.expected, true);
    }
}

TEST(WideString, BoundedCopyPadsWithZerosAndMayLeaveNoTerminator) {
    const struct {
        const WCHAR* source;
        size_t count;
        std::u16string_view expected;  // all count units
    } cases[] = {
        {u"ab", 5, std::u16string_view(u"ab\0\0\0", 5)},
        {u"abc", 3, u"abc"},  // exactly count: no terminator
        {u"abcdef", 3, u"abc"},
        {u"abc", 0, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "wcsncpy count " << c.count);
        GuardedBuffer buffer(c.count);
        EXPECT_EQ(wcsncpy(buffer.data(), c.source, c.count), buffer.data());
        EXPECT_BUFFER(buffer, c.expected, false);
    }
}

TEST(WideString, Compare) {
    const struct {
        const WCHAR* a;
        const WCHAR* b;
        int exact;
        int folded;
    } cases[] = {
        {u"abc", u"abc", 0, 0},        {u"abc", u"abd", -1, -1},
        {u"ab", u"abc", -1, -1},       {u"abc", u"ab", 1, 1},
        {u"ABC", u"abc", -1, 0},       {u"\uFFFF", u"a", 1, 1},  // units compare unsigned
        {u"_", u"A", 1, -1},  // without case both sides are lowered
        {u"ÀÉÎÕÜ", u"àéîõü", -1, 0},   {u"ŁÓDŹ", u"łódź", -1, 0},
        {u"ПРИВЕТ", u"привет", -1, 0}, {u"ΣΟΦΊΑ", u"σοφία", -1, 0},
        {u"ＡＢ", u"ａｂ", -1, 0},     {u"STRASSE", u"straße", -1, -1},  // no one-unit case pair
        {u"가", u"나", -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << ::testing::PrintToString(std::u16string(c.a)) << " vs "
                                          << ::testing::PrintToString(std::u16string(c.b)));
        EXPECT_EQ(sign(wcscmp(c.a, c.b)), c.exact);
        EXPECT_EQ(sign(wcscmp(c.b, c.a)), -c.exact);
        EXPECT_EQ(sign(_wcsicmp(c.a, c.b)), c.folded);
        EXPECT_EQ(sign(_wcsicmp(c.b, c.a)), -c.folded);
    }
}

TEST(WideString, CompareAtMostCount) {
    const WCHAR shortBuffer[2] = {u'a', u'b'};  // unterminated: count must stop the scan
    EXPECT_EQ(wcsncmp(shortBuffer, u"abX", 2), 0);
    EXPECT_EQ(_wcsnicmp(shortBuffer, u"ABX", 2), 0);
    EXPECT_LT(wcsncmp(u"abc", u"abd", 3), 0);
    EXPECT_EQ(wcsncmp(u"abc", u"xyz", 0), 0);
    EXPECT_EQ(_wcsnicmp(u"HelloWorld", u"helloTHERE", 5), 0);
    EXPECT_NE(_wcsnicmp(u"HelloWorld", u"helloTHERE", 6), 0);
    EXPECT_LT(wcsncmp(u"ab", u"abc", 5), 0);  // a terminator ends the comparison
}

TEST(WideString, Search) {
    const WCHAR* text = u"a/b/c";
    EXPECT_EQ(wcschr(text, u'/'), text + 1);
    EXPECT_EQ(wcsrchr(text, u'/'), text + 3);
    EXPECT_EQ(wcschr(text, u'x'), nullptr);
    EXPECT_EQ(wcsrchr(text, u'x'), nullptr);
    EXPECT_EQ(wcschr(text, 0), text + 5);  // the terminator is part of the string
    EXPECT_EQ(wcsrchr(text, 0), text + 5);

    const WCHAR* haystack = u"one two two";
    EXPECT_EQ(wcsstr(haystack, u"two"), haystack + 4);
    EXPECT_EQ(wcsstr(haystack, u""), haystack);
    EXPECT_EQ(wcsstr(haystack, u"three"), nullptr);
    EXPECT_EQ(wcsstr(u"tw", u"two"), nullptr);
    const WCHAR* empty = u"";
    EXPECT_EQ(wcsstr(empty, u""), empty);

    WCHAR mutableText[] = u"key=value";
    WCHAR* equals = wcschr(mutableText, u'=');
    ASSERT_NE(equals, nullptr);
    *equals = 0;
    EXPECT_EQ(std::u16string(mutableText), u"key");
}

TEST(WideString, NullStringsAreEmptyAndNullDestinationsReceiveNothing) {
    const WCHAR* const none = nullptr;
    WCHAR* const noBuffer = nullptr;
    EXPECT_EQ(wcslen(none), 0u);
    EXPECT_EQ(wcscpy(noBuffer, u"x"), nullptr);
    EXPECT_EQ(wcsncpy(noBuffer, u"x", 4), nullptr);
    EXPECT_EQ(wcscat(noBuffer, u"x"), nullptr);
    EXPECT_EQ(wcscmp(none, none), 0);
    EXPECT_LT(wcscmp(none, u""), 0);
    EXPECT_GT(_wcsicmp(u"", none), 0);
    EXPECT_EQ(wcschr(none, u'a'), nullptr);
    EXPECT_EQ(wcsstr(none, u"a"), nullptr);

    GuardedBuffer buffer(4);
    EXPECT_EQ(wcscpy(buffer.data(), none), buffer.data());
    EXPECT_BUFFER(buffer, u"", true);
}
