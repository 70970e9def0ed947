// Importing .reg files: each syntax form, both headers, the encodings, and
// malformed files refused whole with "file:line: reason", leaving the registry
// exactly as it was.
#include <fstream>

#include "platform/registry/registry_io.h"
#include "registry_test_support.h"

using namespace registry_test;
using platform::registry::importRegFile;
using platform::registry::importRegText;

namespace {

class RegImport : public RegistryTest {};

constexpr std::u16string_view kVersion5 = u"Windows Registry Editor Version 5.00\n";
constexpr std::u16string_view kRegedit4 = u"REGEDIT4\n";

void importOk(std::u16string_view text) {
    auto result = importRegText(text, "test.reg");
    ASSERT_TRUE(result.ok) << result.error;
}

struct SyntaxCase {
    const char* label;
    std::u16string_view header;
    std::u16string body;  // lines under [HKEY_LOCAL_MACHINE\T]
    std::u16string name;
    DWORD type;
    Bytes data;
};

TEST_F(RegImport, EachValueSyntax) {
    const SyntaxCase cases[] = {
        {"text", kVersion5, u"\"v\"=\"text\"", u"v", REG_SZ, textBytes(u"text")},
        {"empty text", kVersion5, u"\"v\"=\"\"", u"v", REG_SZ, textBytes(u"")},
        {"escapes in text", kVersion5, u"\"v\"=\"a\\\\b\\\"c\"", u"v", REG_SZ,
         textBytes(u"a\\b\"c")},
        {"text ending in a backslash", kVersion5, u"\"v\"=\"C:\\\\Windows\\\\\"", u"v", REG_SZ,
         textBytes(u"C:\\Windows\\")},
        {"escapes in the name", kVersion5, u"\"a\\\"b\\\\c\"=dword:1", u"a\"b\\c", REG_DWORD,
         dwordBytes(1)},
        {"= and spaces in the name", kVersion5, u"\"a = b\"=\"c\"", u"a = b", REG_SZ,
         textBytes(u"c")},
        {"default value", kVersion5, u"@=\"def\"", u"", REG_SZ, textBytes(u"def")},
        {"blanks around =", kVersion5, u"  \"v\"  =  \"x\"  ", u"v", REG_SZ, textBytes(u"x")},
        {"Korean text", kVersion5, u"\"v\"=\"\uB85C\uCEEC\"", u"v", REG_SZ,
         textBytes(u"\uB85C\uCEEC")},
        {"dword", kVersion5, u"\"v\"=dword:0000002a", u"v", REG_DWORD, dwordBytes(42)},
        {"largest dword", kVersion5, u"\"v\"=dword:FFFFFFFF", u"v", REG_DWORD,
         dwordBytes(0xffffffff)},
        {"short dword", kVersion5, u"\"v\"=dword:7", u"v", REG_DWORD, dwordBytes(7)},
        {"hex", kVersion5, u"\"v\"=hex:01,02,ff", u"v", REG_BINARY, {1, 2, 0xff}},
        {"empty hex", kVersion5, u"\"v\"=hex:", u"v", REG_BINARY, {}},
        {"hex with blanks",
         kVersion5,
         u"\"v\"=hex: 0a , 0B ,c",
         u"v",
         REG_BINARY,
         {0x0a, 0x0b, 0x0c}},
        {"hex(2) as UTF-16LE", kVersion5, u"\"v\"=hex(2):25,00,41,00,25,00,00,00", u"v",
         REG_EXPAND_SZ, textBytes(u"%A%")},
        {"hex(7)", kVersion5, u"\"v\"=hex(7):61,00,00,00,62,00,00,00,00,00", u"v", REG_MULTI_SZ,
         unitsBytes(std::u16string_view(u"a\0b\0\0", 5))},
        {"hex(1)", kVersion5, u"\"v\"=hex(1):41,00", u"v", REG_SZ, unitsBytes(u"A")},
        {"hex(4)", kVersion5, u"\"v\"=hex(4):2a,00,00,00", u"v", REG_DWORD, dwordBytes(42)},
        {"hex(b)",
         kVersion5,
         u"\"v\"=hex(b):01,00,00,00,00,00,00,00",
         u"v",
         11,
         {1, 0, 0, 0, 0, 0, 0, 0}},
        {"hex(0)", kVersion5, u"\"v\"=hex(0):", u"v", REG_NONE, {}},
        {"continued hex",
         kVersion5,
         u"\"v\"=hex:01,02,\\\n  03,\\\n\t04",
         u"v",
         REG_BINARY,
         {1, 2, 3, 4}},
        {"comments and blank lines", kVersion5, u"; a comment\n\n   ; indented\n\t\n\"v\"=dword:1",
         u"v", REG_DWORD, dwordBytes(1)},
        {"CRLF line ends",
         kVersion5,
         u"\"w\"=dword:2\r\n\"v\"=hex:01,\\\r\n  02\r\n",
         u"v",
         REG_BINARY,
         {1, 2}},
        {"REGEDIT4 text", kRegedit4, u"\"v\"=\"text\"", u"v", REG_SZ, textBytes(u"text")},
        {"REGEDIT4 hex(2) is ANSI", kRegedit4, u"\"v\"=hex(2):41,e9,80,00", u"v", REG_EXPAND_SZ,
         textBytes(u"A\u00e9\u20ac")},
        {"REGEDIT4 hex(7) is ANSI", kRegedit4, u"\"v\"=hex(7):61,00,62,00,00", u"v", REG_MULTI_SZ,
         unitsBytes(std::u16string_view(u"a\0b\0\0", 5))},
        {"REGEDIT4 hex stays bytes", kRegedit4, u"\"v\"=hex:e9,80", u"v", REG_BINARY, {0xe9, 0x80}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.label);
        platform::registry::clearRegistry();
        std::u16string text(test.header);
        text += u"[HKEY_LOCAL_MACHINE\\T]\n" + test.body + u"\n";
        auto result = importRegText(text, "syntax.reg");
        ASSERT_TRUE(result.ok) << result.error;
        ScopedKey key = CREATE_KEY(HKEY_LOCAL_MACHINE, u"T");
        EXPECT_VALUE(key, test.name.c_str(), test.type, test.data);
    }
}

TEST_F(RegImport, KeysAndRootsInFullAndShortForm) {
    importOk(
        u"Windows Registry Editor Version 5.00\n"
        u"[HKEY_LOCAL_MACHINE]\n\"AtRoot\"=dword:1\n"
        u"[HKLM\\Norvane\\Hotkey\\0xC1]\n"
        u"[HKEY_CURRENT_USER\\A]\n[HKCU\\B]\n"
        u"[HKEY_CLASSES_ROOT\\C]\n[hkcr\\D]\n"
        u"[HKEY_USERS\\E]\n[HKU\\F]\n"
        u"[HKLM\\Trailing\\]\n"
        u"[HKLM\\Odd ] name]\n");
    EXPECT_VALUE(HKEY_LOCAL_MACHINE, u"AtRoot", REG_DWORD, dwordBytes(1));
    EXPECT_EQ((std::vector<std::u16string>{u"Norvane", u"Odd ] name", u"Trailing"}),
              subkeyNames(HKEY_LOCAL_MACHINE));
    EXPECT_EQ((std::vector<std::u16string>{u"A", u"B"}), subkeyNames(HKEY_CURRENT_USER));
    EXPECT_EQ((std::vector<std::u16string>{u"C", u"D"}), subkeyNames(HKEY_CLASSES_ROOT));
    EXPECT_EQ((std::vector<std::u16string>{u"E", u"F"}), subkeyNames(HKEY_USERS));
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS,
              RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Norvane\\Hotkey\\0xC1", 0, 0, &key));
    RegCloseKey(key);
}

TEST_F(RegImport, DeletionsAndLaterLinesWin) {
    {
        ScopedKey key = CREATE_KEY(HKEY_LOCAL_MACHINE, u"Norvane");
        SET_VALUE(key, u"Gone", REG_DWORD, dwordBytes(1));
        SET_VALUE(key, u"Kept", REG_DWORD, dwordBytes(2));
        CREATE_KEY(key, u"Hotkey\\0xC1\\Deep");
        CREATE_KEY(key, u"Other");
    }
    importOk(
        u"REGEDIT4\n"
        u"[HKLM\\Norvane]\n\"gone\"=-\n\"NeverThere\"=-\n"
        u"[-HKLM\\Norvane\\HOTKEY]\n[-HKLM\\Absent\\Key]\n"
        u"[HKLM\\NORVANE]\n\"Kept\"=dword:3\n\"kept\"=dword:4\n\"New\"=\"n\"\n");
    ScopedKey key = CREATE_KEY(HKEY_LOCAL_MACHINE, u"Norvane");
    EXPECT_NO_VALUE(key, u"Gone");
    EXPECT_VALUE(key, u"Kept", REG_DWORD, dwordBytes(4));
    EXPECT_EQ((std::vector<std::u16string>{u"Kept", u"New"}), valueNames(key));
    EXPECT_EQ(std::vector<std::u16string>{u"Other"}, subkeyNames(key));
    EXPECT_EQ(std::vector<std::u16string>{u"Norvane"}, subkeyNames(HKEY_LOCAL_MACHINE))
        << "the key keeps the spelling it was created with";
}

void writeBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

std::string utf16leBytes(std::u16string_view text) {
    std::string bytes = "\xff\xfe";
    for (char16_t c : text) {
        bytes.push_back(char(c & 0xff));
        bytes.push_back(char(c >> 8));
    }
    return bytes;
}

TEST_F(RegImport, FilesInUtf8AndUtf16) {
    TempDir dir;
    const std::string utf8Body =
        "[HKEY_LOCAL_MACHINE\\Norvane]\r\n\"ModelName\"=\"Tern 70\"\r\n"
        "\"Title\"=\"\xeb\xa1\x9c\xec\xbb\xac\"\r\n";
    const std::u16string utf16Body =
        u"[HKEY_LOCAL_MACHINE\\Norvane]\r\n\"ModelName\"=\"Tern "
        u"70\"\r\n\"Title\"=\"\uB85C\uCEEC\"\r\n";
    const std::pair<const char*, std::string> files[] = {
        {"utf8.reg", "Windows Registry Editor Version 5.00\r\n\r\n" + utf8Body},
        {"utf8-bom.reg", "\xef\xbb\xbfWindows Registry Editor Version 5.00\r\n\r\n" + utf8Body},
        {"utf16.reg", utf16leBytes(u"Windows Registry Editor Version 5.00\r\n\r\n" + utf16Body)},
        {"regedit4.reg", "REGEDIT4\n\n" + utf8Body},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        platform::registry::clearRegistry();
        writeBytes(dir.path() / name, bytes);
        auto result = importRegFile(dir.path() / name);
        ASSERT_TRUE(result.ok) << result.error;
        ScopedKey key = CREATE_KEY(HKEY_LOCAL_MACHINE, u"Norvane");
        EXPECT_VALUE(key, u"ModelName", REG_SZ, textBytes(u"Tern 70"));
        EXPECT_VALUE(key, u"Title", REG_SZ, textBytes(u"\uB85C\uCEEC"));
    }
}

struct BadCase {
    const char* label;
    std::u16string text;
    size_t line;
    std::string reason;  // part of the message
};

// Five lines that would change the registry, so that a refusal shows nothing was applied.
const std::u16string kValidStart =
    u"Windows Registry Editor Version 5.00\n"  // 1
    u"[-HKLM\\Base]\n"                         // 2
    u"[HKLM\\Applied]\n"                       // 3
    u"\"x\"=dword:1\n";                        // 4

std::u16string nested(size_t depth) {
    std::u16string path = u"HKLM";
    for (size_t i = 0; i < depth; ++i) path += u"\\K";
    return path;
}

std::u16string hexBytes(size_t count) {
    std::u16string text;
    for (size_t i = 0; i < count; ++i) text += i ? u",00" : u"00";
    return text;
}

TEST_F(RegImport, MalformedFilesAreRefusedWholeWithTheirLine) {
    const BadCase cases[] = {
        {"empty file", u"", 1, "not a registry file"},
        {"wrong header", u"REGEDIT5\n[HKLM\\Applied]\n", 1, "not a registry file"},
        {"older header", u"Windows Registry Editor Version 4.00\n", 1, "not a registry file"},
        {"no header", u"[HKLM\\Applied]\n\"x\"=dword:1\n", 1, "not a registry file"},
        {"truncated string", kValidStart + u"\"y\"=\"unterminated", 5, "no closing quote"},
        {"truncated continuation", kValidStart + u"\"y\"=hex:01,\\", 5, "truncated"},
        {"empty continuation line", kValidStart + u"\"y\"=hex:01,\\\n\n\"z\"=dword:1\n", 6,
         "continuation line is empty"},
        {"bad escape in text", kValidStart + u"\"y\"=\"a\\nb\"", 5, "bad escape"},
        {"bad escape in a name", kValidStart + u"\"a\\tb\"=\"c\"", 5, "bad escape"},
        {"bad hex digit", kValidStart + u"\"y\"=hex:01,zz", 5, "bad hex byte \"zz\""},
        {"bad hex on a continuation line", kValidStart + u"\"y\"=hex:01,\\\n  02,g1\n", 6,
         "bad hex byte \"g1\""},
        {"missing hex byte", kValidStart + u"\"y\"=hex:01,,02", 5, "missing byte"},
        {"trailing comma", kValidStart + u"\"y\"=hex:01,02,", 5, "must follow"},
        {"three hex digits", kValidStart + u"\"y\"=hex:123", 5, "bad hex byte"},
        {"bad hex type", kValidStart + u"\"y\"=hex(z):00", 5, "bad hex(N)"},
        {"hex without colon", kValidStart + u"\"y\"=hex 01", 5, "expected ':'"},
        {"unknown root", kValidStart + u"[HKEY_NOWHERE\\x]", 5,
         "unknown root key \"HKEY_NOWHERE\""},
        {"dword out of range", kValidStart + u"\"y\"=dword:100000000", 5, "dword out of range"},
        {"dword not hexadecimal", kValidStart + u"\"y\"=dword:12g4", 5, "bad dword"},
        {"dword without digits", kValidStart + u"\"y\"=dword:", 5, "no digits"},
        {"key without ]", kValidStart + u"[HKLM\\Open", 5, "no closing ']'"},
        {"text after ]", kValidStart + u"[HKLM\\K] extra", 5, "after the key's ']'"},
        {"text after a string", kValidStart + u"\"y\"=\"a\" b", 5, "after the closing quote"},
        {"missing =", kValidStart + u"\"y\" \"a\"", 5, "expected '='"},
        {"unknown data", kValidStart + u"\"y\"=qword:1", 5, "unknown value data"},
        {"stray line", kValidStart + u"hello", 5, "expected a [key]"},
        {"value under a deleted key", kValidStart + u"[-HKLM\\Gone]\n\"y\"=dword:1", 6,
         "under a deleted"},
        {"root deletion", kValidStart + u"[-HKLM]", 5, "root key cannot be deleted"},
        {"key name too long", kValidStart + u"[HKLM\\" + std::u16string(256, u'k') + u"]", 5,
         "longer than 255"},
        {"key nested too deep", kValidStart + u"[" + nested(17) + u"]", 5, "deeper than 16"},
        {"empty key name", kValidStart + u"[HKLM\\a\\\\b]", 5, "empty key name"},
        {"value name too long", kValidStart + u"\"" + std::u16string(256, u'n') + u"\"=dword:1", 5,
         "value name longer than 255"},
        {"value data too long", kValidStart + u"\"y\"=hex:" + hexBytes(4097), 5,
         "longer than 4096 bytes"},
        {"value before any key", u"REGEDIT4\n\"y\"=dword:1\n", 2, "before any [key]"},
        {"error after many good lines", kValidStart + u"[HKLM\\More]\n\"a\"=\"b\"\n\n\"c\"=hex:0g",
         8, "bad hex byte"},
    };
    {
        ScopedKey base = CREATE_KEY(HKEY_LOCAL_MACHINE, u"Base");
        SET_VALUE(base, u"Keep", REG_SZ, textBytes(u"me"));
    }
    const std::u16string before = snapshotRegistry();
    for (const auto& test : cases) {
        SCOPED_TRACE(test.label);
        auto result = importRegText(test.text, "bad.reg");
        EXPECT_FALSE(result.ok);
        const std::string prefix = "bad.reg:" + std::to_string(test.line) + ": ";
        EXPECT_EQ(prefix, result.error.substr(0, prefix.size())) << result.error;
        EXPECT_NE(std::string::npos, result.error.find(test.reason)) << result.error;
        EXPECT_EQ(before, snapshotRegistry()) << "a refused file changed the registry";
    }
    // The same file made good imports.
    importOk(kValidStart);
}

TEST_F(RegImport, MalformedFileEncodingsAreRefused) {
    TempDir dir;
    const std::string header = "Windows Registry Editor Version 5.00\n";
    const std::pair<const char*, std::pair<std::string, std::string>> files[] = {
        {"odd-sized UTF-16",
         {utf16leBytes(u"Windows Registry Editor Version 5.00\r\n[HKLM\\Applied]\r\n") + "x",
          ":3: file ends in the middle of a UTF-16 character"}},
        {"invalid UTF-8",
         {header + "[HKLM\\Applied]\n\"x\"=\"\xc3\x28\"\n", ":3: text is not valid UTF-8"}},
        {"UTF-8 surrogate",
         {header + "\n\n\"x\"=\"\xed\xa0\x80\"\n", ":4: text is not valid UTF-8"}},
        {"UTF-16 big endian", {"\xfe\xff" + header, ":1: UTF-16 big-endian text is not supported"}},
        {"UTF-16 without its mark",
         {utf16leBytes(u"Windows Registry Editor Version 5.00\r\n").substr(2),
          ":1: UTF-16 text needs a byte order mark"}},
    };
    const std::u16string before = snapshotRegistry();
    for (const auto& [label, file] : files) {
        SCOPED_TRACE(label);
        auto path = dir.path() / "bad.reg";
        writeBytes(path, file.first);
        auto result = importRegFile(path);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(path.string() + file.second,
                  result.error.substr(0, path.string().size() + file.second.size()))
            << result.error;
        EXPECT_EQ(before, snapshotRegistry());
    }
    auto missing = importRegFile(dir.path() / "missing.reg");
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(std::string::npos, missing.error.find("missing.reg: cannot be read"))
        << missing.error;
}

TEST(RegistryRootedKeyPaths, ParseRootAndSubkey) {
    using platform::registry::parseRootedKeyPath;
    struct Case {
        std::u16string path;
        HKEY root;
        std::u16string subKey;
    };
    const Case good[] = {
        {u"HKEY_LOCAL_MACHINE\\Norvane", HKEY_LOCAL_MACHINE, u"Norvane"},
        {u"HKLM\\Norvane\\Hotkey", HKEY_LOCAL_MACHINE, u"Norvane\\Hotkey"},
        {u"hklm\\System\\Gdi\\Rotation", HKEY_LOCAL_MACHINE, u"System\\Gdi\\Rotation"},
        {u"HKCU", HKEY_CURRENT_USER, u""},
        {u"HKEY_CURRENT_USER\\", HKEY_CURRENT_USER, u""},
        {u"HKCR\\x\\", HKEY_CLASSES_ROOT, u"x"},
        {u"HKEY_CLASSES_ROOT\\.jpg", HKEY_CLASSES_ROOT, u".jpg"},
        {u"HKU\\Default", HKEY_USERS, u"Default"},
        {u"HKEY_USERS\\Default", HKEY_USERS, u"Default"},
    };
    for (const auto& test : good) {
        SCOPED_TRACE(utf8(test.path));
        auto parsed = parseRootedKeyPath(test.path);
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(test.root, parsed->root);
        EXPECT_EQ(test.subKey, parsed->subKey);
    }
    const std::u16string bads[] = {
        u"",          u"Norvane",   u"HKEY_NOWHERE\\x",
        u"\\HKLM\\x", u"HKLM\\\\x", u"HKLM\\" + std::u16string(256, u'k'),
        u"HKLMX"};
    for (const auto& bad : bads) {
        SCOPED_TRACE(utf8(bad));
        EXPECT_FALSE(parseRootedKeyPath(bad).has_value());
    }
}

}  // namespace
