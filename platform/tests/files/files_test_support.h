// What the files tests share: a fresh storage root per test, host-side helpers
// to set up and inspect it, and checks that report the caller's file and line.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "platform/files/storage.h"
#include "platform/files/stream_driver.h"

namespace files_test {

namespace fs = std::filesystem;

inline constexpr DWORD kSentinel = 0xdeadbeef;

// A temporary host folder as the storage root for the life of the object.
class TempStorage {
public:
    TempStorage() {
        std::string pattern = (fs::temp_directory_path() / "files-test-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        root_ = fs::canonical(pattern);
        platform::files::setStorageRoot(root_);
    }
    ~TempStorage() {
        platform::files::setStorageRoot({});
        std::error_code ec;
        // Read-only test files must not stop the clean-up.
        for (auto it = fs::recursive_directory_iterator(root_, ec); !ec && it != fs::end(it); it.increment(ec))
            if (!it->is_symlink()) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(root_, ec);
    }
    TempStorage(const TempStorage&) = delete;
    TempStorage& operator=(const TempStorage&) = delete;

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
    fs::path root_;
};

// Every files test starts from an empty storage and no stream drivers.
class FilesTest : public ::testing::Test {
protected:
    ~FilesTest() override { platform::files::clearStreamDrivers(); }
    TempStorage storage;
};

inline std::u16string utf16(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

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
