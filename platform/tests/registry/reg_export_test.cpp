// Exporting .reg files: the exact text written, a round trip of every kind of
// key and value through export and import, the file's encoding, and refusals.
#include <fstream>
#include <iterator>

#include "platform/registry/registry_io.h"
#include "registry_test_support.h"

using namespace registry_test;
using platform::registry::exportRegFile;
using platform::registry::exportRegText;
using platform::registry::importRegFile;
using platform::registry::importRegText;

namespace {

class RegExport : public RegistryTest {};

std::u16string exportOk(std::u16string_view path) {
    std::u16string text;
    auto result = exportRegText(path, text);
    EXPECT_TRUE(result.ok) << result.error;
    return text;
}

Bytes sequence(size_t count) {
    Bytes bytes(count);
    for (size_t i = 0; i < count; ++i) bytes[i] = BYTE(i);
    return bytes;
}

TEST_F(RegExport, WritesTheVersion5FormatWithStoredSpellings) {
    {
        ScopedKey key = CREATE_KEY(HKEY_LOCAL_MACHINE, u"Norvane");
        SET_VALUE(key, u"", REG_SZ, textBytes(u"Default"));
        SET_VALUE(key, u"ModelName", REG_SZ, textBytes(u"Tern \"70\" C:\\"));
        SET_VALUE(key, u"Angle", REG_DWORD, dwordBytes(180));
        SET_VALUE(key, u"Blob", REG_BINARY, sequence(40));
        SET_VALUE(key, u"Path", REG_EXPAND_SZ, textBytes(u"%A%"));
        ScopedKey hotkey = CREATE_KEY(key, u"Hotkey\\0xC1");
        SET_VALUE(hotkey, u"Flag", REG_DWORD, dwordBytes(2));
    }
    const std::u16string expected =
        u"Windows Registry Editor Version 5.00\r\n"
        u"\r\n"
        u"[HKEY_LOCAL_MACHINE\\Norvane]\r\n"
        u"@=\"Default\"\r\n"
        u"\"Angle\"=dword:000000b4\r\n"
        u"\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
        u"  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27\r\n"
        u"\"ModelName\"=\"Tern \\\"70\\\" C:\\\\\"\r\n"
        u"\"Path\"=hex(2):25,00,41,00,25,00,00,00\r\n"
        u"\r\n"
        u"[HKEY_LOCAL_MACHINE\\Norvane\\Hotkey]\r\n"
        u"\r\n"
        u"[HKEY_LOCAL_MACHINE\\Norvane\\Hotkey\\0xC1]\r\n"
        u"\"Flag\"=dword:00000002\r\n"
        u"\r\n";
    EXPECT_EQ(expected, exportOk(u"hklm\\NORVANE"));
    EXPECT_EQ(u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER]\r\n\r\n",
              exportOk(u"HKCU"));
}

// A registry holding every kind of name and value the export must carry.
void fillTrickyTree() {
    ScopedKey key = CREATE_KEY(HKEY_LOCAL_MACHINE, u"RoundTrip");
    SET_VALUE(key, u"", REG_SZ, textBytes(u"unnamed"));
    SET_VALUE(key, u"@", REG_SZ, textBytes(u"named @"));
    SET_VALUE(key, u"Quote\"Back\\slash", REG_SZ, textBytes(u"a\"b\\c\\"));
    SET_VALUE(key, u"\uD55C\uAE00", REG_SZ, textBytes(u"\uB85C\uCEEC \uC751\uC6A9"));
    SET_VALUE(key, u"Surrogate pair", REG_SZ, textBytes(u"\U0001F600"));
    SET_VALUE(key, u"Line break", REG_SZ, textBytes(u"one\r\ntwo"));
    SET_VALUE(key, u"No terminator", REG_SZ, unitsBytes(u"abc"));
    SET_VALUE(key, u"Embedded NUL", REG_SZ, unitsBytes(std::u16string_view(u"a\0b\0", 4)));
    SET_VALUE(key, u"Zero bytes", REG_SZ, Bytes{});
    SET_VALUE(key, u"Odd bytes", REG_SZ, (Bytes{'a', 0, 0}));
    SET_VALUE(key, u"Lone surrogate", REG_SZ, textBytes(u"\xD800x"));
    SET_VALUE(key, u"Expand", REG_EXPAND_SZ, textBytes(u"%windir%"));
    SET_VALUE(key, u"Multi", REG_MULTI_SZ, unitsBytes(std::u16string_view(u"a\0b\0\0", 5)));
    SET_VALUE(key, u"Number", REG_DWORD, dwordBytes(0xdeadbeef));
    SET_VALUE(key, u"Short number", REG_DWORD, (Bytes{1, 2}));
    SET_VALUE(key, u"Big endian", REG_DWORD_BIG_ENDIAN, (Bytes{0, 0, 0, 1}));
    SET_VALUE(key, u"Binary", REG_BINARY, sequence(300));
    SET_VALUE(key, u"Empty binary", REG_BINARY, Bytes{});
    SET_VALUE(key, u"None", REG_NONE, Bytes{});
    SET_VALUE(key, u"Odd type", 0x12345, Bytes{7});
    SET_VALUE(key, std::u16string(255, u'L').c_str(), REG_DWORD, dwordBytes(255));
    SET_VALUE(key, u"Largest", REG_BINARY, Bytes(4096, 0xab));
    CREATE_KEY(key, u"Odd ] name");
    CREATE_KEY(key, u" spaced ");
    CREATE_KEY(key, u"-dash");
    ScopedKey mixed = CREATE_KEY(key, u"MiXeD\\CaSe");
    SET_VALUE(mixed, u"Deep", REG_SZ, textBytes(u"x"));
    // Fifteen more levels reach the deepest key the registry allows.
    std::u16string deep = u"D";
    for (int i = 1; i < 15; ++i) deep += u"\\D";
    CREATE_KEY(key, deep.c_str());
}

TEST_F(RegExport, ImportReadsAnExportBackIdentically) {
    fillTrickyTree();
    ScopedKey before = CREATE_KEY(HKEY_LOCAL_MACHINE, u"RoundTrip");
    const std::string treeBefore = dumpTree(before);
    before = ScopedKey();
    const std::u16string text = exportOk(u"HKEY_LOCAL_MACHINE\\RoundTrip");
    // Texts that cannot sit between quotes went out as hex(1).
    for (const char16_t* line :
         {u"\"Line break\"=hex(1):", u"\"No terminator\"=hex(1):61,00,62,00,63,00\r\n",
          u"\"Zero bytes\"=hex(1):\r\n", u"\"Lone surrogate\"=hex(1):", u"\"Embedded NUL\"=hex(1):",
          u"\"Quote\\\"Back\\\\slash\"=\"a\\\"b\\\\c\\\\\"\r\n", u"\"@\"=\"named @\"\r\n",
          u"\"Short number\"=hex(4):01,02\r\n", u"\"Odd type\"=hex(12345):07\r\n",
          u"\"None\"=hex(0):\r\n", u"\"Empty binary\"=hex:\r\n"})
        EXPECT_NE(std::u16string::npos, text.find(line)) << utf8(line);

    platform::registry::clearRegistry();
    auto result = importRegText(text, "exported.reg");
    ASSERT_TRUE(result.ok) << result.error;
    ScopedKey after = CREATE_KEY(HKEY_LOCAL_MACHINE, u"RoundTrip");
    EXPECT_EQ(treeBefore, dumpTree(after));
    EXPECT_EQ(text, exportOk(u"HKLM\\RoundTrip"));
}

TEST_F(RegExport, FileIsUtf16leWithBomAndCrlfAndReadsBack) {
    fillTrickyTree();
    ScopedKey before = CREATE_KEY(HKEY_LOCAL_MACHINE, u"RoundTrip");
    const std::string treeBefore = dumpTree(before);
    before = ScopedKey();
    TempDir dir;
    const auto file = dir.path() / "export.reg";
    auto written = exportRegFile(u"HKLM\\RoundTrip", file);
    ASSERT_TRUE(written.ok) << written.error;

    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ("\xff\xfeW", bytes.substr(0, 3));
    EXPECT_EQ(0u, bytes.size() % 2);
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        if (bytes[i] != '\n' || bytes[i + 1] != 0) continue;
        ASSERT_TRUE(i >= 4 && bytes[i - 2] == '\r' && bytes[i - 1] == 0)
            << "a line ends without CR at byte " << i;
    }

    platform::registry::clearRegistry();
    auto read = importRegFile(file);
    ASSERT_TRUE(read.ok) << read.error;
    ScopedKey after = CREATE_KEY(HKEY_LOCAL_MACHINE, u"RoundTrip");
    EXPECT_EQ(treeBefore, dumpTree(after));
}

TEST_F(RegExport, RefusesWhatItCannotWrite) {
    TempDir dir;
    struct Case {
        const char* label;
        std::u16string path;
        std::string reason;
    };
    {
        ScopedKey key = CREATE_KEY(HKEY_LOCAL_MACHINE, u"Broken");
        SET_VALUE(key, u"Two\nlines", REG_DWORD, dwordBytes(1));
        CREATE_KEY(HKEY_LOCAL_MACHINE, u"Split\r\nKey");
    }
    const Case cases[] = {
        {"missing key", u"HKLM\\Absent", "HKLM\\Absent: no such key"},
        {"unknown root", u"HKEY_NOWHERE\\x", "not a registry key path"},
        {"empty name in path", u"HKLM\\a\\\\b", "not a registry key path"},
        {"value name with a line break", u"HKLM\\Broken", "line break"},
        {"key name with a line break", u"HKLM", "line break"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.label);
        const auto file = dir.path() / "refused.reg";
        auto result = exportRegFile(test.path, file);
        EXPECT_FALSE(result.ok);
        EXPECT_NE(std::string::npos, result.error.find(test.reason)) << result.error;
        EXPECT_FALSE(std::filesystem::exists(file)) << "a refused export wrote a file";
    }
    auto unwritable = exportRegFile(u"HKCU", dir.path() / "no-such-folder" / "x.reg");
    EXPECT_FALSE(unwritable.ok);
    EXPECT_NE(std::string::npos, unwritable.error.find("cannot be written")) << unwritable.error;
}

}  // namespace
