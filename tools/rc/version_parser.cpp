// VERSIONINFO: the fixed file information, then BLOCK and VALUE nodes. Every
// node is a length, a value length, a type (1 text, 0 binary), its key, the
// value and its children, each aligned to four bytes.
#include "script_parser.h"

namespace rc {

namespace {

struct VersionNode {
    std::u16string key;
    bool textValue = false;
    std::u16string text;  // with its terminator
    Bytes binary;
    std::vector<VersionNode> children;
};

void writeNode(ByteWriter& out, const VersionNode& node) {
    out.alignTo(4);
    size_t start = out.size();
    out.word(0);  // length, patched below
    out.word(static_cast<uint16_t>(node.textValue ? node.text.size() : node.binary.size()));
    out.word(node.textValue ? 1 : 0);
    out.text(node.key);
    out.alignTo(4);
    if (node.textValue) {
        for (char16_t c : node.text) out.word(c);
    } else {
        out.raw(node.binary);
    }
    for (const VersionNode& child : node.children) writeNode(out, child);
    out.patchWord(start, static_cast<uint16_t>(out.size() - start));
}

void parseBlockBody(TokenStream& in, VersionNode& parent) {
    in.expectBlockStart("the block");
    while (!in.atBlockEnd()) {
        if (in.atEnd()) in.fail("block without END");
        VersionNode node;
        if (in.acceptKeyword("BLOCK")) {
            node.key = in.string("the block's name");
            node.textValue = true;  // a block is a text node without a value
            parseBlockBody(in, node);
        } else if (in.peek().isKeyword("VALUE")) {
            const Token& statement = in.next();
            node.key = in.string("the value's name");
            bool anyNumber = false, anyText = false;
            ByteWriter binary;
            std::u16string text;
            while (in.acceptPunct(",")) {
                if (in.peek().kind == TokenKind::String) {
                    anyText = true;
                    text += in.string("the value");
                } else {
                    anyNumber = true;
                    bool isLong = false;
                    uint32_t value = in.number("the value", &isLong);
                    if (isLong) binary.dword(value);
                    else binary.word(static_cast<uint16_t>(value));
                }
            }
            if (anyText && anyNumber) in.failAt(statement, "a VALUE holds either text or numbers");
            if (anyText) {
                node.textValue = true;
                if (text.empty() || text.back() != 0) text.push_back(0);
                node.text = text;
            } else {
                node.binary = binary.take();
            }
        } else {
            in.fail("expected BLOCK or VALUE, found " + describe(in.peek()));
        }
        parent.children.push_back(std::move(node));
    }
    in.next();
}

}  // namespace

void ScriptParser::versionInfo(const ResourceId& name, CommonOptions options, const SourceLocation& where) {
    uint32_t fixed[13] = {0xFEEF04BD, 0x00010000};
    enum { kFileMs = 2, kFileLs, kProductMs, kProductLs, kFlagsMask, kFlags, kOs, kType, kSubtype };
    auto fourParts = [&](int msIndex) {
        uint32_t parts[4] = {0, 0, 0, 0};
        for (int i = 0; i < 4; ++i) {
            parts[i] = in_.word("a version part");
            if (!in_.acceptPunct(",")) break;
        }
        fixed[msIndex] = (parts[0] << 16) | parts[1];
        fixed[msIndex + 1] = (parts[2] << 16) | parts[3];
    };
    for (;;) {
        if (in_.acceptKeyword("FILEVERSION")) fourParts(kFileMs);
        else if (in_.acceptKeyword("PRODUCTVERSION")) fourParts(kProductMs);
        else if (in_.acceptKeyword("FILEFLAGSMASK")) fixed[kFlagsMask] = in_.number("the flags mask");
        else if (in_.acceptKeyword("FILEFLAGS")) fixed[kFlags] = in_.number("the flags");
        else if (in_.acceptKeyword("FILEOS")) fixed[kOs] = in_.number("the operating system");
        else if (in_.acceptKeyword("FILETYPE")) fixed[kType] = in_.number("the file type");
        else if (in_.acceptKeyword("FILESUBTYPE")) fixed[kSubtype] = in_.number("the file subtype");
        else if (!optionStatement(options)) break;
    }
    VersionNode root;
    root.key = u"VS_VERSION_INFO";
    ByteWriter value;
    for (uint32_t v : fixed) value.dword(v);
    root.binary = value.take();
    parseBlockBody(in_, root);

    ByteWriter out;
    writeNode(out, root);
    add(ResourceId::number(kTypeVersion), name, options, out.take(), where);
}

}  // namespace rc
