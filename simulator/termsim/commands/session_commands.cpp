// Commands about the session itself rather than the device.
#include <algorithm>

#include "simulator/termsim/commands/command_groups.h"

namespace sim::commands {
namespace {

std::string padded(const std::string& text, size_t width) {
    return text.size() >= width ? text + "  " : text + std::string(width - text.size(), ' ');
}

Result help(CommandContext& context, Args args) {
    Result result = Result::success();
    if (args.empty()) {
        size_t width = 0;
        for (const auto& command : context.commands.all()) width = std::max(width, command.usage.size() + 2);
        result.output.push_back("Commands (help COMMAND for more about one):");
        for (const auto& command : context.commands.all()) {
            result.output.push_back("  " + padded(command.usage, width) + command.summary);
        }
        return result;
    }
    std::string wanted;
    for (const auto& word : args) wanted += (wanted.empty() ? "" : " ") + word.text;
    auto found = context.commands.named(wanted);
    if (found.empty()) return Result::failure("no command \"" + wanted + "\" (help lists them all)");
    for (const Command* command : found) {
        result.output.push_back(command->usage);
        result.output.push_back("    " + command->summary);
        if (found.size() == 1 && !command->details.empty()) {
            size_t start = 0;
            while (start <= command->details.size()) {
                size_t end = command->details.find('\n', start);
                if (end == std::string::npos) end = command->details.size();
                result.output.push_back("    " + command->details.substr(start, end - start));
                start = end + 1;
            }
        }
    }
    return result;
}

}  // namespace

std::vector<Command> sessionCommands() {
    return {
        {.name = "help",
         .usage = "help [COMMAND]",
         .summary = "lists the commands, or tells more about one (or a group: help reg)",
         .quiet = true,
         .run = help},
        {.name = "echo",
         .usage = "echo TEXT…",
         .summary = "prints the text (a script's narration)",
         .quiet = true,
         .run =
             [](CommandContext&, Args args) {
                 Result result = Result::success();
                 std::string line;
                 for (const auto& word : args) line += (line.empty() ? "" : " ") + word.text;
                 result.output.push_back(line);
                 return result;
             }},
        {.name = "quit",
         .usage = "quit",
         .summary = "ends the console or the script here",
         .maxArgs = 0,
         .quiet = true,
         .run =
             [](CommandContext& context, Args) {
                 context.stopRequested = true;
                 return Result::success();
             }},
    };
}

}  // namespace sim::commands
