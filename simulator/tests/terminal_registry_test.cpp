// The automation API's registry operations.
#include <winreg.h>

#include "test_support.h"

namespace sim {
namespace {

using testing::BootedTerminal;
using testing::TempFolder;
using testing::writeFile;

using TerminalRegistry = BootedTerminal;

TEST_F(TerminalRegistry, SetThenGetKeepsTypeAndBytes) {
    const RegValue values[] = {
        RegValue::dword(0),           RegValue::dword(0xFFFFFFFF),   RegValue::sz(""),
        RegValue::sz("Tern 70 \\ 한국어"), RegValue::expandSz("%Temp%"), RegValue::multiSz({"a", "b c"}),
        RegValue::multiSz({}),        RegValue::binary({}),          RegValue::binary({0, 1, 0xff}),
    };
    for (const auto& value : values) {
        ASSERT_OK(terminal.regSet("HKLM\\Norvane\\Test", "Value", value));
        EXPECT_EQ(terminal.regValue("HKLM\\Norvane\\Test", "Value"), value) << value.describe();
        auto shown = terminal.regGet("HKLM\\Norvane\\Test", "Value");
        ASSERT_OK(shown);
        EXPECT_EQ(shown.output, std::vector<std::string>{value.describe()});
    }
}

TEST_F(TerminalRegistry, NamesKeysInFullOrShortUnderEveryRoot) {
    ASSERT_OK(terminal.regSet("HKEY_LOCAL_MACHINE\\A\\B", "v", RegValue::dword(1)));
    EXPECT_OK(terminal.expectReg("HKLM\\A\\B", "v", DWORD(1)));
    EXPECT_OK(terminal.expectReg("hklm\\a\\b\\", "V", DWORD(1)));  // case and a trailing backslash
    for (const char* root : {"HKCU", "HKEY_CURRENT_USER", "HKCR", "HKEY_CLASSES_ROOT"}) {
        std::string key = std::string(root) + "\\K";
        ASSERT_OK(terminal.regSet(key, "", RegValue::sz(root)));  // the default value
        EXPECT_OK(terminal.expectReg(key, "", root));
    }
    EXPECT_OK(terminal.expectNoReg("HKLM\\K"));
    for (const char* bad : {"Norvane", "HKXX\\Norvane", "HKLM\\\\Norvane", "\\HKLM\\Norvane", ""}) {
        auto result = terminal.regSet(bad, "v", RegValue::dword(1));
        EXPECT_FALSE(result.ok) << bad;
        EXPECT_NE(result.message.find("is not a registry key"), std::string::npos) << result.message;
    }
}

TEST_F(TerminalRegistry, DeletesValuesAndWholeKeys) {
    ASSERT_OK(terminal.regSet("HKLM\\Tree\\Branch\\Leaf", "v", RegValue::dword(1)));
    ASSERT_OK(terminal.regSet("HKLM\\Tree", "keep", RegValue::dword(2)));
    ASSERT_OK(terminal.regSet("HKLM\\Tree", "drop", RegValue::dword(3)));

    EXPECT_OK(terminal.regDelete("HKLM\\Tree", "drop"));
    EXPECT_OK(terminal.expectNoReg("HKLM\\Tree", "drop"));
    EXPECT_OK(terminal.expectReg("HKLM\\Tree", "keep", DWORD(2)));
    EXPECT_FALSE(terminal.regDelete("HKLM\\Tree", "drop").ok) << "a missing value was deleted";

    EXPECT_OK(terminal.regDelete("HKLM\\Tree"));
    EXPECT_OK(terminal.expectNoReg("HKLM\\Tree"));
    EXPECT_OK(terminal.expectNoReg("HKLM\\Tree\\Branch\\Leaf", "v"));
    EXPECT_FALSE(terminal.regDelete("HKLM\\Tree").ok) << "a missing key was deleted";

    auto root = terminal.regDelete("HKLM");
    EXPECT_FALSE(root.ok);
    EXPECT_OK(terminal.expectReg("HKLM\\Norvane", "ModelName", "Tern 70"));
}

TEST_F(TerminalRegistry, ExpectationsSayWhatTheyFound) {
    ASSERT_OK(terminal.regSet("HKLM\\E", "n", RegValue::dword(16)));
    ASSERT_OK(terminal.regSet("HKLM\\E", "s", RegValue::sz("Tern 70")));
    struct Case {
        Result result;
        const char* message;  // empty: passes
    };
    const Case cases[] = {
        {terminal.expectReg("HKLM\\E", "n", DWORD(16)), ""},
        {terminal.expectReg("HKLM\\E", "n", "0x10"), ""},
        {terminal.expectReg("HKLM\\E", "n", DWORD(17)),
         "expected HKEY_LOCAL_MACHINE\\E \"n\" = 17, found dword 0x00000010 (16)"},
        {terminal.expectReg("HKLM\\E", "n", "sixteen"),
         "expected HKEY_LOCAL_MACHINE\\E \"n\" = sixteen, found dword 0x00000010 (16)"},
        {terminal.expectReg("HKLM\\E", "s", "Tern 70"), ""},
        {terminal.expectReg("HKLM\\E", "s", "Tern 70 "),
         "expected HKEY_LOCAL_MACHINE\\E \"s\" = Tern 70 , found sz \"Tern 70\""},
        {terminal.expectReg("HKLM\\E", "missing", DWORD(1)),
         "expected HKEY_LOCAL_MACHINE\\E \"missing\" = 1, found no such value"},
        {terminal.expectReg("HKLM\\Missing", "n", DWORD(1)),
         "expected HKEY_LOCAL_MACHINE\\Missing \"n\" = 1, found no such key"},
        {terminal.expectNoReg("HKLM\\E"), "expected no key HKEY_LOCAL_MACHINE\\E, found the key exists"},
        {terminal.expectNoReg("HKLM\\E", "n"),
         "expected no value \"n\" in HKEY_LOCAL_MACHINE\\E, found dword 0x00000010 (16)"},
        {terminal.expectNoReg("HKLM\\E", "missing"), ""},
        {terminal.expectNoReg("HKLM\\Missing", "n"), ""},
    };
    for (const auto& c : cases) {
        if (*c.message == 0) {
            EXPECT_TRUE(c.result.ok) << c.result.message;
        } else {
            EXPECT_FALSE(c.result.ok) << c.message;
            EXPECT_EQ(c.result.message, c.message);
        }
    }
}

TEST_F(TerminalRegistry, ExportsWhatImportRestores) {
    TempFolder host;
    ASSERT_OK(terminal.regSet("HKLM\\Norvane\\Saved", "n", RegValue::dword(7)));
    ASSERT_OK(terminal.regSet("HKLM\\Norvane\\Saved\\Deep", "list", RegValue::multiSz({"x", "y"})));
    ASSERT_OK(terminal.regExport("HKLM\\Norvane\\Saved", host / "saved.reg"));
    ASSERT_OK(terminal.regDelete("HKLM\\Norvane\\Saved"));
    ASSERT_OK(terminal.regImport(host / "saved.reg"));
    EXPECT_OK(terminal.expectReg("HKLM\\Norvane\\Saved", "n", DWORD(7)));
    EXPECT_OK(terminal.expectReg("HKLM\\Norvane\\Saved\\Deep", "list", std::vector<std::string>{"x", "y"}));

    auto missing = terminal.regExport("HKLM\\Nowhere", host / "nowhere.reg");
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.message.find("HKEY_LOCAL_MACHINE\\Nowhere"), std::string::npos) << missing.message;
}

TEST_F(TerminalRegistry, RefusesAMalformedFileWhole) {
    TempFolder host;
    writeFile(host / "half.reg",
              "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Half]\n\"good\"=dword:00000001\n\"bad\"=hex:zz\n");
    auto result = terminal.regImport(host / "half.reg");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("half.reg:5"), std::string::npos) << result.message;
    EXPECT_OK(terminal.expectNoReg("HKLM\\Half"));
}

}  // namespace
}  // namespace sim
