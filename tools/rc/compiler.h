// The whole compilation of a script, for the rc program and its tests.
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "byte_writer.h"

namespace rc {

struct CompileOptions {
    std::vector<std::filesystem::path> includeDirs;
    std::vector<std::pair<std::string, std::string>> defines;
};

struct CompileResult {
    Bytes stream;                               // the .res stream, when error is empty
    std::string error;                          // "file:line: error: ..."
    std::set<std::filesystem::path> filesRead;  // script, headers and data files
};

CompileResult compileScript(const std::filesystem::path& script, const CompileOptions& options);

}  // namespace rc
