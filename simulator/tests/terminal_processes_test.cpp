// The automation API's processes, waits, debug log and clock.
#include <windows.h>

#include <cmath>

#include "platform/kernel/device_clock.h"
#include "platform/kernel/process_control.h"
#include "test_support.h"

namespace sim {
namespace {

using testing::BootedTerminal;

using TerminalProcesses = BootedTerminal;

TEST_F(TerminalProcesses, FindsProgramsByNameOrPath) {
    for (const char* program : {"ProofApp", "ProofApp.exe", "proofapp", "\\Windows\\ProofApp",
                                "\\windows\\PROOFAPP.EXE"}) {
        auto started = terminal.start(program, {"globals"});
        EXPECT_TRUE(started.ok) << program << ": " << started.message;
        EXPECT_TRUE(started.message.starts_with("started \\")) << started.message;
    }
    EXPECT_OK(terminal.expectLog("ProofApp: globals 1"));
    EXPECT_OK(terminal.expectNoLog("ProofApp: globals 2"));  // each process has its own globals

    for (const char* missing : {"NoSuchApp", "\\Nand\\ProofApp", "\\Windows", ""}) {
        auto result = terminal.start(missing);
        EXPECT_FALSE(result.ok) << missing;
        EXPECT_NE(result.message.find("cannot start"), std::string::npos) << result.message;
    }
}

TEST_F(TerminalProcesses, PassesArgumentsWithBlanksQuoted) {
    ASSERT_OK(terminal.start("ProofApp", {"mutex", "two words", ""}));
    auto listing = terminal.ps();
    ASSERT_OK(listing);
    ASSERT_EQ(listing.output.size(), 2u);
    EXPECT_TRUE(listing.output[1].ends_with("\\Windows\\ProofApp.exe mutex \"two words\" \"\""))
        << listing.output[1];
    EXPECT_NE(listing.output[1].find("running"), std::string::npos) << listing.output[1];
}

TEST_F(TerminalProcesses, KillEndsEveryInstance) {
    ASSERT_OK(terminal.start("ProofApp", {"sleep", "100000000"}));
    ASSERT_OK(terminal.start("ProofApp", {"sleep", "100000000"}));
    EXPECT_OK(terminal.expectRunning("ProofApp", 2));
    EXPECT_OK(terminal.kill("ProofApp"));
    EXPECT_OK(terminal.expectRunning("ProofApp", 0));
    EXPECT_OK(terminal.expectExit("ProofApp", Terminal::kKilledExitCode));
    auto again = terminal.kill("ProofApp");
    EXPECT_FALSE(again.ok);
    EXPECT_EQ(again.message, "ProofApp.exe is not running");
}

TEST_F(TerminalProcesses, WaitsForExitInDeviceTime) {
    auto never = terminal.waitExit("ProofApp");
    EXPECT_FALSE(never.ok);
    EXPECT_EQ(never.message, "ProofApp.exe never ran");

    ASSERT_OK(terminal.start("ProofApp", {"mutex"}));
    auto stuck = terminal.waitExit("ProofApp", 200);
    EXPECT_FALSE(stuck.ok);
    EXPECT_NE(stuck.message.find("still runs after 200 ms"), std::string::npos) << stuck.message;

    ASSERT_OK(terminal.start("ProofApp", {"quit"}));
    EXPECT_OK(terminal.waitExit("ProofApp"));
    EXPECT_OK(terminal.expectExit("ProofApp", 0));
}

TEST_F(TerminalProcesses, ExitAndRunningExpectationsSayWhatTheyFound) {
    EXPECT_EQ(terminal.expectExit("ProofApp", 0).message, "expected ProofApp.exe to have exited with 0, found it never ran");
    EXPECT_EQ(terminal.expectRunning("ProofApp").message, "expected ProofApp.exe running, found 0 running");

    ASSERT_OK(terminal.start("ProofApp", {"mutex"}));
    auto running = terminal.expectExit("ProofApp", 0);
    EXPECT_NE(running.message.find("still running"), std::string::npos) << running.message;

    ASSERT_OK(terminal.start("ProofApp", {"mutex"}));
    EXPECT_OK(terminal.expectExit("ProofApp", ERROR_ALREADY_EXISTS));
    auto wrong = terminal.expectExit("ProofApp", 0);
    EXPECT_NE(wrong.message.find("exited with 183"), std::string::npos) << wrong.message;
    EXPECT_EQ(terminal.expectRunning("ProofApp", 2).message,
              "expected 2 running instance(s) of ProofApp.exe, found 1 running");
    ASSERT_OK(terminal.start("ProofApp", {"quit"}));
}

TEST_F(TerminalProcesses, PassesAnEventsDataWordBetweenProcesses) {
    // At real time the reader's 5-second wait outlasts the writer's start even
    // on a slow host.
    ASSERT_OK(terminal.clockRate(1));
    ASSERT_OK(terminal.start("ProofApp", {"getdata"}));
    ASSERT_OK(terminal.start("ProofApp", {"setdata", "0xCAFE0001"}));
    ASSERT_OK(terminal.waitExit("ProofApp"));
    EXPECT_OK(terminal.expectLog("ProofApp: data 0xCAFE0001"));
}

TEST_F(TerminalProcesses, DeviceTimeWaitsCostLittleHostTime) {
    ASSERT_OK(terminal.clockRate(1000));
    auto& clock = platform::kernel::deviceClock();
    const uint64_t before = clock.nowMs();
    const auto hostBefore = std::chrono::steady_clock::now();
    ASSERT_OK(terminal.waitDeviceTime(5000));
    EXPECT_GE(clock.nowMs() - before, 5000u);
    EXPECT_LT(std::chrono::steady_clock::now() - hostBefore, std::chrono::seconds(1));

    ASSERT_OK(terminal.start("ProofApp", {"getdata"}));
    ASSERT_OK(terminal.waitDeviceTime(6000));
    EXPECT_OK(terminal.expectExit("ProofApp", WAIT_TIMEOUT));
}

TEST_F(TerminalProcesses, SetsTheClock) {
    for (double bad : {0.0, -1.0, Terminal::kMaxClockRate * 2, std::nan("")}) {
        EXPECT_FALSE(terminal.clockRate(bad).ok) << bad;
    }
    ASSERT_OK(terminal.clockRate(1));
    ASSERT_OK(terminal.clockSet({2024, 2, 29, 23, 59, 58}));
    SYSTEMTIME now{};
    GetLocalTime(&now);
    EXPECT_EQ(now.wYear, 2024);
    EXPECT_EQ(now.wMonth, 2);
    EXPECT_EQ(now.wDay, 29);
    EXPECT_EQ(now.wHour, 23);
    EXPECT_EQ(now.wMinute, 59);
    EXPECT_GE(now.wSecond, 58);
}

using TerminalLog = BootedTerminal;

TEST_F(TerminalLog, ExpectationsReadTheLinesInOrder) {
    for (const char16_t* line : {u"alpha one\r\n", u"beta\r\n", u"alpha two\r\n", u"gamma"}) {
        OutputDebugStringW(line);
    }
    struct Case {
        Result result;
        const char* message;  // empty: passes
    };
    const Case cases[] = {
        {terminal.expectLog("alpha"), ""},
        {terminal.expectLog("gamma"), ""},
        {terminal.expectLog("delta"),
         "expected a log line containing \"delta\", found no such line among 4 lines (last: \"gamma\")"},
        {terminal.expectNoLog("delta"), ""},
        {terminal.expectNoLog("beta"), "expected no log line containing \"beta\", found line 2: \"beta\""},
        {terminal.expectLogOrder({"alpha", "beta", "alpha"}), ""},
        {terminal.expectLogOrder({"beta", "gamma"}), ""},
        {terminal.expectLogOrder({"gamma", "beta"}),
         "expected log lines in the order \"gamma\" \"beta\", found \"gamma\" but no \"beta\" after it"},
        // Two texts need two lines, even where one line holds both.
        {terminal.expectLogOrder({"beta", "alpha", "alpha"}),
         "expected log lines in the order \"beta\" \"alpha\" \"alpha\", found \"alpha\" but no \"alpha\" after it"},
        {terminal.expectLogOrder({"delta", "beta"}),
         "expected log lines in the order \"delta\" \"beta\", found no line containing \"delta\""},
        // The line break a writer ends a line with is not part of its text.
        {terminal.expectLog("beta\r"), "expected a log line containing \"beta\r\", found no such line among 4 lines (last: \"gamma\")"},
    };
    for (const auto& c : cases) {
        if (*c.message == 0) {
            EXPECT_TRUE(c.result.ok) << c.result.message;
        } else {
            EXPECT_EQ(c.result.message, c.message);
        }
    }

    auto filtered = terminal.log("alpha");
    ASSERT_OK(filtered);
    ASSERT_EQ(filtered.output.size(), 2u);
    EXPECT_TRUE(filtered.output[0].ends_with("host: alpha one")) << filtered.output[0];
    EXPECT_EQ(terminal.log().output.size(), 4u);

    ASSERT_OK(terminal.logClear());
    EXPECT_TRUE(terminal.log().output.empty());
    EXPECT_FALSE(terminal.expectLog("alpha").ok);
}

}  // namespace
}  // namespace sim
