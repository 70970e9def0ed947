// ReadFile, WriteFile, SetFilePointer, GetFileSize, SetEndOfFile and
// FlushFileBuffers on file handles.
#include <array>
#include <cstring>

#include "files_test_support.h"

namespace files_test {
namespace {

class FileIo : public FilesTest {
protected:
    void SetUp() override {
        storage.put("Temp/ten.bin", "0123456789");
    }
    HANDLE openTen(DWORD access) { return open(u"\\Temp\\ten.bin", access, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING); }
};

// A buffer with guard bytes on both sides, to catch a write past either end.
template <size_t N>
struct Guarded {
    static constexpr unsigned char kGuard = 0xA5;
    std::array<unsigned char, N + 16> bytes;
    Guarded() { bytes.fill(kGuard); }
    unsigned char* data() { return bytes.data() + 8; }
    std::string text(size_t n) { return std::string(reinterpret_cast<char*>(data()), n); }
    void expectGuardsFrom(size_t used, const char* file, int line) {
        for (size_t i = 0; i < 8; ++i)
            if (bytes[i] != kGuard) ADD_FAILURE_AT(file, line) << "guard byte before the buffer overwritten";
        for (size_t i = 8 + used; i < bytes.size(); ++i)
            if (bytes[i] != kGuard) {
                ADD_FAILURE_AT(file, line) << "byte " << i - 8 << " past the data overwritten";
                return;
            }
    }
};
#define EXPECT_GUARDS(buffer, used) (buffer).expectGuardsFrom((used), __FILE__, __LINE__)

TEST_F(FileIo, ReadsStopAtTheRequestedLengthAndAtTheEnd) {
    ScopedHandle h(openTen(GENERIC_READ));
    ASSERT_TRUE(h.valid());
    struct Step {
        DWORD request;
        std::string expected;
    };
    const Step steps[] = {{4, "0123"}, {0, ""}, {4, "4567"}, {4, "89"}, {4, ""}};
    for (const auto& step : steps) {
        Guarded<16> buffer;
        DWORD read = kSentinel;
        SetLastError(kSentinel);
        EXPECT_TRUE(ReadFile(h.get(), buffer.data(), step.request, &read, nullptr));
        EXPECT_EQ(read, step.expected.size());
        EXPECT_EQ(buffer.text(read), step.expected);
        EXPECT_GUARDS(buffer, read);
        EXPECT_LAST_ERROR(kSentinel);
    }
}

TEST_F(FileIo, AccessIsChecked) {
    struct Case {
        const char* name;
        DWORD access;
        bool reads, writes;
    };
    const Case cases[] = {
        {"read", GENERIC_READ, true, false},
        {"write", GENERIC_WRITE, false, true},
        {"read and write", GENERIC_READ | GENERIC_WRITE, true, true},
        {"all", GENERIC_ALL, true, true},
        {"query", 0, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedHandle h(openTen(c.access));
        ASSERT_TRUE(h.valid());
        Guarded<4> buffer;
        DWORD count = kSentinel;
        SetLastError(kSentinel);
        EXPECT_EQ(bool(ReadFile(h.get(), buffer.data(), 4, &count, nullptr)), c.reads);
        EXPECT_EQ(count, c.reads ? 4u : 0u);  // zeroed even when the call fails
        if (!c.reads) {
            EXPECT_LAST_ERROR(ERROR_ACCESS_DENIED);
            EXPECT_GUARDS(buffer, 0);
        }

        count = kSentinel;
        SetLastError(kSentinel);
        EXPECT_EQ(bool(WriteFile(h.get(), "AB", 2, &count, nullptr)), c.writes);
        EXPECT_EQ(count, c.writes ? 2u : 0u);
        if (!c.writes) {
            EXPECT_LAST_ERROR(ERROR_ACCESS_DENIED);
        }

        SetLastError(kSentinel);
        EXPECT_EQ(bool(SetEndOfFile(h.get())), c.writes);
        if (!c.writes) {
            EXPECT_LAST_ERROR(ERROR_ACCESS_DENIED);
        }
        SetLastError(kSentinel);
        EXPECT_EQ(bool(FlushFileBuffers(h.get())), c.writes);
        if (!c.writes) {
            EXPECT_LAST_ERROR(ERROR_ACCESS_DENIED);
        }

        DWORD high = kSentinel;
        EXPECT_NE(GetFileSize(h.get(), &high), INVALID_FILE_SIZE);  // any access may ask the size
        EXPECT_EQ(high, 0u);
        storage.put("Temp/ten.bin", "0123456789");
    }
}

TEST_F(FileIo, WritesGoWhereThePointerIsAndExtendTheFile) {
    ScopedHandle h(openTen(GENERIC_READ | GENERIC_WRITE));
    ASSERT_TRUE(h.valid());
    DWORD written = kSentinel;
    EXPECT_TRUE(WriteFile(h.get(), "ab", 2, &written, nullptr));
    EXPECT_EQ(written, 2u);
    EXPECT_EQ(SetFilePointer(h.get(), 0, nullptr, FILE_END), 10u);
    EXPECT_TRUE(WriteFile(h.get(), "XY", 2, &written, nullptr));
    EXPECT_EQ(SetFilePointer(h.get(), 14, nullptr, FILE_BEGIN), 14u);  // past the end: a gap of zeros
    EXPECT_TRUE(WriteFile(h.get(), "!", 1, &written, nullptr));
    EXPECT_TRUE(WriteFile(h.get(), nullptr, 0, &written, nullptr));  // writing nothing is fine
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(storage.get("Temp/ten.bin"), std::string("ab23456789XY\0\0!", 15));

    DWORD high = kSentinel;
    EXPECT_EQ(GetFileSize(h.get(), &high), 15u);
    EXPECT_EQ(high, 0u);
    EXPECT_EQ(SetFilePointer(h.get(), 4, nullptr, FILE_BEGIN), 4u);
    EXPECT_TRUE(SetEndOfFile(h.get()));
    EXPECT_EQ(GetFileSize(h.get(), nullptr), 4u);
    EXPECT_TRUE(FlushFileBuffers(h.get()));
    EXPECT_EQ(storage.get("Temp/ten.bin"), "ab23");
}

TEST_F(FileIo, EachHandleHasItsOwnPosition) {
    ScopedHandle a(openTen(GENERIC_READ));
    ScopedHandle b(openTen(GENERIC_READ));
    char buffer[4];
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(a.get(), buffer, 4, &read, nullptr));
    EXPECT_EQ(SetFilePointer(a.get(), 0, nullptr, FILE_CURRENT), 4u);
    EXPECT_EQ(SetFilePointer(b.get(), 0, nullptr, FILE_CURRENT), 0u);
}

TEST_F(FileIo, SetFilePointerMoves) {
    ScopedHandle h(openTen(GENERIC_READ));
    ASSERT_TRUE(h.valid());
    struct Case {
        LONG distance;
        bool withHigh;
        LONG high;
        DWORD method;
        DWORD result;     // the returned low part
        LONG highAfter;   // when withHigh
        DWORD error;      // last error; kSentinel: untouched
    };
    const Case cases[] = {
        {3, false, 0, FILE_BEGIN, 3, 0, kSentinel},
        {2, false, 0, FILE_CURRENT, 5, 0, kSentinel},
        {-1, false, 0, FILE_END, 9, 0, kSentinel},
        {-10, false, 0, FILE_CURRENT, INVALID_SET_FILE_POINTER, 0, ERROR_NEGATIVE_SEEK},
        {-1, false, 0, FILE_BEGIN, INVALID_SET_FILE_POINTER, 0, ERROR_NEGATIVE_SEEK},
        {0, false, 0, 3, INVALID_SET_FILE_POINTER, 0, ERROR_INVALID_PARAMETER},
        // With a high part the position is 64 bits wide.
        {0, true, 1, FILE_BEGIN, 0, 1, kSentinel},
        {-1, true, -1, FILE_CURRENT, 0xFFFFFFFF, 0, NO_ERROR},  // 0xFFFFFFFF told apart by NO_ERROR
        {0, true, -2, FILE_CURRENT, INVALID_SET_FILE_POINTER, -2, ERROR_NEGATIVE_SEEK},
        {2, true, 0, FILE_BEGIN, 2, 0, kSentinel},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "distance " << c.distance << " high " << c.high << " method "
                                          << c.method);
        LONG high = c.high;
        SetLastError(kSentinel);
        EXPECT_EQ(SetFilePointer(h.get(), c.distance, c.withHigh ? &high : nullptr, c.method), c.result);
        if (c.withHigh) {
            EXPECT_EQ(high, c.highAfter);
        }
        EXPECT_LAST_ERROR(c.error);
    }
    // A failed move leaves the pointer where the last good one put it.
    EXPECT_EQ(SetFilePointer(h.get(), 0, nullptr, FILE_CURRENT), 2u);
}

TEST_F(FileIo, PositionsPastFourGigabytesNeedTheHighPart) {
    ScopedHandle h(openTen(GENERIC_READ | GENERIC_WRITE));
    ASSERT_TRUE(h.valid());
    LONG high = 1;
    ASSERT_EQ(SetFilePointer(h.get(), 5, &high, FILE_BEGIN), 5u);
    DWORD written = 0;
    if (!WriteFile(h.get(), "z", 1, &written, nullptr)) GTEST_SKIP() << "host storage takes no sparse 4 GiB file";
    DWORD sizeHigh = kSentinel;
    EXPECT_EQ(GetFileSize(h.get(), &sizeHigh), 6u);
    EXPECT_EQ(sizeHigh, 1u);
    // Without the high part the position cannot be told, so the move fails.
    SetLastError(kSentinel);
    EXPECT_EQ(SetFilePointer(h.get(), 0, nullptr, FILE_END), INVALID_SET_FILE_POINTER);
    EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER);
    EXPECT_EQ(SetFilePointer(h.get(), 0, nullptr, FILE_BEGIN), 0u);
    EXPECT_TRUE(SetEndOfFile(h.get()));
}

TEST_F(FileIo, NullBuffersAndCountsAreHandled) {
    ScopedHandle h(openTen(GENERIC_READ | GENERIC_WRITE));
    DWORD count = kSentinel;
    SetLastError(kSentinel);
    EXPECT_FALSE(ReadFile(h.get(), nullptr, 4, &count, nullptr));
    EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER);
    EXPECT_EQ(count, 0u);
    SetLastError(kSentinel);
    EXPECT_FALSE(WriteFile(h.get(), nullptr, 4, &count, nullptr));
    EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER);
    // The count pointer may be left out.
    char buffer[3];
    EXPECT_TRUE(ReadFile(h.get(), buffer, 3, nullptr, nullptr));
    EXPECT_TRUE(WriteFile(h.get(), "abc", 3, nullptr, nullptr));
    EXPECT_EQ(storage.get("Temp/ten.bin"), "012abc6789");
}

TEST_F(FileIo, DeviceControlOnAFileIsRefused) {
    ScopedHandle h(openTen(GENERIC_READ | GENERIC_WRITE));
    Guarded<8> out;
    DWORD returned = kSentinel;
    SetLastError(kSentinel);
    EXPECT_FALSE(DeviceIoControl(h.get(), 0x00310000, nullptr, 0, out.data(), 8, &returned, nullptr));
    EXPECT_LAST_ERROR(ERROR_INVALID_FUNCTION);
    EXPECT_EQ(returned, kSentinel);
    EXPECT_GUARDS(out, 0);
}

}  // namespace
}  // namespace files_test
