// CreateFileW on paths: creation dispositions, access, sharing between handles.
#include "files_test_support.h"

namespace files_test {
namespace {

class CreateFile : public FilesTest {
protected:
    void SetUp() override { storage.mkdir("Temp"); }
};

TEST_F(CreateFile, DispositionsFollowThePlatform) {
    struct Case {
        const char* name;
        DWORD disposition;
        DWORD access;
        bool existsBefore;
        bool opens;
        DWORD lastError;
        const char* contentAfter;  // nullptr: no file afterwards
    };
    const DWORD rw = GENERIC_READ | GENERIC_WRITE;
    const Case cases[] = {
        {"CREATE_NEW, new", CREATE_NEW, rw, false, true, ERROR_SUCCESS, ""},
        {"CREATE_NEW, existing", CREATE_NEW, rw, true, false, ERROR_FILE_EXISTS, "old"},
        {"CREATE_ALWAYS, new", CREATE_ALWAYS, rw, false, true, ERROR_SUCCESS, ""},
        {"CREATE_ALWAYS, existing", CREATE_ALWAYS, rw, true, true, ERROR_ALREADY_EXISTS, ""},
        {"CREATE_ALWAYS, existing, read only access", CREATE_ALWAYS, GENERIC_READ, true, true,
         ERROR_ALREADY_EXISTS, ""},
        {"OPEN_EXISTING, new", OPEN_EXISTING, rw, false, false, ERROR_FILE_NOT_FOUND, nullptr},
        {"OPEN_EXISTING, existing", OPEN_EXISTING, rw, true, true, ERROR_SUCCESS, "old"},
        {"OPEN_ALWAYS, new", OPEN_ALWAYS, rw, false, true, ERROR_SUCCESS, ""},
        {"OPEN_ALWAYS, existing", OPEN_ALWAYS, rw, true, true, ERROR_ALREADY_EXISTS, "old"},
        {"TRUNCATE_EXISTING, new", TRUNCATE_EXISTING, rw, false, false, ERROR_FILE_NOT_FOUND, nullptr},
        {"TRUNCATE_EXISTING, existing", TRUNCATE_EXISTING, rw, true, true, ERROR_SUCCESS, ""},
        {"TRUNCATE_EXISTING without write access", TRUNCATE_EXISTING, GENERIC_READ, true, false,
         ERROR_INVALID_PARAMETER, "old"},
        {"disposition 0", 0, rw, true, false, ERROR_INVALID_PARAMETER, "old"},
        {"disposition 6", 6, rw, false, false, ERROR_INVALID_PARAMETER, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(storage.host("Temp/f.txt"));
        if (c.existsBefore) storage.put("Temp/f.txt", "old");

        ScopedHandle h(open(u"\\Temp\\f.txt", c.access, 0, c.disposition));
        EXPECT_EQ(h.valid(), c.opens);
        EXPECT_LAST_ERROR(c.lastError);
        CloseHandle(h.release());

        EXPECT_EQ(storage.exists("Temp/f.txt"), c.contentAfter != nullptr);
        if (c.contentAfter) {
            EXPECT_EQ(storage.get("Temp/f.txt"), c.contentAfter);
        }
    }
}

TEST_F(CreateFile, MissingFoldersAndFoldersAsFiles) {
    storage.put("Temp/plain.txt", "x");
    struct Case {
        const char* name;
        std::u16string path;
        DWORD disposition;
        DWORD error;
    };
    const Case cases[] = {
        {"missing folder, create", u"\\NoSuch\\f.txt", CREATE_NEW, ERROR_PATH_NOT_FOUND},
        {"missing folder, open", u"\\NoSuch\\f.txt", OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
        {"missing folders, deep", u"\\NoSuch\\Deeper\\f.txt", OPEN_ALWAYS, ERROR_PATH_NOT_FOUND},
        {"a file as a folder", u"\\Temp\\plain.txt\\f.txt", CREATE_ALWAYS, ERROR_PATH_NOT_FOUND},
        {"a folder, opened", u"\\Temp", OPEN_EXISTING, ERROR_ACCESS_DENIED},
        {"a folder, created anew", u"\\Temp", CREATE_NEW, ERROR_FILE_EXISTS},
        {"a folder, overwritten", u"\\temp", CREATE_ALWAYS, ERROR_ACCESS_DENIED},
        {"the root", u"\\", OPEN_ALWAYS, ERROR_ACCESS_DENIED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedHandle h(open(c.path, GENERIC_READ | GENERIC_WRITE, 0, c.disposition));
        EXPECT_FALSE(h.valid());
        EXPECT_LAST_ERROR(c.error);
    }
    EXPECT_FALSE(storage.exists("NoSuch"));
    EXPECT_TRUE(std::filesystem::is_directory(storage.host("Temp")));
}

TEST_F(CreateFile, SharingBetweenOpenHandles) {
    struct Case {
        DWORD firstAccess, firstShare;
        DWORD secondAccess, secondShare;
        bool secondOpens;
    };
    const DWORD R = GENERIC_READ, W = GENERIC_WRITE, SR = FILE_SHARE_READ, SW = FILE_SHARE_WRITE;
    const Case cases[] = {
        {R, SR, R, SR, true},
        {R, SR, W, SR, false},           // the first does not share writing
        {R, 0, R, SR | SW, false},       // the first shares nothing
        {R, SR | SW, W, SR, true},
        {W, SR | SW, R, SR, false},      // the second does not share the first's writing
        {W, SW, W, SW, true},
        {R | W, SR | SW, R | W, SR | SW, true},
        {R | W, SR | SW, R | W, SR, false},
        {GENERIC_ALL, SR, R, SR, false},  // GENERIC_ALL writes too
        {0, 0, R | W, 0, true},           // a query open takes no part
        {R | W, 0, 0, 0, true},
    };
    storage.put("Temp/shared.txt", "data");
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << "first " << c.firstAccess << "/" << c.firstShare
                                          << " second " << c.secondAccess << "/" << c.secondShare);
        ScopedHandle first(open(u"\\Temp\\shared.txt", c.firstAccess, c.firstShare, OPEN_EXISTING));
        ASSERT_TRUE(first.valid());
        // Another spelling reaches the same file.
        ScopedHandle second(open(u"\\TEMP\\Shared.TXT", c.secondAccess, c.secondShare, OPEN_EXISTING));
        EXPECT_EQ(second.valid(), c.secondOpens);
        if (!c.secondOpens) {
            EXPECT_LAST_ERROR(ERROR_SHARING_VIOLATION);
        }
    }
}

TEST_F(CreateFile, ClosingReleasesSharingAndTruncationNeedsIt) {
    storage.put("Temp/f.txt", "keep me");
    HANDLE reader = open(u"\\Temp\\f.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);

    // Emptying the file would change it under the reader, which shares no writing.
    for (DWORD disposition : {CREATE_ALWAYS, TRUNCATE_EXISTING}) {
        ScopedHandle h(open(u"\\Temp\\f.txt", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, disposition));
        EXPECT_FALSE(h.valid());
        EXPECT_LAST_ERROR(ERROR_SHARING_VIOLATION);
    }
    ScopedHandle readOnlyOverwrite(open(u"\\Temp\\f.txt", GENERIC_READ, FILE_SHARE_READ, CREATE_ALWAYS));
    EXPECT_FALSE(readOnlyOverwrite.valid());
    EXPECT_LAST_ERROR(ERROR_SHARING_VIOLATION);
    EXPECT_EQ(storage.get("Temp/f.txt"), "keep me");

    EXPECT_TRUE(CloseHandle(reader));
    ScopedHandle writer(open(u"\\Temp\\f.txt", GENERIC_WRITE, 0, TRUNCATE_EXISTING));
    EXPECT_TRUE(writer.valid());
    EXPECT_EQ(storage.get("Temp/f.txt"), "");
}

TEST_F(CreateFile, ReadOnlyAttribute) {
    // A file created read-only can be written through the handle that created it.
    SetLastError(kSentinel);
    HANDLE h = CreateFileW(u"\\Temp\\ro.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_READONLY,
                           nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = kSentinel;
    EXPECT_TRUE(WriteFile(h, "ro", 2, &written, nullptr));
    EXPECT_EQ(written, 2u);
    CloseHandle(h);
    EXPECT_EQ(GetFileAttributesW(u"\\Temp\\ro.txt") & FILE_ATTRIBUTE_READONLY, DWORD(FILE_ATTRIBUTE_READONLY));

    struct Case {
        DWORD access, disposition;
        bool opens;
    };
    const Case cases[] = {
        {GENERIC_READ, OPEN_EXISTING, true},
        {0, OPEN_EXISTING, true},
        {GENERIC_WRITE, OPEN_EXISTING, false},
        {GENERIC_READ, CREATE_ALWAYS, false},
        {GENERIC_READ | GENERIC_WRITE, TRUNCATE_EXISTING, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.access << " " << c.disposition);
        ScopedHandle again(open(u"\\Temp\\ro.txt", c.access, FILE_SHARE_READ, c.disposition));
        EXPECT_EQ(again.valid(), c.opens);
        if (!c.opens) {
            EXPECT_LAST_ERROR(ERROR_ACCESS_DENIED);
        }
    }
    EXPECT_EQ(storage.get("Temp/ro.txt"), "ro");
}

TEST_F(CreateFile, NewNamesKeepTheCallersSpellingInExistingFolders) {
    storage.mkdir("Nand/Album");
    ScopedHandle h(open(u"\\NAND\\album\\20240303_140509.BMP", GENERIC_WRITE, 0, CREATE_NEW));
    ASSERT_TRUE(h.valid());
    EXPECT_TRUE(storage.exists("Nand/Album/20240303_140509.BMP"));
    EXPECT_FALSE(storage.exists("NAND"));
}

}  // namespace
}  // namespace files_test
