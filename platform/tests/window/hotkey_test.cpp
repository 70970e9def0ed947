// Hotkeys: registration rules, matching with exact modifiers, MOD_KEYUP, keys
// injected with keybd_event, and the input log.
#include "platform/window/input.h"
#include "window_test_support.h"

namespace {

using namespace window_test;
using platform::window::InputDelivery;

class Hotkeys : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        service = makeWindow(WS_POPUP);  // hidden, like a service window
        focus = makeWindow(WS_POPUP | WS_VISIBLE);
        pumpMessages();
        platform::window::clearInputLog();
        messageLog().clear();
    }
    void press(BYTE vk, bool down) { platform::window::deviceKey(vk, down); }
    void run() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    HWND service = nullptr;
    HWND focus = nullptr;
};

TEST_F(Hotkeys, RegistrationRules) {
    HWND other = makeWindow(WS_POPUP);
    ASSERT_TRUE(RegisterHotKey(service, 1, MOD_CONTROL, 'Q'));
    struct Case {
        const char* what;
        HWND hwnd;
        int id;
        UINT modifiers, vk;
        DWORD error;  // 0: succeeds
    } cases[] = {
        {"the same combination for another window", other, 1, MOD_CONTROL, 'Q', ERROR_HOTKEY_ALREADY_REGISTERED},
        {"the same combination under another id", service, 2, MOD_CONTROL, 'Q', ERROR_HOTKEY_ALREADY_REGISTERED},
        {"the same combination on key up", other, 3, MOD_CONTROL | MOD_KEYUP, 'Q', ERROR_HOTKEY_ALREADY_REGISTERED},
        {"other modifiers", other, 4, MOD_CONTROL | MOD_SHIFT, 'Q', 0},
        {"an unknown modifier bit", other, 5, 0x0100, 'Q', ERROR_INVALID_PARAMETER},
        {"no key", other, 6, 0, 0, ERROR_INVALID_PARAMETER},
        {"key 255", other, 7, 0, 0xFF, ERROR_INVALID_PARAMETER},
        {"a destroyed window", reinterpret_cast<HWND>(0x12340), 8, 0, 'W', ERROR_INVALID_WINDOW_HANDLE},
        {"the same id again replaces the combination", service, 1, MOD_ALT, 'Q', 0},
        {"the old combination is free then", other, 9, MOD_CONTROL, 'Q', 0},
    };
    for (auto& c : cases) {
        SetLastError(kSentinel);
        BOOL ok = RegisterHotKey(c.hwnd, c.id, c.modifiers, c.vk);
        EXPECT_EQ(ok, c.error == 0) << c.what;
        EXPECT_EQ(GetLastError(), c.error ? c.error : kSentinel) << c.what;
    }
    SetLastError(kSentinel);
    EXPECT_FALSE(UnregisterHotKey(service, 77));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_HOTKEY_NOT_REGISTERED);
    EXPECT_TRUE(UnregisterHotKey(service, 1));
    EXPECT_FALSE(UnregisterHotKey(service, 1));

    DWORD error = 0;
    {
        DeviceThread thread([&] {
            SetLastError(kSentinel);
            RegisterHotKey(service, 10, 0, 'Z');
            error = GetLastError();
        });
    }
    EXPECT_EQ(error, (DWORD)ERROR_WINDOW_OF_OTHER_THREAD);
}

TEST_F(Hotkeys, AMatchingKeyBecomesWmHotkeyInsteadOfReachingTheFocus) {
    ASSERT_TRUE(RegisterHotKey(service, 5, MOD_CONTROL, 'Q'));
    press(VK_CONTROL, true);
    press('Q', true);
    press('Q', false);
    press(VK_CONTROL, false);
    press('Q', true);  // without the modifier: an ordinary key
    press('Q', false);
    press(VK_SHIFT, true);
    press(VK_CONTROL, true);
    press('Q', true);  // more modifiers than registered: no match
    press('Q', false);
    press(VK_CONTROL, false);
    press(VK_SHIFT, false);
    run();
    EXPECT_SEQUENCE_OF((std::vector<UINT>{WM_KEYDOWN, WM_KEYUP, WM_HOTKEY}),
                       // Posted messages come before input: the hotkey is read first.
                       (std::vector<Expected>{{WM_HOTKEY, service, 5, MAKELPARAM(MOD_CONTROL, 'Q')},
                                              {WM_KEYDOWN, focus, VK_CONTROL},
                                              {WM_KEYUP, focus, 'Q'},
                                              {WM_KEYUP, focus, VK_CONTROL},
                                              {WM_KEYDOWN, focus, 'Q'},
                                              {WM_KEYUP, focus, 'Q'},
                                              {WM_KEYDOWN, focus, VK_SHIFT},
                                              {WM_KEYDOWN, focus, VK_CONTROL},
                                              {WM_KEYDOWN, focus, 'Q'},
                                              {WM_KEYUP, focus, 'Q'},
                                              {WM_KEYUP, focus, VK_CONTROL},
                                              {WM_KEYUP, focus, VK_SHIFT}}),
                       "Ctrl+Q");
}

TEST_F(Hotkeys, KeyUpHotkeysReportBothEdges) {
    ASSERT_TRUE(RegisterHotKey(service, 0xD8, MOD_KEYUP, 0xD8));
    press(0xD8, true);
    press(0xD8, true);  // held: each repeat is another press
    press(0xD8, false);
    run();
    EXPECT_SEQUENCE((std::vector<Expected>{{WM_HOTKEY, service, 0xD8, MAKELPARAM(0, 0xD8)},
                                           {WM_HOTKEY, service, 0xD8, MAKELPARAM(0, 0xD8)},
                                           {WM_HOTKEY, service, 0xD8, MAKELPARAM(MOD_KEYUP, 0xD8)}}),
                    "MOD_KEYUP");
}

TEST_F(Hotkeys, HotkeysGoAheadOfOtherPostedMessages) {
    ASSERT_TRUE(RegisterHotKey(service, 1, 0, VK_F9));
    ASSERT_TRUE(RegisterHotKey(service, 2, 0, VK_F10));
    PostMessageW(service, WM_USER, 0, 0);
    press(VK_F9, true);
    press(VK_F10, true);
    MSG msg;
    std::vector<std::pair<UINT, WPARAM>> order;
    while (PeekMessageW(&msg, service, 0, 0, PM_REMOVE)) order.emplace_back(msg.message, msg.wParam);
    EXPECT_EQ(order, (std::vector<std::pair<UINT, WPARAM>>{{WM_HOTKEY, 1}, {WM_HOTKEY, 2}, {WM_USER, 0}}));
    press(VK_F9, false);
    press(VK_F10, false);
}

TEST_F(Hotkeys, InjectedKeysTakeTheSamePathAndAreLogged) {
    ASSERT_TRUE(RegisterHotKey(service, 0x41, 0, 0x41));
    keybd_event(VK_SHIFT, 0, KEYEVENTF_SILENT, 0);
    keybd_event(0x42, 0, KEYEVENTF_SILENT, 0);
    keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP | KEYEVENTF_SILENT, 0);
    keybd_event(0x42, 0, KEYEVENTF_KEYUP | KEYEVENTF_SILENT, 0);
    keybd_event(0x41, 0, 0, 0);  // the service's own hotkey key comes back to it
    keybd_event(0x41, 0, KEYEVENTF_KEYUP, 0);
    keybd_event(0, 0, KEYEVENTF_SILENT, 0);  // no key at all: logged, delivered nowhere
    platform::window::deviceKey('C', true);  // not injected: not in the injected list
    platform::window::deviceKey('C', false);
    EXPECT_EQ(platform::window::injectedKeysText(),
              "10 down silent, 42 down silent, 10 up silent, 42 up silent, 41 down, 41 up, 00 down silent");
    auto log = platform::window::inputLog();
    ASSERT_EQ(log.size(), 9u);
    EXPECT_EQ(log[1].delivery, InputDelivery::Window);
    EXPECT_EQ(log[1].target, focus);
    EXPECT_EQ(log[1].message, (UINT)WM_KEYDOWN);
    EXPECT_EQ(log[4].delivery, InputDelivery::Hotkey);
    EXPECT_EQ(log[4].target, service);
    EXPECT_EQ(log[4].hotkeyId, 0x41);
    EXPECT_EQ(log[5].delivery, InputDelivery::Window) << "the key-up of a key-down hotkey reaches the focus";
    EXPECT_EQ(log[6].delivery, InputDelivery::Invalid);
    EXPECT_EQ(platform::window::describeInput(log[4]).rfind("key down 41 injected: hotkey 65 of window", 0), 0u)
        << platform::window::describeInput(log[4]);
    platform::window::clearInputLog();
    EXPECT_EQ(platform::window::injectedKeysText(), "none");
    run();
}

TEST_F(Hotkeys, AHotkeyWithoutAWindowGoesToItsThread) {
    ASSERT_TRUE(RegisterHotKey(nullptr, 3, MOD_WIN, 'E'));
    press(VK_LWIN, true);
    press('E', true);
    press('E', false);
    press(VK_LWIN, false);
    MSG msg;
    bool seen = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message == WM_HOTKEY) {
            seen = true;
            EXPECT_EQ(msg.hwnd, nullptr);
            EXPECT_EQ(msg.wParam, 3u);
            EXPECT_EQ(msg.lParam, MAKELPARAM(MOD_WIN, 'E'));
        }
    EXPECT_TRUE(seen);
    EXPECT_TRUE(UnregisterHotKey(nullptr, 3));
}

}  // namespace
