// Starting, listing, ending and waiting for device processes.
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "platform/kernel/device_clock.h"
#include "platform/kernel/process_control.h"
#include "simulator/automation/error_text.h"
#include "simulator/automation/program.h"
#include "simulator/automation/terminal.h"
#include "platform/text/utf.h"

namespace sim {
namespace {

using platform::kernel::ProcessInfo;
using platform::text::toUtf8;

std::string commandLineOf(const std::vector<std::string>& args) {
    std::string line;
    for (const auto& arg : args) {
        if (!line.empty()) line += ' ';
        bool needsQuotes = arg.empty() || arg.find_first_of(" \t") != std::string::npos;
        line += needsQuotes ? "\"" + arg + "\"" : arg;
    }
    return line;
}

std::vector<ProcessInfo> instancesOf(std::string_view program, bool runningOnly) {
    std::vector<ProcessInfo> found;
    for (auto& process : platform::kernel::processes()) {
        if (runsProgram(process, program) && (process.running || !runningOnly)) found.push_back(process);
    }
    return found;
}

// kExitPatienceMs of real time in device time, and never less than that much device time.
uint64_t exitPatienceMs() {
    double rate = std::max(1.0, platform::kernel::deviceClock().rate());
    return static_cast<uint64_t>(Terminal::kExitPatienceMs * rate);
}

std::string describe(const ProcessInfo& process) {
    return toUtf8(process.name) + " (process " + std::to_string(process.id) + ")";
}

}  // namespace

Result Terminal::start(std::string_view program, const std::vector<std::string>& args) {
    settle();
    std::string reason;
    auto image = findProgramImage(program, &reason);
    if (!image) return Result::failure("cannot start " + std::string(program) + ": " + reason);

    std::u16string commandLine = platform::text::toUtf16(commandLineOf(args));
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(image->c_str(), commandLine.c_str(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, nullptr, &info)) {
        return Result::failure("cannot start " + toUtf8(*image) + ": " + errorText(GetLastError()));
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return Result::success("started " + toUtf8(*image) + " as process " + std::to_string(info.dwProcessId));
}

Result Terminal::ps() {
    settle();
    Result result = Result::success();
    char line[96];
    std::snprintf(line, sizeof line, "%5s  %-7s  %10s  %7s  %s", "PID", "STATE", "EXIT", "THREADS", "PROGRAM");
    result.output.push_back(line);
    for (const auto& process : platform::kernel::processes()) {
        std::string exit = process.running ? "-" : std::to_string(process.exitCode);
        std::snprintf(line, sizeof line, "%5u  %-7s  %10s  %7zu  ", process.id,
                      process.running ? "running" : "ended", exit.c_str(), process.threadCount);
        std::string text = line + toUtf8(process.imagePath);
        if (!process.commandLine.empty()) text += " " + toUtf8(process.commandLine);
        result.output.push_back(text);
    }
    return result;
}

Result Terminal::kill(std::string_view program) {
    settle();
    auto running = instancesOf(program, true);
    if (running.empty()) return Result::failure(withExe(program) + " is not running");
    for (const auto& process : running) {
        platform::kernel::terminateProcess(process.id, kKilledExitCode);
    }
    for (const auto& process : running) {
        if (!platform::kernel::waitForProcessExit(process.id, exitPatienceMs())) {
            return Result::failure(describe(process) + " did not end within " +
                                   std::to_string(kExitPatienceMs) + " ms");
        }
    }
    return Result::success("ended " + std::to_string(running.size()) + " instance(s) of " +
                           withExe(program));
}

Result Terminal::waitIdle(std::chrono::milliseconds hostTimeout) {
    if (platform::kernel::waitUntilIdle(hostTimeout)) return Result::success();
    return Result::failure("the device is not idle after " + std::to_string(hostTimeout.count()) + " ms");
}

Result Terminal::waitExit(std::string_view program, std::optional<uint64_t> deviceTimeout) {
    settle();
    const uint64_t deviceTimeoutMs = deviceTimeout ? *deviceTimeout : exitPatienceMs();
    if (instancesOf(program, false).empty()) return Result::failure(withExe(program) + " never ran");
    auto& clock = platform::kernel::deviceClock();
    const uint64_t deadline = clock.nowMs() + deviceTimeoutMs;
    for (const auto& process : instancesOf(program, true)) {
        uint64_t now = clock.nowMs();
        uint64_t left = deadline > now ? deadline - now : 0;
        if (!platform::kernel::waitForProcessExit(process.id, left)) {
            return Result::failure(describe(process) + " still runs after " +
                                   std::to_string(deviceTimeoutMs) + " ms");
        }
    }
    return Result::success();
}

Result Terminal::waitDeviceTime(uint64_t deviceMs) {
    settle();
    // Sleep takes at most INFINITE - 1 ms at a time.
    while (deviceMs > 0) {
        DWORD step = static_cast<DWORD>(std::min<uint64_t>(deviceMs, INFINITE - 1));
        Sleep(step);
        deviceMs -= step;
    }
    return Result::success();
}

Result Terminal::expectExit(std::string_view program, DWORD code) {
    settle();
    const std::string expected = withExe(program) + " to have exited with " + std::to_string(code);
    auto instances = instancesOf(program, false);
    // processes() lists ended processes last, the most recently ended at the end.
    auto ended = std::find_if(instances.rbegin(), instances.rend(),
                              [](const ProcessInfo& p) { return !p.running; });
    if (ended == instances.rend()) {
        if (instances.empty()) return Result::mismatch(expected, "it never ran");
        return Result::mismatch(expected, describe(instances.back()) + " still running");
    }
    if (ended->exitCode != code) {
        return Result::mismatch(expected, describe(*ended) + " exited with " + std::to_string(ended->exitCode));
    }
    return Result::success();
}

Result Terminal::expectRunning(std::string_view program, std::optional<size_t> count) {
    settle();
    size_t running = instancesOf(program, true).size();
    bool holds = count ? running == *count : running > 0;
    if (holds) return Result::success();
    std::string expected = count ? std::to_string(*count) + " running instance(s) of " + withExe(program)
                                 : withExe(program) + " running";
    return Result::mismatch(expected, std::to_string(running) + " running");
}

}  // namespace sim
