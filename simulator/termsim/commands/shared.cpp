#include "simulator/termsim/commands/command_groups.h"

namespace sim::commands {

std::vector<std::string> textsOf(Args args) {
    std::vector<std::string> texts;
    for (const auto& word : args) texts.push_back(word.text);
    return texts;
}

std::string valueName(const script::Word& word) { return !word.quoted && word.text == "@" ? "" : word.text; }

}  // namespace sim::commands
