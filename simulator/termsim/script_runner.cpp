#include "simulator/termsim/script_runner.h"

#include <fstream>
#include <iostream>
#include <sstream>

namespace sim {

ScriptRunner::ScriptRunner(Terminal& terminal, const CommandTable& commands, std::ostream& out, Options options)
    : terminal_(terminal), commands_(commands), out_(out), options_(options) {}

std::string ScriptRunner::summary() const {
    return std::to_string(passed_) + " passed, " + std::to_string(failed_) + " failed";
}

void ScriptRunner::runFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    if (!in || !(text << in.rdbuf())) {
        out_ << file.string() << ": cannot read the script" << std::endl;
        ++failed_;
        return;
    }
    runText(text.str(), file.string(), file.parent_path());
}

void ScriptRunner::runText(std::string_view text, const std::string& name, const std::filesystem::path& hostBase) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // a UTF-8 byte order mark
    CommandContext context{terminal_, commands_, hostBase};
    size_t number = 0;
    while (!text.empty() && !stopped_) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++number;
        if (!runLine(line, name, number, context)) stopped_ = true;
    }
}

void ScriptRunner::runConsole(std::istream& in, bool interactive) {
    CommandContext context{terminal_, commands_, std::filesystem::current_path()};
    std::string line;
    size_t number = 0;
    while (!stopped_) {
        if (interactive) out_ << "termsim> " << std::flush;
        if (!std::getline(in, line)) break;
        ++number;
        if (!runLine(line, "console", number, context)) stopped_ = true;
    }
    if (interactive) out_ << std::endl;
}

bool ScriptRunner::runLine(std::string_view text, const std::string& name, size_t number, CommandContext& context) {
    const std::string where = name + ":" + std::to_string(number) + ": ";
    auto fail = [&](const std::string& reason) {
        out_ << where << reason << std::endl;
        ++failed_;
    };

    auto line = script::parseLine(text);
    if (!line.error && line.words.empty()) return true;

    std::string_view shown = text;
    while (!shown.empty() && (shown.back() == '\r' || shown.back() == ' ' || shown.back() == '\t')) shown.remove_suffix(1);
    while (!shown.empty() && (shown.front() == ' ' || shown.front() == '\t')) shown.remove_prefix(1);

    auto echo = [&] {
        if (options_.echoCommands) out_ << "> " << shown << std::endl;
    };
    if (line.error) {
        echo();
        fail(*line.error);
        return true;
    }
    const auto match = commands_.find(line.words);
    if (!match) {
        echo();
        fail("unknown command \"" + line.words[0].text + "\" (help lists the commands)");
        return true;
    }
    const bool quiet = match->command->quiet;
    if (!quiet) echo();
    const Command& command = *match->command;
    Args args = Args(line.words).subspan(match->nameWords);
    if (args.size() < command.minArgs || args.size() > command.maxArgs) {
        fail("usage: " + command.usage);
        return true;
    }

    Result result = command.run(context, args);
    for (const auto& output : result.output) out_ << output << '\n';
    if (!result.ok) {
        fail(result.message);
    } else {
        if (command.expectation) ++passed_;
        if (!quiet && !result.message.empty()) out_ << result.message << '\n';
        if (!quiet) out_ << "OK" << '\n';
    }
    out_ << std::flush;
    return !context.stopRequested;
}

}  // namespace sim
