// How a script line splits into words.
#include <gtest/gtest.h>

#include "simulator/termsim/script_syntax.h"

namespace sim::script {
namespace {

Word plain(const char* text) { return {text, false}; }
Word quoted(const char* text) { return {text, true}; }

TEST(ScriptSyntax, SplitsLinesIntoWords) {
    struct Case {
        const char* line;
        std::vector<Word> words;
    };
    const Case cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"# a comment", {}},
        {"   # an indented comment", {}},
        {"ps", {plain("ps")}},
        {"  start\tProofApp   mutex  ", {plain("start"), plain("ProofApp"), plain("mutex")}},
        {"ps\r", {plain("ps")}},  // a script saved with CRLF
        {"start ProofApp # why", {plain("start"), plain("ProofApp")}},
        {"log a#b", {plain("log"), plain("a#b")}},  // '#' inside a word is text
        // Backslashes are ordinary characters, inside quotes and out.
        {"file ls \\Nand\\Album", {plain("file"), plain("ls"), plain("\\Nand\\Album")}},
        {"mkdir \"\\My Documents\\x\"", {plain("mkdir"), quoted("\\My Documents\\x")}},
        {"expect log \"ends with \\\"", {plain("expect"), plain("log"), quoted("ends with \\")}},
        {"echo \"\"", {plain("echo"), quoted("")}},
        {"echo \"# not a comment\"", {plain("echo"), quoted("# not a comment")}},
        {"echo \"a\" \"b\"", {plain("echo"), quoted("a"), quoted("b")}},
        {"echo \"a\"\t", {plain("echo"), quoted("a")}},
        {"echo 한국어", {plain("echo"), plain("한국어")}},
    };
    for (const auto& c : cases) {
        auto line = parseLine(c.line);
        EXPECT_FALSE(line.error) << c.line << ": " << line.error.value_or("");
        EXPECT_EQ(line.words, c.words) << c.line;
    }
}

TEST(ScriptSyntax, RefusesBrokenQuotes) {
    for (const char* text : {"echo \"open", "echo \"a\"b", "echo a\"b\"", "echo ab\"", "\""}) {
        auto line = parseLine(text);
        ASSERT_TRUE(line.error) << text;
        EXPECT_TRUE(line.words.empty()) << text;
        EXPECT_NE(line.error->find("column"), std::string::npos) << *line.error;
    }
}

}  // namespace
}  // namespace sim::script
