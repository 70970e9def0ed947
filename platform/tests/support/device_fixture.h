// Test support: a fresh device storage root (a temporary folder, removed after)
// holding a copy of the build's image under \Windows, and a device clock that
// runs fast so that timed waits cost little host time.
#pragma once

#include <filesystem>
#include <string>

namespace platform::testing {

class TemporaryStorageRoot {
public:
    // Makes the folder and points the device's storage at it. With withImage,
    // the build's image (programs and libraries) is copied into \Windows.
    explicit TemporaryStorageRoot(bool withImage = false);
    ~TemporaryStorageRoot();
    TemporaryStorageRoot(const TemporaryStorageRoot&) = delete;
    TemporaryStorageRoot& operator=(const TemporaryStorageRoot&) = delete;

    const std::filesystem::path& path() const { return root_; }

private:
    std::filesystem::path root_;
};

// Runs the device clock at the given rate for the scope, then at real time again.
class FastClock {
public:
    explicit FastClock(double rate);
    ~FastClock();
};

}  // namespace platform::testing
