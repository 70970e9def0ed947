// The automation API's file operations.
#include <windows.h>

#include "test_support.h"

namespace sim {
namespace {

using testing::BootedTerminal;
using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

using TerminalFiles = BootedTerminal;

// Bytes that cross the copy's chunk size and hold every byte value, NUL included.
std::string patternBytes(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xff);
    return bytes;
}

TEST_F(TerminalFiles, PutAndGetCopyEveryByte) {
    TempFolder host;
    for (size_t size : {size_t(0), size_t(1), size_t(65536), size_t(200001)}) {
        const std::string bytes = patternBytes(size);
        writeFile(host / "in.bin", bytes);
        ASSERT_OK(terminal.filePut(host / "in.bin", "\\Nand\\copy.bin"));
        ASSERT_OK(terminal.fileGet("\\Nand\\copy.bin", host / "out.bin"));
        EXPECT_EQ(readFile(host / "out.bin"), bytes) << size << " bytes";
        EXPECT_EQ(readFile(device.storageRoot() / "Nand/copy.bin"), bytes) << size << " bytes";
    }
}

TEST_F(TerminalFiles, AFolderTargetKeepsTheFileName) {
    TempFolder host;
    writeFile(host / "photo.jpg", "jpeg");
    ASSERT_OK(terminal.filePut(host / "photo.jpg", "\\My Documents"));
    ASSERT_OK(terminal.filePut(host / "photo.jpg", "\\Temp\\"));
    EXPECT_OK(terminal.expectFile("\\My Documents\\photo.jpg"));
    EXPECT_OK(terminal.expectFile("\\Temp\\photo.jpg"));

    std::filesystem::create_directory(host / "back");
    ASSERT_OK(terminal.fileGet("\\My Documents\\photo.jpg", host / "back"));
    EXPECT_EQ(readFile(host / "back/photo.jpg"), "jpeg");
}

TEST_F(TerminalFiles, FailedCopiesLeaveNothingHalfDone) {
    TempFolder host;
    writeFile(host / "keep.txt", "precious");
    auto missing = terminal.fileGet("\\Nand\\missing.txt", host / "keep.txt");
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.message.find("ERROR_FILE_NOT_FOUND"), std::string::npos) << missing.message;
    EXPECT_EQ(readFile(host / "keep.txt"), "precious");
    EXPECT_FALSE(std::filesystem::exists(host / "keep.txt.part"));

    auto noParent = terminal.filePut(host / "keep.txt", "\\Nand\\no\\such\\folder.txt");
    EXPECT_FALSE(noParent.ok);
    EXPECT_NE(noParent.message.find("ERROR_PATH_NOT_FOUND"), std::string::npos) << noParent.message;

    EXPECT_FALSE(terminal.filePut(host / "absent.txt", "\\Nand\\x.txt").ok);
    EXPECT_FALSE(terminal.filePut(host.path(), "\\Nand\\x.txt").ok) << "a host folder was put as a file";
    EXPECT_OK(terminal.expectNoFile("\\Nand\\x.txt"));

    // A file a program holds without sharing cannot be replaced under it.
    ASSERT_OK(terminal.filePut(host / "keep.txt", "\\Nand\\held.txt"));
    HANDLE held = CreateFileW(u"\\Nand\\held.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    writeFile(host / "other.txt", "other");
    auto shared = terminal.filePut(host / "other.txt", "\\Nand\\held.txt");
    EXPECT_FALSE(shared.ok);
    EXPECT_NE(shared.message.find("ERROR_SHARING_VIOLATION"), std::string::npos) << shared.message;
    CloseHandle(held);
    EXPECT_EQ(readFile(device.storageRoot() / "Nand/held.txt"), "precious");
}

TEST_F(TerminalFiles, StaysInsideTheStorageRoot) {
    TempFolder host;
    writeFile(host / "x.txt", "x");
    for (const char* path : {"\\..\\escape.txt", "\\Nand\\..\\..\\escape.txt"}) {
        EXPECT_FALSE(terminal.filePut(host / "x.txt", path).ok) << path;
    }
    EXPECT_FALSE(std::filesystem::exists(device.storageRoot().parent_path() / "escape.txt"));
    EXPECT_FALSE(terminal.mkdir("Nand\\relative").ok);
}

TEST_F(TerminalFiles, ListsFoldersSortedByName) {
    TempFolder host;
    writeFile(host / "five.txt", "12345");
    ASSERT_OK(terminal.mkdir("\\Nand\\List\\sub"));
    ASSERT_OK(terminal.filePut(host / "five.txt", "\\Nand\\List\\b.txt"));
    ASSERT_OK(terminal.filePut(host / "five.txt", "\\Nand\\List\\A.txt"));
    auto listing = terminal.fileLs("\\Nand\\List");
    ASSERT_OK(listing);
    EXPECT_EQ(listing.output, (std::vector<std::string>{"         5  A.txt", "         5  b.txt", "     <DIR>  sub"}));

    auto filtered = terminal.fileLs("\\Nand\\List\\*.txt");
    ASSERT_OK(filtered);
    EXPECT_EQ(filtered.output.size(), 2u);

    auto empty = terminal.fileLs("\\Nand\\List\\sub");
    ASSERT_OK(empty);
    EXPECT_TRUE(empty.output.empty());

    EXPECT_FALSE(terminal.fileLs("\\Nand\\Missing").ok);
    EXPECT_FALSE(terminal.fileLs("\\Nand\\List\\b.txt").ok) << "a file was listed as a folder";
    auto root = terminal.fileLs("\\");
    ASSERT_OK(root);
    EXPECT_EQ(root.output.size(), 4u) << ::testing::PrintToString(root.output);
}

TEST_F(TerminalFiles, RemovesFilesAndEmptyFolders) {
    TempFolder host;
    writeFile(host / "f.txt", "f");
    ASSERT_OK(terminal.mkdir("\\Nand\\Full"));
    ASSERT_OK(terminal.filePut(host / "f.txt", "\\Nand\\Full\\f.txt"));
    EXPECT_FALSE(terminal.fileRm("\\Nand\\Full").ok) << "a folder with a file in it went";
    EXPECT_OK(terminal.fileRm("\\Nand\\Full\\f.txt"));
    EXPECT_OK(terminal.fileRm("\\Nand\\Full"));
    EXPECT_OK(terminal.expectNoFile("\\Nand\\Full"));
    EXPECT_FALSE(terminal.fileRm("\\Nand\\Full").ok);
}

TEST_F(TerminalFiles, MakesFoldersWithTheirParents) {
    TempFolder host;
    writeFile(host / "f.txt", "f");
    EXPECT_OK(terminal.mkdir("\\Nand\\a\\b\\c"));
    EXPECT_OK(terminal.mkdir("\\Nand\\a\\b\\c"));  // again: fine
    EXPECT_OK(terminal.mkdir("\\Nand\\a\\b\\"));
    EXPECT_OK(terminal.mkdir("\\"));
    EXPECT_TRUE(std::filesystem::is_directory(device.storageRoot() / "Nand/a/b/c"));

    ASSERT_OK(terminal.filePut(host / "f.txt", "\\Nand\\a\\file"));
    EXPECT_FALSE(terminal.mkdir("\\Nand\\a\\file").ok) << "a file passed for a folder";
    EXPECT_FALSE(terminal.mkdir("\\Nand\\a\\file\\below").ok);
    EXPECT_FALSE(terminal.mkdir("\\Nand\\\\x").ok) << "an empty folder name";
    EXPECT_FALSE(terminal.mkdir("").ok);
}

TEST_F(TerminalFiles, ExpectationsMatchWildcardsInTheLastComponent) {
    TempFolder host;
    writeFile(host / "f", "f");
    ASSERT_OK(terminal.mkdir("\\Nand\\Album"));
    ASSERT_OK(terminal.filePut(host / "f", "\\Nand\\Album\\IMG_0001.JPG"));
    ASSERT_OK(terminal.filePut(host / "f", "\\Nand\\Album\\notes.txt"));
    struct Case {
        const char* path;
        bool present;
    };
    const Case cases[] = {
        {"\\Nand\\Album\\IMG_0001.JPG", true},
        {"\\nand\\album\\img_0001.jpg", true},  // device names ignore case
        {"\\Nand\\Album", true},                // a folder counts
        {"\\Nand\\Album\\*.JPG", true},
        {"\\Nand\\Album\\*.jpg", true},
        {"\\Nand\\Album\\IMG_????.JPG", true},
        {"\\Nand\\Album\\IMG_???.JPG", false},
        {"\\Nand\\Album\\*.png", false},
        {"\\Nand\\Album\\IMG_0002.JPG", false},
        {"\\Nand\\Nowhere\\*.JPG", false},
        {"\\Nand\\Nowhere\\x", false},
    };
    for (const auto& c : cases) {
        auto present = terminal.expectFile(c.path);
        auto absent = terminal.expectNoFile(c.path);
        EXPECT_EQ(present.ok, c.present) << c.path << ": " << present.message;
        EXPECT_EQ(absent.ok, !c.present) << c.path << ": " << absent.message;
    }
    EXPECT_EQ(terminal.expectFile("\\Nand\\Album\\*.png").message,
              "expected file \\Nand\\Album\\*.png, found no match; \\Nand\\Album holds IMG_0001.JPG, notes.txt");
    EXPECT_EQ(terminal.expectFile("\\Nand\\Nowhere\\x").message,
              "expected file \\Nand\\Nowhere\\x, found no folder \\Nand\\Nowhere");
    EXPECT_EQ(terminal.expectNoFile("\\Nand\\Album\\*").message,
              "expected no file \\Nand\\Album\\*, found IMG_0001.JPG, notes.txt");

    auto misplaced = terminal.expectFile("\\Nand\\*\\IMG_0001.JPG");
    EXPECT_FALSE(misplaced.ok);
    EXPECT_NE(misplaced.message.find("only in the last component"), std::string::npos) << misplaced.message;
    EXPECT_FALSE(terminal.expectNoFile("\\Nand\\*\\IMG_0001.JPG").ok);
}

}  // namespace
}  // namespace sim
