// Runs termsim scripts and the interactive console against one device.
//
// Each command prints its output, then OK or one error line. An error, or an
// expectation that fails, is reported as "NAME:LINE: reason" and counted as a
// failure; the run goes on. An expectation that holds counts as passed.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>

#include "simulator/termsim/command_table.h"

namespace sim {

class ScriptRunner {
public:
    struct Options {
        // Print each command ("> start ProofApp") before its result.
        bool echoCommands = true;
    };

    ScriptRunner(Terminal& terminal, const CommandTable& commands, std::ostream& out, Options options);
    ScriptRunner(Terminal& terminal, const CommandTable& commands, std::ostream& out)
        : ScriptRunner(terminal, commands, out, Options{}) {}

    // Runs a script file; relative host paths in it are taken from its folder.
    // An unreadable file counts as a failure.
    void runFile(const std::filesystem::path& file);
    // Runs script text; name is what error lines begin with.
    void runText(std::string_view text, const std::string& name, const std::filesystem::path& hostBase);
    // Reads commands until the end of input or `quit`, with a prompt when
    // interactive; relative host paths are taken from the current folder.
    void runConsole(std::istream& in, bool interactive);

    int passed() const { return passed_; }
    int failed() const { return failed_; }
    bool allPassed() const { return failed_ == 0; }
    std::string summary() const;  // "N passed, N failed"

private:
    // Runs one line of input; false when the input should end (quit).
    bool runLine(std::string_view line, const std::string& name, size_t number, CommandContext& context);

    Terminal& terminal_;
    const CommandTable& commands_;
    std::ostream& out_;
    Options options_;
    int passed_ = 0;
    int failed_ = 0;
    bool stopped_ = false;
};

}  // namespace sim
