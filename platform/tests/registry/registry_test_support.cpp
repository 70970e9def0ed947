#include "registry_test_support.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>

#include "platform/kernel/current.h"
#include "platform/kernel/handle_table.h"
#include "platform/registry/registry_io.h"

namespace registry_test {

Bytes unitsBytes(std::u16string_view units) {
    Bytes bytes;
    for (char16_t c : units) {
        bytes.push_back(BYTE(c & 0xFF));
        bytes.push_back(BYTE(c >> 8));
    }
    return bytes;
}

Bytes textBytes(std::u16string_view text) {
    Bytes bytes = unitsBytes(text);
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

Bytes dwordBytes(DWORD value) {
    return {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)};
}

void RegistryTest::SetUp() {
    platform::registry::clearRegistry();
    handlesAtStart_ = platform::kernel::handleTable().countOf(platform::kernel::currentProcessId());
}

void RegistryTest::TearDown() {
    EXPECT_EQ(handlesAtStart_,
              platform::kernel::handleTable().countOf(platform::kernel::currentProcessId()))
        << "the test left handles open (a key handle leaked)";
    platform::registry::clearRegistry();
}

ScopedKey& ScopedKey::operator=(ScopedKey&& other) noexcept {
    if (this != &other) {
        if (key_) RegCloseKey(key_);
        key_ = other.release();
    }
    return *this;
}

ScopedKey::~ScopedKey() {
    if (key_) RegCloseKey(key_);
}

HKEY ScopedKey::release() {
    HKEY key = key_;
    key_ = nullptr;
    return key;
}

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("registry-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string utf8(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80) {
            out.push_back(char(c));
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", unsigned(c));
            out += buffer;
        }
    }
    return out;
}

ScopedKey createKeyAt(const char* file, int line, HKEY base, const char16_t* path) {
    ::testing::ScopedTrace trace(file, line, utf8(path));
    HKEY key = sentinelKey();
    LONG result = RegCreateKeyExW(base, path, 0, nullptr, 0, 0, nullptr, &key, nullptr);
    EXPECT_EQ(ERROR_SUCCESS, result);
    return ScopedKey(result == ERROR_SUCCESS ? key : nullptr);
}

void setValueAt(const char* file, int line, HKEY key, const char16_t* name, DWORD type,
                const Bytes& data) {
    ::testing::ScopedTrace trace(file, line, utf8(name ? name : u"(null)"));
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(key, name, 0, type, data.data(), DWORD(data.size())));
}

void expectValueAt(const char* file, int line, HKEY key, const char16_t* name, DWORD type,
                   const Bytes& data) {
    ::testing::ScopedTrace trace(file, line, utf8(name ? name : u"(null)"));
    Bytes buffer(data.size() + 8, kGuardByte);
    DWORD actualType = kSentinel;
    DWORD size = DWORD(data.size());
    ASSERT_EQ(ERROR_SUCCESS,
              RegQueryValueExW(key, name, nullptr, &actualType, buffer.data(), &size));
    EXPECT_EQ(type, actualType);
    EXPECT_EQ(data.size(), size);
    EXPECT_EQ(data, Bytes(buffer.begin(), buffer.begin() + data.size()));
    for (size_t i = data.size(); i < buffer.size(); ++i)
        EXPECT_EQ(kGuardByte, buffer[i]) << "guard byte " << i << " overwritten";
}

void expectNoValueAt(const char* file, int line, HKEY key, const char16_t* name) {
    ::testing::ScopedTrace trace(file, line, utf8(name ? name : u"(null)"));
    DWORD type = kSentinel, size = kSentinel;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExW(key, name, nullptr, &type, nullptr, &size));
    EXPECT_EQ(kSentinel, type);
    EXPECT_EQ(kSentinel, size);
}

namespace {
// Names given by an enumeration call (index, buffer, length) until ERROR_NO_MORE_ITEMS.
template <class Enumerate>
std::vector<std::u16string> enumeratedNames(Enumerate enumerate) {
    std::vector<std::u16string> names;
    for (DWORD index = 0;; ++index) {
        WCHAR name[256];
        DWORD length = 256;
        LONG result = enumerate(index, name, &length);
        if (result != ERROR_SUCCESS) {
            EXPECT_EQ(ERROR_NO_MORE_ITEMS, result);
            return names;
        }
        names.emplace_back(name, length);
    }
}
}  // namespace

std::vector<std::u16string> subkeyNames(HKEY key) {
    return enumeratedNames([key](DWORD index, WCHAR* name, DWORD* length) {
        return RegEnumKeyExW(key, index, name, length, nullptr, nullptr, nullptr, nullptr);
    });
}

std::vector<std::u16string> valueNames(HKEY key) {
    return enumeratedNames([key](DWORD index, WCHAR* name, DWORD* length) {
        return RegEnumValueW(key, index, name, length, nullptr, nullptr, nullptr, nullptr);
    });
}

namespace {
void dumpInto(std::string& out, HKEY key, const std::string& path) {
    out += "[" + path + "]\n";
    for (DWORD index = 0;; ++index) {
        WCHAR name[256];
        DWORD nameLength = 256, type = kSentinel, size = 8192;
        Bytes data(size);
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data.data(), &size) !=
            ERROR_SUCCESS)
            break;
        char header[32];
        std::snprintf(header, sizeof header, "\" type %lu:", static_cast<unsigned long>(type));
        out += "  \"" + utf8({name, nameLength}) + header;
        for (DWORD i = 0; i < size; ++i) {
            char hex[4];
            std::snprintf(hex, sizeof hex, " %02x", data[i]);
            out += hex;
        }
        out += "\n";
    }
    for (const auto& name : subkeyNames(key)) {
        HKEY child = nullptr;
        if (RegOpenKeyExW(key, name.c_str(), 0, 0, &child) != ERROR_SUCCESS) {
            out += "  (cannot open " + utf8(name) + ")\n";
            continue;
        }
        dumpInto(out, child, path + "\\" + utf8(name));
        RegCloseKey(child);
    }
}
}  // namespace

std::string dumpTree(HKEY key) {
    std::string out;
    dumpInto(out, key, "");
    return out;
}

std::u16string snapshotRegistry() {
    std::u16string all;
    for (auto root : {u"HKLM", u"HKCU", u"HKCR", u"HKU"}) {
        std::u16string text;
        auto result = platform::registry::exportRegText(root, text);
        all += result.ok ? text : u"(export failed)";
    }
    return all;
}

}  // namespace registry_test
