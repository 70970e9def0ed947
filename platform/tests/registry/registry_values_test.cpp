// RegSetValueExW, RegQueryValueExW and RegDeleteValueW: types and bytes kept
// exactly, the size protocol (size query, ERROR_MORE_DATA with the size needed),
// the unnamed value, case-insensitive names, and the name and data limits.
#include "registry_test_support.h"

using namespace registry_test;

namespace {

class RegistryValues : public RegistryTest {
  protected:
    void SetUp() override {
        RegistryTest::SetUp();
        key_ = CREATE_KEY(HKEY_LOCAL_MACHINE, u"Norvane");
    }
    void TearDown() override {
        key_ = ScopedKey();
        RegistryTest::TearDown();
    }
    ScopedKey key_;
};

struct TypedValue {
    const char* label;
    DWORD type;
    Bytes data;
};

TEST_F(RegistryValues, EveryTypeKeepsItsTypeAndExactBytes) {
    const TypedValue cases[] = {
        {"REG_DWORD", REG_DWORD, dwordBytes(0x12345678)},
        {"REG_SZ", REG_SZ, textBytes(u"Tern 70")},
        {"REG_SZ Korean", REG_SZ, textBytes(u"\uB85C\uCEEC \uC751\uC6A9")},
        {"REG_SZ without terminator", REG_SZ, unitsBytes(u"abc")},
        {"REG_EXPAND_SZ", REG_EXPAND_SZ, textBytes(u"%windir%\\x")},
        {"REG_MULTI_SZ", REG_MULTI_SZ, unitsBytes(std::u16string_view(u"a\0bc\0\0", 6))},
        {"REG_BINARY", REG_BINARY, {0x00, 0xff, 0x10, 0x00}},
        {"REG_NONE empty", REG_NONE, {}},
        {"REG_DWORD_BIG_ENDIAN", REG_DWORD_BIG_ENDIAN, {0x12, 0x34, 0x56, 0x78}},
        {"REG_DWORD of 2 bytes", REG_DWORD, {0x01, 0x02}},
        {"unknown type 11", 11, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"odd-sized REG_SZ", REG_SZ, {'a', 0, 'b'}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.label);
        SET_VALUE(key_, u"Value", test.type, test.data);
        EXPECT_VALUE(key_, u"Value", test.type, test.data);
    }
}

TEST_F(RegistryValues, QuerySizeProtocol) {
    const Bytes data = textBytes(u"Tern 70P");  // 18 bytes
    SET_VALUE(key_, u"ModelName", REG_SZ, data);
    const DWORD size = DWORD(data.size());

    struct Case {
        const char* label;
        bool passBuffer;
        DWORD capacity;
        LONG expected;
        DWORD reportedSize;
        bool dataWritten;
    };
    const Case cases[] = {
        {"size only", false, kSentinel, ERROR_SUCCESS, size, false},
        {"size only, zero given", false, 0, ERROR_SUCCESS, size, false},
        {"exact buffer", true, size, ERROR_SUCCESS, size, true},
        {"larger buffer", true, 200, ERROR_SUCCESS, size, true},
        {"one byte short", true, size - 1, ERROR_MORE_DATA, size, false},
        {"four-byte buffer", true, 4, ERROR_MORE_DATA, size, false},
        {"empty buffer", true, 0, ERROR_MORE_DATA, size, false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.label);
        Bytes buffer(256, kGuardByte);
        DWORD type = kSentinel;
        DWORD capacity = test.capacity;
        EXPECT_EQ(test.expected,
                  RegQueryValueExW(key_, u"ModelName", nullptr, &type,
                                   test.passBuffer ? buffer.data() : nullptr, &capacity));
        EXPECT_EQ(DWORD(REG_SZ), type) << "the type is reported in every case";
        EXPECT_EQ(test.reportedSize, capacity);
        if (test.dataWritten) {
            EXPECT_EQ(data, Bytes(buffer.begin(), buffer.begin() + size));
        }
        size_t untouchedFrom = test.dataWritten ? size : 0;
        for (size_t i = untouchedFrom; i < buffer.size(); ++i)
            ASSERT_EQ(kGuardByte, buffer[i]) << "byte " << i << " written";
    }
}

TEST_F(RegistryValues, QueryParameterChecks) {
    SET_VALUE(key_, u"Angle", REG_DWORD, dwordBytes(180));
    BYTE buffer[4];
    DWORD size = 4, type = kSentinel, reserved = 0;
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegQueryValueExW(key_, u"Angle", nullptr, &type, buffer, nullptr))
        << "a buffer without its size";
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegQueryValueExW(key_, u"Angle", &reserved, &type, buffer, &size));
    EXPECT_EQ(kSentinel, type);
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key_, u"Angle", nullptr, nullptr, nullptr, nullptr))
        << "asking only whether the value exists";
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key_, u"Angle", nullptr, &type, nullptr, nullptr));
    EXPECT_EQ(DWORD(REG_DWORD), type);
}

TEST_F(RegistryValues, MissingValuesLeaveTheOutParametersAlone) {
    SET_VALUE(key_, u"Present", REG_DWORD, dwordBytes(1));
    EXPECT_NO_VALUE(key_, u"Absent");
    EXPECT_NO_VALUE(key_, nullptr);  // no unnamed value yet
    BYTE buffer[4] = {kGuardByte, kGuardByte, kGuardByte, kGuardByte};
    DWORD size = 4;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegQueryValueExW(key_, u"Absent", nullptr, nullptr, buffer, &size));
    EXPECT_EQ(4u, size);
    EXPECT_EQ(kGuardByte, buffer[0]);
}

TEST_F(RegistryValues, ValuesAreNotConvertedToTheTypeAskedFor) {
    // A caller reading a number into four bytes gets the stored bytes and type.
    SET_VALUE(key_, u"ShortText", REG_SZ, textBytes(u"A"));
    SET_VALUE(key_, u"LongText", REG_SZ, textBytes(u"180"));
    DWORD number = 0, size = 4, type = kSentinel;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key_, u"ShortText", nullptr, &type,
                                              reinterpret_cast<BYTE*>(&number), &size));
    EXPECT_EQ(DWORD(REG_SZ), type);
    EXPECT_EQ(0x41u, number);
    number = 0, size = 4;
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExW(key_, u"LongText", nullptr, &type,
                                                reinterpret_cast<BYTE*>(&number), &size));
    EXPECT_EQ(8u, size);
    EXPECT_EQ(0u, number);
}

TEST_F(RegistryValues, NullAndEmptyNamesAreTheUnnamedValue) {
    SET_VALUE(key_, nullptr, REG_SZ, textBytes(u"default"));
    EXPECT_VALUE(key_, u"", REG_SZ, textBytes(u"default"));
    SET_VALUE(key_, u"", REG_DWORD, dwordBytes(5));
    EXPECT_VALUE(key_, nullptr, REG_DWORD, dwordBytes(5));
    EXPECT_EQ(std::vector<std::u16string>{u""}, valueNames(key_));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueW(key_, nullptr));
    EXPECT_NO_VALUE(key_, u"");
}

TEST_F(RegistryValues, NamesAreFoundWithoutRegardToCaseAndKeepTheirSpelling) {
    SET_VALUE(key_, u"ModelName", REG_SZ, textBytes(u"Tern7"));
    SET_VALUE(key_, u"MODELNAME", REG_SZ, textBytes(u"Tern 70E"));
    EXPECT_VALUE(key_, u"modelname", REG_SZ, textBytes(u"Tern 70E"));
    EXPECT_EQ(std::vector<std::u16string>{u"ModelName"}, valueNames(key_));
    // Letters beyond ASCII fold too.
    SET_VALUE(key_, u"\u00C9t\u00E9", REG_DWORD, dwordBytes(1));
    EXPECT_VALUE(key_, u"\u00E9T\u00C9", REG_DWORD, dwordBytes(1));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueW(key_, u"MoDeLnAmE"));
    EXPECT_NO_VALUE(key_, u"ModelName");
}

TEST_F(RegistryValues, NameAndDataLimits) {
    const std::u16string longest(255, u'v'), tooLong(256, u'v');
    SET_VALUE(key_, longest.c_str(), REG_DWORD, dwordBytes(1));
    EXPECT_VALUE(key_, longest.c_str(), REG_DWORD, dwordBytes(1));
    const std::u16string before = snapshotRegistry();

    DWORD value = 1, size = 4;
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegSetValueExW(key_, tooLong.c_str(), 0, REG_DWORD,
                                                      reinterpret_cast<BYTE*>(&value), 4));
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegQueryValueExW(key_, tooLong.c_str(), nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegDeleteValueW(key_, tooLong.c_str()));

    const Bytes largest(4096, 0x5a), tooLarge(4097, 0x5a);
    SET_VALUE(key_, u"Blob", REG_BINARY, largest);
    EXPECT_VALUE(key_, u"Blob", REG_BINARY, largest);
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegSetValueExW(key_, u"Blob", 0, REG_BINARY, tooLarge.data(),
                                                      DWORD(tooLarge.size())));
    EXPECT_VALUE(key_, u"Blob", REG_BINARY, largest);
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueW(key_, u"Blob"));
    EXPECT_EQ(before, snapshotRegistry());
}

TEST_F(RegistryValues, SetWithoutDataBytes) {
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegSetValueExW(key_, u"Nothing", 0, REG_BINARY, nullptr, 4));
    EXPECT_NO_VALUE(key_, u"Nothing");
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(key_, u"Empty", 0, REG_BINARY, nullptr, 0));
    EXPECT_VALUE(key_, u"Empty", REG_BINARY, Bytes{});
}

TEST_F(RegistryValues, DeleteValue) {
    SET_VALUE(key_, u"Flag", REG_DWORD, dwordBytes(2));
    SET_VALUE(key_, u"VKey", REG_DWORD, dwordBytes(0x75));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueW(key_, u"Flag"));
    EXPECT_NO_VALUE(key_, u"Flag");
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteValueW(key_, u"Flag"));
    EXPECT_VALUE(key_, u"VKey", REG_DWORD, dwordBytes(0x75));
}

}  // namespace
