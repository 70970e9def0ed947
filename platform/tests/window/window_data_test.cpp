// What a window holds: its words (GetWindowLongW and the pointer-wide forms),
// its procedure, its text; and finding windows by class and title.
#include <algorithm>

#include "window_test_support.h"

namespace {

using namespace window_test;

class WindowData : public WindowFixture {};

TEST_F(WindowData, WordsByIndex) {
    HWND parent = makeWindow(WS_POPUP);
    HWND hwnd = makeWindow(WS_CHILD | WS_TABSTOP, parent, 33, WS_EX_CLIENTEDGE);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(GetWindowLongW(hwnd, GWL_STYLE), (LONG)(WS_CHILD | WS_TABSTOP));
    EXPECT_EQ(GetWindowLongW(hwnd, GWL_EXSTYLE), (LONG)WS_EX_CLIENTEDGE);
    EXPECT_EQ(GetWindowLongW(hwnd, GWL_ID), 33);
    EXPECT_EQ(GetWindowLongW(hwnd, GWL_USERDATA), 0);

    // The recording class has 12 extra bytes: the dialog words DWL_MSGRESULT, DWL_DLGPROC, DWL_USER.
    struct Case {
        int index;
        bool valid;
    } cases[] = {{GWL_USERDATA, true}, {GWL_ID, true}, {DWL_MSGRESULT, true}, {DWL_DLGPROC, true},
                 {DWL_USER, true},     {12, false},    {2, false},           {-1, false},
                 {-6, false},          {-8, false},    {1000, false}};
    for (auto& c : cases) {
        SetLastError(kSentinel);
        LONG previous = SetWindowLongW(hwnd, c.index, 0x5A5A0000 + c.index);
        if (c.valid) {
            EXPECT_EQ(GetLastError(), kSentinel) << c.index;
            EXPECT_EQ(GetWindowLongW(hwnd, c.index), 0x5A5A0000 + c.index) << c.index;
            EXPECT_EQ(SetWindowLongW(hwnd, c.index, previous), 0x5A5A0000 + c.index) << c.index;
        } else {
            EXPECT_EQ(previous, 0) << c.index;
            EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_INDEX) << c.index;
            SetLastError(kSentinel);
            EXPECT_EQ(GetWindowLongW(hwnd, c.index), 0) << c.index;
            EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_INDEX) << c.index;
        }
    }
    EXPECT_EQ(GetDlgCtrlID(hwnd), 33);
}

TEST_F(WindowData, PointersSurviveInTheWideWords) {
    HWND hwnd = makeWindow(WS_POPUP);
    int object = 0;
    const auto pointer = reinterpret_cast<LONG_PTR>(&object);
    for (int index : {GWL_USERDATA, DWL_USER}) {
        EXPECT_EQ(SetWindowLongPtrW(hwnd, index, pointer), 0) << index;
        EXPECT_EQ(GetWindowLongPtrW(hwnd, index), pointer) << index;
        // The LONG form sees the low 32 bits of the same word.
        EXPECT_EQ(GetWindowLongW(hwnd, index), static_cast<LONG>(pointer)) << index;
    }
}

LRESULT CALLBACK CountingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
WNDPROC previousProc;
int counted;

LRESULT CALLBACK CountingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) ++counted;
    return CallWindowProcW(previousProc, hwnd, message, wParam, lParam);
}

TEST_F(WindowData, SubclassingThroughTheProcedureWord) {
    HWND hwnd = makeWindow(WS_POPUP);
    counted = 0;
    // The LONG form hands out a value CallWindowProcW takes back, whatever the pointer width.
    LONG asLong = GetWindowLongW(hwnd, GWL_WNDPROC);
    EXPECT_NE(asLong, 0);
    previousProc = reinterpret_cast<WNDPROC>(static_cast<LONG_PTR>(asLong));
    LONG replaced = SetWindowLongW(hwnd, GWL_WNDPROC, static_cast<LONG>(
                                                          GetWindowLongW(hwnd, GWL_WNDPROC)));
    EXPECT_EQ(replaced, asLong);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(RecordingProc));

    EXPECT_EQ(SetWindowLongPtrW(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc)),
              reinterpret_cast<LONG_PTR>(RecordingProc));
    messageLog().clear();
    SendMessageW(hwnd, WM_USER, 1, 2);
    EXPECT_EQ(counted, 1);
    EXPECT_SEQUENCE((std::vector<Expected>{{WM_USER, hwnd, 1, 2}}), "through the subclass to the class procedure");

    SetLastError(kSentinel);
    if (sizeof(void*) > sizeof(LONG)) {
        // A LONG that was never handed out cannot be a procedure on a wide host.
        EXPECT_EQ(SetWindowLongW(hwnd, GWL_WNDPROC, 0x1234), 0);
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
    }
    EXPECT_EQ(SetWindowLongPtrW(hwnd, GWL_WNDPROC, 0), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(CountingProc));
}

TEST_F(WindowData, StyleChangesAreAnnounced) {
    HWND hwnd = makeWindow(WS_POPUP);
    static STYLESTRUCT changing, changed;
    setHandler([](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_STYLECHANGING) changing = *reinterpret_cast<STYLESTRUCT*>(lParam);
        if (message == WM_STYLECHANGED) changed = *reinterpret_cast<STYLESTRUCT*>(lParam);
        return std::nullopt;
    });
    messageLog().clear();
    EXPECT_EQ(SetWindowLongW(hwnd, GWL_STYLE, WS_POPUP | WS_BORDER), (LONG)WS_POPUP);
    EXPECT_SEQUENCE((std::vector<Expected>{{WM_STYLECHANGING, hwnd, (WPARAM)GWL_STYLE},
                                           {WM_STYLECHANGED, hwnd, (WPARAM)GWL_STYLE}}),
                    "style change");
    EXPECT_EQ(changing.styleOld, (DWORD)WS_POPUP);
    EXPECT_EQ(changed.styleNew, (DWORD)(WS_POPUP | WS_BORDER));
    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 98);  // the new border takes a pixel on each side
}

TEST_F(WindowData, TextWithGuardsAndTruncation) {
    HWND hwnd = makeWindow(WS_POPUP, nullptr, 0, 0, {0, 0, 10, 10}, u"initial");
    messageLog().clear();
    ASSERT_TRUE(SetWindowTextW(hwnd, u"\uD55C\uAE00 title"));
    EXPECT_SEQUENCE((std::vector<Expected>{{WM_SETTEXT, hwnd, 0}}), "SetWindowTextW");
    EXPECT_EQ(GetWindowTextLengthW(hwnd), 8);
    struct Case {
        int capacity;
        int expected;
        const char16_t* text;
    } cases[] = {{1, 0, u""}, {3, 2, u"\uD55C\uAE00"}, {9, 8, u"\uD55C\uAE00 title"}, {20, 8, u"\uD55C\uAE00 title"}};
    for (auto& c : cases) {
        WCHAR buffer[24];
        std::fill(std::begin(buffer), std::end(buffer), WCHAR(0xBEEF));
        EXPECT_EQ(GetWindowTextW(hwnd, buffer, c.capacity), c.expected) << c.capacity;
        EXPECT_EQ(std::u16string(buffer), c.text) << c.capacity;
        EXPECT_EQ(buffer[c.capacity], WCHAR(0xBEEF)) << c.capacity;
    }
    ASSERT_TRUE(SetWindowTextW(hwnd, nullptr));
    EXPECT_EQ(GetWindowTextLengthW(hwnd), 0);

    WCHAR untouched[2] = {u'q', 0};
    SetLastError(kSentinel);
    EXPECT_EQ(GetWindowTextW(hwnd, untouched, 0), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
    EXPECT_EQ(untouched[0], u'q');
}

TEST_F(WindowData, AnotherThreadReadsTheTextWithoutWaiting) {
    HWND hwnd = makeWindow(WS_POPUP, nullptr, 0, 0, {0, 0, 10, 10}, u"mine");
    WCHAR seen[16] = {};
    int length = -1;
    {
        // This thread is not pumping messages, yet the other thread gets the text.
        DeviceThread other([&] {
            length = GetWindowTextW(hwnd, seen, 16);
        });
    }
    EXPECT_EQ(length, 4);
    EXPECT_EQ(std::u16string(seen), u"mine");
}

BOOL CALLBACK Collect(HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK StopAtSecond(HWND hwnd, LPARAM list) {
    auto& seen = *reinterpret_cast<std::vector<HWND>*>(list);
    seen.push_back(hwnd);
    return seen.size() < 2;
}

TEST_F(WindowData, EnumerationAndFindingGoTopFirstAndIncludeHiddenWindows) {
    HWND first = makeWindow(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, {0, 40, 50, 90}, u"First");
    HWND second = makeWindow(WS_POPUP, nullptr, 0, 0, {0, 40, 50, 90}, u"Second");
    HWND child = makeWindow(WS_CHILD | WS_VISIBLE, first, 3, 0, {0, 0, 5, 5}, u"Second");
    HWND third = makeWindow(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, {0, 40, 50, 90}, u"Third");
    std::vector<HWND> all;
    EXPECT_TRUE(EnumWindows(Collect, reinterpret_cast<LPARAM>(&all)));
    auto position = [&](HWND h) { return std::find(all.begin(), all.end(), h) - all.begin(); };
    EXPECT_LT(position(third), position(second));
    EXPECT_LT(position(second), position(first));
    EXPECT_EQ(std::find(all.begin(), all.end(), child), all.end()) << "children are not top-level";

    std::vector<HWND> stopped;
    EXPECT_FALSE(EnumWindows(StopAtSecond, reinterpret_cast<LPARAM>(&stopped)));
    EXPECT_EQ(stopped.size(), 2u);
    SetLastError(kSentinel);
    EXPECT_FALSE(EnumWindows(nullptr, 0));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);

    struct Case {
        const WCHAR* cls;
        const WCHAR* title;
        HWND expected;
    } cases[] = {{nullptr, u"second", second}, {u"recordingwindow", u"First", first},
                 {kRecordingClass, nullptr, third}, {u"NoSuchClass", u"First", nullptr},
                 {nullptr, u"Fourth", nullptr}};
    for (auto& c : cases) EXPECT_EQ(FindWindowW(c.cls, c.title), c.expected);
}

}  // namespace
