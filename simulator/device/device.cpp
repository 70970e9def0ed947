#include "simulator/device/device.h"

#include <atomic>
#include <string>

#include "platform/debug/debug_log.h"
#include "platform/files/storage.h"
#include "platform/kernel/device_clock.h"
#include "platform/kernel/process_control.h"
#include "platform/registry/registry_io.h"
#include "simulator/device/default_registry.h"
#include "platform/text/utf.h"

#ifndef SIM_DEFAULT_IMAGE_DIR
#error "SIM_DEFAULT_IMAGE_DIR names the build's image folder"
#endif

namespace sim {
namespace {

// The platform's state is the host process's, so a second device would share
// (and wreck) the first one's processes, registry and storage.
std::atomic_flag deviceBooted;

}  // namespace

std::filesystem::path DeviceOptions::defaultImageDir() { return SIM_DEFAULT_IMAGE_DIR; }

Device::BootLock::BootLock() {
    if (deviceBooted.test_and_set()) {
        throw BootError("a device is already running in this process");
    }
}

Device::BootLock::~BootLock() { deviceBooted.clear(); }

Device::Device(DeviceOptions options) : options_(std::move(options)), storage_(options_.root) {
    if (!(options_.clockRate > 0)) throw BootError("the clock rate must be greater than 0");

    // Whatever a previous boot left running goes before the tables restart.
    platform::kernel::shutdownAllProcesses();
    platform::kernel::resetProcessTable();

    storage_.prepare(options_.image);
    try {
        platform::files::setStorageRoot(storage_.path());
    } catch (const std::filesystem::filesystem_error& error) {
        throw BootError("cannot use " + storage_.path().string() + " as the storage root: " + error.what());
    }

    auto& clock = platform::kernel::deviceClock();
    clock.reset();
    clock.setRate(options_.clockRate);

    auto& log = platform::debug::debugLog();
    log.clear();
    log.setEcho(options_.echoLog);

    loadRegistry();
}

Device::~Device() { endAllProcesses(); }

void Device::endAllProcesses() { platform::kernel::shutdownAllProcesses(); }

void Device::loadRegistry() {
    platform::registry::clearRegistry();
    auto result = platform::registry::importRegText(platform::text::toUtf16(defaultRegistryText()),
                                                    "default.reg");
    if (!result.ok) throw BootError("the default registry is malformed: " + result.error);
    for (const auto& file : options_.regFiles) {
        result = platform::registry::importRegFile(file);
        if (!result.ok) throw BootError("cannot import " + file.string() + ": " + result.error);
    }
}

}  // namespace sim
