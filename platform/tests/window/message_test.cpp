// Message queues: the order messages come in, filters, posting and its bad
// input, WM_QUIT, and timers on the device clock.
#include "platform/window/input.h"
#include "support/device_fixture.h"
#include "window_test_support.h"

namespace {

using namespace window_test;

class Messages : public WindowFixture {};

std::vector<UINT> drain(HWND validate) {
    std::vector<UINT> order;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        order.push_back(msg.message);
        if (msg.message == WM_PAINT) ValidateRect(validate, nullptr);  // else it comes again
    }
    return order;
}

TEST_F(Messages, RetrievalOrderIsPostedInputQuitPaintTimer) {
    platform::testing::FastClock fast(50);
    HWND hwnd = makeWindow(WS_POPUP | WS_VISIBLE);
    ASSERT_EQ(GetFocus(), hwnd);
    pumpMessages();
    ValidateRect(hwnd, nullptr);
    SetTimer(hwnd, 1, 10, nullptr);
    Sleep(30);
    InvalidateRect(hwnd, nullptr, FALSE);
    PostQuitMessage(3);
    platform::window::deviceKey('A', true);
    PostMessageW(hwnd, WM_USER, 0, 0);
    PostThreadMessageW(GetCurrentThreadId(), WM_USER + 1, 0, 0);
    EXPECT_EQ(drain(hwnd), (std::vector<UINT>{WM_USER, WM_USER + 1, WM_KEYDOWN, WM_QUIT, WM_PAINT, WM_TIMER}));
    KillTimer(hwnd, 1);
    platform::window::deviceKey('A', false);
    pumpMessages();
}

TEST_F(Messages, FiltersTakeOnlyWhatTheyAllow) {
    HWND a = makeWindow(WS_POPUP);
    HWND b = makeWindow(WS_POPUP);
    struct Case {
        const char* what;
        HWND hwnd;
        UINT first, last;
        std::vector<UINT> taken;  // in order, from the posts below
    } cases[] = {
        {"everything", nullptr, 0, 0, {WM_USER, WM_USER + 1, WM_USER + 2, WM_APP}},
        {"one window", b, 0, 0, {WM_USER + 1}},
        {"a range", nullptr, WM_USER + 1, WM_USER + 2, {WM_USER + 1, WM_USER + 2}},
        {"a reversed range takes what lies outside the gap", nullptr, WM_USER + 2, WM_USER, {WM_USER, WM_USER + 2, WM_APP}},
        {"window and range", a, WM_USER, WM_USER + 5, {WM_USER, WM_USER + 2}},
    };
    for (auto& c : cases) {
        PostMessageW(a, WM_USER, 0, 0);
        PostMessageW(b, WM_USER + 1, 0, 0);
        PostMessageW(a, WM_USER + 2, 0, 0);
        PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
        std::vector<UINT> taken;
        MSG msg;
        // PM_NOREMOVE shows the same message again.
        ASSERT_TRUE(PeekMessageW(&msg, c.hwnd, c.first, c.last, PM_NOREMOVE)) << c.what;
        MSG again;
        ASSERT_TRUE(PeekMessageW(&again, c.hwnd, c.first, c.last, PM_NOREMOVE)) << c.what;
        EXPECT_EQ(msg.message, again.message) << c.what;
        while (PeekMessageW(&msg, c.hwnd, c.first, c.last, PM_REMOVE)) taken.push_back(msg.message);
        EXPECT_EQ(taken, c.taken) << c.what;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
}

TEST_F(Messages, QuitEndsTheLoopWithItsCode) {
    PostQuitMessage(17);
    PostMessageW(nullptr, WM_USER, 0, 0);
    MSG msg;
    EXPECT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, (UINT)WM_USER);
    std::memset(&msg, 0xEF, sizeof msg);
    EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, (UINT)WM_QUIT);
    EXPECT_EQ(msg.wParam, 17u);
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) << "WM_QUIT comes once";
}

TEST_F(Messages, BadPostsAndFiltersAreRefused) {
    HWND hwnd = makeWindow(WS_POPUP);
    for (UINT message : {(UINT)WM_SETTEXT, (UINT)WM_GETTEXT, (UINT)WM_CREATE, (UINT)WM_WINDOWPOSCHANGED}) {
        SetLastError(kSentinel);
        EXPECT_FALSE(PostMessageW(hwnd, message, 0, 0)) << message;
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_MESSAGE_SYNC_ONLY) << message;
    }
    SetLastError(kSentinel);
    EXPECT_FALSE(PostThreadMessageW(0x7FFFFFF0, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_THREAD_ID);

    MSG msg;
    std::memset(&msg, 0xEF, sizeof msg);
    const MSG before = msg;
    SetLastError(kSentinel);
    EXPECT_EQ(GetMessageW(&msg, reinterpret_cast<HWND>(0x12340), 0, 0), -1);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(std::memcmp(&msg, &before, sizeof msg), 0);
    SetLastError(kSentinel);
    EXPECT_EQ(GetMessageW(nullptr, nullptr, 0, 0), -1);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);

    ForeignWindow other(false);
    HWND theirs = other.hwnd();
    SetLastError(kSentinel);
    EXPECT_EQ(GetMessageW(&msg, theirs, 0, 0), -1) << "another thread's window can never have messages here";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_WINDOW_OF_OTHER_THREAD);
    SetLastError(kSentinel);
    msg = MSG{theirs, WM_USER, 0, 0, 0, {0, 0}};
    EXPECT_EQ(DispatchMessageW(&msg), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_WINDOW_OF_OTHER_THREAD);
}

TEST_F(Messages, AQueueThatIsNeverReadStopsTakingPosts) {
    HWND hwnd = makeWindow(WS_POPUP);
    int accepted = 0;
    while (accepted < 20000 && PostMessageW(hwnd, WM_USER, 0, 0)) ++accepted;
    EXPECT_EQ(accepted, 10000);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_NOT_ENOUGH_QUOTA);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(PostMessageW(hwnd, WM_USER, 0, 0)) << "room again after one was read";
}

// ---- timers -----------------------------------------------------------------

UINT procTimerId;
DWORD procCalls;
void CALLBACK TimerProc(HWND hwnd, UINT message, UINT id, DWORD) {
    EXPECT_EQ(hwnd, nullptr);
    EXPECT_EQ(message, (UINT)WM_TIMER);
    procTimerId = id;
    ++procCalls;
}
void CALLBACK ForgedProc(HWND, UINT, UINT, DWORD) { ADD_FAILURE() << "a posted WM_TIMER pointer was called"; }

TEST_F(Messages, TimersComeDueOnTheDeviceClock) {
    platform::testing::FastClock fast(100);
    HWND hwnd = makeWindow(WS_POPUP);
    EXPECT_EQ(SetTimer(hwnd, 5, 2000, nullptr), 5u);
    const DWORD start = GetTickCount();
    MSG msg;
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, (UINT)WM_TIMER);
    EXPECT_EQ(msg.hwnd, hwnd);
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_GE(GetTickCount() - start, 2000u);
    EXPECT_TRUE(KillTimer(hwnd, 5));
    SetLastError(kSentinel);
    EXPECT_FALSE(KillTimer(hwnd, 5));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);

    procCalls = 0;
    UINT id = SetTimer(nullptr, 0, 50, TimerProc);
    EXPECT_NE(id, 0u);
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, (UINT)WM_TIMER);
    EXPECT_EQ(msg.lParam, reinterpret_cast<LPARAM>(TimerProc));
    DispatchMessageW(&msg);
    EXPECT_EQ(procCalls, 1u);
    EXPECT_EQ(procTimerId, id);
    EXPECT_TRUE(KillTimer(nullptr, id));

    PostMessageW(hwnd, WM_TIMER, 9, reinterpret_cast<LPARAM>(ForgedProc));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    DispatchMessageW(&msg);

    DWORD error = 0;
    UINT other = 1;
    {
        DeviceThread thread([&] {
            SetLastError(kSentinel);
            other = SetTimer(hwnd, 1, 10, nullptr);
            error = GetLastError();
        });
    }
    EXPECT_EQ(other, 0u);
    EXPECT_EQ(error, (DWORD)ERROR_WINDOW_OF_OTHER_THREAD);
}

}  // namespace

namespace {

TEST_F(Messages, WaitingForObjectsAndMessagesTogether) {
    platform::testing::FastClock fast(50);
    HWND hwnd = makeWindow(WS_POPUP);
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    struct Case {
        const char* what;
        std::function<void()> prepare;
        DWORD mask;
        DWORD expected;
    } cases[] = {
        {"the object", [&] { SetEvent(event); }, QS_ALLINPUT, WAIT_OBJECT_0},
        {"a posted message", [&] { PostMessageW(hwnd, WM_USER, 0, 0); }, QS_POSTMESSAGE, WAIT_OBJECT_0 + 1},
        {"a posted message outside the mask", [&] { PostMessageW(hwnd, WM_USER, 0, 0); }, QS_KEY, WAIT_TIMEOUT},
        {"a timer", [&] { SetTimer(hwnd, 1, 20, nullptr); }, QS_TIMER, WAIT_OBJECT_0 + 1},
        {"nothing", [] {}, QS_ALLINPUT, WAIT_TIMEOUT},
    };
    for (auto& c : cases) {
        c.prepare();
        EXPECT_EQ(MsgWaitForMultipleObjectsEx(1, &event, 200, c.mask, 0), c.expected) << c.what;
        KillTimer(hwnd, 1);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    SetLastError(kSentinel);
    EXPECT_EQ(MsgWaitForMultipleObjectsEx(1, &event, 0, QS_ALLINPUT, MWMO_WAITALL), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
    HANDLE bogus = reinterpret_cast<HANDLE>(0x12340);
    SetLastError(kSentinel);
    EXPECT_EQ(MsgWaitForMultipleObjectsEx(1, &bogus, 0, QS_ALLINPUT, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
    CloseHandle(event);
}

}  // namespace
