// What the files tests share: a fresh storage root per test, host-side helpers
// to set up and inspect it, and checks that report the caller's file and line.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "platform/files/storage.h"
#include "platform/files/stream_driver.h"
#include "support/device_fixture.h"

namespace files_test {

namespace fs = std::filesystem;

inline constexpr DWORD kSentinel = 0xdeadbeef;

// The project's temporary storage root, with host-side helpers to set up and
// inspect what the device sees.
class TempStorage {
public:
    TempStorage() : root_(fs::canonical(temporary_.path())) {}

    const fs::path& root() const { return root_; }
    fs::path host(const std::string& relative) const { return root_ / relative; }

    void mkdir(const std::string& relative) const { fs::create_directories(host(relative)); }
    void put(const std::string& relative, const std::string& content) const {
        fs::create_directories(host(relative).parent_path());
        std::ofstream(host(relative), std::ios::binary) << content;
    }
    std::string get(const std::string& relative) const {
        std::ifstream in(host(relative), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool exists(const std::string& relative) const {
        std::error_code ec;
        return fs::symlink_status(host(relative), ec).type() != fs::file_type::not_found;
    }

private:
    platform::testing::TemporaryStorageRoot temporary_;
    fs::path root_;  // canonical, as the storage reports host paths
};

// Every files test starts from a fresh storage and leaves no stream driver behind.
class FilesTest : public ::testing::Test {
protected:
    ~FilesTest() override { platform::files::clearStreamDrivers(); }
    TempStorage storage;
};

inline void expectLastError(DWORD expected, const char* file, int line) {
    const DWORD actual = GetLastError();
    if (actual != expected)
        ADD_FAILURE_AT(file, line) << "last error " << actual << ", expected " << expected;
}
#define EXPECT_LAST_ERROR(expected) ::files_test::expectLastError((expected), __FILE__, __LINE__)

// Opens a device path with the given values and the last error preset.
inline HANDLE open(const std::u16string& path, DWORD access, DWORD share, DWORD disposition) {
    SetLastError(kSentinel);
    return CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Closes a handle at the end of a scope.
class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    ~ScopedHandle() {
        if (valid()) CloseHandle(handle_);
    }
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }

private:
    HANDLE handle_;
};

}  // namespace files_test
