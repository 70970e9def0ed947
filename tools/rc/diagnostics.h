// Script errors. Every error names the file and line it was found at; the
// compiler stops at the first one.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

namespace rc {

struct SourceLocation {
    std::shared_ptr<const std::string> file;
    int line = 0;

    std::string text() const;  // "file:line"
};

class ScriptError : public std::runtime_error {
public:
    ScriptError(const SourceLocation& where, const std::string& message);
    const SourceLocation& where() const { return where_; }

private:
    SourceLocation where_;
};

}  // namespace rc
