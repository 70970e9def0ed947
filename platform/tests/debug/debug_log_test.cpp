// The device's debug log: OutputDebugStringW and NKDbgPrintfW records, their
// order across threads, waiting for a line, and the echo to stderr.
#include "platform/debug/debug_log.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "platform/kernel/process_control.h"
#include "support/device_fixture.h"

using platform::debug::debugLog;
using platform::debug::formatLine;
using platform::debug::LogLine;
using namespace std::chrono_literals;

namespace {

class DebugLogTest : public ::testing::Test {
  protected:
    void SetUp() override { debugLog().clear(); }
    void TearDown() override {
        debugLog().setEcho(false);
        debugLog().clear();
    }

    static std::vector<std::u16string> texts() {
        std::vector<std::u16string> result;
        for (const LogLine& line : debugLog().lines()) result.push_back(line.text);
        return result;
    }
};

bool hasText(const LogLine& line, std::u16string_view text) { return line.text == text; }

}  // namespace

TEST_F(DebugLogTest, EachWriteIsOneLineStampedWithTimeAndProcess) {
    const DWORD before = GetTickCount();
    OutputDebugStringW(u"first\r\nsecond\r\n");
    NKDbgPrintfW(u"%s=%d (%02x)\r\n", u"level", 7, 10);
    const DWORD after = GetTickCount();

    const std::vector<LogLine> lines = debugLog().lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, u"first\r\nsecond\r\n");  // as written, not split
    EXPECT_EQ(lines[1].text, u"level=7 (0a)\r\n");
    for (const LogLine& line : lines) {
        EXPECT_EQ(line.processId, GetCurrentProcessId());
        EXPECT_EQ(line.process, u"host");
        EXPECT_GE(static_cast<DWORD>(line.deviceMs), before);
        EXPECT_LE(static_cast<DWORD>(line.deviceMs), after);
    }
    EXPECT_LE(lines[0].deviceMs, lines[1].deviceMs);
}

TEST_F(DebugLogTest, NullTextWritesNothingAndEmptyTextIsALine) {
    OutputDebugStringW(nullptr);
    NKDbgPrintfW(nullptr);
    EXPECT_EQ(debugLog().size(), 0u);
    OutputDebugStringW(u"");
    EXPECT_EQ(texts(), std::vector<std::u16string>{u""});
}

TEST_F(DebugLogTest, MessageMacrosWriteOnlyWhenTheConditionHolds) {
    RETAILMSG(1, (TEXT("on %d\r\n"), 1));
    RETAILMSG(0, (TEXT("off %d\r\n"), 2));
    EXPECT_EQ(texts(), std::vector<std::u16string>{u"on 1\r\n"});
}

TEST_F(DebugLogTest, ClearEmptiesTheLog) {
    OutputDebugStringW(u"x");
    debugLog().clear();
    EXPECT_EQ(debugLog().size(), 0u);
    OutputDebugStringW(u"y");
    EXPECT_EQ(texts(), std::vector<std::u16string>{u"y"});
}

TEST_F(DebugLogTest, ConcurrentWritersKeepEveryLineInOrder) {
    constexpr int kThreads = 4;
    constexpr int kLinesEach = 500;
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([t] {
            for (int i = 0; i < kLinesEach; ++i) NKDbgPrintfW(u"%d:%d", t, i);
        });
    }
    for (std::thread& w : writers) w.join();

    const std::vector<LogLine> lines = debugLog().lines();
    ASSERT_EQ(lines.size(), static_cast<size_t>(kThreads * kLinesEach));
    std::vector<int> next(kThreads, 0);
    uint64_t lastMs = 0;
    for (const LogLine& line : lines) {
        WCHAR* colon = nullptr;
        const long thread = wcstol(line.text.c_str(), &colon, 10);
        ASSERT_TRUE(thread >= 0 && thread < kThreads && *colon == u':')
            << ::testing::PrintToString(line.text);
        EXPECT_EQ(wcstol(colon + 1, nullptr, 10), next[thread]++) << "thread " << thread;
        EXPECT_GE(line.deviceMs, lastMs) << "times go backwards";
        lastMs = line.deviceMs;
    }
}

TEST_F(DebugLogTest, WaitForFindsPastAndFutureLines) {
    OutputDebugStringW(u"already there");
    EXPECT_TRUE(
        debugLog().waitFor([](const LogLine& l) { return hasText(l, u"already there"); }, 0ms));
    EXPECT_FALSE(debugLog().waitFor([](const LogLine& l) { return hasText(l, u"never"); }, 20ms));

    std::thread writer([] {
        std::this_thread::sleep_for(20ms);
        OutputDebugStringW(u"noise");
        OutputDebugStringW(u"later");
    });
    EXPECT_TRUE(debugLog().waitFor([](const LogLine& l) { return hasText(l, u"later"); }, 10s));
    writer.join();
}

TEST_F(DebugLogTest, WaitForSeesLinesWrittenAfterAClear) {
    OutputDebugStringW(u"old");
    std::atomic<bool> waiting{false};
    std::thread writer([&] {
        while (!waiting) std::this_thread::yield();
        std::this_thread::sleep_for(10ms);
        debugLog().clear();
        OutputDebugStringW(u"new");
    });
    waiting = true;
    EXPECT_TRUE(debugLog().waitFor([](const LogLine& l) { return hasText(l, u"new"); }, 10s));
    writer.join();
}

TEST_F(DebugLogTest, EchoWritesEachLineToStderrWhenAsked) {
    ::testing::internal::CaptureStderr();
    OutputDebugStringW(u"quiet\r\n");
    debugLog().setEcho(true);
    OutputDebugStringW(u"배터리 낮음\r\n");
    NKDbgPrintfW(u"code %u\r\n", 5u);
    debugLog().setEcho(false);
    OutputDebugStringW(u"quiet again\r\n");
    const std::string echoed = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(std::regex_match(echoed, std::regex("\\[ *[0-9]+\\.[0-9]{3}\\] host: 배터리 낮음\n"
                                                    "\\[ *[0-9]+\\.[0-9]{3}\\] host: code 5\n")))
        << echoed;
}

TEST_F(DebugLogTest, LinesOfADeviceProcessCarryItsIdAndName) {
    platform::testing::TemporaryStorageRoot root(true);
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(TEXT("ProofApp"), TEXT("setdata 0x5"), NULL, NULL, FALSE, 0, NULL,
                               NULL, NULL, &pi))
        << "error " << GetLastError();
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    platform::kernel::shutdownAllProcesses();

    const std::vector<LogLine> lines = debugLog().lines();
    const auto line = std::find_if(lines.begin(), lines.end(), [](const LogLine& l) {
        return hasText(l, u"ProofApp: data set 0x00000005\r\n");
    });
    ASSERT_NE(line, lines.end());
    EXPECT_EQ(line->processId, pi.dwProcessId);
    EXPECT_NE(line->processId, GetCurrentProcessId());
    EXPECT_EQ(line->process, u"ProofApp.exe");
}

TEST(DebugLogFormat, LineShowsTimeProcessAndTextInUtf8) {
    const struct {
        LogLine line;
        std::string shown;
    } cases[] = {
        {{12345, 7, u"AirSwitch.exe", u"started\r\n"}, "[  12.345] AirSwitch.exe: started"},
        {{5, 1, u"host", u"a\r\nb\n\n"}, "[   0.005] host: a\nb"},
        {{12345678, 1, u"host", u"x"}, "[12345.678] host: x"},
        {{0, 1, u"host", {u'a', 0xD800, u'b'}},
         "[   0.000] host: a\xEF\xBF\xBD"
         "b"},
    };
    for (const auto& c : cases) EXPECT_EQ(formatLine(c.line), c.shown);
}
