// Programs and processes: start, ps, kill, the waits and the process expectations.
#include "simulator/automation/parse.h"
#include "simulator/termsim/commands/command_groups.h"

namespace sim::commands {
namespace {

std::optional<uint64_t> timeoutArg(Args args, size_t index, uint64_t fallback, Result& error) {
    if (args.size() <= index) return fallback;
    auto value = parseUnsigned(args[index].text);
    if (!value) error = Result::failure("\"" + args[index].text + "\" is not a time in milliseconds");
    return value;
}

}  // namespace

std::vector<Command> processCommands() {
    return {
        {.name = "start",
         .usage = "start PROGRAM [ARGS…]",
         .summary = "starts a program; its command line is the ARGS joined by blanks",
         .details = "PROGRAM is a device path or a name found in \\Windows; \".exe\" may be left out.\n"
                    "An argument with blanks is passed in double quotes.",
         .minArgs = 1,
         .run = [](CommandContext& c, Args a) {
             return c.terminal.start(a[0].text, textsOf(a.subspan(1)));
         }},
        {.name = "ps",
         .usage = "ps",
         .summary = "lists the processes: the running ones, then those that ended since boot",
         .maxArgs = 0,
         .run = [](CommandContext& c, Args) { return c.terminal.ps(); }},
        {.name = "kill",
         .usage = "kill PROGRAM",
         .summary = "ends every running instance of the program (exit code 1) and waits until they are gone",
         .minArgs = 1,
         .maxArgs = 1,
         .run = [](CommandContext& c, Args a) { return c.terminal.kill(a[0].text); }},
        {.name = "wait idle",
         .usage = "wait idle [TIMEOUT]",
         .summary = "waits until every device thread waits (TIMEOUT in host ms, default 10000)",
         .details = "Every command already waits for this before it acts; this one reports a\n"
                    "device that does not settle as an error.",
         .maxArgs = 1,
         .run = [](CommandContext& c, Args a) {
             Result error;
             auto timeout = timeoutArg(a, 0, Terminal::kDefaultIdleTimeout.count(), error);
             if (!timeout) return error;
             return c.terminal.waitIdle(std::chrono::milliseconds(*timeout));
         }},
        {.name = "wait exit",
         .usage = "wait exit PROGRAM [TIMEOUT]",
         .summary = "waits until no instance of the program runs (TIMEOUT in device ms)",
         .details = "Without TIMEOUT it waits 10 s of real time or 10000 device ms, whichever is\n"
                    "longer. Fails when the program never ran or still runs when the time is up.",
         .minArgs = 1,
         .maxArgs = 2,
         .run = [](CommandContext& c, Args a) {
             if (a.size() == 1) return c.terminal.waitExit(a[0].text);
             Result error;
             auto timeout = timeoutArg(a, 1, 0, error);
             if (!timeout) return error;
             return c.terminal.waitExit(a[0].text, *timeout);
         }},
        {.name = "wait",
         .usage = "wait MS",
         .summary = "lets MS milliseconds of device time pass",
         .minArgs = 1,
         .maxArgs = 1,
         .run = [](CommandContext& c, Args a) {
             auto ms = parseUnsigned(a[0].text);
             if (!ms) return Result::failure("\"" + a[0].text + "\" is not a time in milliseconds");
             return c.terminal.waitDeviceTime(*ms);
         }},
        {.name = "expect exit",
         .usage = "expect exit PROGRAM CODE",
         .summary = "the instance of the program that ended last exited with CODE (decimal or 0x hex)",
         .minArgs = 2,
         .maxArgs = 2,
         .expectation = true,
         .run = [](CommandContext& c, Args a) {
             auto code = parseDword(a[1].text);
             if (!code) return Result::failure("\"" + a[1].text + "\" is not an exit code");
             return c.terminal.expectExit(a[0].text, *code);
         }},
        {.name = "expect running",
         .usage = "expect running PROGRAM [COUNT]",
         .summary = "the program runs: exactly COUNT instances, or at least one without COUNT",
         .minArgs = 1,
         .maxArgs = 2,
         .expectation = true,
         .run = [](CommandContext& c, Args a) {
             if (a.size() == 1) return c.terminal.expectRunning(a[0].text);
             auto count = parseUnsigned(a[1].text);
             if (!count) return Result::failure("\"" + a[1].text + "\" is not a count");
             return c.terminal.expectRunning(a[0].text, static_cast<size_t>(*count));
         }},
    };
}

}  // namespace sim::commands
