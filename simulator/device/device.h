// A simulated terminal: boots the device around the platform stand-in and shuts
// it down again.
//
// Booting prepares the storage root (the device's standard folders and the
// image's \Windows), restarts the device clock and the process table, clears
// the debug log and loads the default registry and any extra .reg files.
// Destroying the Device ends every device process and, for a temporary storage
// root, removes it. The platform is one per host process, so only one Device
// may exist at a time.
//
// All functions run on the thread that owns the Device.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "simulator/device/boot_error.h"
#include "simulator/device/storage_root.h"

namespace sim {

struct DeviceOptions {
    // The storage root. Unset: a fresh temporary folder, removed at shutdown.
    // Set: that folder (created if missing), kept after shutdown.
    std::optional<std::filesystem::path> root;
    // The image folder whose Windows/ is copied into \Windows.
    std::filesystem::path image = defaultImageDir();
    // .reg files imported in order after the default registry.
    std::vector<std::filesystem::path> regFiles;
    // Device milliseconds per host millisecond.
    double clockRate = 1.0;
    // Echo the debug log to stderr as it is written.
    bool echoLog = false;

    // The build's own image.
    static std::filesystem::path defaultImageDir();
};

class Device {
public:
    // Boots the device; throws BootError when it cannot.
    explicit Device(DeviceOptions options = {});
    ~Device();

    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    const DeviceOptions& options() const { return options_; }
    const std::filesystem::path& storageRoot() const { return storage_.path(); }

    // Ends every device process (a power-off); the device stays booted.
    void endAllProcesses();

private:
    // Held from the first step of booting to the end of shutdown.
    class BootLock {
    public:
        BootLock();
        ~BootLock();
        BootLock(const BootLock&) = delete;
        BootLock& operator=(const BootLock&) = delete;
    };

    void loadRegistry();

    BootLock bootLock_;
    DeviceOptions options_;
    StorageRoot storage_;
};

}  // namespace sim
