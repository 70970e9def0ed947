// FindFirstFileW, FindNextFileW and FindClose: wildcards, order, the end of a
// search, and what a search handle is.
#include <chrono>
#include <cstring>
#include <vector>

#include "files_test_support.h"

namespace files_test {
namespace {

class FindFile : public FilesTest {
protected:
    void SetUp() override {
        storage.put("Nand/Album/20240303_140509.BMP", "12345");
        storage.put("Nand/Album/20240303_140510.jpg", "1");
        storage.put("Nand/Album/readme", "");
        storage.put("Nand/Album/b.txt", "");
        storage.put("Nand/Album/A.TXT", "");
        storage.mkdir("Nand/Album/Sub.dir");
    }

    // Every name a search yields, in order; checks that it ends as documented.
    std::vector<std::string> names(const std::u16string& pattern, DWORD* firstError = nullptr) {
        WIN32_FIND_DATAW data;
        std::memset(&data, 0xA5, sizeof data);
        SetLastError(kSentinel);
        HANDLE find = FindFirstFileW(pattern.c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) {
            if (firstError) *firstError = GetLastError();
            return {};
        }
        std::vector<std::string> found;
        do {
            const std::u16string name(data.cFileName);
            found.emplace_back(name.begin(), name.end());
            SetLastError(kSentinel);
        } while (FindNextFileW(find, &data));
        EXPECT_LAST_ERROR(ERROR_NO_MORE_FILES);
        EXPECT_TRUE(FindClose(find));
        return found;
    }
};

using Names = std::vector<std::string>;

TEST_F(FindFile, WildcardsInTheLastComponent) {
    struct Case {
        std::u16string pattern;
        Names expected;  // in ascending order of name without regard to case
    };
    const Names all = {"20240303_140509.BMP", "20240303_140510.jpg", "A.TXT", "b.txt", "readme", "Sub.dir"};
    const Case cases[] = {
        {u"\\Nand\\Album\\*", all},
        {u"\\Nand\\Album\\*.*", all},  // also the name without a dot
        {u"\\nand\\album\\*.bmp", {"20240303_140509.BMP"}},
        {u"\\Nand\\Album\\*.TXT", {"A.TXT", "b.txt"}},
        {u"\\Nand\\Album\\?.txt", {"A.TXT", "b.txt"}},
        {u"\\Nand\\Album\\2024????_??????.*", {"20240303_140509.BMP", "20240303_140510.jpg"}},
        {u"\\Nand\\Album\\*0*9*", {"20240303_140509.BMP"}},
        {u"\\Nand\\Album\\readme.*", {"readme"}},
        {u"\\Nand\\Album\\README", {"readme"}},  // no wildcard: that one entry
        {u"\\Nand\\Album\\*.dir", {"Sub.dir"}},
        {u"/Nand/Album/b*", {"b.txt"}},
        {u"\\Nand\\*", {"Album"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern.begin(), c.pattern.end()));
        EXPECT_EQ(names(c.pattern), c.expected);
    }
}

TEST_F(FindFile, SearchesThatFindNothing) {
    struct Case {
        std::u16string pattern;
        DWORD error;
    };
    const Case cases[] = {
        {u"\\Nand\\Album\\*.png", ERROR_FILE_NOT_FOUND},
        {u"\\Nand\\Album\\?", ERROR_FILE_NOT_FOUND},
        {u"\\Nand\\Missing\\*", ERROR_PATH_NOT_FOUND},
        {u"\\Nand\\Album\\readme\\*", ERROR_PATH_NOT_FOUND},  // a file is no folder
        {u"\\Nand\\*\\*.BMP", ERROR_INVALID_NAME},            // wildcards only in the last component
        {u"\\Nand\\Album\\", ERROR_FILE_NOT_FOUND},
        {u"\\", ERROR_FILE_NOT_FOUND},
        {u"", ERROR_PATH_NOT_FOUND},
        {u"\\..\\*", ERROR_ACCESS_DENIED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern.begin(), c.pattern.end()));
        DWORD error = kSentinel;
        EXPECT_EQ(names(c.pattern, &error), Names{});
        EXPECT_EQ(error, c.error);
    }
}

TEST_F(FindFile, FindDataDescribesTheEntry) {
    WIN32_FIND_DATAW data;
    std::memset(&data, 0xA5, sizeof data);
    HANDLE find = FindFirstFileW(u"\\Nand\\Album\\*.BMP", &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_EQ(data.dwFileAttributes, DWORD(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_EQ(data.nFileSizeHigh, 0u);
    EXPECT_EQ(std::u16string(data.cFileName), u"20240303_140509.BMP");
    // The name is terminated and the rest of the name buffer is clean.
    for (size_t i = 19; i < MAX_PATH; ++i) EXPECT_EQ(data.cFileName[i], 0) << i;
    // The write time is the host file's, in 100 ns units since 1601.
    const auto hostTime = fs::last_write_time(storage.host("Nand/Album/20240303_140509.BMP"));
    const auto unixSeconds = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::file_clock::to_sys(hostTime).time_since_epoch()).count();
    const uint64_t ticks = (uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    EXPECT_EQ(int64_t(ticks / 10'000'000) - 11644473600, unixSeconds);

    // A failed FindNextFileW leaves the data as it was.
    WIN32_FIND_DATAW after = data;
    SetLastError(kSentinel);
    EXPECT_FALSE(FindNextFileW(find, &after));
    EXPECT_LAST_ERROR(ERROR_NO_MORE_FILES);
    EXPECT_EQ(std::memcmp(&after, &data, sizeof data), 0);
    EXPECT_TRUE(FindClose(find));

    storage.mkdir("Nand/Album/Sub.dir");
    ASSERT_NE(find = FindFirstFileW(u"\\Nand\\Album\\sub.DIR", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(data.dwFileAttributes, DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(data.nFileSizeLow, 0u);
    FindClose(find);
}

TEST_F(FindFile, TheSearchHandleIsAKernelHandleEndedByFindClose) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(u"\\Nand\\Album\\*", &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(find) & 1, 0u);

    // Not a file handle, and not closed by CloseHandle.
    char buffer[4];
    DWORD read = kSentinel;
    SetLastError(kSentinel);
    EXPECT_FALSE(ReadFile(find, buffer, 4, &read, nullptr));
    EXPECT_LAST_ERROR(ERROR_INVALID_HANDLE);
    SetLastError(kSentinel);
    EXPECT_FALSE(CloseHandle(find));
    EXPECT_LAST_ERROR(ERROR_INVALID_HANDLE);
    EXPECT_TRUE(FindNextFileW(find, &data));

    EXPECT_TRUE(FindClose(find));
    SetLastError(kSentinel);
    EXPECT_FALSE(FindNextFileW(find, &data));
    EXPECT_LAST_ERROR(ERROR_INVALID_HANDLE);
    SetLastError(kSentinel);
    EXPECT_FALSE(FindClose(find));
    EXPECT_LAST_ERROR(ERROR_INVALID_HANDLE);

    // A file handle is no search handle.
    ScopedHandle file(open(u"\\Nand\\Album\\readme", GENERIC_READ, 0, OPEN_EXISTING));
    ASSERT_TRUE(file.valid());
    for (HANDLE wrong : {file.get(), HANDLE(nullptr), INVALID_HANDLE_VALUE}) {
        SetLastError(kSentinel);
        EXPECT_FALSE(FindNextFileW(wrong, &data));
        EXPECT_LAST_ERROR(ERROR_INVALID_HANDLE);
        SetLastError(kSentinel);
        EXPECT_FALSE(FindClose(wrong));
        EXPECT_LAST_ERROR(ERROR_INVALID_HANDLE);
    }
    EXPECT_TRUE(CloseHandle(file.release()));
}

TEST_F(FindFile, BadArguments) {
    SetLastError(kSentinel);
    EXPECT_EQ(FindFirstFileW(u"\\Nand\\Album\\*", nullptr), INVALID_HANDLE_VALUE);
    EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER);
    WIN32_FIND_DATAW data;
    SetLastError(kSentinel);
    EXPECT_EQ(FindFirstFileW(nullptr, &data), INVALID_HANDLE_VALUE);
    EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER);
    HANDLE find = FindFirstFileW(u"\\Nand\\Album\\*", &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    SetLastError(kSentinel);
    EXPECT_FALSE(FindNextFileW(find, nullptr));
    EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER);
    FindClose(find);
}

}  // namespace
}  // namespace files_test
