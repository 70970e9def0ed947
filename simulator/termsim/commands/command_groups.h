// The groups of termsim's commands, one file each. A new group is a new file
// and one line in standardCommands().
#pragma once

#include <string>
#include <vector>

#include "simulator/termsim/command_table.h"

namespace sim::commands {

std::vector<Command> sessionCommands();   // help, echo, quit
std::vector<Command> processCommands();   // start, ps, kill, wait, expect exit/running
std::vector<Command> registryCommands();  // reg …, expect reg/no-reg
std::vector<Command> fileCommands();      // file …, mkdir, expect file/no-file
std::vector<Command> logCommands();       // log, log clear, expect log/log-order/no-log
std::vector<Command> clockCommands();     // clock rate, clock set

// Helpers the groups share.
std::vector<std::string> textsOf(Args args);
// A value name as scripts write it: an unquoted @ is the key's default value.
std::string valueName(const script::Word& word);

}  // namespace sim::commands
