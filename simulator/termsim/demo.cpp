#include "simulator/termsim/demo.h"

#include <string_view>

#ifndef SIM_DEFAULT_DEMO_DIR
#error "SIM_DEFAULT_DEMO_DIR names the build's folder for the demo's files"
#endif

namespace sim {

std::string_view demoScript();  // demo.tsim, embedded at build time

std::filesystem::path defaultDemoOutputDir() { return SIM_DEFAULT_DEMO_DIR; }

void runDemo(ScriptRunner& runner, const std::filesystem::path& outputDir) {
    std::filesystem::create_directories(outputDir);
    runner.runText(demoScript(), "demo", outputDir);
}

}  // namespace sim
