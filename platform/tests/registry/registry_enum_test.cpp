// RegEnumKeyExW, RegEnumValueW and RegQueryInfoKeyW: the stable order (ascending
// by name without regard to case), ERROR_NO_MORE_ITEMS, names and data in buffers
// that are too small, and the counts and maxima of a key.
#include <algorithm>

#include "registry_test_support.h"

using namespace registry_test;

namespace {

class RegistryEnum : public RegistryTest {};

TEST_F(RegistryEnum, SubkeysComeInAscendingOrderWithoutRegardToCase) {
    ScopedKey parent = CREATE_KEY(HKEY_LOCAL_MACHINE, u"Hotkey");
    for (const char16_t* name :
         {u"VK75", u"0xC1", u"beta", u"Alpha", u"_under", u"ALPHA2", u"a", u"0xc2"})
        CREATE_KEY(parent, name);
    // Letters compare as upper case, so '_' (after 'Z') sorts after the letters.
    const std::vector<std::u16string> expected = {u"0xC1",   u"0xc2", u"a",    u"Alpha",
                                                  u"ALPHA2", u"beta", u"VK75", u"_under"};
    EXPECT_EQ(expected, subkeyNames(parent));

    WCHAR name[16] = {kGuardChar};
    DWORD length = 16;
    for (DWORD index : {DWORD(expected.size()), DWORD(expected.size() + 1), DWORD(0xffffffff)}) {
        EXPECT_EQ(ERROR_NO_MORE_ITEMS,
                  RegEnumKeyExW(parent, index, name, &length, nullptr, nullptr, nullptr, nullptr));
        EXPECT_EQ(16u, length);
        EXPECT_EQ(kGuardChar, name[0]);
    }
}

TEST_F(RegistryEnum, SubkeyNameBufferSizes) {
    ScopedKey parent = CREATE_KEY(HKEY_LOCAL_MACHINE, u"P");
    std::u16string className = u"Cls";
    HKEY child = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(parent, u"Child", 0, className.data(), 0, 0, nullptr,
                                             &child, nullptr));
    RegCloseKey(child);

    struct Case {
        const char* label;
        DWORD nameCapacity;
        DWORD classCapacity;
        LONG expected;
    };
    const Case cases[] = {
        {"both fit exactly", 6, 4, ERROR_SUCCESS},
        {"name without room for its terminator", 5, 4, ERROR_MORE_DATA},
        {"name buffer of zero", 0, 4, ERROR_MORE_DATA},
        {"class without room for its terminator", 6, 3, ERROR_MORE_DATA},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.label);
        WCHAR name[16], classBuffer[16];
        std::fill(std::begin(name), std::end(name), kGuardChar);
        std::fill(std::begin(classBuffer), std::end(classBuffer), kGuardChar);
        DWORD nameLength = test.nameCapacity, classLength = test.classCapacity;
        FILETIME written = {kSentinel, kSentinel};
        EXPECT_EQ(test.expected, RegEnumKeyExW(parent, 0, name, &nameLength, nullptr, classBuffer,
                                               &classLength, &written));
        // Success or not, the lengths are those of the name and class, without terminator.
        EXPECT_EQ(5u, nameLength);
        EXPECT_EQ(3u, classLength);
        if (test.expected == ERROR_SUCCESS) {
            EXPECT_EQ(u"Child", std::u16string(name));
            EXPECT_EQ(u"Cls", std::u16string(classBuffer));
            EXPECT_EQ(kGuardChar, name[6]);
            EXPECT_EQ(kGuardChar, classBuffer[4]);
            EXPECT_NE(kSentinel, written.dwHighDateTime);
        } else {
            EXPECT_EQ(kGuardChar, name[0]) << "nothing is written on ERROR_MORE_DATA";
            EXPECT_EQ(kGuardChar, classBuffer[0]);
            EXPECT_EQ(kSentinel, written.dwHighDateTime);
        }
    }
    DWORD length = 16;
    WCHAR name[16];
    DWORD reserved = 0;
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegEnumKeyExW(parent, 0, nullptr, &length, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegEnumKeyExW(parent, 0, name, nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegEnumKeyExW(parent, 0, name, &length, &reserved, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegEnumKeyExW(parent, 0, name, &length, nullptr, name, nullptr, nullptr))
        << "a class buffer without its size";
}

TEST_F(RegistryEnum, ValuesComeInAscendingOrderWithTheUnnamedValueFirst) {
    ScopedKey key = CREATE_KEY(HKEY_LOCAL_MACHINE, u"Hotkey\\0xC1");
    for (const char16_t* name :
         {u"VKey", u"Flag", u"HotKeyMod", u"VControlKey", u"Execute", u"Parameter", u"Action", u""})
        SET_VALUE(key, name, REG_DWORD, dwordBytes(0));
    const std::vector<std::u16string> expected = {
        u"", u"Action", u"Execute", u"Flag", u"HotKeyMod", u"Parameter", u"VControlKey", u"VKey"};
    EXPECT_EQ(expected, valueNames(key));
    // Replacing a value does not move it.
    SET_VALUE(key, u"flag", REG_SZ, textBytes(u"x"));
    EXPECT_EQ(expected, valueNames(key));
}

TEST_F(RegistryEnum, ValueEnumerationBufferSizes) {
    ScopedKey key = CREATE_KEY(HKEY_LOCAL_MACHINE, u"K");
    const Bytes data = textBytes(u"HOME");  // 10 bytes
    SET_VALUE(key, u"Action", REG_SZ, data);

    struct Case {
        const char* label;
        DWORD nameCapacity;
        bool passData;
        DWORD dataCapacity;
        LONG expected;
    };
    const Case cases[] = {
        {"both fit exactly", 7, true, 10, ERROR_SUCCESS},
        {"data size only", 7, false, kSentinel, ERROR_SUCCESS},
        {"name one short", 6, true, 10, ERROR_MORE_DATA},
        {"data one short", 7, true, 9, ERROR_MORE_DATA},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.label);
        WCHAR name[16];
        std::fill(std::begin(name), std::end(name), kGuardChar);
        Bytes buffer(32, kGuardByte);
        DWORD nameLength = test.nameCapacity, dataSize = test.dataCapacity, type = kSentinel;
        EXPECT_EQ(test.expected, RegEnumValueW(key, 0, name, &nameLength, nullptr, &type,
                                               test.passData ? buffer.data() : nullptr, &dataSize));
        EXPECT_EQ(6u, nameLength);
        EXPECT_EQ(10u, dataSize);
        EXPECT_EQ(DWORD(REG_SZ), type);
        if (test.expected == ERROR_SUCCESS) {
            EXPECT_EQ(u"Action", std::u16string(name));
            if (test.passData) {
                EXPECT_EQ(data, Bytes(buffer.begin(), buffer.begin() + 10));
            }
        } else {
            EXPECT_EQ(kGuardChar, name[0]) << "nothing is written on ERROR_MORE_DATA";
        }
        size_t untouchedFrom = test.expected == ERROR_SUCCESS && test.passData ? 10 : 0;
        for (size_t i = untouchedFrom; i < buffer.size(); ++i) ASSERT_EQ(kGuardByte, buffer[i]);
    }
    WCHAR name[16];
    DWORD length = 16, size = 4;
    BYTE buffer[4];
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegEnumValueW(key, 0, nullptr, &length, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegEnumValueW(key, 0, name, nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegEnumValueW(key, 0, name, &length, nullptr, nullptr, buffer, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegEnumValueW(key, 0, name, &length, &size, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_NO_MORE_ITEMS,
              RegEnumValueW(key, 1, name, &length, nullptr, nullptr, nullptr, nullptr));
}

TEST_F(RegistryEnum, QueryInfoReportsCountsAndLongestNamesAndData) {
    std::u16string className = u"Hotkeys";
    HKEY raw = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Info", 0, className.data(), 0, 0,
                                             nullptr, &raw, nullptr));
    ScopedKey key(raw);
    HKEY child = nullptr;
    std::u16string childClass = u"Longest class";
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(key, u"abc", 0, childClass.data(), 0, 0, nullptr, &child, nullptr));
    RegCloseKey(child);
    CREATE_KEY(key, u"abcdefgh");
    SET_VALUE(key, u"", REG_DWORD, dwordBytes(1));
    SET_VALUE(key, u"Parameter", REG_SZ, textBytes(u"a long parameter"));  // 34 bytes

    WCHAR classBuffer[16];
    DWORD classLength = 16, subkeys = kSentinel, maxSubkey = kSentinel, maxClass = kSentinel,
          values = kSentinel, maxValueName = kSentinel, maxValue = kSentinel, security = kSentinel;
    FILETIME written = {kSentinel, kSentinel};
    ASSERT_EQ(ERROR_SUCCESS,
              RegQueryInfoKeyW(key, classBuffer, &classLength, nullptr, &subkeys, &maxSubkey,
                               &maxClass, &values, &maxValueName, &maxValue, &security, &written));
    EXPECT_EQ(className, std::u16string(classBuffer, classLength));
    EXPECT_EQ(2u, subkeys);
    EXPECT_EQ(8u, maxSubkey);
    EXPECT_EQ(13u, maxClass);
    EXPECT_EQ(2u, values);
    EXPECT_EQ(9u, maxValueName);
    EXPECT_EQ(34u, maxValue);
    EXPECT_EQ(0u, security);
    EXPECT_NE(kSentinel, written.dwHighDateTime);

    // A class buffer too small reports the class length and writes nothing.
    WCHAR small[4] = {kGuardChar, kGuardChar, kGuardChar, kGuardChar};
    classLength = 4;
    subkeys = kSentinel;
    EXPECT_EQ(ERROR_MORE_DATA,
              RegQueryInfoKeyW(key, small, &classLength, nullptr, &subkeys, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(7u, classLength);
    EXPECT_EQ(kGuardChar, small[0]);

    DWORD reserved = 0;
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegQueryInfoKeyW(key, nullptr, nullptr, &reserved, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegQueryInfoKeyW(key, classBuffer, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_SUCCESS,
              RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr));
}

TEST_F(RegistryEnum, EmptyKeyReportsZeros) {
    ScopedKey key = CREATE_KEY(HKEY_CURRENT_USER, u"Empty");
    DWORD subkeys = kSentinel, maxSubkey = kSentinel, values = kSentinel, maxValue = kSentinel;
    ASSERT_EQ(ERROR_SUCCESS,
              RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, &maxSubkey, nullptr,
                               &values, nullptr, &maxValue, nullptr, nullptr));
    EXPECT_EQ(0u, subkeys);
    EXPECT_EQ(0u, maxSubkey);
    EXPECT_EQ(0u, values);
    EXPECT_EQ(0u, maxValue);
}

TEST_F(RegistryEnum, WriteTimeFollowsTheDeviceClock) {
    ScopedKey key = CREATE_KEY(HKEY_LOCAL_MACHINE, u"Timed");
    SYSTEMTIME now;
    GetSystemTime(&now);
    FILETIME written;
    ASSERT_EQ(ERROR_SUCCESS,
              RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, &written));
    // FILETIME counts 100 ns units since 1601; a year is about 3.156e14 of them.
    uint64_t ticks = uint64_t(written.dwHighDateTime) << 32 | written.dwLowDateTime;
    double years = double(ticks) / 3.15576e14;
    EXPECT_NEAR(1601 + years, now.wYear + (now.wMonth - 1) / 12.0, 1.0);
}

}  // namespace
