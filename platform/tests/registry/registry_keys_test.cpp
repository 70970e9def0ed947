// RegCreateKeyExW, RegOpenKeyExW, RegCloseKey and RegDeleteKeyW against the
// platform's documented behaviour: dispositions, missing keys, path forms, the
// name and nesting limits, case-insensitive lookup, deletion of whole trees.
#include "registry_test_support.h"

using namespace registry_test;

namespace {

class RegistryKeys : public RegistryTest {};

std::u16string repeated(char16_t c, size_t count) { return std::u16string(count, c); }

// "K\K\K..." with depth names.
std::u16string nestedPath(size_t depth) {
    std::u16string path;
    for (size_t i = 0; i < depth; ++i) path += i ? u"\\K" : u"K";
    return path;
}

TEST_F(RegistryKeys, CreateReportsNewThenExistingAndCreatesIntermediateKeys) {
    HKEY key = sentinelKey();
    DWORD disposition = kSentinel;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Norvane\\Hotkey\\0xC1", 0,
                                             nullptr, 0, 0, nullptr, &key, &disposition));
    EXPECT_EQ(DWORD(REG_CREATED_NEW_KEY), disposition);
    EXPECT_NE(sentinelKey(), key);
    EXPECT_NE(nullptr, key);
    ScopedKey created(key);

    disposition = kSentinel;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Norvane\\Hotkey\\0xC1", 0,
                                             nullptr, 0, 0, nullptr, &key, &disposition));
    EXPECT_EQ(DWORD(REG_OPENED_EXISTING_KEY), disposition);
    ScopedKey again(key);
    EXPECT_NE(created.get(), again.get()) << "each open gives its own handle";

    ScopedKey middle = CREATE_KEY(HKEY_LOCAL_MACHINE, u"Norvane");
    EXPECT_EQ(std::vector<std::u16string>{u"Hotkey"}, subkeyNames(middle));
}

TEST_F(RegistryKeys, OpenFindsKeysWithoutRegardToCaseAndKeepsTheirSpelling) {
    CREATE_KEY(HKEY_LOCAL_MACHINE, u"Norvane\\HotKey");
    HKEY key = sentinelKey();
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"NORVANE\\hotkey", 0, 0, &key));
    RegCloseKey(key);

    // Creating with another spelling opens the existing key and does not rename it.
    DWORD disposition = kSentinel;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"norvane\\HOTKEY", 0, nullptr, 0,
                                             0, nullptr, &key, &disposition));
    EXPECT_EQ(DWORD(REG_OPENED_EXISTING_KEY), disposition);
    RegCloseKey(key);
    ScopedKey parent = CREATE_KEY(HKEY_LOCAL_MACHINE, u"Norvane");
    EXPECT_EQ(std::vector<std::u16string>{u"HotKey"}, subkeyNames(parent));
    EXPECT_EQ(std::vector<std::u16string>{u"Norvane"}, subkeyNames(HKEY_LOCAL_MACHINE));
}

TEST_F(RegistryKeys, OpeningAMissingKeyFailsAndClearsTheResult) {
    CREATE_KEY(HKEY_LOCAL_MACHINE, u"Norvane");
    for (const char16_t* path : {u"Missing", u"Norvane\\Missing", u"Missing\\Deeper"}) {
        SCOPED_TRACE(utf8(path));
        HKEY key = sentinelKey();
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, 0, &key));
        EXPECT_EQ(nullptr, key);
    }
    // The roots are separate trees.
    HKEY key = sentinelKey();
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_CURRENT_USER, u"Norvane", 0, 0, &key));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_CLASSES_ROOT, u"Norvane", 0, 0, &key));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_USERS, u"Norvane", 0, 0, &key));
}

struct PathCase {
    const char* label;
    std::u16string path;
    LONG create;  // RegCreateKeyExW's answer
    LONG open;    // RegOpenKeyExW's answer afterwards
};

TEST_F(RegistryKeys, SubkeyPathsAtAndPastTheLimits) {
    const PathCase cases[] = {
        {"name of 255 characters", repeated(u'n', 255), ERROR_SUCCESS, ERROR_SUCCESS},
        {"name of 256 characters", repeated(u'n', 256), ERROR_INVALID_PARAMETER,
         ERROR_INVALID_PARAMETER},
        {"long name deeper down", u"A\\" + repeated(u'n', 256), ERROR_INVALID_PARAMETER,
         ERROR_INVALID_PARAMETER},
        {"16 nested keys", nestedPath(16), ERROR_SUCCESS, ERROR_SUCCESS},
        {"17 nested keys", nestedPath(17), ERROR_INVALID_PARAMETER, ERROR_FILE_NOT_FOUND},
        {"leading backslash", u"\\A", ERROR_INVALID_PARAMETER, ERROR_INVALID_PARAMETER},
        {"empty name inside", u"A\\\\B", ERROR_INVALID_PARAMETER, ERROR_INVALID_PARAMETER},
        {"trailing backslash", u"Trailing\\", ERROR_SUCCESS, ERROR_SUCCESS},
        {"spaces and dots are names", u" . \\..", ERROR_SUCCESS, ERROR_SUCCESS},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.label);
        const std::u16string before = snapshotRegistry();
        HKEY key = sentinelKey();
        DWORD disposition = kSentinel;
        EXPECT_EQ(test.create, RegCreateKeyExW(HKEY_LOCAL_MACHINE, test.path.c_str(), 0, nullptr, 0,
                                               0, nullptr, &key, &disposition));
        if (test.create == ERROR_SUCCESS) {
            EXPECT_EQ(DWORD(REG_CREATED_NEW_KEY), disposition);
            RegCloseKey(key);
        } else {
            EXPECT_EQ(nullptr, key);
            EXPECT_EQ(kSentinel, disposition);
            EXPECT_EQ(before, snapshotRegistry()) << "a refused create changed the registry";
        }
        key = sentinelKey();
        EXPECT_EQ(test.open, RegOpenKeyExW(HKEY_LOCAL_MACHINE, test.path.c_str(), 0, 0, &key));
        if (test.open == ERROR_SUCCESS)
            RegCloseKey(key);
        else
            EXPECT_EQ(nullptr, key);
    }
}

TEST_F(RegistryKeys, NestingIsCountedFromTheRootThroughOpenedKeys) {
    ScopedKey deep = CREATE_KEY(HKEY_LOCAL_MACHINE, nestedPath(10).c_str());
    HKEY key = sentinelKey();
    EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExW(deep, nestedPath(6).c_str(), 0, nullptr, 0, 0, nullptr,
                                             &key, nullptr));
    RegCloseKey(key);
    key = sentinelKey();
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegCreateKeyExW(deep, nestedPath(7).c_str(), 0, nullptr, 0,
                                                       0, nullptr, &key, nullptr));
    EXPECT_EQ(nullptr, key);
}

TEST_F(RegistryKeys, ClassNameIsKeptFromCreationAndLimited) {
    std::u16string className = u"Configuration";
    HKEY key = sentinelKey();
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Classy", 0, className.data(), 0,
                                             0, nullptr, &key, nullptr));
    RegCloseKey(key);
    std::u16string other = u"Ignored";
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Classy", 0, other.data(), 0, 0,
                                             nullptr, &key, nullptr));
    ScopedKey classy(key);
    WCHAR buffer[32];
    DWORD length = 32;
    ASSERT_EQ(ERROR_SUCCESS,
              RegQueryInfoKeyW(classy, buffer, &length, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(className, std::u16string(buffer, length));

    std::u16string tooLong = repeated(u'c', 256);
    key = sentinelKey();
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Unclassed", 0, tooLong.data(), 0, 0, nullptr,
                              &key, nullptr));
    EXPECT_EQ(nullptr, key);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Unclassed", 0, 0, &key));
}

TEST_F(RegistryKeys, NoSubkeyOpensTheKeyItself) {
    // A root opened with no subkey is the root itself.
    for (const char16_t* empty : {static_cast<const char16_t*>(nullptr), u""}) {
        HKEY key = sentinelKey();
        EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, empty, 0, 0, &key));
        EXPECT_EQ(HKEY_LOCAL_MACHINE, key);
        DWORD disposition = kSentinel;
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, empty, 0, nullptr, 0, 0,
                                                 nullptr, &key, &disposition));
        EXPECT_EQ(HKEY_CURRENT_USER, key);
        EXPECT_EQ(DWORD(REG_OPENED_EXISTING_KEY), disposition);
    }
    // An opened key gives a second handle that outlives the first.
    HKEY original = CREATE_KEY(HKEY_LOCAL_MACHINE, u"Self").release();
    HKEY second = sentinelKey();
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(original, nullptr, 0, 0, &second));
    EXPECT_NE(original, second);
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(original));
    SET_VALUE(second, u"Still", REG_DWORD, dwordBytes(1));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(second));
    ScopedKey self = CREATE_KEY(HKEY_LOCAL_MACHINE, u"Self");
    EXPECT_VALUE(self, u"Still", REG_DWORD, dwordBytes(1));
}

TEST_F(RegistryKeys, MissingResultPointerIsRefused) {
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"X", 0, 0, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"X", 0, nullptr, 0, 0,
                                                       nullptr, nullptr, nullptr));
    HKEY key = sentinelKey();
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"X", 0, 0, &key))
        << "a refused create must not have made the key";
}

TEST_F(RegistryKeys, DeleteRemovesTheKeyWithItsWholeSubtree) {
    {
        ScopedKey leaf = CREATE_KEY(HKEY_LOCAL_MACHINE, u"Norvane\\Hotkey\\0xC1\\Deep");
        SET_VALUE(leaf, u"Flag", REG_DWORD, dwordBytes(1));
        CREATE_KEY(HKEY_LOCAL_MACHINE, u"Norvane\\Hotkey\\0xC2");
        CREATE_KEY(HKEY_LOCAL_MACHINE, u"Norvane\\Other");
    }
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"NORVANE\\hotkey"));
    HKEY key = sentinelKey();
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Norvane\\Hotkey", 0, 0, &key));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Norvane\\Hotkey\\0xC1\\Deep", 0, 0, &key));
    ScopedKey norvane = CREATE_KEY(HKEY_LOCAL_MACHINE, u"Norvane");
    EXPECT_EQ(std::vector<std::u16string>{u"Other"}, subkeyNames(norvane));

    // Recreating the key makes a new, empty one.
    ScopedKey fresh = CREATE_KEY(HKEY_LOCAL_MACHINE, u"Norvane\\Hotkey");
    EXPECT_TRUE(subkeyNames(fresh).empty());
}

TEST_F(RegistryKeys, DeleteRefusesMissingAndEmptyNames) {
    CREATE_KEY(HKEY_LOCAL_MACHINE, u"Present");
    const std::u16string before = snapshotRegistry();
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"Absent"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"Absent\\Present"));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegDeleteKeyW(HKEY_LOCAL_MACHINE, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegDeleteKeyW(HKEY_LOCAL_MACHINE, u""));
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegDeleteKeyW(HKEY_LOCAL_MACHINE, repeated(u'p', 256).c_str()));
    EXPECT_EQ(before, snapshotRegistry());
}

}  // namespace
