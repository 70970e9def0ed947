#include "simulator/termsim/script_syntax.h"

namespace sim::script {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

Line parseLine(std::string_view text) {
    Line line;
    size_t i = 0;
    while (true) {
        while (i < text.size() && isBlank(text[i])) ++i;
        if (i == text.size() || text[i] == '#') return line;

        Word word;
        if (text[i] == '"') {
            size_t close = text.find('"', i + 1);
            if (close == std::string_view::npos) {
                line.error = "a quote opened in column " + std::to_string(i + 1) + " is not closed";
                line.words.clear();
                return line;
            }
            word.text = text.substr(i + 1, close - i - 1);
            word.quoted = true;
            i = close + 1;
            if (i < text.size() && !isBlank(text[i])) {
                line.error = "a closing quote must end its word (column " + std::to_string(i) + ")";
                line.words.clear();
                return line;
            }
        } else {
            size_t end = i;
            while (end < text.size() && !isBlank(text[end])) {
                if (text[end] == '"') {
                    line.error = "a quote in the middle of a word (column " + std::to_string(end + 1) +
                                 "); quote the whole word";
                    line.words.clear();
                    return line;
                }
                ++end;
            }
            word.text = text.substr(i, end - i);
            i = end;
        }
        line.words.push_back(std::move(word));
    }
}

}  // namespace sim::script
