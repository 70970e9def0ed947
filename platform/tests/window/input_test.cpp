// The input stream: where taps go, keys and the key state, and window regions
// for hit-testing.
#include "gdi_calls.h"
#include "platform/window/input.h"
#include "platform/window/window_listing.h"
#include "window_test_support.h"

namespace {

using namespace window_test;
using platform::window::InputDelivery;
using platform::window::InputRecord;

class Input : public WindowFixture {};

POINT centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// Taps at a point and returns where the down went; the up follows at once.
InputRecord tap(int x, int y) {
    InputRecord down = platform::window::tapDown(x, y);
    platform::window::tapUp(x, y);
    return down;
}

TEST_F(Input, TapsGoToTheTopMostWindowUnderThePointWithinItsRegion) {
    HWND top = makeWindow(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, {0, 40, 200, 240}, u"top");
    HWND plain = makeWindow(WS_CHILD | WS_VISIBLE, top, 1, 0, {10, 10, 60, 60});
    HWND disabled = makeWindow(WS_CHILD | WS_VISIBLE | WS_DISABLED, top, 2, 0, {70, 10, 120, 60});
    HWND shaped = makeWindow(WS_CHILD | WS_VISIBLE, top, 3, 0, {10, 70, 110, 170});
    HWND hidden = makeWindow(WS_CHILD, top, 4, 0, {130, 10, 180, 60});
    HWND front = makeWindow(WS_CHILD | WS_VISIBLE, top, 5, 0, {150, 150, 190, 190});
    HWND back = makeWindow(WS_CHILD | WS_VISIBLE, top, 6, 0, {140, 140, 180, 180});
    SetWindowPos(front, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_EQ(SetWindowRgn(shaped, CreateRectRgn(0, 0, 50, 50), TRUE), 1);
    pumpMessages();
    (void)hidden;
    (void)disabled;

    struct Case {
        const char* what;
        POINT at;
        InputDelivery delivery;
        HWND target;
        POINT client;
    } cases[] = {
        {"a child", {20, 60}, InputDelivery::Window, plain, {10, 10}},
        {"a disabled child passes it to its parent", {80, 60}, InputDelivery::Window, top, {80, 20}},
        {"inside the child's region", {30, 120}, InputDelivery::Window, shaped, {20, 10}},
        {"outside the child's region", {90, 190}, InputDelivery::Window, top, {90, 150}},
        {"a hidden child is not there", {140, 60}, InputDelivery::Window, top, {140, 20}},
        {"the sibling in front", {155, 195}, InputDelivery::Window, front, {5, 5}},
        {"no window", {220, 300}, InputDelivery::Nowhere, nullptr, {0, 0}},
        {"left of the screen", {-1, 100}, InputDelivery::Outside, nullptr, {0, 0}},
        {"below the screen", {100, 320}, InputDelivery::Outside, nullptr, {0, 0}},
    };
    for (auto& c : cases) {
        messageLog().clear();
        InputRecord record = tap(c.at.x, c.at.y);
        EXPECT_EQ(record.delivery, c.delivery) << c.what;
        EXPECT_EQ(record.target, c.target) << c.what;
        pumpMessages();
        if (c.target)
            EXPECT_SEQUENCE((std::vector<Expected>{{WM_LBUTTONDOWN, c.target, MK_LBUTTON, MAKELPARAM(c.client.x, c.client.y)},
                                                   {WM_LBUTTONUP, c.target, 0, MAKELPARAM(c.client.x, c.client.y)}}),
                            c.what);
        else
            EXPECT_SEQUENCE((std::vector<Expected>{}), c.what);
    }
    (void)back;
}

TEST_F(Input, ADisabledTopLevelWindowTakesTapsAndDoesNothing) {
    HWND owner = makeWindow(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, {0, 40, 240, 320});
    EnableWindow(owner, FALSE);
    pumpMessages();
    messageLog().clear();
    InputRecord record = tap(100, 100);
    EXPECT_EQ(record.delivery, InputDelivery::Disabled);
    EXPECT_EQ(record.target, owner);
    pumpMessages();
    EXPECT_SEQUENCE((std::vector<Expected>{}), "disabled owner");
}

TEST_F(Input, ATapActivatesAnInactiveWindow) {
    HWND left = makeWindow(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, {0, 40, 100, 140});
    HWND right = makeWindow(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, {120, 40, 220, 140});
    HWND inert = makeWindow(WS_POPUP | WS_VISIBLE, nullptr, 0, WS_EX_NOACTIVATE, {0, 200, 100, 300});
    ASSERT_EQ(GetForegroundWindow(), right);
    pumpMessages();
    messageLog().clear();
    tap(50, 90);
    pumpMessages();
    EXPECT_EQ(GetForegroundWindow(), left);
    EXPECT_SEQUENCE_OF((std::vector<UINT>{WM_ACTIVATE, WM_LBUTTONDOWN}),
                       (std::vector<Expected>{{WM_ACTIVATE, right, MAKEWPARAM(WA_INACTIVE, 0)},
                                              {WM_ACTIVATE, left, MAKEWPARAM(WA_CLICKACTIVE, 0)},
                                              {WM_LBUTTONDOWN, left}}),
                       "tap on the inactive window");
    tap(50, 250);
    pumpMessages();
    EXPECT_EQ(GetForegroundWindow(), left) << "WS_EX_NOACTIVATE";
    (void)inert;
}

TEST_F(Input, CaptionButtonsActOnRelease) {
    HWND hwnd = makeWindow(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, nullptr, 0, WS_EX_CAPTIONOKBTN,
                           {0, 26, 240, 320});
    auto info = platform::window::windowInfo(hwnd);
    ASSERT_TRUE(info);
    ASSERT_FALSE(info->okButton.right <= info->okButton.left);
    POINT ok = centre(info->okButton);
    POINT close = centre(info->closeButton);
    EXPECT_LT(ok.x, close.x) << "close is the right-most button";
    pumpMessages();
    messageLog().clear();

    // Down on OK, up elsewhere: nothing.
    platform::window::tapDown(ok.x, ok.y);
    platform::window::tapUp(100, 200);
    pumpMessages();
    EXPECT_SEQUENCE_OF((std::vector<UINT>{WM_COMMAND}), (std::vector<Expected>{}), "released away from OK");

    tap(ok.x, ok.y);
    pumpMessages();
    EXPECT_SEQUENCE_OF((std::vector<UINT>{WM_NCLBUTTONDOWN, WM_NCLBUTTONUP, WM_COMMAND}),
                       (std::vector<Expected>{{WM_NCLBUTTONDOWN, hwnd},
                                              {WM_NCLBUTTONUP, hwnd},
                                              {WM_COMMAND, hwnd, MAKEWPARAM(IDOK, 0), 0}}),
                       "caption OK");

    tap(close.x, close.y);
    pumpMessages();
    EXPECT_SEQUENCE_OF((std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}),
                       (std::vector<Expected>{{WM_SYSCOMMAND, hwnd, SC_CLOSE}, {WM_CLOSE, hwnd}, {WM_DESTROY, hwnd}}),
                       "caption close");
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(Input, AWindowOwnsTheRegionItIsGiven) {
    HWND hwnd = makeWindow(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, {0, 40, 100, 140});
    HRGN region = CreateRectRgn(0, 0, 10, 10);
    SetLastError(kSentinel);
    EXPECT_EQ(SetWindowRgn(reinterpret_cast<HWND>(0x12340), region, TRUE), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_WINDOW_HANDLE);
    ASSERT_EQ(SetWindowRgn(hwnd, region, TRUE), 1) << "a failed call left the region with the caller";
    EXPECT_FALSE(DeleteObject(region)) << "the window owns it now";

    HRGN copy = CreateRectRgn(0, 0, 1, 1);
    EXPECT_EQ(GetWindowRgn(hwnd, copy), 2);  // SIMPLEREGION
    EXPECT_EQ(tap(5, 45).target, hwnd);
    EXPECT_EQ(tap(50, 90).delivery, InputDelivery::Nowhere);
    EXPECT_EQ(SetWindowRgn(hwnd, nullptr, TRUE), 1);
    EXPECT_EQ(GetWindowRgn(hwnd, copy), 0) << "no region any more";
    EXPECT_EQ(tap(50, 90).target, hwnd);
    DeleteObject(copy);
}

TEST_F(Input, KeysReachTheFocusWindowWithTheirParameters) {
    HWND top = makeWindow(WS_POPUP | WS_VISIBLE);
    HWND child = makeWindow(WS_CHILD | WS_VISIBLE, top, 1);
    SetFocus(child);
    pumpMessages();
    messageLog().clear();
    platform::window::deviceKey('A', true);
    platform::window::deviceKey('A', true);  // held: a repeat
    platform::window::deviceKey('A', false);
    platform::window::deviceKey(VK_MENU, true);
    platform::window::deviceKey('X', true);
    platform::window::deviceKey('X', false);
    platform::window::deviceKey(VK_MENU, false);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    EXPECT_SEQUENCE((std::vector<Expected>{{WM_KEYDOWN, child, 'A', 0x00000001},
                                           {WM_KEYDOWN, child, 'A', 0x40000001},
                                           {WM_KEYUP, child, 'A', (LPARAM)(LONG)0xC0000001},
                                           {WM_SYSKEYDOWN, child, VK_MENU},
                                           {WM_SYSKEYDOWN, child, 'X'},
                                           {WM_SYSKEYUP, child, 'X'},
                                           {WM_SYSKEYUP, child, VK_MENU}}),
                    "keys");
}

TEST_F(Input, TranslationAndTheTwoKeyStates) {
    HWND hwnd = makeWindow(WS_POPUP | WS_VISIBLE);
    pumpMessages();
    struct Case {
        std::vector<BYTE> held;
        BYTE key;
        WCHAR character;
    } cases[] = {{{}, 'A', u'a'},         {{VK_SHIFT}, 'A', u'A'},    {{VK_LSHIFT}, '1', u'!'},
                 {{VK_CONTROL}, 'C', 3},  {{}, VK_RETURN, u'\r'},     {{VK_SHIFT}, VK_OEM_2, u'?'},
                 {{}, VK_F1, 0}};
    for (auto& c : cases) {
        for (BYTE k : c.held) platform::window::deviceKey(k, true);
        platform::window::deviceKey(c.key, true);
        messageLog().clear();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (c.character)
            EXPECT_SEQUENCE_OF((std::vector<UINT>{WM_CHAR}), (std::vector<Expected>{{WM_CHAR, hwnd, c.character}}),
                               "character");
        else
            EXPECT_SEQUENCE_OF((std::vector<UINT>{WM_CHAR}), (std::vector<Expected>{}), "no character");
        platform::window::deviceKey(c.key, false);
        for (BYTE k : c.held) platform::window::deviceKey(k, false);
        pumpMessages();
    }

    // The asynchronous state follows the stream; the thread's state follows what it has read.
    platform::window::deviceKey(VK_SHIFT, true);
    EXPECT_LT(GetAsyncKeyState(VK_SHIFT), 0);
    EXPECT_LT(GetAsyncKeyState(VK_LSHIFT), 0);
    EXPECT_GE(GetKeyState(VK_SHIFT), 0) << "not read yet";
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_KEYDOWN);
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    platform::window::deviceKey(VK_SHIFT, false);
    pumpMessages();
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);

    const SHORT before = GetKeyState(VK_CAPITAL) & 1;
    platform::window::deviceKey(VK_CAPITAL, true);
    platform::window::deviceKey(VK_CAPITAL, false);
    pumpMessages();
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, before ^ 1) << "caps lock toggles";
    platform::window::deviceKey(VK_CAPITAL, true);
    platform::window::deviceKey(VK_CAPITAL, false);
    pumpMessages();
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, before);
}

}  // namespace

namespace {

TEST_F(Input, TheCaptureTakesEveryTap) {
    HWND button = makeWindow(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, {0, 40, 50, 90});
    HWND elsewhere = makeWindow(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, {100, 40, 200, 140});
    pumpMessages();
    EXPECT_EQ(SetCapture(button), nullptr);
    EXPECT_EQ(GetCapture(), button);
    messageLog().clear();
    InputRecord record = tap(150, 90);
    EXPECT_EQ(record.target, button);
    pumpMessages();
    EXPECT_SEQUENCE_OF((std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}),
                       (std::vector<Expected>{{WM_LBUTTONDOWN, button, MK_LBUTTON, MAKELPARAM(150, 50)},
                                              {WM_LBUTTONUP, button, 0, MAKELPARAM(150, 50)}}),
                       "captured taps, in the capture window's coordinates");
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_SEQUENCE((std::vector<Expected>{{WM_CAPTURECHANGED, button}}), "capture released");
    EXPECT_EQ(tap(150, 90).target, elsewhere);
}

}  // namespace
