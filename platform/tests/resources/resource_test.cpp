// The resource functions against a module built with the resource compiler:
// finding resources by number and by name, the documented errors, string
// buffers, menus and accelerator tables.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "module/resource.h"
#include "platform/resources/accelerator_table.h"
#include "platform/resources/menu.h"
#include "support/device_fixture.h"

namespace {

constexpr DWORD kSentinel = 0xdeadbeef;

#define EXPECT_LAST_ERROR(expected) expectLastError(expected, __FILE__, __LINE__)
void expectLastError(DWORD expected, const char* file, int line) {
    DWORD actual = GetLastError();
    if (actual != expected) ADD_FAILURE_AT(file, line) << "last error " << actual << ", expected " << expected;
}

class ResourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryW(TEXT("ResTest"));
        ASSERT_NE(module_, nullptr) << "error " << GetLastError();
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
    }

    std::string bytesOf(LPCWSTR type, LPCWSTR name) {
        HRSRC info = FindResourceW(module_, name, type);
        if (!info) return "<not found, error " + std::to_string(GetLastError()) + ">";
        const char* data = static_cast<const char*>(LockResource(LoadResource(module_, info)));
        return std::string(data, SizeofResource(module_, info));
    }

    platform::testing::TemporaryStorageRoot root_{true};
    HMODULE module_ = nullptr;
};

TEST_F(ResourceTest, FindResourceByNumberNameAndText) {
    struct Case {
        const char* what;
        LPCWSTR type;
        LPCWSTR name;
        DWORD error;  // ERROR_SUCCESS: found
    } cases[] = {
        {"numbers", RT_RCDATA, MAKEINTRESOURCE(IDR_MENUBAR), ERROR_SUCCESS},
        {"#numbers", TEXT("#10"), TEXT("#102"), ERROR_SUCCESS},
        {"names of any case", TEXT("ceux"), TEXT("Hi_Res_Aware"), ERROR_SUCCESS},
        {"icon group", RT_GROUP_ICON, MAKEINTRESOURCE(IDR_MAINFRAME), ERROR_SUCCESS},
        {"icon images are numbered from 1", RT_ICON, MAKEINTRESOURCE(2), ERROR_SUCCESS},
        {"missing name", RT_RCDATA, MAKEINTRESOURCE(999), ERROR_RESOURCE_NAME_NOT_FOUND},
        {"missing named name", TEXT("CEUX"), TEXT("LOW_RES"), ERROR_RESOURCE_NAME_NOT_FOUND},
        {"missing type", MAKEINTRESOURCE(77), MAKEINTRESOURCE(1), ERROR_RESOURCE_TYPE_NOT_FOUND},
        {"no version block in the module", RT_VERSION, MAKEINTRESOURCE(1), ERROR_RESOURCE_TYPE_NOT_FOUND},
        {"NULL name", RT_RCDATA, nullptr, ERROR_INVALID_PARAMETER},
        {"NULL type", nullptr, MAKEINTRESOURCE(1), ERROR_INVALID_PARAMETER},
        {"# without digits", TEXT("#"), MAKEINTRESOURCE(1), ERROR_INVALID_PARAMETER},
        {"# with letters", RT_RCDATA, TEXT("#12a"), ERROR_INVALID_PARAMETER},
        {"# too large", RT_RCDATA, TEXT("#65536"), ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetLastError(kSentinel);
        HRSRC info = FindResourceW(module_, c.name, c.type);
        if (c.error == ERROR_SUCCESS) {
            EXPECT_NE(info, nullptr) << "error " << GetLastError();
            EXPECT_LAST_ERROR(kSentinel);
        } else {
            EXPECT_EQ(info, nullptr);
            EXPECT_LAST_ERROR(c.error);
        }
    }
}

TEST_F(ResourceTest, ResourceDataIsTheCompiledBytes) {
    // The menu-bar record: words, little-endian.
    std::string bar = bytesOf(RT_RCDATA, MAKEINTRESOURCE(IDR_MENUBAR));
    const uint16_t expected[] = {102, 2, 0xFFFE, 40000, 4, 0x10, 103, 0, 0xFFFF, 0xFFFE, 40001, 4, 0x18, 104, 0, 0};
    ASSERT_EQ(bar.size(), sizeof expected);
    EXPECT_EQ(std::memcmp(bar.data(), expected, sizeof expected), 0);
    EXPECT_EQ(bytesOf(TEXT("CEUX"), TEXT("HI_RES_AWARE")), std::string("\1\0", 2));
    // A bitmap resource is the file without its 14-byte header.
    std::string bitmap = bytesOf(RT_BITMAP, MAKEINTRESOURCE(IDB_TEST));
    ASSERT_EQ(bitmap.size(), 78u - 14u);
    uint32_t headerSize;
    std::memcpy(&headerSize, bitmap.data(), 4);
    EXPECT_EQ(headerSize, 40u);
    EXPECT_EQ(LockResource(nullptr), nullptr);
}

TEST_F(ResourceTest, LanguageOfTheTerminalIsPreferredThenNeutral) {
    EXPECT_EQ(bytesOf(RT_RCDATA, MAKEINTRESOURCE(IDR_BOTH_LANGUAGES)), "ko");
    EXPECT_EQ(bytesOf(RT_RCDATA, MAKEINTRESOURCE(IDR_NEUTRAL_AND_ENGLISH)), "neutral");
}

TEST_F(ResourceTest, WrongModulesAndHandlesFail) {
    HMODULE other = LoadLibraryW(TEXT("ProofLib"));
    ASSERT_NE(other, nullptr);
    struct Case {
        const char* what;
        HMODULE module;
        DWORD error;
    } cases[] = {
        {"module without resources", other, ERROR_RESOURCE_DATA_NOT_FOUND},
        {"made-up module handle", reinterpret_cast<HMODULE>(0x1230), ERROR_INVALID_HANDLE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetLastError(kSentinel);
        EXPECT_EQ(FindResourceW(c.module, MAKEINTRESOURCE(IDR_MENUBAR), RT_RCDATA), nullptr);
        EXPECT_LAST_ERROR(c.error);
        WCHAR buffer[8] = {u'x', 0};
        SetLastError(kSentinel);
        EXPECT_EQ(LoadStringW(c.module, IDS_TITLE, buffer, 8), 0);
        EXPECT_LAST_ERROR(c.error);
        EXPECT_EQ(buffer[0], u'x');
    }

    // A resource handle belongs to its module: another module does not take it.
    HRSRC info = FindResourceW(module_, MAKEINTRESOURCE(IDR_MENUBAR), RT_RCDATA);
    ASSERT_NE(info, nullptr);
    for (HRSRC bad : {info, static_cast<HRSRC>(nullptr)}) {
        SetLastError(kSentinel);
        EXPECT_EQ(SizeofResource(other, bad), 0u);
        EXPECT_LAST_ERROR(ERROR_INVALID_HANDLE);
        SetLastError(kSentinel);
        EXPECT_EQ(LoadResource(other, bad), nullptr);
        EXPECT_LAST_ERROR(ERROR_INVALID_HANDLE);
    }
    HRSRC inside = reinterpret_cast<HRSRC>(reinterpret_cast<char*>(info) + 4);  // not an entry's start
    SetLastError(kSentinel);
    EXPECT_EQ(SizeofResource(module_, inside), 0u);
    EXPECT_LAST_ERROR(ERROR_INVALID_HANDLE);
    FreeLibrary(other);
}

TEST_F(ResourceTest, LoadStringCopiesTruncatesAndTerminates) {
    const std::u16string longText = u"파워소모량을 줄이기 위해서";
    struct Case {
        UINT id;
        int bufferSize;
        int result;
        std::u16string text;
    } cases[] = {
        {IDS_TITLE, 32, 7, u"Padkeys"},
        {IDS_TITLE, 8, 7, u"Padkeys"},
        {IDS_TITLE, 7, 6, u"Padkey"},
        {IDS_TITLE, 1, 0, u""},
        {IDS_LONG, 64, static_cast<int>(longText.size()), longText},
        {IDS_HELP, 4, 3, u"도움말"},
        {IDS_OK, 2, 1, u"확"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("id " + std::to_string(c.id) + ", buffer " + std::to_string(c.bufferSize));
        WCHAR buffer[68];
        for (WCHAR& w : buffer) w = 0xBEEF;
        SetLastError(kSentinel);
        EXPECT_EQ(LoadStringW(module_, c.id, buffer, c.bufferSize), c.result);
        EXPECT_EQ(std::u16string(buffer), c.text);
        for (int i = c.result + 1; i < 68; ++i) ASSERT_EQ(buffer[i], 0xBEEF) << "written past the text at " << i;
        EXPECT_LAST_ERROR(kSentinel);
    }
}

TEST_F(ResourceTest, LoadStringWithoutBufferGivesTheResourceText) {
    LPCWSTR text = reinterpret_cast<LPCWSTR>(0xdeadbeef);
    SetLastError(kSentinel);
    EXPECT_EQ(LoadStringW(module_, IDS_CLASS, reinterpret_cast<LPWSTR>(&text), 0), 7);
    ASSERT_NE(text, reinterpret_cast<LPCWSTR>(0xdeadbeef));
    EXPECT_EQ(std::u16string(text, 7), u"PADKEYS");
    EXPECT_EQ(text[-1], 7);  // the length word before the text
    EXPECT_LAST_ERROR(kSentinel);

    struct Case {
        const char* what;
        UINT id;
        bool withBuffer;
        int size;
        DWORD error;
    } cases[] = {
        {"empty slot of a block", 5, true, 8, ERROR_RESOURCE_NAME_NOT_FOUND},
        {"missing block", 500, true, 8, ERROR_RESOURCE_NAME_NOT_FOUND},
        {"id beyond 16 bits", 0x10001, true, 8, ERROR_INVALID_PARAMETER},
        {"negative size", IDS_TITLE, true, -1, ERROR_INVALID_PARAMETER},
        {"NULL buffer with a size", IDS_TITLE, false, 8, ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WCHAR buffer[8] = {u'x', 0};
        SetLastError(kSentinel);
        EXPECT_EQ(LoadStringW(module_, c.id, c.withBuffer ? buffer : nullptr, c.size), 0);
        EXPECT_LAST_ERROR(c.error);
        EXPECT_EQ(buffer[0], u'x');
    }
}

TEST_F(ResourceTest, LoadMenuBuildsItsPopups) {
    HMENU menu = LoadMenuW(module_, MAKEINTRESOURCE(IDM_MAIN));
    ASSERT_NE(menu, nullptr) << "error " << GetLastError();
    auto top = platform::resources::menuFromHandle(menu);
    ASSERT_NE(top, nullptr);
    ASSERT_EQ(top->items.size(), 2u);
    EXPECT_EQ(top->items[0].flags, UINT(MF_POPUP));
    EXPECT_EQ(top->items[0].text, u"도움말");
    EXPECT_EQ(top->items[1].flags, UINT(MF_CHECKED));
    EXPECT_EQ(top->items[1].id, UINT(CMD_OK));
    EXPECT_EQ(top->items[1].text, u"확인");

    HMENU help = GetSubMenu(menu, 0);
    ASSERT_NE(help, nullptr);
    auto popup = platform::resources::menuFromHandle(help);
    ASSERT_NE(popup, nullptr);
    struct Item {
        UINT flags, id;
        std::u16string text;
    } expected[] = {{MF_STRING, CMD_ABOUT, u"정보"}, {MF_SEPARATOR, 0, u""}, {MF_GRAYED, CMD_OK, u"끝"}};
    ASSERT_EQ(popup->items.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(popup->items[i].flags, expected[i].flags);
        EXPECT_EQ(popup->items[i].id, expected[i].id);
        EXPECT_EQ(popup->items[i].text, expected[i].text);
    }
    EXPECT_EQ(GetSubMenu(menu, 1), nullptr);  // a command, not a pop-up
    EXPECT_EQ(GetSubMenu(menu, 2), nullptr);
    EXPECT_EQ(GetSubMenu(menu, -1), nullptr);

    EXPECT_TRUE(DestroyMenu(menu));
    // Destroying a menu destroys its pop-ups; the handles are stale.
    for (HMENU gone : {menu, help}) {
        SetLastError(kSentinel);
        EXPECT_FALSE(DestroyMenu(gone));
        EXPECT_LAST_ERROR(ERROR_INVALID_MENU_HANDLE);
    }
    SetLastError(kSentinel);
    EXPECT_EQ(LoadMenuW(module_, MAKEINTRESOURCE(999)), nullptr);
    EXPECT_LAST_ERROR(ERROR_RESOURCE_NAME_NOT_FOUND);
}

TEST_F(ResourceTest, AcceleratorTablesKeepTheirEntries) {
    HACCEL table = LoadAcceleratorsW(module_, MAKEINTRESOURCE(IDA_MAIN));
    ASSERT_NE(table, nullptr) << "error " << GetLastError();
    auto entries = platform::resources::acceleratorTableFromHandle(table);
    ASSERT_NE(entries, nullptr);
    struct Entry {
        BYTE flags;
        WORD key, command;
    } expected[] = {{FVIRTKEY | FCONTROL | FNOINVERT, 'A', CMD_ABOUT}, {FVIRTKEY | FCONTROL, 'Q', CMD_OK}, {0, 8, CMD_HELP}};
    ASSERT_EQ(entries->entries.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(entries->entries[i].fVirt, expected[i].flags);  // without the end mark
        EXPECT_EQ(entries->entries[i].key, expected[i].key);
        EXPECT_EQ(entries->entries[i].cmd, expected[i].command);
    }
    EXPECT_TRUE(DestroyAcceleratorTable(table));
    SetLastError(kSentinel);
    EXPECT_FALSE(DestroyAcceleratorTable(table));
    EXPECT_LAST_ERROR(ERROR_INVALID_ACCEL_HANDLE);

    ACCEL made[] = {{FVIRTKEY | 0x80, 'Z', 9}};
    HACCEL created = CreateAcceleratorTableW(made, 1);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(platform::resources::acceleratorTableFromHandle(created)->entries[0].fVirt, FVIRTKEY);
    EXPECT_TRUE(DestroyAcceleratorTable(created));
    for (int count : {0, -1}) {
        SetLastError(kSentinel);
        EXPECT_EQ(CreateAcceleratorTableW(made, count), nullptr);
        EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER);
    }
    SetLastError(kSentinel);
    EXPECT_EQ(LoadAcceleratorsW(module_, MAKEINTRESOURCE(99)), nullptr);
    EXPECT_LAST_ERROR(ERROR_RESOURCE_NAME_NOT_FOUND);
}

}  // namespace
