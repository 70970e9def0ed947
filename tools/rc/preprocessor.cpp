#include "preprocessor.h"

#include <cctype>
#include <fstream>
#include <sstream>

#include "expression.h"
#include "token_stream.h"

namespace rc {

namespace fs = std::filesystem;

namespace {

constexpr int kMaxIncludeDepth = 32;

struct LogicalLine {
    std::string text;
    int line;
};

bool isHeaderOnly(const fs::path& file) {
    std::string ext = file.extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".h" || ext == ".c" || ext == ".hpp";
}

std::string trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// Splits a file into logical lines: continuation lines joined, comments removed
// (a comment may span lines), each line numbered by where it starts.
std::vector<LogicalLine> logicalLines(const std::string& content) {
    std::vector<std::string> physical;
    {
        std::string current;
        for (char c : content) {
            if (c == '\n') {
                if (!current.empty() && current.back() == '\r') current.pop_back();
                physical.push_back(std::move(current));
                current.clear();
            } else {
                current += c;
            }
        }
        if (!current.empty()) physical.push_back(std::move(current));
    }

    std::vector<LogicalLine> lines;
    bool inBlockComment = false;
    for (size_t i = 0; i < physical.size(); ++i) {
        int number = static_cast<int>(i) + 1;
        std::string raw = physical[i];
        while (!raw.empty() && raw.back() == '\\' && i + 1 < physical.size()) {
            raw.pop_back();
            raw += physical[++i];
        }
        std::string text;
        char quote = 0;
        for (size_t p = 0; p < raw.size(); ++p) {
            char c = raw[p];
            if (inBlockComment) {
                if (c == '*' && p + 1 < raw.size() && raw[p + 1] == '/') {
                    inBlockComment = false;
                    ++p;
                    text += ' ';
                }
                continue;
            }
            if (quote) {
                text += c;
                if (c == '\\' && p + 1 < raw.size()) text += raw[++p];
                else if (c == quote) quote = 0;
                continue;
            }
            if (c == '"' || c == '\'') {
                // An apostrophe inside a script's plain text is rare, but a C
                // header's character constants must not start a string.
                quote = c;
                text += c;
            } else if (c == '/' && p + 1 < raw.size() && raw[p + 1] == '/') {
                break;
            } else if (c == '/' && p + 1 < raw.size() && raw[p + 1] == '*') {
                inBlockComment = true;
                ++p;
            } else {
                text += c;
            }
        }
        lines.push_back({std::move(text), number});
    }
    return lines;
}

std::string readFile(const fs::path& file, bool& ok) {
    std::ifstream in(file, std::ios::binary);
    ok = static_cast<bool>(in);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace

Preprocessor::Preprocessor(std::vector<fs::path> includeDirs) : includeDirs_(std::move(includeDirs)) {
    define("RC_INVOKED", "1");
}

void Preprocessor::define(const std::string& name, const std::string& value) {
    Macro macro;
    SourceLocation where;
    macro.body = tokenizeLine(value, where);
    macros_[name] = std::move(macro);
}

TokenList Preprocessor::run(const fs::path& script) {
    output_.clear();
    processFile(fs::absolute(script), SourceLocation{}, 0);
    return std::move(output_);
}

void Preprocessor::processFile(const fs::path& file, const SourceLocation& includedFrom, int depth) {
    if (depth > kMaxIncludeDepth) throw ScriptError(includedFrom, "files include each other too deeply");
    fs::path canonical = fs::weakly_canonical(file);
    if (onceFiles_.count(canonical)) return;
    bool ok = false;
    std::string content = readFile(file, ok);
    if (!ok) throw ScriptError(includedFrom, "cannot open '" + file.string() + "'");
    filesRead_.insert(canonical);

    auto name = std::make_shared<const std::string>(file.lexically_normal().string());
    SourceLocation fileStart{name, 1};
    if (content.size() >= 2 && ((content[0] == '\xFF' && content[1] == '\xFE') || (content[0] == '\xFE' && content[1] == '\xFF')))
        throw ScriptError(fileStart, "UTF-16 scripts are not read; save the file as UTF-8");
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) content.erase(0, 3);

    bool headerOnly = isHeaderOnly(file);
    size_t conditionalDepth = conditionals_.size();
    for (const LogicalLine& line : logicalLines(content)) {
        SourceLocation where{name, line.line};
        std::string text = trim(line.text);
        if (text.empty()) continue;
        if (text[0] == '#') {
            directive(trim(text.substr(1)), where, headerOnly, file, depth);
            continue;
        }
        if (headerOnly || !active()) continue;
        TokenList tokens = tokenizeLine(text, where);
        TokenList expanded = expand(tokens, where);
        output_.insert(output_.end(), expanded.begin(), expanded.end());
    }
    if (conditionals_.size() > conditionalDepth)
        throw ScriptError(conditionals_.back().where, "#if without #endif");
}

void Preprocessor::directive(const std::string& text, const SourceLocation& where, bool headerOnly,
                             const fs::path& file, int depth) {
    size_t nameEnd = 0;
    while (nameEnd < text.size() && std::isalpha(static_cast<unsigned char>(text[nameEnd]))) ++nameEnd;
    std::string name = text.substr(0, nameEnd);
    std::string rest = trim(text.substr(nameEnd));

    if (name == "ifdef" || name == "ifndef") {
        bool parent = active();
        bool defined = macros_.count(trim(rest.substr(0, rest.find_first_of(" \t")))) > 0;
        bool value = name == "ifdef" ? defined : !defined;
        conditionals_.push_back({parent, parent && value, value, false, where});
        return;
    }
    if (name == "if") {
        bool parent = active();
        bool value = parent && evaluateCondition(rest, where);
        conditionals_.push_back({parent, value, value, false, where});
        return;
    }
    if (name == "elif" || name == "else" || name == "endif") {
        if (conditionals_.empty()) throw ScriptError(where, "#" + name + " without #if");
        Conditional& c = conditionals_.back();
        if (name == "endif") {
            conditionals_.pop_back();
            return;
        }
        if (c.sawElse) throw ScriptError(where, "#" + name + " after #else");
        if (name == "else") {
            c.sawElse = true;
            c.active = c.parentActive && !c.taken;
            c.taken = true;
            return;
        }
        bool value = c.parentActive && !c.taken && evaluateCondition(rest, where);
        c.active = value;
        c.taken = c.taken || value;
        return;
    }
    if (!active()) return;

    if (name == "define") {
        defineDirective(rest, where, headerOnly);
    } else if (name == "undef") {
        macros_.erase(rest);
    } else if (name == "include") {
        bool angle = !rest.empty() && rest[0] == '<';
        char close = angle ? '>' : '"';
        if (rest.empty() || (rest[0] != '<' && rest[0] != '"') || rest.find(close, 1) == std::string::npos)
            throw ScriptError(where, "#include expects \"file\" or <file>");
        std::string target = rest.substr(1, rest.find(close, 1) - 1);
        std::vector<fs::path> candidates;
        if (!angle) candidates.push_back(file.parent_path() / target);
        for (const auto& dir : includeDirs_) candidates.push_back(dir / target);
        for (const auto& candidate : candidates) {
            if (fs::is_regular_file(candidate)) {
                processFile(candidate, where, depth + 1);
                return;
            }
        }
        // A header's own <...> includes are the C library's: they carry
        // nothing a script uses.
        if (angle && headerOnly) return;
        throw ScriptError(where, "cannot find include file '" + target + "'");
    } else if (name == "pragma") {
        if (trim(rest) == "once") onceFiles_.insert(fs::weakly_canonical(file));
    } else if (name == "error") {
        throw ScriptError(where, "#error " + rest);
    } else if (name == "line" || name.empty()) {
        // Line markers and a lone '#' change nothing here.
    } else if (!headerOnly) {
        throw ScriptError(where, "unknown directive #" + name);
    }
}

void Preprocessor::defineDirective(const std::string& rest, const SourceLocation& where, bool headerOnly) {
    size_t end = 0;
    while (end < rest.size() && (std::isalnum(static_cast<unsigned char>(rest[end])) || rest[end] == '_')) ++end;
    if (end == 0 || std::isdigit(static_cast<unsigned char>(rest[0]))) throw ScriptError(where, "#define without a name");
    std::string name = rest.substr(0, end);
    Macro macro;
    std::string body = rest.substr(end);
    if (!body.empty() && body[0] == '(') {
        macro.functionLike = true;
        size_t close = body.find(')');
        if (close == std::string::npos) throw ScriptError(where, "unterminated parameter list of macro " + name);
        std::string params = body.substr(1, close - 1);
        std::stringstream list(params);
        std::string param;
        while (std::getline(list, param, ',')) {
            param = trim(param);
            if (!param.empty()) macro.params.push_back(param);
        }
        body = body.substr(close + 1);
    }
    try {
        macro.body = tokenizeLine(trim(body), where);
    } catch (const ScriptError& error) {
        // A header may hold C that a script never needs; complain on use only.
        if (!headerOnly) throw;
        macro.unusable = error.what();
    }
    macros_[name] = std::move(macro);
}

bool Preprocessor::evaluateCondition(const std::string& rest, const SourceLocation& where) const {
    TokenList raw = tokenizeLine(rest, where);
    // defined X and defined(X) are decided before any expansion.
    TokenList resolved;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i].kind == TokenKind::Identifier && raw[i].text == "defined") {
            bool paren = i + 1 < raw.size() && raw[i + 1].isPunct("(");
            size_t nameAt = i + (paren ? 2 : 1);
            if (nameAt >= raw.size() || raw[nameAt].kind != TokenKind::Identifier)
                throw ScriptError(where, "'defined' needs a macro name");
            Token value = raw[i];
            value.kind = TokenKind::Number;
            value.value = macros_.count(raw[nameAt].text) ? 1 : 0;
            resolved.push_back(value);
            i = nameAt;
            if (paren) {
                if (i + 1 >= raw.size() || !raw[i + 1].isPunct(")")) throw ScriptError(where, "'defined(' without ')'");
                ++i;
            }
            continue;
        }
        resolved.push_back(raw[i]);
    }
    TokenStream stream(expand(resolved, where));
    if (stream.atEnd()) throw ScriptError(where, "#if without a condition");
    int64_t value = evaluateExpression(stream, ExpressionMode::Condition);
    if (!stream.atEnd()) stream.fail("unexpected " + describe(stream.peek()) + " in a condition");
    return value != 0;
}

TokenList Preprocessor::expand(const TokenList& tokens, const SourceLocation& where) const {
    TokenList out;
    std::set<std::string> expanding;
    size_t pos = 0;
    expandInto(tokens, pos, out, expanding, where);
    return out;
}

void Preprocessor::expandInto(const TokenList& tokens, size_t& pos, TokenList& out, std::set<std::string>& expanding,
                              const SourceLocation& where) const {
    while (pos < tokens.size()) {
        const Token& t = tokens[pos];
        auto found = t.kind == TokenKind::Identifier ? macros_.find(t.text) : macros_.end();
        if (found == macros_.end() || expanding.count(t.text)) {
            Token copy = t;
            copy.where = where;
            out.push_back(std::move(copy));
            ++pos;
            continue;
        }
        const Macro& macro = found->second;
        if (!macro.unusable.empty()) throw ScriptError(where, "macro " + t.text + " cannot be used here: " + macro.unusable);
        TokenList replacement;
        if (!macro.functionLike) {
            replacement = macro.body;
            ++pos;
        } else {
            if (pos + 1 >= tokens.size() || !tokens[pos + 1].isPunct("(")) {  // the name alone
                Token copy = t;
                copy.where = where;
                out.push_back(std::move(copy));
                ++pos;
                continue;
            }
            pos += 2;
            std::vector<TokenList> args(1);
            int nesting = 0;
            for (;; ++pos) {
                if (pos >= tokens.size()) throw ScriptError(where, "unterminated arguments of macro " + t.text);
                const Token& a = tokens[pos];
                if (a.isPunct("(")) ++nesting;
                if (a.isPunct(")") && nesting-- == 0) break;
                if (a.isPunct(",") && nesting == 0) {
                    args.emplace_back();
                    continue;
                }
                args.back().push_back(a);
            }
            ++pos;
            if (args.size() == 1 && args[0].empty() && macro.params.empty()) args.clear();
            if (args.size() != macro.params.size())
                throw ScriptError(where, "macro " + t.text + " takes " + std::to_string(macro.params.size()) +
                                             " arguments, given " + std::to_string(args.size()));
            for (const Token& b : macro.body) {
                size_t index = 0;
                while (index < macro.params.size() && !(b.kind == TokenKind::Identifier && b.text == macro.params[index]))
                    ++index;
                if (index < macro.params.size()) {
                    replacement.insert(replacement.end(), args[index].begin(), args[index].end());
                } else {
                    replacement.push_back(b);
                }
            }
        }
        expanding.insert(t.text);
        size_t inner = 0;
        expandInto(replacement, inner, out, expanding, where);
        expanding.erase(t.text);
    }
}

fs::path Preprocessor::findDataFile(const std::string& name, const SourceLocation& where) {
    std::string portable = name;
    for (char& c : portable)
        if (c == '\\') c = '/';
    std::vector<fs::path> candidates;
    if (fs::path(portable).is_absolute()) {
        candidates.push_back(portable);
    } else {
        if (where.file) candidates.push_back(fs::path(*where.file).parent_path() / portable);
        for (const auto& dir : includeDirs_) candidates.push_back(dir / portable);
    }
    for (const auto& candidate : candidates) {
        if (fs::is_regular_file(candidate)) {
            filesRead_.insert(fs::weakly_canonical(candidate));
            return candidate;
        }
    }
    throw ScriptError(where, "cannot find file '" + name + "'");
}

}  // namespace rc
