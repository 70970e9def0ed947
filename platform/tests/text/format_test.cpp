// The printf-style formatter through its front ends: swprintf, wsprintfW and
// _snwprintf must agree on every conversion, and each keeps its buffer rules.
#include <gtest/gtest.h>
#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <string>

#include "guarded_buffer.h"

using text_test::GuardedBuffer;

namespace {

// Formats through every front end and checks the result, the terminator and
// that nothing past it (or past a count) was touched.
template <class... Args>
void expectFormat(const char* file, int line, std::u16string_view expected, const WCHAR* format,
                  Args... args) {
    ::testing::ScopedTrace trace(
        file, line,
        ::testing::Message() << "format " << ::testing::PrintToString(std::u16string(format)));
    const int length = static_cast<int>(expected.size());
    {
        GuardedBuffer buffer(expected.size() + 1);
        EXPECT_EQ(swprintf(buffer.data(), format, args...), length) << "swprintf";
        EXPECT_BUFFER(buffer, expected, true);
    }
    if (expected.size() < 1024) {
        GuardedBuffer buffer(expected.size() + 1);
        EXPECT_EQ(wsprintfW(buffer.data(), format, args...), length) << "wsprintfW";
        EXPECT_BUFFER(buffer, expected, true);
    }
    {
        GuardedBuffer buffer(expected.size() + 1);
        EXPECT_EQ(_snwprintf(buffer.data(), buffer.size(), format, args...), length)
            << "_snwprintf with room for the terminator";
        EXPECT_BUFFER(buffer, expected, true);
    }
    {
        GuardedBuffer buffer(expected.size());
        EXPECT_EQ(_snwprintf(buffer.data(), buffer.size(), format, args...), length)
            << "_snwprintf with room for the text only";
        EXPECT_BUFFER(buffer, expected, false);
    }
    if (!expected.empty()) {
        GuardedBuffer buffer(expected.size() - 1);
        EXPECT_EQ(_snwprintf(buffer.data(), buffer.size(), format, args...), -1)
            << "_snwprintf one unit short";
        EXPECT_BUFFER(buffer, expected.substr(0, buffer.size()), false);
    }
    EXPECT_EQ(_snwprintf(nullptr, 0, format, args...), length) << "_snwprintf measuring";
}

}  // namespace

#define EXPECT_FORMAT(expected, ...) expectFormat(__FILE__, __LINE__, (expected), __VA_ARGS__)

TEST(Format, IntegerConversions) {
    EXPECT_FORMAT(u"0", u"%d", 0);
    EXPECT_FORMAT(u"-42", u"%d", -42);
    EXPECT_FORMAT(u"-42", u"%i", -42);
    EXPECT_FORMAT(u"-2147483648", u"%d", INT_MIN);
    EXPECT_FORMAT(u"4294967295", u"%u", 0xFFFFFFFFu);
    EXPECT_FORMAT(u"4294967295", u"%u", -1);
    EXPECT_FORMAT(u"beef", u"%x", 0xBEEF);
    EXPECT_FORMAT(u"BEEF", u"%X", 0xBEEF);
    EXPECT_FORMAT(u"ffffffff", u"%x", -1);
    EXPECT_FORMAT(u"17", u"%o", 15);
    EXPECT_FORMAT(u"x=5 y=-3 z=ff", u"x=%d y=%d z=%x", 5, -3, 255);
}

TEST(Format, FlagsWidthAndPrecision) {
    EXPECT_FORMAT(u"05", u"%02x", 5);
    EXPECT_FORMAT(u"1ab", u"%02x", 0x1AB);
    EXPECT_FORMAT(u"0007", u"%4.4d", 7);
    EXPECT_FORMAT(u"12345", u"%4.4d", 12345);
    EXPECT_FORMAT(u"05", u"%2.2d", 5);
    EXPECT_FORMAT(u"-05", u"%2.2d", -5);
    EXPECT_FORMAT(u"   42", u"%5d", 42);
    EXPECT_FORMAT(u"42   |", u"%-5d|", 42);
    EXPECT_FORMAT(u"-0042", u"%05d", -42);
    EXPECT_FORMAT(u"42   ", u"%-05d", 42);  // '-' wins over '0'
    EXPECT_FORMAT(u"  007", u"%05.3d", 7);  // a precision disables '0'
    EXPECT_FORMAT(u" -0012", u"%6.4d", -12);
    EXPECT_FORMAT(u"+5", u"%+d", 5);
    EXPECT_FORMAT(u" 5", u"% d", 5);
    EXPECT_FORMAT(u"+5", u"%+ d", 5);  // '+' wins over ' '
    EXPECT_FORMAT(u"5", u"%+u", 5u);   // no sign on unsigned conversions
    EXPECT_FORMAT(u"", u"%.0d", 0);    // precision 0 prints no digit for 0
    EXPECT_FORMAT(u"   ", u"%3.0x", 0);
    EXPECT_FORMAT(u"0xff", u"%#x", 255);
    EXPECT_FORMAT(u"0XFF", u"%#X", 255);
    EXPECT_FORMAT(u"0", u"%#x", 0);           // no prefix on zero
    EXPECT_FORMAT(u"0x00ff", u"%#06x", 255);  // zeros go after the prefix
    EXPECT_FORMAT(u"010", u"%#o", 8);
    EXPECT_FORMAT(u"0", u"%#.0o", 0);
}

TEST(Format, StarTakesWidthAndPrecisionFromArguments) {
    EXPECT_FORMAT(u"   42", u"%*d", 5, 42);
    EXPECT_FORMAT(u"42   |", u"%*d|", -5, 42);  // a negative width left-aligns
    EXPECT_FORMAT(u"007", u"%.*d", 3, 7);
    EXPECT_FORMAT(u"7", u"%.*d", -1, 7);  // a negative precision is none
    EXPECT_FORMAT(u"  ab|", u"%*.*s|", 4, 2, u"abcdef");
}

TEST(Format, SizeModifiers) {
    const LONG longValue = -7;
    const DWORD dword = 0xFFFFFFFF;
    EXPECT_FORMAT(u"-7", u"%ld", longValue);
    EXPECT_FORMAT(u"4294967295", u"%lu", dword);
    EXPECT_FORMAT(u"ffffffff", u"%lx", dword);
    EXPECT_FORMAT(u"-1", u"%hd", 0xFFFF);
    EXPECT_FORMAT(u"5", u"%hu", 0x10005);
    EXPECT_FORMAT(u"-1", u"%hhd", 0xFF);
    EXPECT_FORMAT(u"-9223372036854775808", u"%lld", INT64_MIN);
    EXPECT_FORMAT(u"-9223372036854775808", u"%I64d", INT64_MIN);
    EXPECT_FORMAT(u"18446744073709551615", u"%I64u", UINT64_MAX);
    EXPECT_FORMAT(u"123456789ABCDEF0", u"%I64X", 0x123456789ABCDEF0ull);
    EXPECT_FORMAT(u"100000000 7", u"%llx %d", 0x100000000ull, 7);  // 64 bits consumed, not 32
    EXPECT_FORMAT(u"-3", u"%I32d", -3);
    // %I takes a pointer-sized argument: 32 bits on the device, 64 on a 64-bit host.
    if constexpr (sizeof(uintptr_t) == 8)
        EXPECT_FORMAT(u"12345678901 7", u"%Iu %d", static_cast<uintptr_t>(12345678901ull), 7);
    else
        EXPECT_FORMAT(u"4294967295 7", u"%Iu %d", static_cast<uintptr_t>(0xFFFFFFFFu), 7);
}

TEST(Format, CharactersAndStrings) {
    const WCHAR hangul = 0xAC00;
    EXPECT_FORMAT(u"A", u"%c", u'A');
    EXPECT_FORMAT(u"\uAC00", u"%c", hangul);
    EXPECT_FORMAT(std::u16string_view(u"a\0b", 3), u"a%cb", 0);  // a NUL is output as well
    EXPECT_FORMAT(u"  x|x  ", u"%3c|%-3c", u'x', u'x');
    EXPECT_FORMAT(u"n", u"%C", 'n');
    EXPECT_FORMAT(u"h", u"%hc", 'h');
    EXPECT_FORMAT(u"w", u"%lc", u'w');
    EXPECT_FORMAT(u"\uFFFD", u"%C", '\xE9');  // a lone high byte is no UTF-8 character

    EXPECT_FORMAT(u"abc", u"%s", u"abc");
    EXPECT_FORMAT(u"  abc|abc  ", u"%5s|%-5s", u"abc", u"abc");
    EXPECT_FORMAT(u"ab", u"%.2s", u"abc");
    EXPECT_FORMAT(u"배터리 50%", u"%s %d%%", u"배터리", 50);
    EXPECT_FORMAT(u"(null)", u"%s", static_cast<const WCHAR*>(nullptr));
    EXPECT_FORMAT(u"(nu", u"%.3s", static_cast<const WCHAR*>(nullptr));
    EXPECT_FORMAT(u"(null)", u"%S", static_cast<const char*>(nullptr));
    EXPECT_FORMAT(u"narrow", u"%S", "narrow");
    EXPECT_FORMAT(u"narrow", u"%hs", "narrow");
    EXPECT_FORMAT(u"wide", u"%ls", u"wide");
    EXPECT_FORMAT(u"wide", u"%ws", u"wide");
    EXPECT_FORMAT(u"한글", u"%S", "한글");  // narrow text is UTF-8
    EXPECT_FORMAT(u"a\uFFFDb", u"%S",
                  "a\xFF"
                  "b");
    EXPECT_FORMAT(u"  ab", u"%4.2S", "abcdef");
}

TEST(Format, PrecisionBoundsHowFarAStringIsRead) {
    // No terminator within reach: reading one unit more is an overread that
    // the sanitizer builds report.
    const WCHAR wide[3] = {u'x', u'y', u'z'};
    const char narrow[2] = {'p', 'q'};
    EXPECT_FORMAT(u"xyz", u"%.3s", wide);
    EXPECT_FORMAT(u"pq", u"%.2S", narrow);
}

TEST(Format, PointerIsUpperCaseHexOfAtLeastEightDigits) {
    EXPECT_FORMAT(u"0000BEEF", u"%p", reinterpret_cast<void*>(0xBEEF));
    EXPECT_FORMAT(u"00000000", u"%p", static_cast<void*>(nullptr));
    // Wider addresses exist only where pointers are 64 bits.
    if constexpr (sizeof(void*) == 8)
        EXPECT_FORMAT(u"123456789A 7", u"%p %d",
                      reinterpret_cast<void*>(static_cast<uintptr_t>(0x123456789Aull)), 7);
    else
        EXPECT_FORMAT(u"FFFFFFFF 7", u"%p %d",
                      reinterpret_cast<void*>(static_cast<uintptr_t>(0xFFFFFFFFu)), 7);
}

TEST(Format, PercentSignsAndMalformedConversions) {
    EXPECT_FORMAT(u"100%", u"100%%");
    EXPECT_FORMAT(u"y", u"%y");      // no conversion: the character itself
    EXPECT_FORMAT(u"ab", u"ab%");    // the format ends after '%'
    EXPECT_FORMAT(u"ab", u"ab%-5");  // ... or inside a conversion
    EXPECT_FORMAT(u"ab", u"ab%I");
    EXPECT_FORMAT(u"", u"");
}

TEST(Format, FloatingPoint) {
    EXPECT_FORMAT(u"1.500000", u"%f", 1.5);
    EXPECT_FORMAT(u"3.14", u"%.2f", 3.14159);
    EXPECT_FORMAT(u"  -1.000", u"%8.3f", -1.0);
    EXPECT_FORMAT(u"1.234568e+04", u"%e", 12345.678);
    EXPECT_FORMAT(u"0.0001 7", u"%g %d", 0.0001, 7);
}

TEST(Format, CountConversionConsumesItsPointerAndWritesNothing) {
    int count = 0x5EB7;
    EXPECT_FORMAT(u"12", u"%d%n%d", 1, &count, 2);
    EXPECT_EQ(count, 0x5EB7);
}

TEST(Format, OutputTooLongForAnIntIsAFailure) {
    // Widths cost nothing to count: none of this is ever stored.
    EXPECT_EQ(_snwprintf(nullptr, 0, u"%2147483647d", 1), INT_MAX);
    EXPECT_EQ(_snwprintf(nullptr, 0, u"%2147483647d%d", 1, 2), -1);
    EXPECT_EQ(_snwprintf(nullptr, 0, u"%99999999999999999999d", 1), INT_MAX);
    GuardedBuffer buffer(8);
    EXPECT_EQ(_snwprintf(buffer.data(), buffer.size(), u"%-2000000000d", 42), -1);
    EXPECT_BUFFER(buffer, u"42      ", false);
}

TEST(Wsprintf, StoresAtMost1023UnitsAndATerminator) {
    struct Case {
        size_t inputLength;
        size_t stored;
    } cases[] = {{1022, 1022}, {1023, 1023}, {1024, 1023}, {5000, 1023}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "input of " << c.inputLength << " units");
        const std::u16string input(c.inputLength, u'b');
        GuardedBuffer buffer(1024);
        EXPECT_EQ(wsprintfW(buffer.data(), u"%s", input.c_str()), static_cast<int>(c.stored));
        EXPECT_BUFFER(buffer, std::u16string(c.stored, u'b'), true);
    }
}

TEST(Wsprintf, NullBufferOrFormatFailsWithInvalidParameter) {
    GuardedBuffer buffer(4);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(wsprintfW(nullptr, u"%d", 1), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(wsprintfW(buffer.data(), nullptr), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_BUFFER(buffer, u"", false);
}

TEST(Snwprintf, NullArgumentsFailWithEinval) {
    GuardedBuffer buffer(4);
    const struct {
        WCHAR* buffer;
        size_t count;
        const WCHAR* format;
    } cases[] = {{buffer.data(), 4, nullptr}, {nullptr, 4, u"x"}};
    for (const auto& c : cases) {
        errno = 0;
        EXPECT_EQ(_snwprintf(c.buffer, c.count, c.format), -1);
        EXPECT_EQ(errno, EINVAL);
    }
    errno = 0;
    EXPECT_EQ(swprintf(nullptr, u"x"), -1);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_BUFFER(buffer, u"", false);
}
