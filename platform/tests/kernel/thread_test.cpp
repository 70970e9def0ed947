// Threads: creation, suspension, priorities, exit codes; Sleep and the clock.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>

#include "support/device_fixture.h"

namespace {

constexpr DWORD kSentinel = 0xdeadbeef;

DWORD WINAPI ReturnParameter(LPVOID p) { return static_cast<DWORD>(reinterpret_cast<uintptr_t>(p)); }

DWORD WINAPI ExitThroughExitThread(LPVOID) {
    ExitThread(77);
}

TEST(Thread, ExitCodeFromReturnAndFromExitThread) {
    struct {
        LPTHREAD_START_ROUTINE routine;
        LPVOID parameter;
        DWORD expected;
    } cases[] = {{ReturnParameter, reinterpret_cast<LPVOID>(42), 42}, {ExitThroughExitThread, nullptr, 77}};
    for (const auto& c : cases) {
        DWORD id = kSentinel;
        HANDLE hThread = CreateThread(NULL, 0, c.routine, c.parameter, 0, &id);
        ASSERT_NE(hThread, nullptr);
        EXPECT_NE(id, kSentinel);
        ASSERT_EQ(WaitForSingleObject(hThread, INFINITE), WAIT_OBJECT_0);
        DWORD code = kSentinel;
        EXPECT_TRUE(GetExitCodeThread(hThread, &code));
        EXPECT_EQ(code, c.expected);
        CloseHandle(hThread);
    }
}

TEST(Thread, SuspendedThreadStartsOnResume) {
    static std::atomic<bool> ran;
    ran = false;
    HANDLE hThread = CreateThread(
        NULL, 0, [](LPVOID) -> DWORD { ran = true; return 0; }, nullptr, CREATE_SUSPENDED, NULL);
    ASSERT_NE(hThread, nullptr);
    EXPECT_EQ(WaitForSingleObject(hThread, 50), (DWORD)WAIT_TIMEOUT);
    EXPECT_FALSE(ran.load());
    DWORD code = kSentinel;
    EXPECT_TRUE(GetExitCodeThread(hThread, &code));
    EXPECT_EQ(code, (DWORD)STILL_ACTIVE);
    EXPECT_EQ(ResumeThread(hThread), 1u);
    EXPECT_EQ(WaitForSingleObject(hThread, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(ran.load());
    EXPECT_EQ(ResumeThread(hThread), 0u);
    CloseHandle(hThread);
}

TEST(Thread, PrioritiesUseThePlatformsNumbering) {
    HANDLE hThread = CreateThread(NULL, 0, ReturnParameter, nullptr, CREATE_SUSPENDED, NULL);
    EXPECT_EQ(GetThreadPriority(hThread), THREAD_PRIORITY_NORMAL);
    EXPECT_EQ(THREAD_PRIORITY_NORMAL, 3);
    for (int priority : {THREAD_PRIORITY_TIME_CRITICAL, THREAD_PRIORITY_HIGHEST, THREAD_PRIORITY_IDLE}) {
        EXPECT_TRUE(SetThreadPriority(hThread, priority));
        EXPECT_EQ(GetThreadPriority(hThread), priority);
    }
    for (int bad : {-1, 8, 15}) {
        SetLastError(kSentinel);
        EXPECT_FALSE(SetThreadPriority(hThread, bad));
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
    }
    SetLastError(kSentinel);
    EXPECT_EQ(GetThreadPriority(nullptr), THREAD_PRIORITY_ERROR_RETURN);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
    ResumeThread(hThread);
    WaitForSingleObject(hThread, INFINITE);
    CloseHandle(hThread);
}

TEST(Thread, NullStartRoutineIsRefused) {
    SetLastError(kSentinel);
    EXPECT_EQ(CreateThread(NULL, 0, nullptr, nullptr, 0, NULL), nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
}

TEST(Thread, LastErrorIsPerThread) {
    SetLastError(1234);
    HANDLE hThread = CreateThread(
        NULL, 0, [](LPVOID) -> DWORD { DWORD before = GetLastError(); SetLastError(99); return before; }, nullptr,
        0, NULL);
    WaitForSingleObject(hThread, INFINITE);
    DWORD code = kSentinel;
    GetExitCodeThread(hThread, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(GetLastError(), 1234u);
    CloseHandle(hThread);
}

TEST(Clock, SleepLastsItsDeviceTime) {
    platform::testing::FastClock fast(100);
    DWORD start = GetTickCount();
    Sleep(5000);
    EXPECT_GE(GetTickCount() - start, 5000u);
}

TEST(Clock, LocalTimeCanBeSetAndAdvances) {
    platform::testing::FastClock fast(100);
    SYSTEMTIME set{2024, 2, 0, 29, 23, 59, 58, 500};
    ASSERT_TRUE(SetLocalTime(&set));
    Sleep(1500);
    SYSTEMTIME now;
    GetLocalTime(&now);
    // At least the 1.5 s slept have passed; a busy host may add some device time.
    EXPECT_EQ(now.wYear, 2024);
    EXPECT_EQ(now.wMonth, 3);
    EXPECT_EQ(now.wDay, 1);
    EXPECT_EQ(now.wDayOfWeek, 5);  // a Friday
    EXPECT_EQ(now.wHour, 0);
    EXPECT_EQ(now.wMinute, 0);
}

TEST(Clock, InvalidTimesAreRefused) {
    const SYSTEMTIME bad[] = {
        {2023, 2, 0, 29, 0, 0, 0, 0},  // not a leap year
        {2024, 13, 0, 1, 0, 0, 0, 0}, {2024, 1, 0, 0, 0, 0, 0, 0},
        {2024, 1, 0, 1, 24, 0, 0, 0}, {1600, 1, 0, 1, 0, 0, 0, 0},
    };
    for (const auto& st : bad) {
        SetLastError(kSentinel);
        EXPECT_FALSE(SetLocalTime(&st));
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
    }
}

TEST(Clock, FileTimeRoundTrip) {
    struct {
        SYSTEMTIME st;
        ULONGLONG ticks;
    } cases[] = {
        {{1601, 1, 1, 1, 0, 0, 0, 0}, 0},
        {{1970, 1, 4, 1, 0, 0, 0, 0}, 116444736000000000ull},
        {{2000, 2, 2, 29, 12, 30, 15, 250}, 125963010152500000ull},
    };
    for (const auto& c : cases) {
        FILETIME ft{kSentinel, kSentinel};
        ASSERT_TRUE(SystemTimeToFileTime(&c.st, &ft));
        EXPECT_EQ((static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime, c.ticks);
        SYSTEMTIME back;
        ASSERT_TRUE(FileTimeToSystemTime(&ft, &back));
        EXPECT_EQ(0, memcmp(&back, &c.st, sizeof back));
    }
}

TEST(Memory, LocalAllocZeroesAndFreeRefusesForeignPointers) {
    BYTE* p = static_cast<BYTE*>(LocalAlloc(LPTR, 64));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(p[i], 0);
    EXPECT_EQ(LocalSize(p), 64u);
    EXPECT_EQ(LocalFree(p), nullptr);
    SetLastError(kSentinel);
    EXPECT_EQ(LocalFree(p), static_cast<HLOCAL>(p)) << "a second free must fail, not corrupt the heap";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
    int local = 0;
    EXPECT_EQ(LocalFree(&local), static_cast<HLOCAL>(&local));
    EXPECT_EQ(LocalFree(nullptr), nullptr);
}

TEST(CriticalSection, ExcludesOtherThreadsAndNests) {
    static CRITICAL_SECTION cs;
    static int counter;
    counter = 0;
    InitializeCriticalSection(&cs);
    EnterCriticalSection(&cs);
    EnterCriticalSection(&cs);
    LeaveCriticalSection(&cs);
    auto worker = [](LPVOID) -> DWORD {
        for (int i = 0; i < 10000; ++i) {
            EnterCriticalSection(&cs);
            ++counter;
            LeaveCriticalSection(&cs);
        }
        return 0;
    };
    HANDLE threads[2] = {CreateThread(NULL, 0, worker, nullptr, 0, NULL), CreateThread(NULL, 0, worker, nullptr, 0, NULL)};
    EXPECT_EQ(WaitForSingleObject(threads[0], 50), (DWORD)WAIT_TIMEOUT) << "still held once by this thread";
    LeaveCriticalSection(&cs);
    for (HANDLE h : threads) {
        WaitForSingleObject(h, INFINITE);
        CloseHandle(h);
    }
    EXPECT_EQ(counter, 20000);
    DeleteCriticalSection(&cs);
}

}  // namespace
