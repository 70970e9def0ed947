// DeleteFileW, MoveFileW, CopyFileW, CreateDirectoryW, RemoveDirectoryW and
// GetFileAttributesW.
#include "files_test_support.h"

namespace files_test {
namespace {

class FileManagement : public FilesTest {
protected:
    void SetUp() override {
        storage.put("Nand/Album/a.bmp", "picture");
        storage.put("Nand/notes.txt", "notes");
        storage.mkdir("Nand/Empty");
        storage.put("Nand/Full/inner.txt", "inner");
    }
    void makeReadOnly(const std::string& relative) {
        fs::permissions(storage.host(relative), fs::perms::owner_write | fs::perms::group_write |
                                                    fs::perms::others_write, fs::perm_options::remove);
    }
};

TEST_F(FileManagement, GetFileAttributes) {
    makeReadOnly("Nand/notes.txt");
    struct Case {
        std::u16string path;
        DWORD attributes;
        DWORD error;  // when the attributes are INVALID_FILE_ATTRIBUTES
    };
    const Case cases[] = {
        {u"\\", FILE_ATTRIBUTE_DIRECTORY, 0},
        {u"\\Nand", FILE_ATTRIBUTE_DIRECTORY, 0},
        {u"\\NAND\\album\\A.BMP", FILE_ATTRIBUTE_ARCHIVE, 0},
        {u"\\Nand\\notes.txt", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY, 0},
        {u"\\Nand\\missing.txt", INVALID_FILE_ATTRIBUTES, ERROR_FILE_NOT_FOUND},
        {u"\\Missing\\missing.txt", INVALID_FILE_ATTRIBUTES, ERROR_PATH_NOT_FOUND},
        {u"\\Nand\\notes.txt\\x", INVALID_FILE_ATTRIBUTES, ERROR_PATH_NOT_FOUND},
        {u"\\Nand\\*.txt", INVALID_FILE_ATTRIBUTES, ERROR_INVALID_NAME},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
        SetLastError(kSentinel);
        EXPECT_EQ(GetFileAttributesW(c.path.c_str()), c.attributes);
        EXPECT_LAST_ERROR(c.attributes == INVALID_FILE_ATTRIBUTES ? c.error : kSentinel);
    }
}

TEST_F(FileManagement, DeleteFile) {
    makeReadOnly("Nand/notes.txt");
    struct Case {
        std::u16string path;
        bool deletes;
        DWORD error;
    };
    const Case cases[] = {
        {u"\\nand\\ALBUM\\a.BMP", true, 0},
        {u"\\Nand\\Album\\a.bmp", false, ERROR_FILE_NOT_FOUND},  // gone already
        {u"\\Nand\\Missing\\a.bmp", false, ERROR_PATH_NOT_FOUND},
        {u"\\Nand\\Empty", false, ERROR_ACCESS_DENIED},          // a folder
        {u"\\Nand\\notes.txt", false, ERROR_ACCESS_DENIED},      // read-only
        {u"\\", false, ERROR_ACCESS_DENIED},
        {u"\\Nand\\*", false, ERROR_INVALID_NAME},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
        SetLastError(kSentinel);
        EXPECT_EQ(bool(DeleteFileW(c.path.c_str())), c.deletes);
        EXPECT_LAST_ERROR(c.deletes ? kSentinel : c.error);
    }
    EXPECT_FALSE(storage.exists("Nand/Album/a.bmp"));
    EXPECT_TRUE(storage.exists("Nand/notes.txt"));
    EXPECT_TRUE(storage.exists("Nand/Empty"));
}

TEST_F(FileManagement, OpenFilesCannotBeDeletedOrMoved) {
    for (DWORD access : {DWORD(GENERIC_READ), DWORD(GENERIC_WRITE)}) {
        ScopedHandle h(open(u"\\Nand\\Album\\a.bmp", access, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING));
        ASSERT_TRUE(h.valid());
        SetLastError(kSentinel);
        EXPECT_FALSE(DeleteFileW(u"\\Nand\\Album\\A.BMP"));
        EXPECT_LAST_ERROR(ERROR_SHARING_VIOLATION);
        SetLastError(kSentinel);
        EXPECT_FALSE(MoveFileW(u"\\Nand\\Album\\a.bmp", u"\\Nand\\b.bmp"));
        EXPECT_LAST_ERROR(ERROR_SHARING_VIOLATION);
    }
    // Once closed, both work.
    EXPECT_TRUE(MoveFileW(u"\\Nand\\Album\\a.bmp", u"\\Nand\\b.bmp"));
    EXPECT_TRUE(DeleteFileW(u"\\Nand\\b.bmp"));
}

TEST_F(FileManagement, MoveFile) {
    struct Case {
        const char* name;
        std::u16string from, to;
        bool moves;
        DWORD error;
    };
    const Case cases[] = {
        {"rename in place", u"\\Nand\\notes.txt", u"\\Nand\\renamed.txt", true, 0},
        {"into another folder", u"\\nand\\renamed.txt", u"\\Nand\\Empty\\moved.txt", true, 0},
        {"a folder", u"\\Nand\\Full", u"\\Nand\\Moved", true, 0},
        {"missing source", u"\\Nand\\none.txt", u"\\Nand\\x.txt", false, ERROR_FILE_NOT_FOUND},
        {"missing source folder", u"\\None\\none.txt", u"\\Nand\\x.txt", false, ERROR_PATH_NOT_FOUND},
        {"missing target folder", u"\\Nand\\Album\\a.bmp", u"\\None\\a.bmp", false, ERROR_PATH_NOT_FOUND},
        {"existing target", u"\\Nand\\Album\\a.bmp", u"\\Nand\\Moved\\inner.txt", false, ERROR_ALREADY_EXISTS},
        {"folder into itself", u"\\Nand\\Moved", u"\\Nand\\Moved\\Sub", false, ERROR_ACCESS_DENIED},
        {"the root", u"\\", u"\\Nand\\Root", false, ERROR_ACCESS_DENIED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetLastError(kSentinel);
        EXPECT_EQ(bool(MoveFileW(c.from.c_str(), c.to.c_str())), c.moves);
        EXPECT_LAST_ERROR(c.moves ? kSentinel : c.error);
    }
    EXPECT_EQ(storage.get("Nand/Empty/moved.txt"), "notes");
    EXPECT_EQ(storage.get("Nand/Moved/inner.txt"), "inner");
    EXPECT_EQ(storage.get("Nand/Album/a.bmp"), "picture");
    EXPECT_FALSE(storage.exists("Nand/notes.txt"));
    EXPECT_FALSE(storage.exists("Nand/Full"));
}

TEST_F(FileManagement, MoveFileCanChangeOnlyTheCase) {
    EXPECT_TRUE(MoveFileW(u"\\Nand\\Album\\a.bmp", u"\\Nand\\Album\\A.BMP"));
    EXPECT_TRUE(storage.exists("Nand/Album/A.BMP"));
    EXPECT_FALSE(storage.exists("Nand/Album/a.bmp"));
    EXPECT_EQ(storage.get("Nand/Album/A.BMP"), "picture");
}

TEST_F(FileManagement, CopyFile) {
    makeReadOnly("Nand/notes.txt");
    storage.put("Nand/target.txt", "old target");
    struct Case {
        const char* name;
        std::u16string from, to;
        BOOL failIfExists;
        bool copies;
        DWORD error;
    };
    const Case cases[] = {
        {"to a new name", u"\\Nand\\Album\\a.bmp", u"\\Nand\\copy.bmp", TRUE, true, 0},
        {"over a file, allowed", u"\\Nand\\Album\\a.bmp", u"\\Nand\\target.txt", FALSE, true, 0},
        {"over a file, refused", u"\\Nand\\notes.txt", u"\\Nand\\target.txt", TRUE, false, ERROR_FILE_EXISTS},
        {"onto itself", u"\\Nand\\Album\\a.bmp", u"\\NAND\\album\\A.bmp", FALSE, false, ERROR_SHARING_VIOLATION},
        {"missing source", u"\\Nand\\none", u"\\Nand\\x", FALSE, false, ERROR_FILE_NOT_FOUND},
        {"missing target folder", u"\\Nand\\Album\\a.bmp", u"\\None\\x", FALSE, false, ERROR_PATH_NOT_FOUND},
        {"a folder", u"\\Nand\\Full", u"\\Nand\\x", FALSE, false, ERROR_ACCESS_DENIED},
        {"onto a folder", u"\\Nand\\notes.txt", u"\\Nand\\Empty", FALSE, false, ERROR_ACCESS_DENIED},
        {"a read-only file", u"\\Nand\\notes.txt", u"\\Nand\\notes copy.txt", TRUE, true, 0},
        {"onto a read-only file", u"\\Nand\\Album\\a.bmp", u"\\Nand\\notes.txt", FALSE, false, ERROR_ACCESS_DENIED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetLastError(kSentinel);
        EXPECT_EQ(bool(CopyFileW(c.from.c_str(), c.to.c_str(), c.failIfExists)), c.copies);
        EXPECT_LAST_ERROR(c.copies ? kSentinel : c.error);
    }
    EXPECT_EQ(storage.get("Nand/copy.bmp"), "picture");
    EXPECT_EQ(storage.get("Nand/target.txt"), "picture");
    EXPECT_EQ(storage.get("Nand/Album/a.bmp"), "picture");  // not emptied by the copy onto itself
    EXPECT_EQ(storage.get("Nand/notes.txt"), "notes");
    EXPECT_EQ(GetFileAttributesW(u"\\Nand\\notes copy.txt"), DWORD(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(storage.exists("Nand/x"));
}

TEST_F(FileManagement, CopyFileRespectsOpenHandles) {
    ScopedHandle reader(open(u"\\Nand\\notes.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
    ASSERT_TRUE(reader.valid());
    SetLastError(kSentinel);
    EXPECT_FALSE(CopyFileW(u"\\Nand\\Album\\a.bmp", u"\\Nand\\notes.txt", FALSE));
    EXPECT_LAST_ERROR(ERROR_SHARING_VIOLATION);
    EXPECT_EQ(storage.get("Nand/notes.txt"), "notes");
    // Reading a source that others read is fine.
    EXPECT_TRUE(CopyFileW(u"\\Nand\\notes.txt", u"\\Nand\\copy.txt", TRUE));
    ScopedHandle exclusive(open(u"\\Nand\\Album\\a.bmp", GENERIC_READ, 0, OPEN_EXISTING));
    SetLastError(kSentinel);
    EXPECT_FALSE(CopyFileW(u"\\Nand\\Album\\a.bmp", u"\\Nand\\copy2.bmp", TRUE));
    EXPECT_LAST_ERROR(ERROR_SHARING_VIOLATION);
    EXPECT_FALSE(storage.exists("Nand/copy2.bmp"));
}

TEST_F(FileManagement, CreateAndRemoveDirectory) {
    struct Case {
        const char* name;
        BOOL (*call)(LPCWSTR);
        std::u16string path;
        bool succeeds;
        DWORD error;
    };
    auto create = [](LPCWSTR p) { return CreateDirectoryW(p, nullptr); };
    auto remove = [](LPCWSTR p) { return RemoveDirectoryW(p); };
    const Case cases[] = {
        {"create", create, u"\\Nand\\New", true, 0},
        {"create again", create, u"\\NAND\\new", false, ERROR_ALREADY_EXISTS},
        {"create over a file", create, u"\\Nand\\notes.txt", false, ERROR_ALREADY_EXISTS},
        {"create the root", create, u"\\", false, ERROR_ALREADY_EXISTS},
        {"create without the parent", create, u"\\Nand\\A\\B", false, ERROR_PATH_NOT_FOUND},
        {"create with a trailing separator", create, u"\\Nand\\Trailing\\", true, 0},
        {"remove", remove, u"\\nand\\NEW", true, 0},
        {"remove again", remove, u"\\Nand\\New", false, ERROR_FILE_NOT_FOUND},
        {"remove without the parent", remove, u"\\None\\New", false, ERROR_PATH_NOT_FOUND},
        {"remove a full folder", remove, u"\\Nand\\Full", false, ERROR_DIR_NOT_EMPTY},
        {"remove a file", remove, u"\\Nand\\notes.txt", false, ERROR_DIRECTORY},
        {"remove the root", remove, u"\\", false, ERROR_ACCESS_DENIED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetLastError(kSentinel);
        EXPECT_EQ(bool(c.call(c.path.c_str())), c.succeeds);
        EXPECT_LAST_ERROR(c.succeeds ? kSentinel : c.error);
    }
    EXPECT_FALSE(storage.exists("Nand/New"));
    EXPECT_TRUE(fs::is_directory(storage.host("Nand/Trailing")));
    EXPECT_TRUE(storage.exists("Nand/Full/inner.txt"));
    EXPECT_TRUE(storage.exists("Nand/notes.txt"));
}

}  // namespace
}  // namespace files_test
