// The built-in tour of the device that `termsim demo` prints.
#pragma once

#include <filesystem>
#include <iosfwd>

#include "simulator/termsim/script_runner.h"

namespace sim {

// The build's folder for the demo's host files (the exported registry, …).
std::filesystem::path defaultDemoOutputDir();

// Runs the tour on the terminal's device, writing host files into outputDir.
// The runner counts what held and what failed.
void runDemo(ScriptRunner& runner, const std::filesystem::path& outputDir);

}  // namespace sim
