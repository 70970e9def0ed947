// The resource compiler against the documented binary layouts: the .res entry
// header, string blocks, DLGTEMPLATE/DLGTEMPLATEEX, menu and accelerator
// templates, icon groups, version blocks; and its errors, which name the file
// and line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "compiler.h"
#include "res_reader.h"

namespace rc::test {
namespace {

namespace fs = std::filesystem;

class ScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("rc_test_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path write(const std::string& name, const std::string& content) {
        fs::path path = dir_ / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    fs::path write(const std::string& name, const Bytes& content) {
        return write(name, std::string(content.begin(), content.end()));
    }

    // Compiles t.rc with the given text; a failure is reported at the caller.
    std::vector<ResEntry> compile(const std::string& script, const char* file, int line) {
        write("t.rc", script);
        CompileResult result = compileScript(dir_ / "t.rc", options_);
        if (!result.error.empty()) {
            ADD_FAILURE_AT(file, line) << "script did not compile: " << result.error;
            return {};
        }
        std::string problem;
        auto entries = readResStream(result.stream, problem);
        if (!problem.empty()) ADD_FAILURE_AT(file, line) << "malformed .res stream: " << problem;
        return entries;
    }
    // The error message of a script that must not compile.
    std::string compileError(const std::string& script) {
        write("t.rc", script);
        CompileResult result = compileScript(dir_ / "t.rc", options_);
        return result.error;
    }

    fs::path dir_;
    CompileOptions options_;
};

#define COMPILE(script) compile(script, __FILE__, __LINE__)

const ResEntry* find(const std::vector<ResEntry>& entries, uint16_t type, uint16_t name) {
    for (const auto& e : entries)
        if (e.typeIsOrdinal && e.typeOrdinal == type && e.nameIsOrdinal && e.nameOrdinal == name) return &e;
    return nullptr;
}

// The text of string id in a compiled script's string blocks.
std::u16string stringOf(const std::vector<ResEntry>& entries, uint16_t id, bool* found = nullptr) {
    const ResEntry* block = find(entries, 6, static_cast<uint16_t>(id / 16 + 1));
    if (found) *found = block != nullptr;
    if (!block) return u"<no block>";
    size_t at = 0;
    for (int slot = 0; slot < id % 16; ++slot) at += 2 + 2 * wordAt(block->data, at);
    std::u16string text;
    uint16_t length = wordAt(block->data, at);
    for (uint16_t i = 0; i < length; ++i) text += static_cast<char16_t>(wordAt(block->data, at + 2 + 2 * i));
    return text;
}

Bytes words(std::initializer_list<uint32_t> values) {
    ByteWriter out;
    for (uint32_t v : values) out.word(static_cast<uint16_t>(v));
    return out.take();
}

// ---- preprocessor -------------------------------------------------------------

TEST_F(ScriptTest, ConditionsChooseTheBranchAsInC) {
    struct Case {
        const char* condition;
        bool taken;
    } cases[] = {
        {"#ifdef A", true},
        {"#ifndef A", false},
        {"#ifdef NOT_DEFINED", false},
        {"#if (A | 4) == 6", true},
        {"#if A + 1 == 3 && !defined(B)", true},
        {"#if defined A || defined B", true},
        {"#if 0x10L + 2U == 18", true},
        {"#if UNDEFINED_NAME", false},
        {"#if -1 < 0", true},
        {"#if 1 ? 0 : 1", false},
        {"#if (A << 3) == 16 && (~0 & 0xFF) == 255", true},
        {"#if SUM(A, 3) == 5", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.condition);
        auto entries = COMPILE(std::string("#define A 2\n#define SUM(x, y) ((x) + (y))\n") + c.condition +
                               "\nSTRINGTABLE { 1, \"taken\" }\n#else\nSTRINGTABLE { 1, \"not taken\" }\n#endif\n");
        EXPECT_EQ(stringOf(entries, 1), c.taken ? u"taken" : u"not taken");
    }
}

TEST_F(ScriptTest, ElifTakesTheFirstTrueBranchOnly) {
    auto entries = COMPILE(
        "#define V 3\n"
        "#if V == 1\nSTRINGTABLE { 1 \"one\" }\n"
        "#elif V == 3\nSTRINGTABLE { 1 \"three\" }\n"
        "#elif V > 2\nSTRINGTABLE { 1 \"more\" }\n"
        "#else\nSTRINGTABLE { 1 \"else\" }\n#endif\n"
        "#if 0\n#if 1\nSTRINGTABLE { 2 \"nested\" }\n#endif\n#else\nSTRINGTABLE { 2 \"outer\" }\n#endif\n");
    EXPECT_EQ(stringOf(entries, 1), u"three");
    EXPECT_EQ(stringOf(entries, 2), u"outer");
}

TEST_F(ScriptTest, HeadersGiveOnlyTheirDirectives) {
    // resource.h is shared with the program: its C declarations are skipped,
    // its C library includes need not exist, its macros expand in the script.
    write("resource.h",
          "#pragma once\n#include <stdint.h>\n#define IDS_A 100\n#define IDS_B (IDS_A + 1)\n"
          "int program_function(void);\ntypedef struct { char c; } record; /* \"quote */\n#define QUOTE '\"'\n");
    write("sub/more.rc", "STRINGTABLE { IDS_B, \"from the included script\" }\n");
    auto entries = COMPILE(
        "#include \"resource.h\"\n#include \"resource.h\"\n#include \"sub/more.rc\"\n"
        "STRINGTABLE\nBEGIN\n  IDS_A \"a\" // a comment\n  /* a comment\n over lines */ 102 \"c\"\nEND\n");
    EXPECT_EQ(stringOf(entries, 100), u"a");
    EXPECT_EQ(stringOf(entries, 101), u"from the included script");
    EXPECT_EQ(stringOf(entries, 102), u"c");
}

TEST_F(ScriptTest, PlatformHeadersCanBeIncluded) {
    fs::path include = dir_ / "include";
    write("include/windows.h", "#include <windef.h>\n#define WS_CHILD 0x40000000L\n");
    write("include/windef.h", "#include <stddef.h>\ntypedef unsigned long DWORD;\n#define TEXT(q) u##q\n");
    options_.includeDirs.push_back(include);
    auto entries = COMPILE("#include <windows.h>\n1 RCDATA { WS_CHILD }\n");
    const ResEntry* data = find(entries, 10, 1);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->data, (Bytes{0, 0, 0, 0x40}));
}

// ---- strings ------------------------------------------------------------------

TEST_F(ScriptTest, StringLiteralsDecodeEscapesDoublingAndUtf8) {
    struct Case {
        const char* literal;
        std::u16string text;
    } cases[] = {
        {R"("plain")", u"plain"},
        {R"("say ""hi""")", u"say \"hi\""},
        {R"("tab\tnew\nline\r\\")", u"tab\tnew\nline\r\\"},
        {R"("\x41\101\0")", std::u16string(u"AA\0", 3)},
        {R"(L"\x4e2d")", u"\u4e2d"},
        {R"("도움말 확인")", u"도움말 확인"},
        {R"("joined " "text")", u"joined text"},
        {R"("")", u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.literal);
        auto entries = COMPILE(std::string("STRINGTABLE { 5, ") + c.literal + " 6, \"x\" }\n");
        EXPECT_EQ(stringOf(entries, 5), c.text);
        EXPECT_EQ(stringOf(entries, 6), u"x");
    }
}

TEST_F(ScriptTest, StringTableIsWrittenInBlocksOfSixteen) {
    auto entries = COMPILE("STRINGTABLE\nBEGIN\n 0 \"zero\"\n 15 \"fifteen\"\n 16 \"sixteen\"\n 65535 \"last\"\nEND\n");
    ASSERT_EQ(entries.size(), 3u);
    const ResEntry* first = find(entries, 6, 1);
    ASSERT_NE(first, nullptr);
    // zero, fourteen empty slots, fifteen: each a length and no terminator.
    EXPECT_EQ(first->data.size(), (2 + 8) + 14 * 2 + (2 + 14));
    EXPECT_EQ(stringOf(entries, 0), u"zero");
    EXPECT_EQ(stringOf(entries, 7), u"");
    EXPECT_EQ(stringOf(entries, 15), u"fifteen");
    EXPECT_EQ(stringOf(entries, 16), u"sixteen");
    EXPECT_EQ(stringOf(entries, 65535), u"last");
    EXPECT_NE(find(entries, 6, 4096), nullptr);
}

TEST_F(ScriptTest, LanguageAppliesToWhatFollowsOrToOneResource) {
    auto entries = COMPILE(
        "1 RCDATA { 1 }\nLANGUAGE 0x12, 0x01\n2 RCDATA { 2 }\n"
        "3 RCDATA\nLANGUAGE 9, 1\nBEGIN 3 END\n4 RCDATA { 4 }\n");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].language, 0x0000);
    EXPECT_EQ(entries[1].language, 0x0412);
    EXPECT_EQ(entries[2].language, 0x0409);
    EXPECT_EQ(entries[3].language, 0x0412);
}

// ---- dialogs ------------------------------------------------------------------

TEST_F(ScriptTest, DialogIsWrittenAsDlgTemplate) {
    auto entries = COMPILE(
        "102 DIALOG DISCARDABLE 0, 0, 274, 224\n"
        "STYLE 0x90C800C0\nEXSTYLE 0x80040000\nCAPTION \"Air\"\nFONT 9, \"MS\"\n"
        "BEGIN\n"
        "  LTEXT \"무\", 1007, 9, 60, 120, 8\n"
        "  CONTROL \"ON\", 1006, \"Button\", 0x0B | 0x00010000, 34, 78, 126, 14\n"
        "  ICON 128, -1, 12, 12\n"
        "END\n");
    const ResEntry* d = find(entries, 5, 102);
    ASSERT_NE(d, nullptr);
    ByteWriter expected;
    expected.dword(0x90C800C0);  // style (DS_SETFONT, WS_CAPTION already in it)
    expected.dword(0x80040000);  // extended style
    expected.word(3);            // controls
    for (int v : {0, 0, 274, 224}) expected.word(static_cast<uint16_t>(v));
    expected.word(0);  // no menu
    expected.word(0);  // the dialog class
    expected.text(u"Air");
    expected.word(9);
    expected.text(u"MS");
    expected.alignTo(4);
    expected.dword(0x50020000);  // WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT
    expected.dword(0);
    for (int v : {9, 60, 120, 8}) expected.word(static_cast<uint16_t>(v));
    expected.word(1007);
    expected.word(0xFFFF);
    expected.word(0x82);  // static
    expected.text(u"무");
    expected.word(0);
    expected.alignTo(4);
    expected.dword(0x5001000B);  // WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW
    expected.dword(0);
    for (int v : {34, 78, 126, 14}) expected.word(static_cast<uint16_t>(v));
    expected.word(1006);
    expected.word(0xFFFF);
    expected.word(0x80);  // button
    expected.text(u"ON");
    expected.word(0);
    expected.alignTo(4);
    expected.dword(0x50000003);  // SS_ICON
    expected.dword(0);
    for (int v : {12, 12, 0, 0}) expected.word(static_cast<uint16_t>(v));
    expected.word(0xFFFF);  // id -1
    expected.word(0xFFFF);
    expected.word(0x82);
    expected.word(0xFFFF);  // the icon as an ordinal title
    expected.word(128);
    expected.word(0);
    EXPECT_EQ(d->data, expected.bytes());
}

TEST_F(ScriptTest, ControlStatementsHaveTheirDefaultStyles) {
    struct Case {
        const char* statement;
        uint32_t style;
        uint16_t atom;
    } cases[] = {
        {"LTEXT \"t\", 1, 0, 0, 10, 10", 0x50020000, 0x82},
        {"RTEXT \"t\", 1, 0, 0, 10, 10", 0x50020002, 0x82},
        {"CTEXT \"t\", 1, 0, 0, 10, 10", 0x50020001, 0x82},
        {"PUSHBUTTON \"t\", 1, 0, 0, 10, 10", 0x50010000, 0x80},
        {"DEFPUSHBUTTON \"t\", 1, 0, 0, 10, 10", 0x50010001, 0x80},
        {"GROUPBOX \"t\", 1, 0, 0, 10, 10", 0x50000007, 0x80},
        {"EDITTEXT 1, 0, 0, 10, 10", 0x50810000, 0x81},
        {"ICON \"APP\", 1, 0, 0", 0x50000003, 0x82},
        {"PUSHBUTTON \"t\", 1, 0, 0, 10, 10, NOT 0x00010000 | 0x08000000", 0x58000000, 0x80},
        {"CONTROL \"t\", 1, \"static\", NOT 0x10000000 | 1, 0, 0, 10, 10", 0x40000001, 0x82},
        {"CONTROL \"t\", 1, \"SysOther\", 0, 0, 0, 10, 10", 0x50000000, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.statement);
        auto entries = COMPILE(std::string("1 DIALOG 0, 0, 50, 50\nBEGIN\n ") + c.statement + "\nEND\n");
        const ResEntry* d = find(entries, 5, 1);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(dwordAt(d->data, 0), 0x80880000u);  // WS_POPUP | WS_BORDER | WS_SYSMENU
        size_t item = 24;  // header, no menu, no class, empty caption, aligned
        EXPECT_EQ(dwordAt(d->data, item), c.style);
        if (c.atom) {
            EXPECT_EQ(wordAt(d->data, item + 18), 0xFFFF);
            EXPECT_EQ(wordAt(d->data, item + 20), c.atom);
        } else {
            size_t at = item + 18;
            EXPECT_EQ(textAt(d->data, at), u"SysOther");
        }
    }
}

TEST_F(ScriptTest, DialogExIsWrittenAsDlgTemplateEx) {
    auto entries = COMPILE(
        "105 DIALOGEX 1, 2, 156, 129, 77\n"
        "STYLE 0x80000000\nCAPTION \"About\"\nMENU 102\nCLASS \"MyClass\"\nFONT 9, \"MS\", 700, 1, 0x81\n"
        "BEGIN\n  PUSHBUTTON \"OK\", 70000, 3, 4, 5, 6, 0x00020000, 0x4, 99\nEND\n");
    const ResEntry* d = find(entries, 5, 105);
    ASSERT_NE(d, nullptr);
    ByteWriter expected;
    expected.word(1);
    expected.word(0xFFFF);
    expected.dword(77);          // help id
    expected.dword(0);           // extended style
    expected.dword(0x80C00040);  // CAPTION adds WS_CAPTION, FONT adds DS_SETFONT
    expected.word(1);
    for (int v : {1, 2, 156, 129}) expected.word(static_cast<uint16_t>(v));
    expected.word(0xFFFF);
    expected.word(102);
    expected.text(u"MyClass");
    expected.text(u"About");
    expected.word(9);
    expected.word(700);
    expected.byte(1);
    expected.byte(0x81);
    expected.text(u"MS");
    expected.alignTo(4);
    expected.dword(99);
    expected.dword(0x4);
    expected.dword(0x50030000);
    for (int v : {3, 4, 5, 6}) expected.word(static_cast<uint16_t>(v));
    expected.dword(70000);
    expected.word(0xFFFF);
    expected.word(0x80);
    expected.text(u"OK");
    expected.word(0);
    EXPECT_EQ(d->data, expected.bytes());
}

// ---- menus, accelerators, raw data ----------------------------------------------

TEST_F(ScriptTest, MenuMarksTheLastItemOfEveryLevel) {
    auto entries = COMPILE(
        "102 MENU\nBEGIN\n"
        "  POPUP \"도움말\"\n  BEGIN\n"
        "    MENUITEM \"정보\", 40002, CHECKED GRAYED\n"
        "    MENUITEM SEPARATOR\n"
        "    POPUP \"More\" BEGIN MENUITEM \"x\", 7 END\n"
        "  END\n"
        "  MENUITEM \"Quit\", 40000, INACTIVE\n"
        "END\n");
    const ResEntry* m = find(entries, 4, 102);
    ASSERT_NE(m, nullptr);
    ByteWriter expected;
    expected.word(0);
    expected.word(0);
    expected.word(0x10);  // pop-up
    expected.text(u"도움말");
    expected.word(0x09);  // checked, grayed
    expected.word(40002);
    expected.text(u"정보");
    expected.word(0);  // separator
    expected.word(0);
    expected.word(0);
    expected.word(0x10 | 0x80);  // last of its level
    expected.text(u"More");
    expected.word(0x80);
    expected.word(7);
    expected.text(u"x");
    expected.word(0x02 | 0x80);
    expected.word(40000);
    expected.text(u"Quit");
    EXPECT_EQ(m->data, expected.bytes());
}

TEST_F(ScriptTest, AcceleratorEntriesCarryTheirFlags) {
    auto entries = COMPILE(
        "2 ACCELERATORS\nBEGIN\n"
        "  \"A\", 40002, VIRTKEY, CONTROL, NOINVERT\n"
        "  \"q\", 40000, VIRTKEY, CONTROL\n"
        "  \"^C\", 3\n"
        "  \"x\", 4, ASCII\n"
        "  0x70, 5, VIRTKEY, SHIFT, ALT\n"
        "END\n");
    const ResEntry* a = find(entries, 9, 2);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->data, words({0x0B, 'A', 40002, 0, 0x09, 'Q', 40000, 0, 0, 3, 3, 0, 0, 'x', 4, 0,
                              0x15 | 0x80, 0x70, 5, 0}));
}

TEST_F(ScriptTest, RawDataTakesWordsDwordsAndStrings) {
    write("res/blob.bin", std::string("\x01\x02\x03", 3));
    auto entries = COMPILE(
        "102 RCDATA\nBEGIN\n  102, 2, 0xFFFE, -1, 0x12345678L, \"ab\", L\"c\"\nEND\n"
        "HI_RES_AWARE CEUX { 1 }\n"
        "7 \"lower\" DISCARDABLE \"res\\\\blob.bin\"\n"
        "8 300 { 1L }\n");
    const ResEntry* menuBar = find(entries, 10, 102);
    ASSERT_NE(menuBar, nullptr);
    EXPECT_EQ(menuBar->data, (Bytes{102, 0, 2, 0, 0xFE, 0xFF, 0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12, 'a', 'b', 'c', 0}));

    ASSERT_EQ(entries.size(), 4u);
    EXPECT_FALSE(entries[1].typeIsOrdinal);
    EXPECT_EQ(entries[1].typeName, u"CEUX");
    EXPECT_EQ(entries[1].nameText, u"HI_RES_AWARE");
    EXPECT_EQ(entries[1].data, (Bytes{1, 0}));
    EXPECT_EQ(entries[2].typeName, u"LOWER");  // names are upper-cased
    EXPECT_EQ(entries[2].data, (Bytes{1, 2, 3}));
    EXPECT_TRUE(entries[3].typeIsOrdinal);
    EXPECT_EQ(entries[3].typeOrdinal, 300);
}

// ---- pictures -------------------------------------------------------------------

Bytes iconFile(std::initializer_list<std::pair<int, int>> sizesAndDepths, bool depthInDirectory) {
    ByteWriter out;
    out.word(0);
    out.word(1);
    out.word(static_cast<uint16_t>(sizesAndDepths.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(sizesAndDepths.size());
    std::vector<Bytes> images;
    for (auto [size, depth] : sizesAndDepths) {
        ByteWriter image;
        image.dword(40);
        image.dword(size);
        image.dword(size * 2);
        image.word(1);
        image.word(static_cast<uint16_t>(depth));
        // The rest of the 40-byte header and some pixels.
        for (int i = 0; i < 24 + size; ++i) image.byte(static_cast<uint8_t>(size + i));
        images.push_back(image.take());
        out.byte(static_cast<uint8_t>(size));
        out.byte(static_cast<uint8_t>(size));
        out.byte(depth == 4 ? 16 : 0);
        out.byte(0);
        out.word(depthInDirectory ? 1 : 0);
        out.word(static_cast<uint16_t>(depthInDirectory ? depth : 0));
        out.dword(static_cast<uint32_t>(images.back().size()));
        out.dword(offset);
        offset += static_cast<uint32_t>(images.back().size());
    }
    for (const auto& image : images) out.raw(image);
    return out.take();
}

TEST_F(ScriptTest, IconFileBecomesAGroupAndNumberedImages) {
    Bytes app = iconFile({{16, 4}, {32, 8}}, false);
    write("res/app.ico", app);
    write("res/other.ico", iconFile({{48, 32}}, true));
    auto entries = COMPILE("128 ICON \"res/app.ico\"\nIDI_OTHER ICON \"res\\\\other.ico\"\n");
    ASSERT_EQ(entries.size(), 5u);
    const ResEntry* group = find(entries, 14, 128);
    ASSERT_NE(group, nullptr);
    ByteWriter expected;
    expected.word(0);
    expected.word(1);
    expected.word(2);
    uint32_t firstSize = 16 + 24 + 16, secondSize = 16 + 24 + 32;  // header fields, then filler
    for (auto [size, colors, depth, bytes, id] :
         {std::tuple{16, 16, 4, firstSize, 1}, std::tuple{32, 0, 8, secondSize, 2}}) {
        expected.byte(static_cast<uint8_t>(size));
        expected.byte(static_cast<uint8_t>(size));
        expected.byte(static_cast<uint8_t>(colors));
        expected.byte(0);
        expected.word(1);  // taken from the image's header
        expected.word(static_cast<uint16_t>(depth));
        expected.dword(bytes);
        expected.word(static_cast<uint16_t>(id));
    }
    EXPECT_EQ(group->data, expected.bytes());
    const ResEntry* image2 = find(entries, 3, 2);
    ASSERT_NE(image2, nullptr);
    EXPECT_EQ(image2->data, Bytes(app.begin() + 6 + 32 + firstSize, app.end()));
    EXPECT_NE(find(entries, 3, 3), nullptr);  // the next group's image goes on counting
    EXPECT_EQ(entries.back().nameText, u"IDI_OTHER");
}

TEST_F(ScriptTest, BitmapDropsTheFileHeader) {
    ByteWriter bmp;
    bmp.byte('B');
    bmp.byte('M');
    bmp.dword(14 + 40 + 4);
    bmp.dword(0);
    bmp.dword(14 + 40);
    bmp.dword(40);
    bmp.dword(1);
    bmp.dword(1);
    for (int i = 0; i < 28 + 4; ++i) bmp.byte(static_cast<uint8_t>(i));
    write("on.bmp", bmp.bytes());
    auto entries = COMPILE("130 BITMAP \"on.bmp\"\n");
    const ResEntry* b = find(entries, 2, 130);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->data, Bytes(bmp.bytes().begin() + 14, bmp.bytes().end()));
}

// ---- version --------------------------------------------------------------------

struct VersionNode {
    uint16_t length, valueLength, type;
    std::u16string key;
    size_t valueAt, end;
};

VersionNode nodeAt(const Bytes& b, size_t at) {
    VersionNode n{wordAt(b, at), wordAt(b, at + 2), wordAt(b, at + 4), {}, 0, 0};
    size_t p = at + 6;
    n.key = textAt(b, p);
    n.valueAt = (p + 3) & ~size_t(3);
    n.end = at + n.length;
    return n;
}

TEST_F(ScriptTest, VersionInfoNestsItsBlocks) {
    auto entries = COMPILE(
        "1 VERSIONINFO\n FILEVERSION 1,0,0,4\n PRODUCTVERSION 1,2\n FILEFLAGSMASK 0x3fL\n FILEOS 0x4L\n FILETYPE 0x1L\n"
        "BEGIN\n  BLOCK \"StringFileInfo\"\n  BEGIN\n    BLOCK \"041204b0\"\n    BEGIN\n"
        "      VALUE \"FileVersion\", \"1, 0, 0, 4\"\n      VALUE \"ProductName\", \"Keyrelay 응용 프로그램\\0\"\n"
        "    END\n  END\n  BLOCK \"VarFileInfo\"\n  BEGIN\n    VALUE \"Translation\", 0x412, 1200\n  END\nEND\n");
    const ResEntry* v = find(entries, 16, 1);
    ASSERT_NE(v, nullptr);
    const Bytes& b = v->data;
    VersionNode root = nodeAt(b, 0);
    EXPECT_EQ(root.key, u"VS_VERSION_INFO");
    EXPECT_EQ(root.length, b.size());
    EXPECT_EQ(root.valueLength, 52);
    EXPECT_EQ(dwordAt(b, root.valueAt), 0xFEEF04BDu);
    EXPECT_EQ(dwordAt(b, root.valueAt + 8), 0x00010000u);   // file version 1.0
    EXPECT_EQ(dwordAt(b, root.valueAt + 12), 0x00000004u);  // .0.4
    EXPECT_EQ(dwordAt(b, root.valueAt + 16), 0x00010002u);  // product 1.2
    EXPECT_EQ(dwordAt(b, root.valueAt + 24), 0x3Fu);
    EXPECT_EQ(dwordAt(b, root.valueAt + 32), 0x4u);
    EXPECT_EQ(dwordAt(b, root.valueAt + 36), 0x1u);

    VersionNode strings = nodeAt(b, root.valueAt + 52);
    EXPECT_EQ(strings.key, u"StringFileInfo");
    EXPECT_EQ(strings.type, 1);
    VersionNode table = nodeAt(b, strings.valueAt);
    EXPECT_EQ(table.key, u"041204b0");
    VersionNode fileVersion = nodeAt(b, table.valueAt);
    EXPECT_EQ(fileVersion.key, u"FileVersion");
    EXPECT_EQ(fileVersion.valueLength, 11);  // characters with the terminator
    size_t at = fileVersion.valueAt;
    EXPECT_EQ(textAt(b, at), u"1, 0, 0, 4");
    VersionNode product = nodeAt(b, (fileVersion.end + 3) & ~size_t(3));
    at = product.valueAt;
    EXPECT_EQ(textAt(b, at), u"Keyrelay 응용 프로그램");
    EXPECT_EQ(product.valueLength, 17);  // the script's own \0 is the terminator
    EXPECT_EQ(product.end, table.end);
    EXPECT_EQ(table.end, strings.end);

    VersionNode var = nodeAt(b, (strings.end + 3) & ~size_t(3));
    EXPECT_EQ(var.key, u"VarFileInfo");
    VersionNode translation = nodeAt(b, var.valueAt);
    EXPECT_EQ(translation.key, u"Translation");
    EXPECT_EQ(translation.type, 0);
    EXPECT_EQ(translation.valueLength, 4);
    EXPECT_EQ(wordAt(b, translation.valueAt), 0x412);
    EXPECT_EQ(wordAt(b, translation.valueAt + 2), 1200);
    EXPECT_EQ(translation.end, b.size());
}

// ---- errors ---------------------------------------------------------------------

TEST_F(ScriptTest, ErrorsNameTheFileAndLine) {
    write("resource.h", "#define OK 1\n#if\n");
    write("bad.ico", std::string("\0\0\2\0\1\0", 6));
    write("short.ico", std::string("\0\0\1\0\1\0", 6) + std::string(8, '\0') + std::string("\x10\0\0\0\x20\0\0\0", 8));
    struct Case {
        const char* script;
        const char* where;
        const char* message;
    } cases[] = {
        {"\n\n1 DIALOG 0, 0, 10\nBEGIN END\n", "t.rc:4", "expected ',', found 'BEGIN'"},
        {"1 RCDATA { 1 }\n1 RCDATA { 2 }\n", "t.rc:2", "already defined at"},
        {"STRINGTABLE {\n 1 \"a\"\n 1 \"b\"\n}\n", "t.rc:3", "string 1 is already defined"},
        {"#include \"resource.h\"\n", "resource.h:2", "#if without a condition"},
        {"#include \"missing.h\"\n", "t.rc:1", "cannot find include file 'missing.h'"},
        {"1 ICON \"nothere.ico\"\n", "t.rc:1", "cannot find file 'nothere.ico'"},
        {"1 ICON \"bad.ico\"\n", "t.rc:1", "not an icon file"},
        {"1 ICON \"short.ico\"\n", "t.rc:1", "lies outside the file"},
        {"1 BITMAP \"bad.ico\"\n", "t.rc:1", "not a BMP file"},
        {"#ifdef X\n1 RCDATA { 1 }\n", "t.rc:1", "#if without #endif"},
        {"#endif\n", "t.rc:1", "#endif without #if"},
        {"#error stop here\n", "t.rc:1", "#error stop here"},
        {"1 RCDATA { 70000 }\n", "t.rc:1", "does not fit in a WORD"},
        {"1 RCDATA { 1 / 0 }\n", "t.rc:1", "division by zero"},
        {"STRINGTABLE { 1 \"unterminated }\n", "t.rc:1", "unterminated string"},
        {"1 DIALOG 0, 0, 10, 10\nSTYLE WS_NOT_DEFINED\nBEGIN END\n", "t.rc:2", "undefined symbol 'WS_NOT_DEFINED'"},
        {"1 DIALOG 0, 0, 10, 10\nBEGIN\n LTEXT \"a\", 70000, 0, 0, 1, 1\nEND\n", "t.rc:3", "use DIALOGEX"},
        {"1 DIALOG 0, 0, 40000, 10\nBEGIN END\n", "t.rc:1", "does not fit in 16 bits"},
        {"1 MENU\nBEGIN\nEND\n", "t.rc:3", "empty menu"},
        {"1 MENU\nBEGIN\n  ITEM \"x\", 1\nEND\n", "t.rc:3", "expected MENUITEM or POPUP"},
        {"1 ACCELERATORS\nBEGIN\n \"^C\", 1, VIRTKEY\nEND\n", "t.rc:3", "not with VIRTKEY"},
        {"1 ACCELERATORS\nBEGIN\n \"ab\", 1\nEND\n", "t.rc:3", "one character"},
        {"0 RCDATA { 1 }\n", "t.rc:1", "resource id 0"},
        {"1 CURSOR \"x.cur\"\n", "t.rc:1", "not supported"},
        {"1 RCDATA\nBEGIN\n 1,\n", "t.rc:3", "data without END"},
        {"1 VERSIONINFO\nBEGIN\n VALUE \"a\", 1, \"b\"\nEND\n", "t.rc:3", "either text or numbers"},
        {"1 RCDATA { 1 } @\n", "t.rc:1", "unexpected character '@'"},
        {"#define F(a, b) a\n1 RCDATA { F(1) }\n", "t.rc:2", "takes 2 arguments"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        std::string error = compileError(c.script);
        EXPECT_NE(error.find(std::string(c.where) + ": error: "), std::string::npos) << error;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

TEST_F(ScriptTest, ProgramFailsWithoutWritingOutput) {
    write("bad.rc", "1 RCDATA {\n 1 2L \"x\"\n");
    write("good.rc", "#include \"resource.h\"\n1 RCDATA { 1 }\n");
    write("resource.h", "#define UNUSED 1\n");
    auto run = [&](const std::string& script, const std::string& out) {
        std::string command = std::string(RC_PROGRAM) + " -o " + (dir_ / out).string() + " -d " +
                              (dir_ / (out + ".d")).string() + " " + (dir_ / script).string() + " 2> " +
                              (dir_ / "stderr.txt").string();
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run("bad.rc", "bad.cpp"), 1);
    std::ifstream stderrFile(dir_ / "stderr.txt");
    std::stringstream message;
    message << stderrFile.rdbuf();
    EXPECT_NE(message.str().find("bad.rc:2: error: data without END"), std::string::npos) << message.str();
    EXPECT_FALSE(fs::exists(dir_ / "bad.cpp"));

    EXPECT_EQ(run("good.rc", "good.cpp"), 0);
    std::ifstream source(dir_ / "good.cpp");
    std::stringstream text;
    text << source.rdbuf();
    EXPECT_NE(text.str().find("section(\".rsrc\"), used, aligned(4)"), std::string::npos);
    std::ifstream depfile(dir_ / "good.cpp.d");
    std::stringstream deps;
    deps << depfile.rdbuf();
    EXPECT_NE(deps.str().find("resource.h"), std::string::npos) << deps.str();
    EXPECT_NE(deps.str().find("good.rc"), std::string::npos) << deps.str();
}

}  // namespace
}  // namespace rc::test
