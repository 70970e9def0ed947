// Sending across threads: the receiver's thread runs the procedure, the
// sender handles what is sent to it meanwhile, and a receiver that has ended
// answers 0. Windows go with the thread and the process that made them.
#include <atomic>

#include "platform/kernel/process_control.h"
#include "platform/kernel/thread.h"
#include "platform/window/hotkeys.h"
#include "support/device_fixture.h"
#include "window_test_support.h"

namespace {

using namespace window_test;

class Sending : public WindowFixture {};

TEST_F(Sending, TheReceiversThreadRunsTheProcedure) {
    static std::atomic<DWORD> ranOn;
    static std::atomic<BOOL> inSend;
    setHandler([](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_USER) return std::nullopt;
        ranOn = GetCurrentThreadId();
        inSend = InSendMessage();
        return static_cast<LRESULT>(wParam * 2);
    });
    ForeignWindow receiver(true);
    EXPECT_EQ(SendMessageW(receiver.hwnd(), WM_USER, 21, 0), 42);
    EXPECT_EQ(ranOn.load(), receiver.threadId());
    EXPECT_TRUE(inSend.load());

    HWND mine = makeWindow(WS_POPUP);
    EXPECT_EQ(SendMessageW(mine, WM_USER, 5, 0), 10);
    EXPECT_EQ(ranOn.load(), GetCurrentThreadId());
    EXPECT_FALSE(inSend.load()) << "a send within the thread is a plain call";
}

TEST_F(Sending, TheSenderAnswersSendsWhileItWaits) {
    static HWND mine;
    mine = makeWindow(WS_POPUP);
    static std::atomic<DWORD> callbackRanOn;
    setHandler([](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_USER && hwnd != mine) return SendMessageW(mine, WM_USER + 1, 0, 0) + 1;
        if (message == WM_USER + 1) {
            callbackRanOn = GetCurrentThreadId();
            return 100;
        }
        return std::nullopt;
    });
    ForeignWindow receiver(true);
    EXPECT_EQ(SendMessageW(receiver.hwnd(), WM_USER, 0, 0), 101);
    EXPECT_EQ(callbackRanOn.load(), GetCurrentThreadId());
}

TEST_F(Sending, AReceiverThatEndsAnswersZero) {
    // The receiver never reads its queue and ends while the send waits.
    static std::atomic<bool> ran;
    ran = false;
    setHandler([](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_USER) ran = true;
        return std::nullopt;
    });
    platform::testing::FastClock fast(20);
    HWND theirs = nullptr;
    Signal made;
    DeviceThread receiver([&] {
        theirs = makeWindow(WS_POPUP);
        made.set();
        Sleep(500);
    });
    ASSERT_TRUE(made.wait());
    EXPECT_EQ(SendMessageW(theirs, WM_USER, 0, 0), 0);
    EXPECT_FALSE(ran.load());
    ASSERT_TRUE(receiver.join());

    // Its windows went with it.
    SetLastError(kSentinel);
    EXPECT_FALSE(IsWindow(theirs));
    EXPECT_EQ(SendMessageW(theirs, WM_USER, 0, 0), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(Sending, NotificationsDoNotWaitForTheReceiver) {
    Signal made, proceed;
    static std::atomic<int> seen;
    seen = 0;
    setHandler([](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_USER) ++seen;
        return std::nullopt;
    });
    HWND theirs = nullptr;
    DeviceThread receiver([&] {
        theirs = makeWindow(WS_POPUP);
        made.set();
        proceed.wait();
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // runs what was sent
        DestroyWindow(theirs);
    });
    ASSERT_TRUE(made.wait());
    EXPECT_TRUE(SendNotifyMessageW(theirs, WM_USER, 0, 0));
    EXPECT_EQ(seen.load(), 0);
    proceed.set();
    ASSERT_TRUE(receiver.join());
    EXPECT_EQ(seen.load(), 1);
}

TEST_F(Sending, WindowsAndHotkeysGoWithTheirProcess) {
    static HWND made;
    static std::atomic<LONG> windowCountSeen;
    Signal created;
    static Signal* createdSignal;
    createdSignal = &created;
    made = nullptr;
    DeviceProcess process([] {
        WNDCLASSW cls{};
        cls.lpfnWndProc = DefWindowProcW;
        cls.lpszClassName = u"ProcessWindow";
        RegisterClassW(&cls);
        made = CreateWindowExW(0, u"ProcessWindow", u"Theirs", WS_POPUP | WS_VISIBLE, 0, 40, 50, 50, nullptr,
                               nullptr, nullptr, nullptr);
        CreateWindowExW(0, u"ProcessWindow", u"", WS_CHILD, 0, 0, 5, 5, made, nullptr, nullptr, nullptr);
        RegisterHotKey(made, 7, MOD_CONTROL, 'Q');
        windowCountSeen = platform::kernel::currentThread().windowCount.load();
        createdSignal->set();
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    });
    ASSERT_TRUE(created.wait());
    EXPECT_EQ(windowCountSeen.load(), 2);
    EXPECT_EQ(FindWindowW(u"ProcessWindow", u"Theirs"), made);
    EXPECT_TRUE(platform::kernel::waitUntilIdle(std::chrono::seconds(5))) << "a window owner waiting for messages is idle";

    process.terminate();
    ASSERT_TRUE(process.waitForExit());
    EXPECT_FALSE(IsWindow(made));
    EXPECT_EQ(FindWindowW(u"ProcessWindow", nullptr), nullptr);
    // The combination is free again.
    HWND mine = makeWindow(WS_POPUP);
    EXPECT_TRUE(RegisterHotKey(mine, 1, MOD_CONTROL, 'Q'));
    EXPECT_TRUE(UnregisterHotKey(mine, 1));
}

TEST_F(Sending, AWindowOwnerThatSleepsIsBusy) {
    platform::testing::FastClock fast(10);
    Signal made;
    static Signal* madeSignal;
    madeSignal = &made;
    DeviceProcess process([] {
        WNDCLASSW cls{};
        cls.lpfnWndProc = DefWindowProcW;
        cls.lpszClassName = u"Sleeper";
        RegisterClassW(&cls);
        CreateWindowExW(0, u"Sleeper", u"", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
        madeSignal->set();
        Sleep(60000);
    });
    ASSERT_TRUE(made.wait());
    EXPECT_FALSE(platform::kernel::waitUntilIdle(std::chrono::milliseconds(100)));
    process.terminate();
    ASSERT_TRUE(process.waitForExit());
}

}  // namespace
