// The registry: reg import/export/set/get/delete and the registry expectations.
#include "simulator/termsim/commands/command_groups.h"

namespace sim::commands {
namespace {

constexpr const char* kKeyForms =
    "KEY has its root in full or short: HKEY_LOCAL_MACHINE\\Norvane or HKLM\\Norvane\n"
    "(likewise HKCU, HKCR). NAME @ (unquoted) is the key's default value.";

Result regSet(CommandContext& c, Args a) {
    std::string reason;
    auto value = parseRegValue(a[2].text, textsOf(a.subspan(3)), &reason);
    if (!value) return Result::failure(reason);
    return c.terminal.regSet(a[0].text, valueName(a[1]), *value);
}

}  // namespace

std::vector<Command> registryCommands() {
    return {
        {.name = "reg import",
         .usage = "reg import FILE",
         .summary = "applies a .reg file (REGEDIT4 or version 5.00; refused whole if malformed)",
         .minArgs = 1,
         .maxArgs = 1,
         .run = [](CommandContext& c, Args a) { return c.terminal.regImport(c.hostPath(a[0].text)); }},
        {.name = "reg export",
         .usage = "reg export KEY FILE",
         .summary = "writes the key and everything below it to a .reg file",
         .details = kKeyForms,
         .minArgs = 2,
         .maxArgs = 2,
         .run = [](CommandContext& c, Args a) {
             return c.terminal.regExport(a[0].text, c.hostPath(a[1].text));
         }},
        {.name = "reg set",
         .usage = "reg set KEY NAME dword|sz|expand_sz|multi_sz|binary DATA…",
         .summary = "sets a value, creating the key and its parents as needed",
         .details = std::string(kKeyForms) +
                    "\nDATA: dword a number (42, 0x2A); sz and expand_sz one text (quote blanks);\n"
                    "multi_sz one word per string (none for an empty list); binary hex bytes\n"
                    "(01 ff 3a, 01,ff,3a or 01ff3a).",
         .minArgs = 3,
         .run = regSet},
        {.name = "reg get",
         .usage = "reg get KEY NAME",
         .summary = "shows a value: its type and data, as reg set takes them",
         .details = kKeyForms,
         .minArgs = 2,
         .maxArgs = 2,
         .run = [](CommandContext& c, Args a) { return c.terminal.regGet(a[0].text, valueName(a[1])); }},
        {.name = "reg delete",
         .usage = "reg delete KEY [NAME]",
         .summary = "deletes a value, or without NAME the key with everything below it",
         .details = kKeyForms,
         .minArgs = 1,
         .maxArgs = 2,
         .run = [](CommandContext& c, Args a) {
             if (a.size() == 1) return c.terminal.regDelete(a[0].text);
             return c.terminal.regDelete(a[0].text, valueName(a[1]));
         }},
        {.name = "expect reg",
         .usage = "expect reg KEY NAME VALUE…",
         .summary = "the value is there and holds VALUE, read by the value's type",
         .details = std::string(kKeyForms) +
                    "\nA dword compares as a number (decimal or 0x hex), a text exactly, a multi_sz\n"
                    "string by string (one word each), anything else as hex bytes.",
         .minArgs = 2,
         .expectation = true,
         .run = [](CommandContext& c, Args a) {
             return c.terminal.expectReg(a[0].text, valueName(a[1]), textsOf(a.subspan(2)));
         }},
        {.name = "expect no-reg",
         .usage = "expect no-reg KEY [NAME]",
         .summary = "the key (or its value NAME) is not there",
         .details = kKeyForms,
         .minArgs = 1,
         .maxArgs = 2,
         .expectation = true,
         .run = [](CommandContext& c, Args a) {
             if (a.size() == 1) return c.terminal.expectNoReg(a[0].text);
             return c.terminal.expectNoReg(a[0].text, valueName(a[1]));
         }},
    };
}

}  // namespace sim::commands
