// The device clock: its rate and its date and time.
#include "simulator/automation/parse.h"
#include "simulator/termsim/commands/command_groups.h"

namespace sim::commands {

std::vector<Command> clockCommands() {
    return {
        {.name = "clock rate",
         .usage = "clock rate N",
         .summary = "runs the device clock N times as fast as real time (1 = real time; 0.5 is fine)",
         .minArgs = 1,
         .maxArgs = 1,
         .run = [](CommandContext& c, Args a) {
             auto rate = parsePositive(a[0].text);
             if (!rate) return Result::failure("\"" + a[0].text + "\" is not a rate above 0");
             return c.terminal.clockRate(*rate);
         }},
        {.name = "clock set",
         .usage = "clock set YYYY-MM-DD HH:MM:SS",
         .summary = "sets the device's local date and time; the clock runs on from there",
         .minArgs = 2,
         .maxArgs = 2,
         .run = [](CommandContext& c, Args a) {
             auto time = parseDateTime(a[0].text, a[1].text);
             if (!time) {
                 return Result::failure("\"" + a[0].text + " " + a[1].text +
                                        "\" is not a date and time (YYYY-MM-DD HH:MM:SS)");
             }
             return c.terminal.clockSet(*time);
         }},
    };
}

}  // namespace sim::commands
