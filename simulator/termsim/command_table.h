// termsim's commands: one table row per command, gathered from one file per
// group of commands (processes, registry, files, …). A command is named by one
// or two words ("ps", "reg set", "expect log"); the longest name that the
// line's leading unquoted words spell wins, so "wait idle" and "wait 500" are
// different commands.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "simulator/automation/result.h"
#include "simulator/automation/terminal.h"
#include "simulator/termsim/script_syntax.h"

namespace sim {

class CommandTable;

// What a command runs with.
struct CommandContext {
    Terminal& terminal;
    const CommandTable& commands;
    // Relative host paths in a script are taken from the script's folder.
    std::filesystem::path hostBase;
    // Set by `quit`: the rest of the input is skipped.
    bool stopRequested = false;

    std::filesystem::path hostPath(std::string_view path) const;
};

using Args = std::span<const script::Word>;

struct Command {
    static constexpr size_t kAnyNumber = std::numeric_limits<size_t>::max();

    std::string name;     // "reg set"
    std::string usage;    // "reg set KEY NAME TYPE DATA…"
    std::string summary;  // one line for `help`
    std::string details;  // more for `help COMMAND`; may be empty
    size_t minArgs = 0;
    size_t maxArgs = kAnyNumber;
    // Expectations are what a run counts as passed or failed.
    bool expectation = false;
    // Prints its own output only: not echoed, no OK line (echo, help).
    bool quiet = false;
    std::function<Result(CommandContext&, Args)> run;
};

class CommandTable {
public:
    // Adds a group of commands; a name that is taken already is a programming
    // error (std::logic_error).
    void add(std::vector<Command> group);

    struct Match {
        const Command* command = nullptr;
        size_t nameWords = 0;  // how many of the line's words the name took
    };
    std::optional<Match> find(std::span<const script::Word> words) const;

    // Commands whose name is `words` or starts with it ("reg" finds every reg command).
    std::vector<const Command*> named(std::string_view words) const;

    const std::vector<Command>& all() const { return commands_; }

private:
    std::vector<Command> commands_;
};

// Every command termsim knows.
CommandTable standardCommands();

}  // namespace sim
