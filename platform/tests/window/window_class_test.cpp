// Window classes: registration, lookup, removal, and their bad input.
#include <cstring>

#include "window_test_support.h"

namespace {

using namespace window_test;

LRESULT CALLBACK PlainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

WNDCLASSW classNamed(const WCHAR* name) {
    WNDCLASSW cls{};
    cls.lpfnWndProc = PlainProc;
    cls.lpszClassName = name;
    return cls;
}

class WindowClass : public WindowFixture {};

TEST_F(WindowClass, BadRecordsAreRefused) {
    WCHAR longName[300];
    std::fill(std::begin(longName), std::end(longName), u'x');
    longName[299] = 0;
    struct Case {
        const char* what;
        WNDCLASSW record;
    } cases[] = {
        {"no procedure", [] { auto c = classNamed(u"A"); c.lpfnWndProc = nullptr; return c; }()},
        {"no name", [] { auto c = classNamed(nullptr); return c; }()},
        {"empty name", classNamed(u"")},
        {"name too long", classNamed(longName)},
        {"negative window bytes", [] { auto c = classNamed(u"A"); c.cbWndExtra = -4; return c; }()},
        {"negative class bytes", [] { auto c = classNamed(u"A"); c.cbClsExtra = -1; return c; }()},
    };
    for (auto& c : cases) {
        SetLastError(kSentinel);
        EXPECT_EQ(RegisterClassW(&c.record), 0) << c.what;
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER) << c.what;
    }
    SetLastError(kSentinel);
    EXPECT_EQ(RegisterClassW(nullptr), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
}

TEST_F(WindowClass, NamesAreUniquePerModuleAndCaseInsensitive) {
    WNDCLASSW cls = classNamed(u"Unique");
    ATOM atom = RegisterClassW(&cls);
    ASSERT_NE(atom, 0);
    WNDCLASSW again = classNamed(u"UNIQUE");
    SetLastError(kSentinel);
    EXPECT_EQ(RegisterClassW(&again), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_CLASS_ALREADY_EXISTS);
    // Another module of the same process may use the name.
    again.hInstance = reinterpret_cast<HINSTANCE>(0x10000);
    EXPECT_NE(RegisterClassW(&again), 0);
    EXPECT_TRUE(UnregisterClassW(u"unique", reinterpret_cast<HINSTANCE>(0x10000)));
    // A window can be made from the atom as well as from the name.
    HWND byAtom = CreateWindowExW(0, MAKEINTATOM(atom), u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(byAtom, nullptr);
    WCHAR name[16];
    EXPECT_EQ(GetClassNameW(byAtom, name, 16), 6);
    EXPECT_EQ(std::u16string(name), u"Unique");
    DestroyWindow(byAtom);
    EXPECT_TRUE(UnregisterClassW(u"Unique", nullptr));
}

TEST_F(WindowClass, InfoOfAClassAndTheSentinelOnFailure) {
    WNDCLASSW cls = classNamed(u"Info");
    cls.style = CS_HREDRAW | CS_VREDRAW;
    cls.cbWndExtra = 8;
    cls.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    ASSERT_NE(RegisterClassW(&cls), 0);

    WNDCLASSW info;
    std::memset(&info, 0xEF, sizeof info);
    ASSERT_TRUE(GetClassInfoW(nullptr, u"info", &info));
    EXPECT_EQ(info.style, (UINT)(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(info.lpfnWndProc, PlainProc);
    EXPECT_EQ(info.cbWndExtra, 8);
    EXPECT_EQ(info.hbrBackground, cls.hbrBackground);
    EXPECT_EQ(std::u16string(info.lpszClassName), u"Info");

    WNDCLASSW untouched;
    std::memset(&untouched, 0xEF, sizeof untouched);
    WNDCLASSW before = untouched;
    SetLastError(kSentinel);
    EXPECT_FALSE(GetClassInfoW(nullptr, u"NoSuchClass", &untouched));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_CLASS_DOES_NOT_EXIST);
    EXPECT_EQ(std::memcmp(&before, &untouched, sizeof before), 0);
    EXPECT_TRUE(UnregisterClassW(u"Info", nullptr));
}

TEST_F(WindowClass, AClassWithWindowsStays) {
    WNDCLASSW cls = classNamed(u"Busy");
    ASSERT_NE(RegisterClassW(&cls), 0);
    HWND hwnd = CreateWindowExW(0, u"Busy", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    SetLastError(kSentinel);
    EXPECT_FALSE(UnregisterClassW(u"Busy", nullptr));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_CLASS_HAS_WINDOWS);
    DestroyWindow(hwnd);
    EXPECT_TRUE(UnregisterClassW(u"Busy", nullptr));
    SetLastError(kSentinel);
    EXPECT_FALSE(UnregisterClassW(u"Busy", nullptr));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_CLASS_DOES_NOT_EXIST);
    SetLastError(kSentinel);
    EXPECT_EQ(CreateWindowExW(0, u"Busy", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_CANNOT_FIND_WND_CLASS);
}

TEST_F(WindowClass, ClassNameIsTruncatedToTheBuffer) {
    HWND hwnd = makeWindow(WS_POPUP);
    ASSERT_NE(hwnd, nullptr);
    struct Case {
        int capacity;
        int expected;
        const char16_t* text;
    } cases[] = {{1, 0, u""}, {4, 3, u"Rec"}, {16, 15, u"RecordingWindow"}, {40, 15, u"RecordingWindow"}};
    for (const auto& c : cases) {
        WCHAR buffer[48];
        std::fill(std::begin(buffer), std::end(buffer), WCHAR(0xBEEF));
        EXPECT_EQ(GetClassNameW(hwnd, buffer, c.capacity), c.expected) << c.capacity;
        EXPECT_EQ(std::u16string(buffer), c.text) << c.capacity;
        EXPECT_EQ(buffer[c.capacity], WCHAR(0xBEEF)) << "guard after " << c.capacity;
    }
    WCHAR buffer[4] = {u'a', u'b', u'c', 0};
    SetLastError(kSentinel);
    EXPECT_EQ(GetClassNameW(hwnd, buffer, 0), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
    EXPECT_EQ(buffer[0], u'a');
}

}  // namespace
