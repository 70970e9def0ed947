// Records whose layout the platform fixes, read the way a driver or another
// module sees them: bytes placed at a field's documented offset, in the
// device's little-endian order, come back through that field; and each record
// has its documented size. Records that hold pointers have the device's layout
// only where pointers are 4 bytes; elsewhere they are skipped.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

namespace {

// A field's value as one number: handles and pointers by address, a FILETIME
// as the 64-bit count it encodes (low word first).
template <typename T>
uint64_t asNumber(const T& value) {
    if constexpr (std::is_pointer_v<T>) {
        return reinterpret_cast<uintptr_t>(value);
    } else if constexpr (std::is_same_v<T, FILETIME>) {
        return (uint64_t{value.dwHighDateTime} << 32) | value.dwLowDateTime;
    } else {
        static_assert(std::is_integral_v<T>);
        return static_cast<uint64_t>(value);
    }
}

struct FieldCase {
    const char* name;
    size_t offset;  // documented
    size_t width;   // documented
    // Copies a record's bytes into the record and reads the field back.
    uint64_t (*readFrom)(const unsigned char* bytes);
};

struct RecordCase {
    const char* name;
    size_t documentedSize;
    size_t builtSize;
    bool holdsPointers;
    std::vector<FieldCase> fields;
};

// clang-format off
#define FIELD(Record, member, offset, width)                          \
    FieldCase{#member, offset, width, [](const unsigned char* bytes) { \
        Record record;                                                 \
        std::memcpy(&record, bytes, sizeof record);                    \
        return asNumber(record.member);                                \
    }}

#define RECORD(Record, size, holdsPointers, ...) \
    RecordCase{#Record, size, sizeof(Record), holdsPointers, {__VA_ARGS__}}
// clang-format on

const RecordCase kRecords[] = {
    RECORD(POINT, 8, false, FIELD(POINT, x, 0, 4), FIELD(POINT, y, 4, 4)),
    RECORD(SIZE, 8, false, FIELD(SIZE, cx, 0, 4), FIELD(SIZE, cy, 4, 4)),
    RECORD(RECT, 16, false, FIELD(RECT, left, 0, 4), FIELD(RECT, top, 4, 4),
           FIELD(RECT, right, 8, 4), FIELD(RECT, bottom, 12, 4)),
    RECORD(FILETIME, 8, false, FIELD(FILETIME, dwLowDateTime, 0, 4),
           FIELD(FILETIME, dwHighDateTime, 4, 4)),
    RECORD(SYSTEMTIME, 16, false, FIELD(SYSTEMTIME, wYear, 0, 2), FIELD(SYSTEMTIME, wMonth, 2, 2),
           FIELD(SYSTEMTIME, wDayOfWeek, 4, 2), FIELD(SYSTEMTIME, wDay, 6, 2),
           FIELD(SYSTEMTIME, wHour, 8, 2), FIELD(SYSTEMTIME, wMinute, 10, 2),
           FIELD(SYSTEMTIME, wSecond, 12, 2), FIELD(SYSTEMTIME, wMilliseconds, 14, 2)),
    RECORD(WIN32_FIND_DATAW, 560, false, FIELD(WIN32_FIND_DATAW, dwFileAttributes, 0, 4),
           FIELD(WIN32_FIND_DATAW, ftCreationTime, 4, 8),
           FIELD(WIN32_FIND_DATAW, ftLastAccessTime, 12, 8),
           FIELD(WIN32_FIND_DATAW, ftLastWriteTime, 20, 8),
           FIELD(WIN32_FIND_DATAW, nFileSizeHigh, 28, 4),
           FIELD(WIN32_FIND_DATAW, nFileSizeLow, 32, 4), FIELD(WIN32_FIND_DATAW, dwOID, 36, 4),
           FIELD(WIN32_FIND_DATAW, cFileName[0], 40, 2),
           FIELD(WIN32_FIND_DATAW, cFileName[MAX_PATH - 1], 558, 2)),
    RECORD(SECURITY_ATTRIBUTES, 12, true, FIELD(SECURITY_ATTRIBUTES, nLength, 0, 4),
           FIELD(SECURITY_ATTRIBUTES, lpSecurityDescriptor, 4, 4),
           FIELD(SECURITY_ATTRIBUTES, bInheritHandle, 8, 4)),
    // Opaque to programs, which only allocate it.
    RECORD(CRITICAL_SECTION, 20, true),
    RECORD(PROCESS_INFORMATION, 16, true, FIELD(PROCESS_INFORMATION, hProcess, 0, 4),
           FIELD(PROCESS_INFORMATION, hThread, 4, 4), FIELD(PROCESS_INFORMATION, dwProcessId, 8, 4),
           FIELD(PROCESS_INFORMATION, dwThreadId, 12, 4)),
    RECORD(STARTUPINFOW, 68, true, FIELD(STARTUPINFOW, cb, 0, 4),
           FIELD(STARTUPINFOW, lpReserved, 4, 4), FIELD(STARTUPINFOW, lpDesktop, 8, 4),
           FIELD(STARTUPINFOW, lpTitle, 12, 4), FIELD(STARTUPINFOW, dwX, 16, 4),
           FIELD(STARTUPINFOW, dwY, 20, 4), FIELD(STARTUPINFOW, dwXSize, 24, 4),
           FIELD(STARTUPINFOW, dwYSize, 28, 4), FIELD(STARTUPINFOW, dwXCountChars, 32, 4),
           FIELD(STARTUPINFOW, dwYCountChars, 36, 4), FIELD(STARTUPINFOW, dwFillAttribute, 40, 4),
           FIELD(STARTUPINFOW, dwFlags, 44, 4), FIELD(STARTUPINFOW, wShowWindow, 48, 2),
           FIELD(STARTUPINFOW, cbReserved2, 50, 2), FIELD(STARTUPINFOW, lpReserved2, 52, 4),
           FIELD(STARTUPINFOW, hStdInput, 56, 4), FIELD(STARTUPINFOW, hStdOutput, 60, 4),
           FIELD(STARTUPINFOW, hStdError, 64, 4)),
    RECORD(OVERLAPPED, 20, true, FIELD(OVERLAPPED, Internal, 0, 4),
           FIELD(OVERLAPPED, InternalHigh, 4, 4), FIELD(OVERLAPPED, Offset, 8, 4),
           FIELD(OVERLAPPED, OffsetHigh, 12, 4), FIELD(OVERLAPPED, hEvent, 16, 4)),
};

// Names the record in test output instead of dumping its bytes.
void PrintTo(const RecordCase& record, std::ostream* out) { *out << record.name; }

class RecordLayout : public testing::TestWithParam<RecordCase> {
  protected:
    void SetUp() override {
        if (GetParam().holdsPointers && sizeof(void*) != 4)
            GTEST_SKIP() << GetParam().name << " holds pointers; its layout is the device's only "
                         << "where pointers are 4 bytes";
    }
};

TEST_P(RecordLayout, HasItsDocumentedSize) {
    EXPECT_EQ(GetParam().builtSize, GetParam().documentedSize) << GetParam().name;
}

TEST_P(RecordLayout, FieldsReadTheBytesAtTheirDocumentedOffsets) {
    const RecordCase& record = GetParam();
    ASSERT_EQ(record.builtSize, record.documentedSize) << record.name;
    for (const FieldCase& field : record.fields) {
        SCOPED_TRACE(std::string(record.name) + "." + field.name);
        ASSERT_LE(field.offset + field.width, record.documentedSize);
        // Every other byte is a guard, so a field that reads a neighbour's
        // bytes, or too many of them, shows up as a wrong value.
        std::vector<unsigned char> bytes(record.documentedSize, 0xCC);
        uint64_t expected = 0;
        for (size_t i = 0; i < field.width; ++i) {
            bytes[field.offset + i] = static_cast<unsigned char>(0x11 * (i + 1));
            expected |= uint64_t{0x11u * (i + 1)} << (8 * i);
        }
        EXPECT_EQ(field.readFrom(bytes.data()), expected)
            << "at offset " << field.offset << ", " << field.width << " bytes";
    }
}

INSTANTIATE_TEST_SUITE_P(FixedRecords, RecordLayout, testing::ValuesIn(kRecords),
                         [](const testing::TestParamInfo<RecordCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
