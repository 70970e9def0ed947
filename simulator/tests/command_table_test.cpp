// The command table: how a line finds its command, and that every command is
// described where people look for it.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "simulator/termsim/command_table.h"

namespace sim {
namespace {

std::vector<script::Word> wordsOf(const char* line) { return script::parseLine(line).words; }

TEST(CommandTable, LongestNameWins) {
    const CommandTable table = standardCommands();
    struct Case {
        const char* line;
        const char* command;  // nullptr: no command
        size_t nameWords;
    };
    const Case cases[] = {
        {"wait idle", "wait idle", 2},
        {"wait idle 500", "wait idle", 2},
        {"wait 500", "wait", 1},
        {"wait exit ProofApp", "wait exit", 2},
        {"log", "log", 1},
        {"log clear", "log clear", 2},
        {"log \"clear\"", "log", 1},     // a quoted word is never part of a name
        {"log ProofApp", "log", 1},
        {"REG SET HKLM\\x a dword 1", "reg set", 2},  // names ignore case
        {"expect log-order a b", "expect log-order", 2},
        {"expect", nullptr, 0},
        {"reg", nullptr, 0},
        {"\"ps\"", nullptr, 0},
        {"frobnicate", nullptr, 0},
    };
    for (const auto& c : cases) {
        auto words = wordsOf(c.line);
        auto match = table.find(words);
        if (!c.command) {
            EXPECT_FALSE(match) << c.line;
            continue;
        }
        ASSERT_TRUE(match) << c.line;
        EXPECT_EQ(match->command->name, c.command) << c.line;
        EXPECT_EQ(match->nameWords, c.nameWords) << c.line;
    }
}

TEST(CommandTable, RefusesANameTwice) {
    Command ps;
    ps.name = ps.usage = "ps";
    CommandTable table;
    table.add({ps});
    EXPECT_THROW(table.add({ps}), std::logic_error);
}

TEST(CommandTable, GroupsAnswerHelp) {
    const CommandTable table = standardCommands();
    std::set<std::string> reg;
    for (const Command* command : table.named("reg")) reg.insert(command->name);
    EXPECT_EQ(reg, (std::set<std::string>{"reg delete", "reg export", "reg get", "reg import", "reg set"}));
    ASSERT_EQ(table.named("reg set").size(), 1u);
    EXPECT_TRUE(table.named("re").empty());  // whole words only
    EXPECT_TRUE(table.named("").empty());
}

TEST(CommandTable, EveryCommandIsDescribed) {
    std::ifstream docs(SIM_TERMSIM_DOCS);
    ASSERT_TRUE(docs) << SIM_TERMSIM_DOCS;
    std::stringstream text;
    text << docs.rdbuf();
    const CommandTable table = standardCommands();
    for (const auto& command : table.all()) {
        EXPECT_FALSE(command.summary.empty()) << command.name;
        EXPECT_TRUE(command.usage.starts_with(command.name)) << command.usage;
        EXPECT_TRUE(command.run) << command.name;
        EXPECT_NE(text.str().find("`" + command.usage + "`"), std::string::npos)
            << "docs/termsim.md does not describe `" << command.usage << "`";
    }
}

}  // namespace
}  // namespace sim
