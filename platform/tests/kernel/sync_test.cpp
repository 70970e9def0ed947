// Handles, named mutexes and events, and waits on them.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "support/device_fixture.h"

namespace {

constexpr DWORD kSentinel = 0xdeadbeef;

TEST(Handles, StaleNullAndMadeUpHandlesFailWithInvalidHandle) {
    HANDLE hEvent = CreateEventW(NULL, TRUE, FALSE, NULL);
    ASSERT_NE(hEvent, nullptr);
    ASSERT_TRUE(CloseHandle(hEvent));
    HANDLE hReused = CreateEventW(NULL, TRUE, FALSE, NULL);  // may take the same slot

    const HANDLE cases[] = {hEvent, nullptr, reinterpret_cast<HANDLE>(0x12345670), reinterpret_cast<HANDLE>(3)};
    for (HANDLE h : cases) {
        SCOPED_TRACE(reinterpret_cast<uintptr_t>(h));
        SetLastError(kSentinel);
        EXPECT_FALSE(CloseHandle(h));
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
        SetLastError(kSentinel);
        EXPECT_FALSE(SetEvent(h));
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
        SetLastError(kSentinel);
        EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_FAILED);
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
    }
    EXPECT_NE(hReused, hEvent) << "a reused slot must give a new handle value";
    EXPECT_EQ(reinterpret_cast<uintptr_t>(hReused) & 1, 0u);
    EXPECT_TRUE(CloseHandle(hReused));
}

TEST(Handles, WrongKindIsRefused) {
    HANDLE hMutex = CreateMutexW(NULL, FALSE, NULL);
    SetLastError(kSentinel);
    EXPECT_FALSE(SetEvent(hMutex));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
    HANDLE hEvent = CreateEventW(NULL, FALSE, FALSE, NULL);
    SetLastError(kSentinel);
    EXPECT_FALSE(ReleaseMutex(hEvent));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
    CloseHandle(hMutex);
    CloseHandle(hEvent);
}

TEST(NamedObjects, SecondCreateOpensTheSameMutexAndSaysSo) {
    SetLastError(kSentinel);
    HANDLE hFirst = CreateMutexW(NULL, TRUE, TEXT("Sync.Mutex"));
    ASSERT_NE(hFirst, nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_SUCCESS);

    SetLastError(kSentinel);
    HANDLE hSecond = CreateMutexW(NULL, TRUE, TEXT("Sync.Mutex"));
    ASSERT_NE(hSecond, nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_ALREADY_EXISTS);
    EXPECT_NE(hFirst, hSecond);

    // Owned by this thread through the first create; the second create does not
    // add ownership, so one release frees it for another thread.
    EXPECT_TRUE(ReleaseMutex(hSecond));
    std::atomic<DWORD> result{kSentinel};
    std::thread other([&] { result = WaitForSingleObject(hFirst, 0); ReleaseMutex(hFirst); });
    other.join();
    EXPECT_EQ(result.load(), WAIT_OBJECT_0);

    // Names are case-sensitive.
    SetLastError(kSentinel);
    HANDLE hOtherCase = CreateMutexW(NULL, FALSE, TEXT("sync.mutex"));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_SUCCESS);
    CloseHandle(hOtherCase);

    CloseHandle(hFirst);
    CloseHandle(hSecond);
    // With its last handle gone, the name is free again.
    SetLastError(kSentinel);
    HANDLE hFresh = CreateMutexW(NULL, FALSE, TEXT("Sync.Mutex"));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_SUCCESS);
    CloseHandle(hFresh);
}

TEST(NamedObjects, NameOfAnotherKindIsRefused) {
    HANDLE hEvent = CreateEventW(NULL, FALSE, FALSE, TEXT("Sync.Shared"));
    ASSERT_NE(hEvent, nullptr);
    SetLastError(kSentinel);
    EXPECT_EQ(CreateMutexW(NULL, FALSE, TEXT("Sync.Shared")), nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
    CloseHandle(hEvent);
}

TEST(NamedObjects, OverlongNameIsRefused) {
    std::u16string name(MAX_PATH, u'n');
    SetLastError(kSentinel);
    EXPECT_EQ(CreateEventW(NULL, FALSE, FALSE, name.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILENAME_EXCED_RANGE);
}

TEST(Mutex, OwnerMayReenterAndOthersMustNotRelease) {
    HANDLE hMutex = CreateMutexW(NULL, TRUE, NULL);
    EXPECT_EQ(WaitForSingleObject(hMutex, 0), WAIT_OBJECT_0);  // recursion 2
    std::atomic<DWORD> otherRelease{kSentinel}, otherError{kSentinel}, otherWait{kSentinel};
    std::thread other([&] {
        otherRelease = ReleaseMutex(hMutex);
        otherError = GetLastError();
        otherWait = WaitForSingleObject(hMutex, 0);
    });
    other.join();
    EXPECT_EQ(otherRelease.load(), (DWORD)FALSE);
    EXPECT_EQ(otherError.load(), (DWORD)ERROR_NOT_OWNER);
    EXPECT_EQ(otherWait.load(), (DWORD)WAIT_TIMEOUT);
    EXPECT_TRUE(ReleaseMutex(hMutex));
    EXPECT_TRUE(ReleaseMutex(hMutex));
    SetLastError(kSentinel);
    EXPECT_FALSE(ReleaseMutex(hMutex));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_NOT_OWNER);
    CloseHandle(hMutex);
}

TEST(Mutex, OwnerThatEndsWithoutReleasingFreesIt) {
    HANDLE hMutex = CreateMutexW(NULL, FALSE, NULL);
    HANDLE hThread = CreateThread(
        NULL, 0, [](LPVOID p) -> DWORD { return WaitForSingleObject(static_cast<HANDLE>(p), 0); }, hMutex, 0, NULL);
    ASSERT_EQ(WaitForSingleObject(hThread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(hMutex, 1000), WAIT_OBJECT_0);
    ReleaseMutex(hMutex);
    CloseHandle(hThread);
    CloseHandle(hMutex);
}

struct EventCase {
    const char* name;
    BOOL manual;
    BOOL (*operation)(HANDLE);
    DWORD waitAfter;  // a further zero-time wait after one waiter got through
};

TEST(Event, SetResetAndPulseAsDocumented) {
    const EventCase cases[] = {
        {"auto set releases one", FALSE, SetEvent, WAIT_TIMEOUT},
        {"manual set stays set", TRUE, SetEvent, WAIT_OBJECT_0},
        {"manual pulse leaves it reset", TRUE, PulseEvent, WAIT_TIMEOUT},
        {"auto pulse leaves it reset", FALSE, PulseEvent, WAIT_TIMEOUT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HANDLE hEvent = CreateEventW(NULL, c.manual, FALSE, NULL);
        std::atomic<DWORD> waited{kSentinel};
        std::thread waiter([&] { waited = WaitForSingleObject(hEvent, INFINITE); });
        // A set stays until a waiter takes it, so it is done once: a second set
        // after the waiter took the first would leave an auto-reset event set.
        // A pulse releases only threads already waiting: repeat until it got through.
        EXPECT_TRUE(c.operation(hEvent));
        for (int i = 0; c.operation == PulseEvent && i < 2000 && waited.load() == kSentinel; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (waited.load() == kSentinel) {
                EXPECT_TRUE(c.operation(hEvent));
            }
        }
        waiter.join();
        EXPECT_EQ(waited.load(), WAIT_OBJECT_0);
        EXPECT_EQ(WaitForSingleObject(hEvent, 0), c.waitAfter);
        CloseHandle(hEvent);
    }
}

TEST(Event, PulseWithNoWaiterLeavesItReset) {
    HANDLE hEvent = CreateEventW(NULL, TRUE, FALSE, NULL);
    EXPECT_TRUE(PulseEvent(hEvent));
    EXPECT_EQ(WaitForSingleObject(hEvent, 0), (DWORD)WAIT_TIMEOUT);
    EXPECT_TRUE(SetEvent(hEvent));
    EXPECT_TRUE(ResetEvent(hEvent));
    EXPECT_EQ(WaitForSingleObject(hEvent, 0), (DWORD)WAIT_TIMEOUT);
    CloseHandle(hEvent);
}

TEST(Event, DataWordTravelsWithTheNamedEvent) {
    HANDLE hWriter = CreateEventW(NULL, FALSE, FALSE, TEXT("Sync.Data"));
    HANDLE hReader = CreateEventW(NULL, FALSE, FALSE, TEXT("Sync.Data"));
    EXPECT_EQ(GetEventData(hReader), 0u);
    EXPECT_TRUE(SetEventData(hWriter, 0x12345678));
    EXPECT_EQ(GetEventData(hReader), 0x12345678u);
    SetLastError(kSentinel);
    EXPECT_FALSE(SetEventData(nullptr, 1));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
    HANDLE hOpened = OpenEventW(EVENT_ALL_ACCESS, FALSE, TEXT("Sync.Data"));
    ASSERT_NE(hOpened, nullptr);
    EXPECT_EQ(GetEventData(hOpened), 0x12345678u);
    SetLastError(kSentinel);
    EXPECT_EQ(OpenEventW(EVENT_ALL_ACCESS, FALSE, TEXT("Sync.Nothing")), nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILE_NOT_FOUND);
    CloseHandle(hOpened);
    CloseHandle(hReader);
    CloseHandle(hWriter);
}

TEST(Wait, MultipleObjectsReportsTheLowestSignalledIndex) {
    HANDLE events[3];
    for (auto& h : events) h = CreateEventW(NULL, TRUE, FALSE, NULL);
    EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), (DWORD)WAIT_TIMEOUT);
    SetEvent(events[2]);
    EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_OBJECT_0 + 2);
    SetEvent(events[1]);
    EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_OBJECT_0 + 1);
    for (auto& h : events) CloseHandle(h);
}

TEST(Wait, BadArgumentsFail) {
    HANDLE hEvent = CreateEventW(NULL, TRUE, TRUE, NULL);
    HANDLE many[MAXIMUM_WAIT_OBJECTS + 1];
    for (auto& h : many) h = hEvent;
    struct {
        const char* name;
        DWORD count;
        const HANDLE* handles;
        BOOL waitAll;
    } cases[] = {
        {"no objects", 0, many, FALSE},
        {"too many objects", MAXIMUM_WAIT_OBJECTS + 1, many, FALSE},
        {"no array", 1, nullptr, FALSE},
        {"wait all is not supported", 1, many, TRUE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetLastError(kSentinel);
        EXPECT_EQ(WaitForMultipleObjects(c.count, c.handles, c.waitAll, 0), WAIT_FAILED);
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
    }
    EXPECT_EQ(WaitForMultipleObjects(MAXIMUM_WAIT_OBJECTS, many, FALSE, 0), WAIT_OBJECT_0);
    CloseHandle(hEvent);
}

TEST(Wait, TimeoutIsMeasuredInDeviceTime) {
    platform::testing::FastClock fast(50);
    HANDLE hEvent = CreateEventW(NULL, FALSE, FALSE, NULL);
    DWORD start = GetTickCount();
    EXPECT_EQ(WaitForSingleObject(hEvent, 5000), (DWORD)WAIT_TIMEOUT);
    EXPECT_GE(GetTickCount() - start, 5000u);
    CloseHandle(hEvent);
}

TEST(Wait, RateChangeDuringAWaitIsHonoured) {
    HANDLE hEvent = CreateEventW(NULL, FALSE, FALSE, NULL);
    std::atomic<DWORD> result{kSentinel};
    std::atomic<DWORD> woken{0};
    DWORD start = GetTickCount();
    std::thread waiter([&] {
        result = WaitForSingleObject(hEvent, 60000);
        woken = GetTickCount();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    {
        // A waiter that kept its real-time deadline would wake a host minute
        // later, some 60 million device milliseconds on at this rate.
        platform::testing::FastClock fast(1000);
        waiter.join();
    }
    EXPECT_EQ(result.load(), (DWORD)WAIT_TIMEOUT);
    EXPECT_GE(woken.load() - start, 60000u);
    EXPECT_LT(woken.load() - start, 10000000u);
    CloseHandle(hEvent);
}

TEST(Wait, ManyThreadsOnOneAutoResetEventEachGetOneSet) {
    HANDLE hEvent = CreateEventW(NULL, FALSE, FALSE, NULL);
    constexpr int kThreads = 8;
    std::atomic<int> released{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < kThreads; ++i)
        waiters.emplace_back([&] {
            if (WaitForSingleObject(hEvent, INFINITE) == WAIT_OBJECT_0) ++released;
        });
    for (int i = 0; i < kThreads; ++i) {
        SetEvent(hEvent);
        while (released.load() <= i) std::this_thread::yield();
    }
    for (auto& t : waiters) t.join();
    EXPECT_EQ(released.load(), kThreads);
    EXPECT_EQ(WaitForSingleObject(hEvent, 0), (DWORD)WAIT_TIMEOUT);
    CloseHandle(hEvent);
}

}  // namespace
