// Small helpers the simulator's tests share.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "simulator/automation/terminal.h"

namespace sim::testing {

// A host folder for one test, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "simtest-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

inline void writeFile(const std::filesystem::path& file, const std::string& bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << bytes;
}

inline std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A device booted for the test, with a terminal on it. The clock runs fast so
// that device-time waits cost little.
class BootedTerminal : public ::testing::Test {
protected:
    static DeviceOptions fastClock() {
        DeviceOptions options;
        options.clockRate = 100;
        return options;
    }

    Device device{fastClock()};
    Terminal terminal{device};
};

}  // namespace sim::testing

namespace sim::testing {
inline ::testing::AssertionResult isOk(const char* expression, const Result& result) {
    if (result.ok) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << expression << " failed: " << result.message;
}
}  // namespace sim::testing

// Checks that an operation succeeded, printing its reason where it did not.
#define EXPECT_OK(result) EXPECT_PRED_FORMAT1(::sim::testing::isOk, result)
#define ASSERT_OK(result) ASSERT_PRED_FORMAT1(::sim::testing::isOk, result)
