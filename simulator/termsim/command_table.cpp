#include "simulator/termsim/command_table.h"

#include <cctype>
#include <stdexcept>

#include "simulator/termsim/commands/command_groups.h"

namespace sim {
namespace {

bool sameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::vector<std::string_view> wordsOf(std::string_view name) {
    std::vector<std::string_view> words;
    size_t start = 0;
    while (start < name.size()) {
        size_t end = name.find(' ', start);
        if (end == std::string_view::npos) end = name.size();
        if (end > start) words.push_back(name.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

}  // namespace

std::filesystem::path CommandContext::hostPath(std::string_view path) const {
    std::filesystem::path given(path);
    return given.is_absolute() || hostBase.empty() ? given : hostBase / given;
}

void CommandTable::add(std::vector<Command> group) {
    for (auto& command : group) {
        for (const auto& existing : commands_) {
            if (existing.name == command.name) throw std::logic_error("command defined twice: " + command.name);
        }
        commands_.push_back(std::move(command));
    }
}

std::optional<CommandTable::Match> CommandTable::find(std::span<const script::Word> words) const {
    std::optional<Match> best;
    for (const auto& command : commands_) {
        auto name = wordsOf(command.name);
        if (name.size() > words.size() || (best && best->nameWords >= name.size())) continue;
        bool matches = true;
        for (size_t i = 0; i < name.size() && matches; ++i) {
            matches = !words[i].quoted && sameWord(words[i].text, name[i]);
        }
        if (matches) best = Match{&command, name.size()};
    }
    return best;
}

std::vector<const Command*> CommandTable::named(std::string_view words) const {
    auto wanted = wordsOf(words);
    std::vector<const Command*> found;
    for (const auto& command : commands_) {
        auto name = wordsOf(command.name);
        if (wanted.empty() || wanted.size() > name.size()) continue;
        bool matches = true;
        for (size_t i = 0; i < wanted.size() && matches; ++i) matches = sameWord(wanted[i], name[i]);
        if (matches) found.push_back(&command);
    }
    return found;
}

CommandTable standardCommands() {
    CommandTable table;
    table.add(commands::sessionCommands());
    table.add(commands::processCommands());
    table.add(commands::registryCommands());
    table.add(commands::fileCommands());
    table.add(commands::logCommands());
    table.add(commands::clockCommands());
    return table;
}

}  // namespace sim
