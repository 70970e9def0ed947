// The debug log: log, log clear and the log expectations.
#include "simulator/termsim/commands/command_groups.h"

namespace sim::commands {

std::vector<Command> logCommands() {
    return {
        {.name = "log",
         .usage = "log [FILTER]",
         .summary = "shows the debug log (the lines containing FILTER): device time, process, text",
         .details = "To show lines containing the word clear, quote it: log \"clear\".",
         .maxArgs = 1,
         .run = [](CommandContext& c, Args a) { return c.terminal.log(a.empty() ? "" : a[0].text); }},
        {.name = "log clear",
         .usage = "log clear",
         .summary = "empties the debug log",
         .maxArgs = 0,
         .run = [](CommandContext& c, Args) { return c.terminal.logClear(); }},
        {.name = "expect log",
         .usage = "expect log TEXT",
         .summary = "some line of the debug log contains TEXT",
         .minArgs = 1,
         .maxArgs = 1,
         .expectation = true,
         .run = [](CommandContext& c, Args a) { return c.terminal.expectLog(a[0].text); }},
        {.name = "expect log-order",
         .usage = "expect log-order TEXT TEXT…",
         .summary = "lines containing the TEXTs appear in the debug log in that order",
         .minArgs = 2,
         .expectation = true,
         .run = [](CommandContext& c, Args a) { return c.terminal.expectLogOrder(textsOf(a)); }},
        {.name = "expect no-log",
         .usage = "expect no-log TEXT",
         .summary = "no line of the debug log contains TEXT",
         .minArgs = 1,
         .maxArgs = 1,
         .expectation = true,
         .run = [](CommandContext& c, Args a) { return c.terminal.expectNoLog(a[0].text); }},
    };
}

}  // namespace sim::commands
