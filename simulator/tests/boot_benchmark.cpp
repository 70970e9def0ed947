// Measures how long a device takes from the start of its boot to idle, with
// the build's image, and how long the shutdown takes. Not a test: run it by
// hand (docs/measurements.md records the figures).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "platform/kernel/process_control.h"
#include "simulator/automation/terminal.h"

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    using Clock = std::chrono::steady_clock;
    std::vector<double> boots, shutdowns;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        Clock::time_point idle;
        {
            sim::Device device;
            if (!platform::kernel::waitUntilIdle(std::chrono::seconds(10))) {
                std::fprintf(stderr, "the device did not settle\n");
                return 1;
            }
            idle = Clock::now();
        }
        const auto end = Clock::now();
        boots.push_back(std::chrono::duration<double, std::milli>(idle - start).count());
        shutdowns.push_back(std::chrono::duration<double, std::milli>(end - idle).count());
    }
    auto report = [](const char* what, std::vector<double> times) {
        std::sort(times.begin(), times.end());
        std::printf("%-22s median %.2f ms, min %.2f ms, max %.2f ms (%zu rounds)\n", what,
                    times[times.size() / 2], times.front(), times.back(), times.size());
    };
    report("boot to idle:", boots);
    report("shutdown:", shutdowns);
    return 0;
}
