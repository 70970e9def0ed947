// Activation, focus, foreground and enabling, with their messages.
#include <algorithm>
#include <atomic>

#include "platform/window/input.h"
#include "window_test_support.h"

namespace {

using namespace window_test;

class Focus : public WindowFixture {};

LPARAM lp(HWND hwnd) { return reinterpret_cast<LPARAM>(hwnd); }
WPARAM wp(HWND hwnd) { return reinterpret_cast<WPARAM>(hwnd); }

TEST_F(Focus, ShowingAnotherWindowMovesActivationAndFocus) {
    HWND a = makeWindow(WS_POPUP | WS_VISIBLE);
    HWND b = makeWindow(WS_POPUP);
    messageLog().clear();
    ShowWindow(b, SW_SHOW);
    EXPECT_SEQUENCE((std::vector<Expected>{{WM_SHOWWINDOW, b, TRUE},
                                           {WM_WINDOWPOSCHANGING, b},
                                           {WM_WINDOWPOSCHANGED, b},
                                           {WM_MOVE, b},
                                           {WM_SIZE, b},
                                           {WM_ACTIVATE, a, MAKEWPARAM(WA_INACTIVE, 0), lp(b)},
                                           {WM_ACTIVATE, b, MAKEWPARAM(WA_ACTIVE, 0), lp(a)},
                                           {WM_KILLFOCUS, a, wp(b)},
                                           {WM_SETFOCUS, b, wp(a)}}),
                    "show a second window");
    EXPECT_EQ(GetActiveWindow(), b);
    EXPECT_EQ(GetForegroundWindow(), b);

    // Hiding the active window passes activation on.
    messageLog().clear();
    ShowWindow(b, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), a);
    EXPECT_SEQUENCE_OF((std::vector<UINT>{WM_ACTIVATE}),
                       (std::vector<Expected>{{WM_ACTIVATE, b, MAKEWPARAM(WA_INACTIVE, 0), lp(a)},
                                              {WM_ACTIVATE, a, MAKEWPARAM(WA_ACTIVE, 0), lp(b)}}),
                       "hide the active window");
}

TEST_F(Focus, SetFocusWithinAndAcrossThreads) {
    HWND top = makeWindow(WS_POPUP | WS_VISIBLE);
    HWND child = makeWindow(WS_CHILD | WS_VISIBLE, top, 1);
    messageLog().clear();
    EXPECT_EQ(SetFocus(child), top);
    EXPECT_SEQUENCE((std::vector<Expected>{{WM_KILLFOCUS, top, wp(child)}, {WM_SETFOCUS, child, wp(top)}}),
                    "focus to a child");
    EXPECT_EQ(GetFocus(), child);
    EXPECT_EQ(SetFocus(nullptr), child);
    EXPECT_SEQUENCE((std::vector<Expected>{{WM_KILLFOCUS, child, 0}}), "focus to nobody");
    EXPECT_EQ(GetFocus(), nullptr);

    ForeignWindow other(false);
    HWND theirs = other.hwnd();
    SetFocus(child);
    SetLastError(kSentinel);
    EXPECT_EQ(SetFocus(theirs), nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_WINDOW_OF_OTHER_THREAD);
    EXPECT_EQ(GetFocus(), child);
    SetLastError(kSentinel);
    EXPECT_EQ(SetActiveWindow(theirs), nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_WINDOW_OF_OTHER_THREAD);
}

std::vector<HWND> zOrderOf(std::initializer_list<HWND> windows) {
    std::vector<HWND> order;
    for (HWND h = GetWindow(GetDesktopWindow(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        if (std::find(windows.begin(), windows.end(), h) != windows.end()) order.push_back(h);
    return order;
}

TEST_F(Focus, OwnerGroupsMoveTogetherAndBitZeroReactivatesTheOwnedPopup) {
    HWND owner = makeWindow(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, {0, 40, 200, 300}, u"owner");
    HWND box = makeWindow(WS_POPUP | WS_VISIBLE, owner, 0, 0, {20, 100, 180, 200}, u"box");
    HWND other = makeWindow(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, {0, 40, 240, 320}, u"other");
    EXPECT_EQ(zOrderOf({owner, box, other}), (std::vector<HWND>{other, box, owner}));

    EXPECT_TRUE(SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(owner) | 1)));
    EXPECT_EQ(GetForegroundWindow(), box) << "bit 0 reactivates the last active owned pop-up";
    EXPECT_EQ(zOrderOf({owner, box, other}), (std::vector<HWND>{box, owner, other}));

    EXPECT_TRUE(SetForegroundWindow(other));
    EXPECT_TRUE(SetForegroundWindow(owner));
    EXPECT_EQ(GetForegroundWindow(), owner) << "without bit 0 the window itself";
    EXPECT_EQ(zOrderOf({owner, box, other}), (std::vector<HWND>{box, owner, other})) << "the owned box stays in front";

    // Without a pop-up to reactivate, bit 0 activates the window itself.
    EXPECT_TRUE(SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(other) | 1)));
    EXPECT_EQ(GetForegroundWindow(), other);
}

TEST_F(Focus, DisablingTakesTheFocusAndReportsThePreviousState) {
    HWND top = makeWindow(WS_POPUP | WS_VISIBLE);
    HWND child = makeWindow(WS_CHILD | WS_VISIBLE, top, 1);
    SetFocus(child);
    messageLog().clear();
    EXPECT_FALSE(EnableWindow(top, FALSE)) << "it was enabled";
    EXPECT_SEQUENCE((std::vector<Expected>{{WM_KILLFOCUS, child, 0}, {WM_ENABLE, top, FALSE}}), "disable");
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_FALSE(IsWindowEnabled(top));
    EXPECT_TRUE(IsWindowEnabled(child)) << "a child keeps its own state";
    EXPECT_TRUE(EnableWindow(top, FALSE)) << "it was disabled";
    EXPECT_SEQUENCE((std::vector<Expected>{}), "disabling again sends nothing");
    EXPECT_TRUE(EnableWindow(top, TRUE));
    EXPECT_SEQUENCE((std::vector<Expected>{{WM_ENABLE, top, TRUE}}), "enable");
}

TEST_F(Focus, TheForegroundThreadGetsTheKeys) {
    static std::atomic<DWORD> keyThread;
    static std::atomic<int> activations;
    keyThread = 0;
    activations = 0;
    setHandler([](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_KEYDOWN && wParam == 'K') keyThread = GetCurrentThreadId();
        if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) ++activations;
        return std::nullopt;
    });
    HWND mine = makeWindow(WS_POPUP | WS_VISIBLE);
    EXPECT_EQ(GetForegroundWindow(), mine);
    ForeignWindow other(true);
    HWND theirs = other.hwnd();
    activations = 0;
    ASSERT_TRUE(SetForegroundWindow(theirs));
    EXPECT_EQ(GetForegroundWindow(), theirs);
    EXPECT_EQ(GetActiveWindow(), nullptr) << "this thread is in the background now";
    EXPECT_EQ(GetFocus(), nullptr);
    platform::window::deviceKey('K', true);
    platform::window::deviceKey('K', false);
    for (int i = 0; i < 200 && !keyThread; ++i) Sleep(5);
    EXPECT_EQ(keyThread.load(), other.threadId());
    EXPECT_EQ(activations.load(), 1);
}

}  // namespace

namespace {

TEST_F(Focus, RestackingKeepsTopmostWindowsInFront) {
    HWND topmost = makeWindow(WS_POPUP, nullptr, 0, WS_EX_TOPMOST);
    HWND a = makeWindow(WS_POPUP);
    HWND b = makeWindow(WS_POPUP);
    EXPECT_EQ(zOrderOf({topmost, a, b}), (std::vector<HWND>{topmost, b, a})) << "new windows go on top of their band";
    struct Case {
        const char* what;
        HWND hwnd;
        HWND after;
        std::vector<HWND> order;
    } cases[] = {
        {"to the top", a, HWND_TOP, {topmost, a, b}},
        {"to the bottom", a, HWND_BOTTOM, {topmost, b, a}},
        {"behind a given window", b, a, {topmost, a, b}},
        {"a normal window cannot pass a topmost one", b, HWND_TOP, {topmost, b, a}},
        {"made topmost", a, HWND_TOPMOST, {a, topmost, b}},
        {"no longer topmost", a, HWND_NOTOPMOST, {topmost, a, b}},
    };
    for (auto& c : cases) {
        ASSERT_TRUE(SetWindowPos(c.hwnd, c.after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE)) << c.what;
        EXPECT_EQ(zOrderOf({topmost, a, b}), c.order) << c.what;
    }
    EXPECT_EQ(GetWindowLongW(a, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

}  // namespace
