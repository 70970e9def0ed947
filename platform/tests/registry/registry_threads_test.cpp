// The one registry under concurrent use: threads creating, reading, enumerating
// and deleting at once, and imports that readers see whole or not at all.
#include <atomic>
#include <string>
#include <thread>

#include "platform/registry/registry_io.h"
#include "registry_test_support.h"

using namespace registry_test;

namespace {

class RegistryThreads : public RegistryTest {};

constexpr int kWriters = 4;
constexpr int kKeysPerWriter = 40;

std::u16string toU16(const std::string& text) { return std::u16string(text.begin(), text.end()); }

TEST_F(RegistryThreads, WritersAndReadersAtOnce) {
    CREATE_KEY(HKEY_LOCAL_MACHINE, u"Shared");
    std::atomic<int> writersLeft{kWriters};
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int writer = 0; writer < kWriters; ++writer) {
        threads.emplace_back([&, writer] {
            for (int i = 0; i < kKeysPerWriter; ++i) {
                std::u16string path =
                    toU16("Shared\\T" + std::to_string(writer) + "\\K" + std::to_string(100 + i));
                HKEY key = nullptr;
                if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, 0, nullptr,
                                    &key, nullptr) != ERROR_SUCCESS) {
                    ++failures;
                    continue;
                }
                DWORD value = DWORD(i), read = 0, size = 4;
                if (RegSetValueExW(key, u"Index", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value),
                                   4) != ERROR_SUCCESS ||
                    RegQueryValueExW(key, u"index", nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(&read), &size) != ERROR_SUCCESS ||
                    read != value)
                    ++failures;
                RegCloseKey(key);
            }
            --writersLeft;
        });
    }
    for (int reader = 0; reader < 2; ++reader) {
        threads.emplace_back([&] {
            while (writersLeft > 0) {
                HKEY shared = nullptr;
                if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Shared", 0, 0, &shared) != ERROR_SUCCESS) {
                    ++failures;
                    return;
                }
                for (DWORD index = 0;; ++index) {
                    WCHAR name[16];
                    DWORD length = 16;
                    LONG result = RegEnumKeyExW(shared, index, name, &length, nullptr, nullptr,
                                                nullptr, nullptr);
                    if (result == ERROR_NO_MORE_ITEMS) break;
                    if (result != ERROR_SUCCESS) ++failures;
                }
                DWORD subkeys = 0;
                if (RegQueryInfoKeyW(shared, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                                     nullptr, nullptr, nullptr, nullptr,
                                     nullptr) != ERROR_SUCCESS ||
                    subkeys > kWriters)
                    ++failures;
                RegCloseKey(shared);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(0, failures.load());
    for (int writer = 0; writer < kWriters; ++writer) {
        ScopedKey key =
            CREATE_KEY(HKEY_LOCAL_MACHINE, toU16("Shared\\T" + std::to_string(writer)).c_str());
        EXPECT_EQ(size_t(kKeysPerWriter), subkeyNames(key).size());
    }
}

TEST_F(RegistryThreads, DeletingAKeyWhileOthersUseIt) {
    std::atomic<bool> done{false};
    std::atomic<int> unexpected{0};
    std::thread churner([&] {
        for (int round = 0; round < 200; ++round) {
            HKEY key = nullptr;
            DWORD value = DWORD(round);
            if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Churn\\X", 0, nullptr, 0, 0, nullptr, &key,
                                nullptr) == ERROR_SUCCESS) {
                RegSetValueExW(key, u"Round", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4);
                RegCloseKey(key);
            }
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"Churn");
        }
        done = true;
    });
    std::thread user([&] {
        while (!done) {
            HKEY key = nullptr;
            LONG opened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Churn\\X", 0, 0, &key);
            if (opened == ERROR_FILE_NOT_FOUND) continue;
            if (opened != ERROR_SUCCESS) {
                ++unexpected;
                continue;
            }
            for (int i = 0; i < 5; ++i) {
                DWORD value = 0, size = 4;
                LONG result = RegQueryValueExW(key, u"Round", nullptr, nullptr,
                                               reinterpret_cast<BYTE*>(&value), &size);
                if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND &&
                    result != ERROR_KEY_DELETED)
                    ++unexpected;
            }
            if (RegCloseKey(key) != ERROR_SUCCESS) ++unexpected;
        }
    });
    churner.join();
    user.join();
    EXPECT_EQ(0, unexpected.load());
}

TEST_F(RegistryThreads, ReadersSeeAnImportWholeOrNotAtAll) {
    // Each import replaces the key with ten values in one step; a reader never
    // finds the key missing or half filled.
    auto batch = [](int round) {
        std::u16string text = u"REGEDIT4\n[-HKLM\\Batch]\n[HKLM\\Batch]\n";
        for (char c = 'A'; c < 'A' + 10; ++c)
            text += toU16(std::string("\"") + c + "\"=dword:" + std::to_string(round) + "\n");
        return text;
    };
    ASSERT_TRUE(platform::registry::importRegText(batch(0), "batch.reg").ok);
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::thread importer([&] {
        for (int round = 1; round <= 1000; ++round)
            if (!platform::registry::importRegText(batch(round), "batch.reg").ok) ++torn;
        done = true;
    });
    std::thread reader([&] {
        while (!done) {
            HKEY key = nullptr;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Batch", 0, 0, &key) != ERROR_SUCCESS) {
                ++torn;
                continue;
            }
            DWORD values = 0;
            LONG result = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr,
                                           nullptr, &values, nullptr, nullptr, nullptr, nullptr);
            if (result == ERROR_SUCCESS ? values != 10 : result != ERROR_KEY_DELETED) ++torn;
            RegCloseKey(key);
        }
    });
    importer.join();
    reader.join();
    EXPECT_EQ(0, torn.load());
}

}  // namespace
