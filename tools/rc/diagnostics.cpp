#include "diagnostics.h"

namespace rc {

std::string SourceLocation::text() const {
    return (file ? *file : std::string("<command line>")) + ":" + std::to_string(line);
}

ScriptError::ScriptError(const SourceLocation& where, const std::string& message)
    : std::runtime_error(where.text() + ": error: " + message), where_(where) {}

}  // namespace rc
