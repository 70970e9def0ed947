// Device paths onto the storage root: separators, "..", limits, case, links.
#include "files_test_support.h"

namespace files_test {
namespace {

using platform::files::hostPath;

class PathMapping : public FilesTest {
protected:
    void SetUp() override {
        storage.mkdir("Nand/Album");
        storage.put("Nand/Album/Photo.BMP", "bmp");
        storage.mkdir("Temp");
    }
};

TEST_F(PathMapping, DevicePathsMapIntoTheRoot) {
    struct Case {
        std::u16string device;
        std::string host;  // relative to the root
    };
    const Case cases[] = {
        {u"\\", ""},
        {u"\\Nand\\Album\\Photo.BMP", "Nand/Album/Photo.BMP"},
        {u"/Nand/Album/Photo.BMP", "Nand/Album/Photo.BMP"},        // forward slashes separate too
        {u"\\Nand/Album\\Photo.BMP", "Nand/Album/Photo.BMP"},      // mixed
        {u"\\\\Nand\\\\Album\\", "Nand/Album"},                    // doubled and trailing separators
        {u"Nand\\Album", "Nand/Album"},                            // no current folder: from the root
        {u"\\nand\\ALBUM\\photo.bmp", "Nand/Album/Photo.BMP"},     // existing names found without case
        {u"\\NAND\\album\\New Folder\\X.txt", "Nand/Album/New Folder/X.txt"},  // new ones keep the spelling
        {u"\\Nand\\.\\Album\\..\\Album\\Photo.BMP", "Nand/Album/Photo.BMP"},
        {u"\\Nand\\..", ""},
        {u"\\사진\\캡처.BMP", "사진/캡처.BMP"},                      // UTF-16 to UTF-8 names
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.device.begin(), c.device.end()));
        DWORD error = kSentinel;
        const auto host = hostPath(c.device, &error);
        ASSERT_TRUE(host.has_value()) << "error " << error;
        EXPECT_EQ(*host, c.host.empty() ? storage.root() : storage.root() / c.host);
        EXPECT_EQ(error, kSentinel);  // untouched on success
    }
}

TEST_F(PathMapping, BadPathsAreRefused) {
    const std::u16string longest = u"\\" + std::u16string(200, u'a') + u"\\" + std::u16string(57, u'b');
    ASSERT_EQ(longest.size(), 259u);
    struct Case {
        const char* what;
        std::u16string device;
        DWORD error;
    };
    const Case cases[] = {
        {"empty", u"", ERROR_PATH_NOT_FOUND},
        {"above the root", u"\\..", ERROR_ACCESS_DENIED},
        {"above the root, later", u"\\Nand\\..\\..\\etc\\passwd", ERROR_ACCESS_DENIED},
        {"above the root, relative", u"..\\x", ERROR_ACCESS_DENIED},
        {"one past the longest", longest + u"b", ERROR_FILENAME_EXCED_RANGE},
        {"far too long", std::u16string(1000, u'x'), ERROR_FILENAME_EXCED_RANGE},
        {"colon", u"\\Nand\\a:b", ERROR_INVALID_NAME},
        {"wildcard in a name", u"\\Nand\\*.BMP", ERROR_INVALID_NAME},
        {"question mark", u"\\Nand\\a?", ERROR_INVALID_NAME},
        {"pipe", u"\\a|b", ERROR_INVALID_NAME},
        {"quote", u"\\a\"b", ERROR_INVALID_NAME},
        {"angle", u"\\a<b>", ERROR_INVALID_NAME},
        {"control character", u"\\a\x01" u"b", ERROR_INVALID_NAME},
        {"unpaired surrogate", std::u16string(u"\\a") + char16_t(0xD800) + u"b", ERROR_INVALID_NAME},
        {"lone low surrogate", std::u16string(u"\\") + char16_t(0xDC00), ERROR_INVALID_NAME},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DWORD error = kSentinel;
        EXPECT_FALSE(hostPath(c.device, &error).has_value());
        EXPECT_EQ(error, c.error);
    }
    DWORD error = kSentinel;
    EXPECT_TRUE(hostPath(longest, &error).has_value()) << "the longest path is still a path";
}

TEST_F(PathMapping, TheApiTakesTheSameLimits) {
    const std::u16string tooLong = u"\\" + std::u16string(259, u'a');
    struct Case {
        const char* what;
        const WCHAR* path;
        DWORD error;
    };
    const Case cases[] = {
        {"NULL", nullptr, ERROR_INVALID_PARAMETER},
        {"empty", u"", ERROR_PATH_NOT_FOUND},
        {"too long", tooLong.c_str(), ERROR_FILENAME_EXCED_RANGE},
        {"above the root", u"\\..\\outside.txt", ERROR_ACCESS_DENIED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetLastError(kSentinel);
        EXPECT_EQ(CreateFileW(c.path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr), INVALID_HANDLE_VALUE);
        EXPECT_LAST_ERROR(c.error);
        SetLastError(kSentinel);
        EXPECT_EQ(GetFileAttributesW(c.path), INVALID_FILE_ATTRIBUTES);
        EXPECT_LAST_ERROR(c.error);
        SetLastError(kSentinel);
        EXPECT_FALSE(CreateDirectoryW(c.path, nullptr));
        EXPECT_LAST_ERROR(c.error);
    }
    EXPECT_FALSE(fs::exists(storage.root().parent_path() / "outside.txt"));
}

TEST_F(PathMapping, HostLinksMayNotLeadOutOfTheRoot) {
    TempStorage outside;  // another folder, not the root once this one is set
    outside.put("secret.txt", "secret");
    platform::files::setStorageRoot(storage.root());
    fs::create_directory_symlink(outside.root(), storage.host("Nand/Escape"));
    fs::create_symlink(outside.host("secret.txt"), storage.host("Nand/secret.txt"));
    fs::create_symlink(outside.host("planted.txt"), storage.host("Nand/planted.txt"));  // dangles outside
    fs::create_symlink("Album/Photo.BMP", storage.host("Nand/Inside.BMP"));               // stays inside
    fs::create_symlink("../../..", storage.host("Nand/Album/Up"));

    struct Case {
        std::u16string device;
        bool allowed;
    };
    const Case cases[] = {
        {u"\\Nand\\Escape\\secret.txt", false},
        {u"\\Nand\\escape", false},
        {u"\\Nand\\secret.txt", false},
        {u"\\Nand\\planted.txt", false},
        {u"\\Nand\\Album\\Up\\x", false},
        {u"\\Nand\\Inside.BMP", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.device.begin(), c.device.end()));
        DWORD error = kSentinel;
        EXPECT_EQ(hostPath(c.device, &error).has_value(), c.allowed);
        if (!c.allowed) {
            EXPECT_EQ(error, DWORD(ERROR_ACCESS_DENIED));
        }

        HANDLE h = open(c.device, GENERIC_READ | GENERIC_WRITE, 0, OPEN_ALWAYS);
        EXPECT_EQ(h != INVALID_HANDLE_VALUE, c.allowed);
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        if (!c.allowed) {
            EXPECT_LAST_ERROR(ERROR_ACCESS_DENIED);
        }
    }
    EXPECT_FALSE(outside.exists("planted.txt")) << "a dangling link must not create a file outside";
    EXPECT_EQ(outside.get("secret.txt"), "secret");

    // A search does not show what lies behind a link out of the root.
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(u"\\Nand\\*", &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        const std::u16string name(data.cFileName);
        EXPECT_TRUE(name == u"Album" || name == u"Inside.BMP") << std::string(name.begin(), name.end());
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

TEST_F(PathMapping, CaseInsensitiveLookupPrefersTheExactSpelling) {
    storage.put("Temp/readme.txt", "lower");
    storage.put("Temp/README.TXT", "upper");
    struct Case {
        std::u16string device;
        std::string host;
    };
    const Case cases[] = {
        {u"\\Temp\\readme.txt", "Temp/readme.txt"},
        {u"\\Temp\\README.TXT", "Temp/README.TXT"},
        {u"\\Temp\\ReadMe.Txt", "Temp/README.TXT"},  // no exact spelling: the first in host order
    };
    for (const auto& c : cases) {
        DWORD error = kSentinel;
        const auto host = hostPath(c.device, &error);
        ASSERT_TRUE(host.has_value());
        EXPECT_EQ(*host, storage.host(c.host));
    }
}

TEST_F(PathMapping, NonAsciiNamesCompareWithoutCase) {
    storage.put("Temp/Ärger.txt", "ä");
    storage.put("Temp/ПРИВЕТ.txt", "п");
    const std::pair<std::u16string, std::string> cases[] = {
        {u"\\TEMP\\ärger.TXT", "Temp/Ärger.txt"},
        {u"\\temp\\привет.txt", "Temp/ПРИВЕТ.txt"},
    };
    for (const auto& [device, host] : cases) {
        const auto mapped = hostPath(device);
        ASSERT_TRUE(mapped.has_value());
        EXPECT_EQ(*mapped, storage.host(host));
    }
}

TEST_F(PathMapping, DetachedStorageIsNotReady) {
    platform::files::setStorageRoot({});
    HANDLE h = open(u"\\Temp\\x.txt", GENERIC_WRITE, 0, CREATE_ALWAYS);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    EXPECT_LAST_ERROR(ERROR_NOT_READY);
    platform::files::setStorageRoot(storage.root());
}

}  // namespace
}  // namespace files_test
