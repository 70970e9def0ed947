// MENU (the menu template: a header, then items, pop-ups followed by their
// own items, the last item of every level marked) and ACCELERATORS (entries of
// eight bytes, the last marked).
#include <cctype>

#include "script_parser.h"

namespace rc {

namespace {

enum : uint16_t {
    kGrayed = 0x0001,
    kInactive = 0x0002,
    kChecked = 0x0008,
    kPopup = 0x0010,
    kMenuBarBreak = 0x0020,
    kMenuBreak = 0x0040,
    kLastItem = 0x0080,
    kHelp = 0x4000,
};

struct MenuFlagWord {
    const char* word;
    uint16_t flag;
};
const MenuFlagWord kMenuFlags[] = {{"CHECKED", kChecked},       {"GRAYED", kGrayed},       {"INACTIVE", kInactive},
                                   {"MENUBARBREAK", kMenuBarBreak}, {"MENUBREAK", kMenuBreak}, {"HELP", kHelp}};

uint16_t menuFlags(TokenStream& in) {
    uint16_t flags = 0;
    for (;;) {
        in.optionalComma();
        bool found = false;
        for (const auto& f : kMenuFlags)
            if (in.acceptKeyword(f.word)) {
                flags |= f.flag;
                found = true;
            }
        if (!found) return flags;
    }
}

// Items up to END; the last one carries the end mark.
void menuItems(TokenStream& in, ByteWriter& out) {
    in.expectBlockStart("the menu's items");
    size_t lastFlagsAt = SIZE_MAX;
    while (!in.atBlockEnd()) {
        if (in.atEnd()) in.fail("menu without END");
        const Token& statement = in.next();
        lastFlagsAt = out.size();
        if (statement.isKeyword("MENUITEM")) {
            if (in.acceptKeyword("SEPARATOR")) {
                out.word(0);
                out.word(0);
                out.word(0);
                continue;
            }
            std::u16string text = in.string("the item's text");
            in.expectPunct(",", "',' before the item's command id");
            uint16_t id = in.word("the item's command id");
            uint16_t flags = menuFlags(in);
            out.word(flags);
            out.word(id);
            out.text(text);
        } else if (statement.isKeyword("POPUP")) {
            std::u16string text = in.string("the pop-up's text");
            uint16_t flags = menuFlags(in);
            out.word(flags | kPopup);
            out.text(text);
            menuItems(in, out);
        } else {
            in.failAt(statement, "expected MENUITEM or POPUP, found " + describe(statement));
        }
    }
    if (lastFlagsAt == SIZE_MAX) in.fail("empty menu");
    in.next();
    const Bytes& bytes = out.bytes();
    out.patchWord(lastFlagsAt, static_cast<uint16_t>((bytes[lastFlagsAt] | (bytes[lastFlagsAt + 1] << 8)) | kLastItem));
}

enum : uint16_t { kVirtKey = 0x01, kNoInvert = 0x02, kShift = 0x04, kControl = 0x08, kAlt = 0x10, kLastEntry = 0x80 };

}  // namespace

void ScriptParser::menu(const ResourceId& name, CommonOptions options, const SourceLocation& where) {
    while (optionStatement(options)) {
    }
    ByteWriter out;
    out.word(0);  // version
    out.word(0);  // header size
    menuItems(in_, out);
    add(ResourceId::number(kTypeMenu), name, options, out.take(), where);
}

void ScriptParser::accelerators(const ResourceId& name, CommonOptions options, const SourceLocation& where) {
    while (optionStatement(options)) {
    }
    in_.expectBlockStart("the accelerator table");
    ByteWriter out;
    while (!in_.atBlockEnd()) {
        if (in_.atEnd()) in_.fail("accelerator table without END");
        const Token& event = in_.peek();
        uint16_t key = 0;
        bool controlCharacter = false;
        std::u16string text;
        if (event.kind == TokenKind::String) {
            text = in_.string("the key");
            if (text.size() == 2 && text[0] == u'^') {
                char16_t letter = static_cast<char16_t>(std::toupper(text[1]));
                if (letter < u'@' || letter > u'_') in_.failAt(event, "\"^\" needs a letter");
                key = static_cast<uint16_t>(letter - 0x40);  // "^C" is Ctrl+C: character 3
                controlCharacter = true;
            } else if (text.size() == 1) {
                key = text[0];
            } else {
                in_.failAt(event, "the key must be one character or ^ and a letter");
            }
        } else {
            key = in_.word("the key");
        }
        in_.expectPunct(",", "',' before the command id");
        uint16_t command = in_.word("the command id");
        uint16_t flags = 0;
        bool ascii = false;
        for (;;) {
            in_.optionalComma();
            if (in_.acceptKeyword("VIRTKEY")) flags |= kVirtKey;
            else if (in_.acceptKeyword("ASCII")) ascii = true;
            else if (in_.acceptKeyword("NOINVERT")) flags |= kNoInvert;
            else if (in_.acceptKeyword("SHIFT")) flags |= kShift;
            else if (in_.acceptKeyword("CONTROL")) flags |= kControl;
            else if (in_.acceptKeyword("ALT")) flags |= kAlt;
            else break;
        }
        if (ascii && (flags & kVirtKey)) in_.failAt(event, "an accelerator is either ASCII or VIRTKEY");
        if ((flags & kVirtKey) && controlCharacter) in_.failAt(event, "\"^\" keys are characters: not with VIRTKEY");
        // A virtual key written as a letter is the key of the upper-case letter.
        if ((flags & kVirtKey) && !text.empty() && key < 0x80) key = static_cast<uint16_t>(std::toupper(key));
        out.word(flags);
        out.word(key);
        out.word(command);
        out.word(0);
    }
    in_.next();
    if (out.size() == 0) throw ScriptError(where, "empty accelerator table");
    size_t last = out.size() - 8;
    out.patchWord(last, static_cast<uint16_t>(out.bytes()[last] | kLastEntry));
    add(ResourceId::number(kTypeAccelerator), name, options, out.take(), where);
}

}  // namespace rc
