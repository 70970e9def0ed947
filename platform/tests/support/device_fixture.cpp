#include "device_fixture.h"

#include <unistd.h>

#include <stdexcept>

#include "platform/files/storage.h"
#include "platform/kernel/device_clock.h"

namespace platform::testing {

TemporaryStorageRoot::TemporaryStorageRoot(bool withImage) {
    std::string pattern = (std::filesystem::temp_directory_path() / "device-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary storage root");
    root_ = pattern;
    std::filesystem::create_directories(root_ / "Windows");
    if (withImage)
        std::filesystem::copy(std::filesystem::path(DEVICE_IMAGE_DIR) / "Windows", root_ / "Windows",
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
    platform::files::setStorageRoot(root_);
}

TemporaryStorageRoot::~TemporaryStorageRoot() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

FastClock::FastClock(double rate) { platform::kernel::deviceClock().setRate(rate); }
FastClock::~FastClock() { platform::kernel::deviceClock().setRate(1.0); }

}  // namespace platform::testing
