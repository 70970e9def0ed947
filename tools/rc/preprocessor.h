// The script's preprocessor: #include, #define (object-like and with
// parameters), #undef, #ifdef/#ifndef/#if/#elif/#else/#endif with numeric
// expressions, #error, #pragma (ignored). Its output is the script's tokens with
// every macro expanded, each token marked with the file and line it came from.
//
// As on the platform's resource compiler, files named *.h or *.c contribute only
// their preprocessor directives (so a header with C declarations can be shared
// by the program and its script), and RC_INVOKED is defined.
#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "token.h"

namespace rc {

class Preprocessor {
public:
    explicit Preprocessor(std::vector<std::filesystem::path> includeDirs);

    // -D NAME[=VALUE] from the command line.
    void define(const std::string& name, const std::string& value);
    // Preprocesses a script and everything it includes.
    TokenList run(const std::filesystem::path& script);

    // A data file a statement names (icon, bitmap, raw data): relative to the
    // folder of the file that names it, then the include folders.
    std::filesystem::path findDataFile(const std::string& name, const SourceLocation& where);

    // Every file read so far (scripts, headers, data files), for the build's
    // dependency list.
    const std::set<std::filesystem::path>& filesRead() const { return filesRead_; }

    // Expands the macros in a list of tokens; the result carries `where`.
    TokenList expand(const TokenList& tokens, const SourceLocation& where) const;

private:
    struct Macro {
        bool functionLike = false;
        std::vector<std::string> params;
        TokenList body;
        std::string unusable;  // why the body could not be read (headers only)
    };
    struct Conditional {
        bool parentActive;
        bool active;
        bool taken;  // some branch was already active
        bool sawElse;
        SourceLocation where;
    };

    void processFile(const std::filesystem::path& file, const SourceLocation& includedFrom, int depth);
    void directive(const std::string& text, const SourceLocation& where, bool headerOnly,
                   const std::filesystem::path& file, int depth);
    void defineDirective(const std::string& rest, const SourceLocation& where, bool headerOnly);
    bool evaluateCondition(const std::string& rest, const SourceLocation& where) const;
    bool active() const { return conditionals_.empty() || conditionals_.back().active; }

    void expandInto(const TokenList& tokens, size_t& pos, TokenList& out, std::set<std::string>& expanding,
                    const SourceLocation& where) const;

    std::vector<std::filesystem::path> includeDirs_;
    std::map<std::string, Macro> macros_;
    std::vector<Conditional> conditionals_;
    std::set<std::filesystem::path> filesRead_;
    std::set<std::filesystem::path> onceFiles_;
    TokenList output_;
};

}  // namespace rc
