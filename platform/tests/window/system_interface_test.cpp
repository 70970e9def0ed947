// What the window system offers the rest of the system: classes for every
// process, the owner of a modal loop, the shell's desktop window, windows that
// let taps through, and the window tree as the simulator lists it.
#include <algorithm>

#include "platform/window/desktop.h"
#include "platform/window/hit_test.h"
#include "platform/window/input.h"
#include "platform/window/modal.h"
#include "platform/window/window_class.h"
#include "platform/window/window_listing.h"
#include "window_test_support.h"

namespace {

using namespace window_test;

class SystemInterface : public WindowFixture {};

LRESULT CALLBACK SystemProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) return 77;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(SystemInterface, SystemClassesServeEveryProcess) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW cls{};
        cls.lpfnWndProc = SystemProc;
        cls.lpszClassName = u"SharedTestClass";
        cls.cbWndExtra = 12;
        ASSERT_NE(platform::window::registerSystemClass(cls), 0);
        registered = true;
        SetLastError(kSentinel);
        EXPECT_EQ(platform::window::registerSystemClass(cls), 0);
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_CLASS_ALREADY_EXISTS);
    }
    WNDCLASSW info{};
    ASSERT_TRUE(GetClassInfoW(nullptr, u"sharedtestclass", &info));
    EXPECT_EQ(info.lpfnWndProc, SystemProc);

    static LRESULT answer;
    static HWND made;
    answer = 0;
    DeviceProcess process([] {
        made = CreateWindowExW(0, u"SharedTestClass", u"", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
        answer = SendMessageW(made, WM_USER, 0, 0);
        DestroyWindow(made);
    });
    ASSERT_TRUE(process.waitForExit());
    EXPECT_EQ(answer, 77) << "another process made a window of the class";

    // A process's own class of that name comes first for that process.
    WNDCLASSW own{};
    own.lpfnWndProc = RecordingProc;
    own.lpszClassName = u"SharedTestClass";
    ASSERT_NE(RegisterClassW(&own), 0);
    HWND mine = CreateWindowExW(0, u"SharedTestClass", u"", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(GetWindowLongPtrW(mine, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(RecordingProc));
    DestroyWindow(mine);
    EXPECT_TRUE(UnregisterClassW(u"SharedTestClass", nullptr));
    SetLastError(kSentinel);
    EXPECT_FALSE(UnregisterClassW(u"SharedTestClass", nullptr)) << "a process cannot take a system class away";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_CLASS_DOES_NOT_EXIST);
}

TEST_F(SystemInterface, AModalLoopDisablesItsOwnerUntilItEnds) {
    HWND owner = makeWindow(WS_POPUP | WS_VISIBLE);
    HWND control = makeWindow(WS_CHILD | WS_VISIBLE, owner, 1);
    {
        platform::window::ModalOwnerScope scope(control);  // a child given: its top-level window
        EXPECT_EQ(scope.owner(), owner);
        EXPECT_FALSE(IsWindowEnabled(owner));
        scope.end();
        EXPECT_TRUE(IsWindowEnabled(owner));
        EnableWindow(owner, FALSE);  // disabled by someone else after the loop
    }
    EXPECT_FALSE(IsWindowEnabled(owner)) << "ending twice does not enable it again";
    {
        platform::window::ModalOwnerScope scope(owner);
        EXPECT_EQ(scope.owner(), nullptr) << "a disabled owner is left to whoever disabled it";
    }
    EXPECT_FALSE(IsWindowEnabled(owner));
    EnableWindow(owner, TRUE);
    {
        platform::window::ModalOwnerScope scope(owner);
        DestroyWindow(owner);
    }  // the owner is gone: nothing to enable, nothing breaks
    platform::window::ModalOwnerScope none(nullptr);
    EXPECT_EQ(none.owner(), nullptr);
}

TEST_F(SystemInterface, TheShellsDesktopWindowStandsForTheDesktop) {
    HWND root = GetDesktopWindow();
    ASSERT_TRUE(IsWindow(root));
    WCHAR name[32];
    EXPECT_GT(GetClassNameW(root, name, 32), 0);
    HWND app = makeWindow(WS_POPUP | WS_VISIBLE);
    ASSERT_EQ(GetForegroundWindow(), app);
    EXPECT_TRUE(SetForegroundWindow(root));
    EXPECT_EQ(GetForegroundWindow(), nullptr) << "the root desktop leaves no foreground window";
    SetLastError(kSentinel);
    EXPECT_FALSE(DestroyWindow(root));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_ACCESS_DENIED);
    SetLastError(kSentinel);
    EXPECT_FALSE(ShowWindow(root, SW_HIDE));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_ACCESS_DENIED);

    HWND desktop = makeWindow(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, {0, 0, 240, 320}, u"Desktop");
    SetWindowPos(desktop, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    platform::window::setShellDesktopWindow(desktop);
    EXPECT_EQ(GetDesktopWindow(), desktop);
    EXPECT_TRUE(SetForegroundWindow(app));
    EXPECT_TRUE(SetForegroundWindow(GetDesktopWindow()));
    EXPECT_EQ(GetForegroundWindow(), desktop);
    EXPECT_EQ(GetWindow(app, GW_HWNDPREV), desktop) << "the desktop comes to the front";
    DestroyWindow(desktop);
    EXPECT_EQ(GetDesktopWindow(), root) << "back to the root once the shell's window is gone";
    platform::window::setShellDesktopWindow(nullptr);
}

TEST_F(SystemInterface, TransparentWindowsLetTapsThrough) {
    HWND top = makeWindow(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, {0, 40, 100, 140});
    HWND label = makeWindow(WS_CHILD | WS_VISIBLE, top, 1, 0, {0, 0, 50, 50});
    EXPECT_EQ(platform::window::tapDown(10, 50).target, label);
    platform::window::setHitTransparent(label, true);
    EXPECT_EQ(platform::window::tapDown(10, 50).target, top);
    EXPECT_EQ(WindowFromPoint(POINT{10, 50}), top);
    platform::window::tapUp(10, 50);
}

TEST_F(SystemInterface, TheWindowTreeAsListed) {
    HWND top = makeWindow(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, nullptr, 0, WS_EX_CAPTIONOKBTN,
                          {0, 26, 240, 320}, u"Listed");
    HWND child = makeWindow(WS_CHILD | WS_VISIBLE, top, 1001, 0, {10, 20, 110, 70}, u"child");
    SetFocus(child);
    auto list = platform::window::listWindows();
    auto find = [&](HWND h) {
        return std::find_if(list.begin(), list.end(), [&](const platform::window::WindowInfo& i) { return i.handle == h; });
    };
    auto topInfo = find(top);
    auto childInfo = find(child);
    ASSERT_NE(topInfo, list.end());
    ASSERT_NE(childInfo, list.end());
    EXPECT_EQ(childInfo - topInfo, 1) << "children follow their parent";
    EXPECT_EQ(topInfo->title, u"Listed");
    EXPECT_EQ(topInfo->className, kRecordingClass);
    EXPECT_TRUE(topInfo->foreground);
    EXPECT_FALSE(topInfo->focus);
    EXPECT_TRUE(childInfo->focus);
    EXPECT_EQ(childInfo->depth, 1);
    EXPECT_EQ(childInfo->id, 1001u);
    EXPECT_EQ(childInfo->parent, top);
    EXPECT_EQ(childInfo->rectInParent.left, 10);
    EXPECT_EQ(childInfo->rectInParent.bottom, 70);
    EXPECT_EQ(childInfo->rect.top, 26 + 1 + 26 + 20);
    EXPECT_EQ(topInfo->processId, GetCurrentProcessId());
    EXPECT_GT(topInfo->okButton.right, topInfo->okButton.left);
    EXPECT_EQ(topInfo->closeButton.right, 239);
}

}  // namespace
