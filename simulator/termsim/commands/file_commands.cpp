// The device's files: file put/get/ls/rm, mkdir and the file expectations.
#include "simulator/termsim/commands/command_groups.h"

namespace sim::commands {

std::vector<Command> fileCommands() {
    return {
        {.name = "file put",
         .usage = "file put HOSTFILE DEVPATH",
         .summary = "copies a host file onto the device (into DEVPATH if it is a folder)",
         .details = "A relative HOSTFILE is taken from the script's folder.",
         .minArgs = 2,
         .maxArgs = 2,
         .run = [](CommandContext& c, Args a) { return c.terminal.filePut(c.hostPath(a[0].text), a[1].text); }},
        {.name = "file get",
         .usage = "file get DEVPATH HOSTFILE",
         .summary = "copies a device file to the host (into HOSTFILE if it is a folder)",
         .details = "A relative HOSTFILE is taken from the script's folder.",
         .minArgs = 2,
         .maxArgs = 2,
         .run = [](CommandContext& c, Args a) { return c.terminal.fileGet(a[0].text, c.hostPath(a[1].text)); }},
        {.name = "file ls",
         .usage = "file ls DEVDIR",
         .summary = "lists a folder: size or <DIR>, then the name (* and ? may filter the last component)",
         .minArgs = 1,
         .maxArgs = 1,
         .run = [](CommandContext& c, Args a) { return c.terminal.fileLs(a[0].text); }},
        {.name = "file rm",
         .usage = "file rm DEVPATH",
         .summary = "removes a file or an empty folder",
         .minArgs = 1,
         .maxArgs = 1,
         .run = [](CommandContext& c, Args a) { return c.terminal.fileRm(a[0].text); }},
        {.name = "mkdir",
         .usage = "mkdir DEVDIR",
         .summary = "creates a folder and its parents; an existing folder is fine",
         .minArgs = 1,
         .maxArgs = 1,
         .run = [](CommandContext& c, Args a) { return c.terminal.mkdir(a[0].text); }},
        {.name = "expect file",
         .usage = "expect file DEVPATH",
         .summary = "a file or folder is there (* and ? allowed in the last component)",
         .minArgs = 1,
         .maxArgs = 1,
         .expectation = true,
         .run = [](CommandContext& c, Args a) { return c.terminal.expectFile(a[0].text); }},
        {.name = "expect no-file",
         .usage = "expect no-file DEVPATH",
         .summary = "nothing matches the path (* and ? allowed in the last component)",
         .minArgs = 1,
         .maxArgs = 1,
         .expectation = true,
         .run = [](CommandContext& c, Args a) { return c.terminal.expectNoFile(a[0].text); }},
    };
}

}  // namespace sim::commands
