// wcstol, wcstoul and _wtoi: the C library's rules, with the device's 32-bit long.
#include <gtest/gtest.h>
#include <tchar.h>

#include <cerrno>
#include <cstdint>
#include <string>

namespace {

constexpr int kErrnoSentinel = 0x5EB7;  // errno is left alone unless a call fails

struct Case {
    int line;
    const WCHAR* text;
    int base;
    int64_t value;
    size_t endOffset;  // where parsing stopped
    int error;         // errno afterwards: kErrnoSentinel, ERANGE or EINVAL
};

#define CASE(...) \
    Case { __LINE__, __VA_ARGS__ }

template <class Parse>
void expectParses(const Case& c, Parse parse) {
    ::testing::ScopedTrace trace(
        __FILE__, c.line,
        ::testing::PrintToString(std::u16string(c.text)) + " base " + std::to_string(c.base));
    WCHAR* end = reinterpret_cast<WCHAR*>(static_cast<uintptr_t>(0xdeadbeef));
    errno = kErrnoSentinel;
    EXPECT_EQ(static_cast<int64_t>(parse(c.text, &end, c.base)), c.value);
    EXPECT_EQ(end, c.text + c.endOffset);
    EXPECT_EQ(errno, c.error);
}

constexpr int ok = kErrnoSentinel;

}  // namespace

TEST(WideNumber, SignedParsing) {
    const Case cases[] = {
        CASE(u"123", 10, 123, 3, ok),
        CASE(u" \t\n-42xyz", 10, -42, 6, ok),
        CASE(u"+7", 10, 7, 2, ok),
        CASE(u"\u3000 12", 10, 12, 4, ok),
        CASE(u"0x1A", 0, 26, 4, ok),
        CASE(u"-0X1a", 16, -26, 5, ok),
        CASE(u"1A", 16, 26, 2, ok),
        CASE(u"010", 0, 8, 3, ok),
        CASE(u"08", 0, 0, 1, ok),  // 8 is no octal digit
        CASE(u"0x", 0, 0, 1, ok),  // no hex digit: the "0" is the number
        CASE(u"0xg", 16, 0, 1, ok),
        CASE(u"101", 2, 5, 3, ok),
        CASE(u"zZ", 36, 1295, 2, ok),
        CASE(u"", 10, 0, 0, ok),  // nothing parsed: end is the start
        CASE(u"   ", 10, 0, 0, ok),
        CASE(u"-", 10, 0, 0, ok),
        CASE(u"+ 1", 10, 0, 0, ok),
        CASE(u"abc", 10, 0, 0, ok),
        CASE(u"１２", 10, 0, 0, ok),  // fullwidth digits are not digits
        CASE(u"2147483647", 10, 2147483647, 10, ok),
        CASE(u"2147483648", 10, 2147483647, 10, ERANGE),
        CASE(u"-2147483648", 10, -2147483648LL, 11, ok),
        CASE(u"-2147483649", 10, -2147483648LL, 11, ERANGE),
        CASE(u"99999999999999999999999x", 10, 2147483647, 23, ERANGE),
        CASE(u"0x80000000", 0, 2147483647, 10, ERANGE),
        CASE(u"12", 1, 0, 0, EINVAL),
        CASE(u"12", 37, 0, 0, EINVAL),
        CASE(u"12", -1, 0, 0, EINVAL),
    };
    for (const Case& c : cases) expectParses(c, [](auto... a) { return wcstol(a...); });
}

TEST(WideNumber, UnsignedParsingNegatesOnMinus) {
    const Case cases[] = {
        CASE(u"4294967295", 10, 0xFFFFFFFF, 10, ok),
        CASE(u"4294967296", 10, 0xFFFFFFFF, 10, ERANGE),
        CASE(u"0xFFFFFFFF", 0, 0xFFFFFFFF, 10, ok),
        CASE(u"  +0x10", 16, 16, 7, ok),
        CASE(u"-1", 10, 0xFFFFFFFF, 2, ok),
        CASE(u"-4294967295", 10, 1, 11, ok),
        CASE(u"-4294967296", 10, 0xFFFFFFFF, 11, ERANGE),
        CASE(u"-", 10, 0, 0, ok),
        CASE(u"7", 40, 0, 0, EINVAL),
    };
    for (const Case& c : cases) expectParses(c, [](auto... a) { return wcstoul(a...); });
}

TEST(WideNumber, EndPointerIsOptionalAndNullTextParsesNothing) {
    EXPECT_EQ(wcstol(u"-15", nullptr, 10), -15);
    EXPECT_EQ(wcstoul(u"15", nullptr, 0), 15u);
    WCHAR* end = reinterpret_cast<WCHAR*>(static_cast<uintptr_t>(0xdeadbeef));
    EXPECT_EQ(wcstol(nullptr, &end, 10), 0);
    EXPECT_EQ(end, nullptr);
}

TEST(WideNumber, Wtoi) {
    EXPECT_EQ(_wtoi(u"  -12abc"), -12);
    EXPECT_EQ(_wtoi(u"0x10"), 0);  // decimal only
    EXPECT_EQ(_wtoi(u"x"), 0);
    EXPECT_EQ(_wtoi(u"99999999999"), 2147483647);
    EXPECT_EQ(_wtoi(nullptr), 0);
}
