// Running scripts: what a run prints, how it counts, and how it reports faults.
#include <sstream>

#include "simulator/termsim/script_runner.h"
#include "test_support.h"

namespace sim {
namespace {

using testing::TempFolder;
using testing::writeFile;

class ScriptRun : public testing::BootedTerminal {
protected:
    // Runs the text as the script "t.tsim" and returns what it printed.
    std::string run(const std::string& text, ScriptRunner::Options options = {.echoCommands = false}) {
        std::ostringstream out;
        ScriptRunner runner(terminal, commands, out, options);
        runner.runText(text, "t.tsim", host.path());
        passed = runner.passed();
        failed = runner.failed();
        return out.str();
    }

    const CommandTable commands = standardCommands();
    TempFolder host;
    int passed = 0;
    int failed = 0;
};

TEST_F(ScriptRun, AFailedExpectationNamesItsLineAndTheRunGoesOn) {
    const std::string out = run(
        "# a comment, then a blank line\n"
        "\n"
        "reg set HKLM\\S n dword 5\n"
        "expect reg HKLM\\S n 6\n"
        "expect reg HKLM\\S n 5\n");
    EXPECT_EQ(out,
              "OK\n"
              "t.tsim:4: expected HKEY_LOCAL_MACHINE\\S \"n\" = 6, found dword 0x00000005 (5)\n"
              "OK\n");
    EXPECT_EQ(passed, 1);
    EXPECT_EQ(failed, 1);
}

TEST_F(ScriptRun, ErrorsNameTheirLineAndCountAsFailures) {
    const std::string out = run(
        "frobnicate\n"
        "reg set HKLM\\S\n"
        "echo \"unclosed\n"
        "wait soon\n"
        "start NoSuchApp\n"
        "expect running ProofApp many\n");
    std::istringstream lines(out);
    std::string line;
    std::vector<std::string> got;
    while (std::getline(lines, line)) got.push_back(line);
    ASSERT_EQ(got.size(), 6u) << out;
    EXPECT_EQ(got[0], "t.tsim:1: unknown command \"frobnicate\" (help lists the commands)");
    EXPECT_EQ(got[1], "t.tsim:2: usage: reg set KEY NAME dword|sz|expand_sz|multi_sz|binary DATA…");
    EXPECT_TRUE(got[2].starts_with("t.tsim:3: a quote opened in column 6")) << got[2];
    EXPECT_EQ(got[3], "t.tsim:4: \"soon\" is not a time in milliseconds");
    EXPECT_TRUE(got[4].starts_with("t.tsim:5: cannot start NoSuchApp")) << got[4];
    EXPECT_EQ(got[5], "t.tsim:6: \"many\" is not a count");
    EXPECT_EQ(passed, 0);
    EXPECT_EQ(failed, 6);
}

TEST_F(ScriptRun, QuotedWordsKeepBlanksAndBackslashes) {
    const std::string out = run(
        "reg set \"HKLM\\Norvane\\With Blank\" \"Path Name\" sz \"\\My Documents\\a b.txt\"\n"
        "expect reg \"HKLM\\Norvane\\With Blank\" \"Path Name\" \"\\My Documents\\a b.txt\"\n"
        "reg set HKLM\\Norvane @ sz \"default\"  # @ is the default value\n"
        "expect reg HKLM\\Norvane \"\" default\n"
        "reg set HKLM\\Norvane \"@\" sz \"named at\"\n"
        "expect reg HKLM\\Norvane @ default\n"
        "reg set HKLM\\Norvane List multi_sz \"one two\" three\n"
        "expect reg HKLM\\Norvane List \"one two\" three\n"
        "mkdir \"\\My Documents\\Sub Folder\"\n"
        "expect file \"\\My Documents\\Sub Folder\"\n");
    EXPECT_EQ(failed, 0) << out;
    EXPECT_EQ(passed, 5);
    EXPECT_OK(terminal.expectReg("HKLM\\Norvane", "@", "named at"));
}

TEST_F(ScriptRun, EchoesCommandsAndNotes) {
    const std::string out = run("echo hello  world\nstart ProofApp globals\n", {.echoCommands = true});
    EXPECT_EQ(out, "hello world\n> start ProofApp globals\nstarted \\Windows\\ProofApp.exe as process 256\nOK\n");
}

TEST_F(ScriptRun, QuitSkipsTheRest) {
    const std::string out = run("reg set HKLM\\Q a dword 1\nquit\nreg set HKLM\\Q b dword 1\n");
    EXPECT_EQ(out, "OK\n");
    EXPECT_OK(terminal.expectNoReg("HKLM\\Q", "b"));
}

TEST_F(ScriptRun, HelpDescribesCommands) {
    const std::string all = run("help\n");
    for (const auto& command : commands.all()) EXPECT_NE(all.find(command.usage), std::string::npos) << command.usage;
    const std::string one = run("help reg set\n");
    EXPECT_TRUE(one.starts_with("reg set KEY NAME")) << one;
    EXPECT_NE(one.find("multi_sz one word per string"), std::string::npos) << one;
    const std::string group = run("help expect\n");
    EXPECT_NE(group.find("expect log-order"), std::string::npos) << group;
    EXPECT_EQ(group.find("reg set"), std::string::npos) << group;
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(run("help frobnicate\n"), "t.tsim:1: no command \"frobnicate\" (help lists them all)\n");
}

TEST(ScriptFile, TakesHostPathsFromItsFolder) {
    TempFolder folder;
    writeFile(folder / "scenario/settings.reg", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\FromFile]\n\"n\"=dword:2\n");
    writeFile(folder / "scenario/run.tsim",
              "\xEF\xBB\xBFreg import settings.reg\r\n"
              "expect reg HKLM\\FromFile n 2\r\n"
              "reg export HKLM\\FromFile out/exported.reg\r\n");
    Device device;
    Terminal terminal(device);
    const CommandTable commands = standardCommands();
    std::ostringstream out;
    ScriptRunner runner(terminal, commands, out, {.echoCommands = false});
    runner.runFile(folder / "scenario/run.tsim");
    runner.runFile(folder / "scenario/missing.tsim");
    EXPECT_EQ(runner.summary(), "1 passed, 1 failed") << out.str();
    EXPECT_FALSE(runner.allPassed());
    EXPECT_TRUE(std::filesystem::exists(folder / "scenario/out/exported.reg")) << out.str();
    EXPECT_NE(out.str().find("missing.tsim: cannot read the script"), std::string::npos) << out.str();
}

TEST(ScriptConsole, ReadsCommandsUntilTheEnd) {
    Device device;
    Terminal terminal(device);
    const CommandTable commands = standardCommands();
    std::istringstream in("reg set HKLM\\C v dword 1\nexpect reg HKLM\\C v 2\n");
    std::ostringstream out;
    ScriptRunner runner(terminal, commands, out, {.echoCommands = false});
    runner.runConsole(in, false);
    EXPECT_EQ(out.str(), "OK\nconsole:2: expected HKEY_LOCAL_MACHINE\\C \"v\" = 2, found dword 0x00000001 (1)\n");
    EXPECT_EQ(runner.summary(), "0 passed, 1 failed");
}

}  // namespace
}  // namespace sim
