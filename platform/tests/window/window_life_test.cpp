// Windows from creation to destruction: the messages on the way, CREATESTRUCTW,
// CW_USEDEFAULT, parents and owners, and handles that no longer name a window.
#include "window_test_support.h"

namespace {

using namespace window_test;

class WindowLife : public WindowFixture {};

TEST_F(WindowLife, VisiblePopupIsCreatedShownAndActivated) {
    HWND hwnd = makeWindow(WS_POPUP | WS_CAPTION | WS_VISIBLE);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_SEQUENCE((std::vector<Expected>{{WM_NCCREATE, hwnd},
                                           {WM_CREATE, hwnd},
                                           {WM_SHOWWINDOW, hwnd, TRUE},
                                           {WM_WINDOWPOSCHANGING, hwnd},
                                           {WM_WINDOWPOSCHANGED, hwnd},
                                           {WM_MOVE, hwnd},
                                           {WM_SIZE, hwnd, SIZE_RESTORED},
                                           {WM_ACTIVATE, hwnd, MAKEWPARAM(WA_ACTIVE, 0), 0},
                                           {WM_SETFOCUS, hwnd, 0}}),
                    "visible pop-up");
    EXPECT_EQ(GetActiveWindow(), hwnd);
    EXPECT_EQ(GetFocus(), hwnd);
    EXPECT_EQ(GetForegroundWindow(), hwnd);
}

TEST_F(WindowLife, FirstSizeNotificationComesWithTheFirstShow) {
    HWND hwnd = makeWindow(WS_POPUP);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_SEQUENCE((std::vector<Expected>{{WM_NCCREATE}, {WM_CREATE}}), "hidden creation");

    // A resize while hidden notifies at once; the program must cope with it.
    ASSERT_TRUE(MoveWindow(hwnd, 10, 40, 50, 60, TRUE));
    EXPECT_SEQUENCE((std::vector<Expected>{{WM_WINDOWPOSCHANGING, hwnd},
                                           {WM_WINDOWPOSCHANGED, hwnd},
                                           {WM_SIZE, hwnd, SIZE_RESTORED, MAKELPARAM(50, 60)}}),
                    "resized while hidden");

    EXPECT_FALSE(ShowWindow(hwnd, SW_SHOWNA));
    EXPECT_SEQUENCE((std::vector<Expected>{{WM_SHOWWINDOW, hwnd, TRUE},
                                           {WM_WINDOWPOSCHANGING, hwnd},
                                           {WM_WINDOWPOSCHANGED, hwnd},
                                           {WM_MOVE, hwnd, 0, MAKELPARAM(10, 40)},
                                           {WM_SIZE, hwnd, SIZE_RESTORED, MAKELPARAM(50, 60)}}),
                    "first show");

    // Hiding and showing again changes neither place nor size.
    EXPECT_TRUE(ShowWindow(hwnd, SW_HIDE));
    EXPECT_FALSE(ShowWindow(hwnd, SW_SHOWNA));
    EXPECT_SEQUENCE_OF((std::vector<UINT>{WM_MOVE, WM_SIZE}), (std::vector<Expected>{}), "second show");
}

TEST_F(WindowLife, CreationMessagesCarryTheCreateStruct) {
    static CREATESTRUCTW seen;
    static int calls;
    calls = 0;
    setHandler([](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_CREATE) {
            seen = *reinterpret_cast<CREATESTRUCTW*>(lParam);
            ++calls;
        }
        return std::nullopt;
    });
    int cookie = 0;
    HWND parent = makeWindow(WS_POPUP);
    HWND child = CreateWindowExW(WS_EX_CLIENTEDGE, kRecordingClass, u"child", WS_CHILD, 5, 6, 70, 80, parent,
                                 reinterpret_cast<HMENU>(42), nullptr, &cookie);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(seen.lpCreateParams, &cookie);
    EXPECT_EQ(seen.hwndParent, parent);
    EXPECT_EQ(seen.hMenu, reinterpret_cast<HMENU>(42));
    EXPECT_EQ((seen.x), 5);
    EXPECT_EQ((seen.y), 6);
    EXPECT_EQ((seen.cx), 70);
    EXPECT_EQ((seen.cy), 80);
    EXPECT_EQ(seen.style, (LONG)WS_CHILD);
    EXPECT_EQ(seen.dwExStyle, (DWORD)WS_EX_CLIENTEDGE);
    EXPECT_EQ(std::u16string(seen.lpszName), u"child");
    EXPECT_EQ(GetDlgCtrlID(child), 42);
}

TEST_F(WindowLife, RefusedCreationLeavesNoWindow) {
    struct Case {
        const char* what;
        UINT refused;
        LRESULT answer;
        std::vector<Expected> sequence;
    } cases[] = {
        {"WM_NCCREATE answers FALSE", WM_NCCREATE, FALSE, {{WM_NCCREATE}, {WM_NCDESTROY}}},
        {"WM_CREATE answers -1", WM_CREATE, -1, {{WM_NCCREATE}, {WM_CREATE}, {WM_DESTROY}, {WM_NCDESTROY}}},
    };
    for (auto& c : cases) {
        static UINT refused;
        static LRESULT answer;
        static HWND made;
        refused = c.refused;
        answer = c.answer;
        setHandler([](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
            made = hwnd;
            if (message == refused) return answer;
            return std::nullopt;
        });
        EXPECT_EQ(makeWindow(WS_POPUP | WS_VISIBLE), nullptr) << c.what;
        EXPECT_SEQUENCE(c.sequence, c.what);
        EXPECT_FALSE(IsWindow(made)) << c.what;
    }
}

TEST_F(WindowLife, DefaultPlacementFillsTheWorkAreaForTopLevelWindowsOnly) {
    HWND top = CreateWindowExW(0, kRecordingClass, u"", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    HWND child = CreateWindowExW(0, kRecordingClass, u"", WS_CHILD, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, top, nullptr, nullptr, nullptr);
    HWND corner = CreateWindowExW(0, kRecordingClass, u"", WS_POPUP, 20, 50, CW_USEDEFAULT, 0, nullptr, nullptr,
                                  nullptr, nullptr);
    struct Case {
        HWND hwnd;
        RECT expected;
    } cases[] = {{top, {0, 26, 240, 320}}, {child, {0, 26, 0, 26}}, {corner, {20, 50, 240, 320}}};
    for (auto& c : cases) {
        RECT rect{1, 2, 3, 4};
        ASSERT_TRUE(GetWindowRect(c.hwnd, &rect));
        EXPECT_EQ(rect.left, c.expected.left);
        EXPECT_EQ(rect.top, c.expected.top);
        EXPECT_EQ(rect.right, c.expected.right);
        EXPECT_EQ(rect.bottom, c.expected.bottom);
    }
}

TEST_F(WindowLife, ParentsOwnersAndTheirRelations) {
    HWND owner = makeWindow(WS_POPUP);
    HWND child = makeWindow(WS_CHILD, owner, 7);
    HWND second = makeWindow(WS_CHILD, owner, 8);
    HWND popup = makeWindow(WS_POPUP, child);  // a child as owner means its top-level window
    HWND overlapped = makeWindow(WS_OVERLAPPED, owner, 9);  // given a parent, it becomes a child
    ASSERT_TRUE(owner && child && second && popup && overlapped);

    EXPECT_EQ(GetParent(child), owner);
    EXPECT_EQ(GetParent(popup), owner);
    EXPECT_EQ(GetWindow(popup, GW_OWNER), owner);
    EXPECT_EQ(GetParent(owner), nullptr);
    EXPECT_EQ(GetParent(overlapped), owner);
    EXPECT_TRUE(GetWindowLongW(overlapped, GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(GetWindow(overlapped, GW_OWNER), nullptr);
    EXPECT_TRUE(IsChild(owner, child));
    EXPECT_FALSE(IsChild(owner, popup));

    // Children keep the order they were made in; top-level windows the newest first.
    EXPECT_EQ(GetWindow(owner, GW_CHILD), child);
    EXPECT_EQ(GetWindow(child, GW_HWNDNEXT), second);
    EXPECT_EQ(GetWindow(second, GW_HWNDPREV), child);
    EXPECT_EQ(GetWindow(child, GW_HWNDLAST), overlapped);
    EXPECT_EQ(GetWindow(overlapped, GW_HWNDNEXT), nullptr);
    EXPECT_EQ(GetWindow(GetDesktopWindow(), GW_CHILD), popup);

    EXPECT_EQ(GetDlgItem(owner, 8), second);
    SetLastError(kSentinel);
    EXPECT_EQ(GetDlgItem(owner, 99), nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_CONTROL_ID_NOT_FOUND);
    EXPECT_EQ(GetDlgCtrlID(owner), 0);

    SetLastError(kSentinel);
    EXPECT_EQ(CreateWindowExW(0, kRecordingClass, u"", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_TLW_WITH_WSCHILD);
}

TEST_F(WindowLife, DestructionTakesOwnedWindowsFirstThenTheWindowThenItsChildren) {
    HWND owner = makeWindow(WS_POPUP | WS_VISIBLE);
    HWND child = makeWindow(WS_CHILD | WS_VISIBLE, owner, 1);
    HWND grandchild = makeWindow(WS_CHILD | WS_VISIBLE, child, 2);
    HWND owned = makeWindow(WS_POPUP | WS_VISIBLE, owner);
    static bool childAliveInOwnerDestroy;
    childAliveInOwnerDestroy = false;
    static HWND watchedOwner, watchedChild;
    watchedOwner = owner;
    watchedChild = child;
    setHandler([](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_DESTROY && hwnd == watchedOwner) childAliveInOwnerDestroy = IsWindow(watchedChild);
        return std::nullopt;
    });
    messageLog().clear();
    ASSERT_TRUE(DestroyWindow(owner));
    EXPECT_SEQUENCE_OF((std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}),
                       (std::vector<Expected>{{WM_DESTROY, owned},
                                              {WM_NCDESTROY, owned},
                                              {WM_DESTROY, owner},
                                              {WM_DESTROY, child},
                                              {WM_DESTROY, grandchild},
                                              {WM_NCDESTROY, grandchild},
                                              {WM_NCDESTROY, child},
                                              {WM_NCDESTROY, owner}}),
                       "destruction order");
    EXPECT_TRUE(childAliveInOwnerDestroy);
    for (HWND hwnd : {owner, child, grandchild, owned}) EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WindowLife, HandlesKeepBitZeroClearAndGoStaleWhenDestroyed) {
    HWND hwnd = makeWindow(WS_POPUP);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(hwnd) & 1, 0u);
    HWND withBit = reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(hwnd) | 1);
    ASSERT_TRUE(DestroyWindow(hwnd));
    HWND next = makeWindow(WS_POPUP);  // may take the same slot, never the same handle
    EXPECT_NE(next, hwnd);

    RECT rect{};
    WCHAR text[8];
    struct Case {
        const char* what;
        std::function<BOOL(HWND)> call;
    } calls[] = {
        {"DestroyWindow", [](HWND h) { return DestroyWindow(h); }},
        {"ShowWindow", [](HWND h) { return ShowWindow(h, SW_SHOW); }},
        {"MoveWindow", [](HWND h) { return MoveWindow(h, 0, 0, 5, 5, TRUE); }},
        {"GetWindowRect", [&](HWND h) { return GetWindowRect(h, &rect); }},
        {"GetClientRect", [&](HWND h) { return GetClientRect(h, &rect); }},
        {"SetWindowTextW", [](HWND h) { return SetWindowTextW(h, u"x"); }},
        {"GetWindowTextW", [&](HWND h) { return static_cast<BOOL>(GetWindowTextW(h, text, 8)); }},
        {"PostMessageW", [](HWND h) { return PostMessageW(h, WM_USER, 0, 0); }},
        {"SendMessageW", [](HWND h) { return static_cast<BOOL>(SendMessageW(h, WM_USER, 0, 0)); }},
        {"EnableWindow", [](HWND h) { return EnableWindow(h, FALSE); }},
        {"InvalidateRect", [](HWND h) { return InvalidateRect(h, nullptr, TRUE); }},
        {"GetWindowLongW", [](HWND h) { return static_cast<BOOL>(GetWindowLongW(h, GWL_STYLE)); }},
        {"SetForegroundWindow", [](HWND h) { return SetForegroundWindow(h); }},
        {"RegisterHotKey", [](HWND h) { return RegisterHotKey(h, 1, 0, 'Z'); }},
    };
    for (HWND bad : {hwnd, withBit, reinterpret_cast<HWND>(0x12340), static_cast<HWND>(nullptr)}) {
        for (auto& c : calls) {
            // Without a window these mean the thread, or every window.
            const std::string what = c.what;
            if (!bad && (what == "PostMessageW" || what == "RegisterHotKey" || what == "InvalidateRect")) continue;
            SetLastError(kSentinel);
            EXPECT_FALSE(c.call(bad)) << c.what << " " << bad;
            EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_WINDOW_HANDLE) << c.what << " " << bad;
        }
        EXPECT_FALSE(IsWindow(bad));
    }
}

TEST_F(WindowLife, AnotherThreadCannotDestroyTheWindow) {
    HWND hwnd = makeWindow(WS_POPUP);
    DWORD error = 0;
    BOOL result = TRUE;
    {
        DeviceThread other([&] {
            SetLastError(kSentinel);
            result = DestroyWindow(hwnd);
            error = GetLastError();
        });
    }
    EXPECT_FALSE(result);
    EXPECT_EQ(error, (DWORD)ERROR_ACCESS_DENIED);
    EXPECT_TRUE(IsWindow(hwnd));
}

}  // namespace
