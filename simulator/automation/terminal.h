// The automation API: what a person does with a terminal, as calls that tests
// make and that termsim's commands are built on.
//
// Every operation first lets the device settle (waits until it is idle, see
// platform::kernel::waitUntilIdle), so a caller never races the program it
// drives; then it acts or checks and reports a Result. Expectations ("expect…")
// fail with "expected …, found …"; other operations fail with their reason.
//
// Names used throughout:
// - PROGRAM: a device path or a name found in \Windows; ".exe" may be left out.
// - KEY: a registry key with its root, in full or short ("HKLM\Norvane").
// - device paths: "\Nand\x.txt"; host paths are the host's own.
//
// A Terminal belongs to the thread that made it.
#pragma once

#include <windef.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "simulator/automation/parse.h"
#include "simulator/automation/reg_value.h"
#include "simulator/automation/result.h"
#include "simulator/device/device.h"

namespace sim {

class Terminal {
public:
    // How long an operation waits for the device to settle before it acts anyway
    // (with a warning on stderr), in host time.
    static constexpr std::chrono::milliseconds kSettleTimeout{10000};
    static constexpr std::chrono::milliseconds kDefaultIdleTimeout{10000};  // host time
    // How long `kill`, and `wait exit` without a timeout, wait for a process to
    // end: this much real time, or device time when the clock runs slow.
    static constexpr uint64_t kExitPatienceMs = 10000;
    // The exit code of a process that `kill` ends.
    static constexpr DWORD kKilledExitCode = 1;
    // The fastest the device clock may run (device ms per host ms).
    static constexpr double kMaxClockRate = 1000000;

    explicit Terminal(Device& device);

    Device& device() { return device_; }

    // ---- processes -----------------------------------------------------------
    // Starts PROGRAM with the arguments joined by blanks as its command line
    // (an argument with blanks is put in double quotes).
    Result start(std::string_view program, const std::vector<std::string>& args = {});
    Result ps();
    // Ends every running instance of PROGRAM and waits until they are gone.
    Result kill(std::string_view program);

    // ---- waiting -------------------------------------------------------------
    Result waitIdle(std::chrono::milliseconds hostTimeout = kDefaultIdleTimeout);
    // Waits until no instance of PROGRAM runs; fails if it never ran. Without a
    // timeout (device ms) it waits kExitPatienceMs of real or device time,
    // whichever is longer, so a fast clock does not cut a slow host short.
    Result waitExit(std::string_view program, std::optional<uint64_t> deviceTimeoutMs = std::nullopt);
    // Lets device time pass.
    Result waitDeviceTime(uint64_t deviceMs);

    // ---- registry ------------------------------------------------------------
    Result regImport(const std::filesystem::path& file);
    Result regExport(std::string_view key, const std::filesystem::path& file);
    Result regSet(std::string_view key, std::string_view name, const RegValue& value);
    // Reports the value as RegValue::describe() writes it.
    Result regGet(std::string_view key, std::string_view name);
    std::optional<RegValue> regValue(std::string_view key, std::string_view name);
    // Without a name: the key and everything below it. With one: that value.
    Result regDelete(std::string_view key, std::optional<std::string_view> name = std::nullopt);

    // ---- files ---------------------------------------------------------------
    // A device path that names a folder (or ends with "\") receives the file
    // under its own name; likewise a host folder for fileGet.
    Result filePut(const std::filesystem::path& hostFile, std::string_view devicePath);
    Result fileGet(std::string_view devicePath, const std::filesystem::path& hostFile);
    // One line per entry: "<DIR>" or the size, then the name; sorted by name.
    Result fileLs(std::string_view deviceFolder);
    // A file, or an empty folder.
    Result fileRm(std::string_view devicePath);
    // The folder and its parents; an existing folder is fine.
    Result mkdir(std::string_view deviceFolder);

    // ---- debug log -----------------------------------------------------------
    // The lines that contain filter (all when empty).
    Result log(std::string_view filter = {});
    Result logClear();

    // ---- clock ---------------------------------------------------------------
    Result clockRate(double rate);
    Result clockSet(const DateTime& localTime);

    // ---- expectations --------------------------------------------------------
    Result expectLog(std::string_view text);
    Result expectLogOrder(const std::vector<std::string>& texts);
    Result expectNoLog(std::string_view text);
    // The instance of PROGRAM that ended last ended with this code.
    Result expectExit(std::string_view program, DWORD code);
    // count unset: at least one instance runs.
    Result expectRunning(std::string_view program, std::optional<size_t> count = std::nullopt);
    // `*` and `?` may appear in the last component.
    Result expectFile(std::string_view devicePath);
    Result expectNoFile(std::string_view devicePath);
    // The words are read by the value's type (see RegValue::matches).
    Result expectReg(std::string_view key, std::string_view name, const std::vector<std::string>& value);
    Result expectReg(std::string_view key, std::string_view name, DWORD value);
    Result expectReg(std::string_view key, std::string_view name, std::string_view text);
    Result expectNoReg(std::string_view key, std::optional<std::string_view> name = std::nullopt);

private:
    // Waits until the device is idle; false (after a warning) on timeout.
    bool settle();

    Device& device_;
};

}  // namespace sim
