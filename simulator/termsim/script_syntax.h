// The lines of a termsim script.
//
// One command a line. Words are separated by blanks (spaces, tabs). A word that
// starts with a double quote runs to the next double quote and may hold blanks;
// a backslash is an ordinary character everywhere, so device paths are written
// as they are ("\My Documents\a.txt"). A word starting with '#' begins a comment
// that runs to the end of the line. Blank lines and comment lines do nothing.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim::script {

struct Word {
    std::string text;
    bool quoted = false;  // written in quotes: never a command name or keyword

    bool operator==(const Word&) const = default;
};

struct Line {
    std::vector<Word> words;            // empty for blank and comment lines
    std::optional<std::string> error;   // why the line cannot be read
};

Line parseLine(std::string_view text);

}  // namespace sim::script
