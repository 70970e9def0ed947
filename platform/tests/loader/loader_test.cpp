// Processes and modules: private copies per process, named objects across
// processes, the end of a process, libraries and their exports.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/debug/debug_log.h"
#include "platform/kernel/handle_table.h"
#include "platform/kernel/process_control.h"
#include "platform/text/utf.h"
#include "support/device_fixture.h"

namespace {

constexpr DWORD kSentinel = 0xdeadbeef;

class LoaderTest : public ::testing::Test {
protected:
    void SetUp() override { platform::debug::debugLog().clear(); }
    void TearDown() override { platform::kernel::shutdownAllProcesses(); }

    // Starts ProofApp with the arguments; the handles are closed by the caller.
    PROCESS_INFORMATION start(const char16_t* arguments) {
        PROCESS_INFORMATION pi{};
        EXPECT_TRUE(CreateProcessW(TEXT("ProofApp"), arguments, NULL, NULL, FALSE, 0, NULL, NULL, NULL, &pi))
            << "error " << GetLastError();
        return pi;
    }

    DWORD finish(PROCESS_INFORMATION& pi) {
        EXPECT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
        DWORD code = kSentinel;
        EXPECT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return code;
    }

    bool logHas(const std::string& text) {
        return platform::debug::debugLog().waitFor(
            [&](const platform::debug::LogLine& line) {
                return platform::text::toUtf8(line.text).find(text) != std::string::npos;
            },
            std::chrono::seconds(10));
    }

    // A named mutex of that name no longer exists.
    static void expectMutexNameFree(LPCWSTR name) {
        SetLastError(kSentinel);
        HANDLE hMutex = CreateMutexW(NULL, FALSE, name);
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_SUCCESS);
        CloseHandle(hMutex);
    }

    platform::testing::TemporaryStorageRoot root_{true};
    platform::testing::FastClock clock_{20};
};

TEST_F(LoaderTest, EachProcessHasItsOwnGlobals) {
    auto first = start(TEXT("globals"));
    auto second = start(TEXT("globals"));
    EXPECT_EQ(finish(first), 1u);
    EXPECT_EQ(finish(second), 1u);
}

TEST_F(LoaderTest, SecondInstanceFindsTheFirstsMutexUntilTheFirstEnds) {
    auto first = start(TEXT("mutex"));
    ASSERT_TRUE(logHas("ProofApp: mutex first"));
    auto second = start(TEXT("mutex"));
    EXPECT_EQ(finish(second), (DWORD)ERROR_ALREADY_EXISTS);
    auto quit = start(TEXT("quit"));
    EXPECT_EQ(finish(quit), 0u);
    EXPECT_EQ(finish(first), 0u);
    expectMutexNameFree(TEXT("ProofMutex"));  // it went with the first's last handle
}

TEST_F(LoaderTest, EventDataWordCrossesProcesses) {
    auto reader = start(TEXT("getdata"));
    ASSERT_TRUE(logHas("ProofApp: waiting for data"));
    auto writer = start(TEXT("setdata 0xCAFE0001"));
    EXPECT_EQ(finish(writer), 0u);
    EXPECT_EQ(finish(reader), 0xCAFE0001u);
    EXPECT_TRUE(logHas("ProofApp: data 0xCAFE0001"));
}

TEST_F(LoaderTest, TerminatedProcessLosesItsHandlesAndThreads) {
    auto first = start(TEXT("mutex"));
    ASSERT_TRUE(logHas("ProofApp: mutex first"));
    EXPECT_GT(platform::kernel::handleTable().countOf(first.dwProcessId), 0u);
    EXPECT_TRUE(TerminateProcess(first.hProcess, 9));
    EXPECT_EQ(finish(first), 9u);
    EXPECT_EQ(platform::kernel::handleTable().countOf(first.dwProcessId), 0u);
    EXPECT_FALSE(platform::kernel::findProcess(first.dwProcessId)->running);
    expectMutexNameFree(TEXT("ProofMutex"));
}

TEST_F(LoaderTest, LibraryExportsOnlyItsOwnNames) {
    auto app = start(TEXT("loadlib"));
    EXPECT_EQ(finish(app), 0u);
    EXPECT_TRUE(logHas("ProofLib: attach"));
    EXPECT_TRUE(logHas("ProofApp: ProofAdd(2, 3) = 5"));
    EXPECT_TRUE(logHas("ProofApp: ProofMissing absent, error 127"));
    EXPECT_TRUE(logHas("ProofApp: malloc not exported"));
    EXPECT_TRUE(logHas("ProofLib: detach"));
}

TEST_F(LoaderTest, LibraryLoadsAreCountedAndModuleNamesKnown) {
    HMODULE hFirst = LoadLibraryW(TEXT("ProofLib"));
    ASSERT_NE(hFirst, nullptr);
    HMODULE hSecond = LoadLibraryW(TEXT("\\Windows\\prooflib.dll"));
    EXPECT_EQ(hFirst, hSecond);
    EXPECT_EQ(GetModuleHandleW(TEXT("ProofLib.dll")), hFirst);

    WCHAR szName[MAX_PATH + 2];
    szName[MAX_PATH + 1] = 0x5A5A;
    DWORD length = GetModuleFileNameW(hFirst, szName, MAX_PATH);
    EXPECT_EQ(std::u16string(szName), u"\\Windows\\ProofLib.dll");
    EXPECT_EQ(length, 21u);
    WCHAR szShort[8];
    EXPECT_EQ(GetModuleFileNameW(hFirst, szShort, 8), 7u);
    EXPECT_EQ(std::u16string(szShort), u"\\Window");
    EXPECT_EQ(szName[MAX_PATH + 1], 0x5A5A);

    using Counter = int (*)();
    auto counter = reinterpret_cast<Counter>(GetProcAddressW(hFirst, TEXT("ProofCounter")));
    ASSERT_NE(counter, nullptr);
    EXPECT_EQ(counter(), 1);
    EXPECT_TRUE(FreeLibrary(hSecond));
    EXPECT_EQ(counter(), 2) << "still loaded once";
    EXPECT_TRUE(FreeLibrary(hFirst));
    SetLastError(kSentinel);
    EXPECT_EQ(GetProcAddressW(hFirst, TEXT("ProofCounter")), nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
    SetLastError(kSentinel);
    EXPECT_FALSE(FreeLibrary(hFirst));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
}

TEST_F(LoaderTest, MissingAndBrokenImagesFail) {
    HANDLE hFile = CreateFileW(TEXT("\\Windows\\Broken.exe"), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(hFile, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(hFile, "not a program", 13, &written, NULL);
    CloseHandle(hFile);

    struct {
        const char16_t* image;
        DWORD error;
    } programs[] = {{u"NoSuchProgram", ERROR_FILE_NOT_FOUND}, {u"\\Windows\\Broken.exe", ERROR_BAD_EXE_FORMAT},
                    {u"", ERROR_INVALID_PARAMETER}};
    for (const auto& c : programs) {
        PROCESS_INFORMATION pi{};
        SetLastError(kSentinel);
        EXPECT_FALSE(CreateProcessW(c.image, NULL, NULL, NULL, FALSE, 0, NULL, NULL, NULL, &pi));
        EXPECT_EQ(GetLastError(), c.error);
    }
    struct {
        const char16_t* library;
        DWORD error;
    } libraries[] = {{u"NoSuchLib", ERROR_MOD_NOT_FOUND}, {u"\\Windows\\Broken.exe", ERROR_BAD_EXE_FORMAT}};
    for (const auto& c : libraries) {
        SetLastError(kSentinel);
        EXPECT_EQ(LoadLibraryW(c.library), nullptr);
        EXPECT_EQ(GetLastError(), c.error);
    }
}

TEST_F(LoaderTest, WaitIdleSeesAProcessSettle) {
    auto first = start(TEXT("mutex"));
    EXPECT_TRUE(platform::kernel::waitUntilIdle(std::chrono::seconds(10)));
    EXPECT_TRUE(logHas("ProofApp: mutex first"));
    auto quit = start(TEXT("quit"));
    finish(quit);
    finish(first);
}

}  // namespace
