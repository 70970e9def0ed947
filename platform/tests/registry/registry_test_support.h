// Shared fixture and helpers of the registry tests. Helpers take the caller's file
// and line (through the macros below) so that a failure points at the test line.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace registry_test {

inline constexpr DWORD kSentinel = 0xdeadbeef;
inline constexpr BYTE kGuardByte = 0xcc;
inline constexpr WCHAR kGuardChar = 0xcccc;

inline HKEY sentinelKey() { return reinterpret_cast<HKEY>(static_cast<uintptr_t>(0xdeadbeef)); }

using Bytes = std::vector<BYTE>;

// UTF-16LE bytes of text followed by one terminator, as REG_SZ holds it.
Bytes textBytes(std::u16string_view text);
// UTF-16LE bytes of exactly these code units (no terminator added).
Bytes unitsBytes(std::u16string_view units);
Bytes dwordBytes(DWORD value);

// Every test starts from an empty registry and must close every key it opens.
class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

  private:
    size_t handlesAtStart_ = 0;
};

// A key handle closed at the end of its scope.
class ScopedKey {
  public:
    ScopedKey() = default;
    explicit ScopedKey(HKEY key) : key_(key) {}
    ScopedKey(ScopedKey&& other) noexcept : key_(other.release()) {}
    ScopedKey& operator=(ScopedKey&& other) noexcept;
    ~ScopedKey();
    HKEY get() const { return key_; }
    operator HKEY() const { return key_; }
    HKEY release();

  private:
    HKEY key_ = nullptr;
};

// A fresh folder removed at the end of its scope.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

ScopedKey createKeyAt(const char* file, int line, HKEY base, const char16_t* path);
void setValueAt(const char* file, int line, HKEY key, const char16_t* name, DWORD type,
                const Bytes& data);
// Queries the value with a sentinel type and a guarded buffer of exactly the
// right size, and checks type, bytes, reported size and the guard.
void expectValueAt(const char* file, int line, HKEY key, const char16_t* name, DWORD type,
                   const Bytes& data);
void expectNoValueAt(const char* file, int line, HKEY key, const char16_t* name);

#define CREATE_KEY(base, path) ::registry_test::createKeyAt(__FILE__, __LINE__, base, path)
#define SET_VALUE(key, name, type, data) \
    ::registry_test::setValueAt(__FILE__, __LINE__, key, name, type, data)
#define EXPECT_VALUE(key, name, type, data) \
    ::registry_test::expectValueAt(__FILE__, __LINE__, key, name, type, data)
#define EXPECT_NO_VALUE(key, name) ::registry_test::expectNoValueAt(__FILE__, __LINE__, key, name)

// Names of the subkeys and values as RegEnumKeyExW / RegEnumValueW give them, in order.
std::vector<std::u16string> subkeyNames(HKEY key);
std::vector<std::u16string> valueNames(HKEY key);

// A listing of a key's whole subtree read through the Reg* functions: every key
// path, and every value with its type and bytes. Two registries with the same
// listing hold the same keys and values.
std::string dumpTree(HKEY key);

// The whole registry as text, to check that something left it unchanged.
std::u16string snapshotRegistry();

std::string utf8(std::u16string_view text);

}  // namespace registry_test
