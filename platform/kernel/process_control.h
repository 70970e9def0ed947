// The simulator's view of the device's processes: list them, end them, wait for
// them and for the whole device to settle. Programs are started with CreateProcessW.
#pragma once

#include <windef.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform::kernel {

struct ProcessInfo {
    DWORD id = 0;
    std::u16string name;       // module file name, "AirSwitch.exe"
    std::u16string imagePath;  // device path, "\Windows\AirSwitch.exe"
    std::u16string commandLine;
    bool running = false;
    DWORD exitCode = 0;        // STILL_ACTIVE while running
    size_t threadCount = 0;
};

// Running processes in start order, then those that ended since boot (newest last).
std::vector<ProcessInfo> processes();
std::optional<ProcessInfo> findProcess(DWORD id);

// Ends a process as TerminateProcess does. False if no such running process.
bool terminateProcess(DWORD id, DWORD exitCode);

// Waits, in device time, until the process has ended completely (every thread
// gone, handles closed, modules unloaded). False on timeout.
bool waitForProcessExit(DWORD id, uint64_t deviceTimeoutMs);

// Waits, in host time, until the device is idle: every device thread is blocked
// in the platform, and every thread that owns windows waits for messages with
// nothing to retrieve. False on timeout.
bool waitUntilIdle(std::chrono::milliseconds hostTimeout);

// Ends every device process and waits for them (a power-off, or a test's teardown).
void shutdownAllProcesses();

// Forgets the ended processes and restarts process and thread numbering (a fresh boot).
void resetProcessTable();

}  // namespace platform::kernel
