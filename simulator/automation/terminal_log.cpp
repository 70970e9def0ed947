// The device's debug log: reading it, clearing it and the log expectations.

#include "platform/debug/debug_log.h"
#include "simulator/automation/terminal.h"
#include "platform/text/utf.h"

namespace sim {
namespace {

// A line's text without the line break the writer ended it with.
std::string textOf(const platform::debug::LogLine& line) {
    std::string text = platform::text::toUtf8(line.text);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

std::string inQuotes(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::vector<std::string> texts() {
    std::vector<std::string> out;
    for (const auto& line : platform::debug::debugLog().lines()) out.push_back(textOf(line));
    return out;
}

std::string lineCount(size_t count) { return std::to_string(count) + (count == 1 ? " line" : " lines"); }

}  // namespace

Result Terminal::log(std::string_view filter) {
    settle();
    Result result = Result::success();
    for (const auto& line : platform::debug::debugLog().lines()) {
        if (textOf(line).find(filter) != std::string::npos) result.output.push_back(platform::debug::formatLine(line));
    }
    return result;
}

Result Terminal::logClear() {
    settle();
    platform::debug::debugLog().clear();
    return Result::success();
}

Result Terminal::expectLog(std::string_view text) {
    settle();
    auto lines = texts();
    for (const auto& line : lines) {
        if (line.find(text) != std::string::npos) return Result::success();
    }
    std::string found = "no such line among " + lineCount(lines.size());
    if (!lines.empty()) found += " (last: " + inQuotes(lines.back()) + ")";
    return Result::mismatch("a log line containing " + inQuotes(text), found);
}

Result Terminal::expectLogOrder(const std::vector<std::string>& wanted) {
    settle();
    auto lines = texts();
    std::string expected = "log lines in the order";
    for (const auto& text : wanted) expected += " " + inQuotes(text);

    // Each text is looked for after the line where the one before it was found.
    size_t next = 0;
    for (size_t i = 0; i < wanted.size(); ++i) {
        while (next < lines.size() && lines[next].find(wanted[i]) == std::string::npos) ++next;
        if (next == lines.size()) {
            std::string found = i == 0 ? "no line containing " + inQuotes(wanted[0])
                                       : inQuotes(wanted[i - 1]) + " but no " + inQuotes(wanted[i]) + " after it";
            return Result::mismatch(expected, found);
        }
        ++next;
    }
    return Result::success();
}

Result Terminal::expectNoLog(std::string_view text) {
    settle();
    auto lines = texts();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find(text) != std::string::npos) {
            return Result::mismatch("no log line containing " + inQuotes(text),
                                    "line " + std::to_string(i + 1) + ": " + inQuotes(lines[i]));
        }
    }
    return Result::success();
}

}  // namespace sim
