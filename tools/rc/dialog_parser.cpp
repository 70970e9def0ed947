// DIALOG and DIALOGEX: the dialog template (DLGTEMPLATE or DLGTEMPLATEEX) with
// one item template per control statement, in the script's order (the tab
// order).
#include <strings.h>

#include "expression.h"
#include "script_parser.h"

namespace rc {

namespace {

// Window, dialog and control styles the statements imply.
constexpr uint32_t kPopup = 0x80000000, kChild = 0x40000000, kVisible = 0x10000000, kBorder = 0x00800000,
                   kSysMenu = 0x00080000, kCaption = 0x00C00000, kGroup = 0x00020000, kTabStop = 0x00010000,
                   kSetFont = 0x40;

enum : uint16_t { kButtonAtom = 0x80, kEditAtom = 0x81, kStaticAtom = 0x82 };

struct ControlKind {
    const char* keyword;
    uint16_t atom;
    uint32_t style;  // besides WS_CHILD | WS_VISIBLE
    bool hasText;
};

const ControlKind kControlKinds[] = {
    {"LTEXT", kStaticAtom, 0x0 | kGroup, true},           // SS_LEFT
    {"RTEXT", kStaticAtom, 0x2 | kGroup, true},           // SS_RIGHT
    {"CTEXT", kStaticAtom, 0x1 | kGroup, true},           // SS_CENTER
    {"PUSHBUTTON", kButtonAtom, 0x0 | kTabStop, true},    // BS_PUSHBUTTON
    {"DEFPUSHBUTTON", kButtonAtom, 0x1 | kTabStop, true}, // BS_DEFPUSHBUTTON
    {"GROUPBOX", kButtonAtom, 0x7, true},                 // BS_GROUPBOX
    {"EDITTEXT", kEditAtom, 0x0 | kBorder | kTabStop, false},  // ES_LEFT
    {"ICON", kStaticAtom, 0x3, true},                     // SS_ICON
};

struct PredefinedClass {
    const char* name;
    uint16_t atom;
};
const PredefinedClass kPredefinedClasses[] = {{"BUTTON", 0x80}, {"EDIT", 0x81},      {"STATIC", 0x82},
                                              {"LISTBOX", 0x83}, {"SCROLLBAR", 0x84}, {"COMBOBOX", 0x85}};

// A name or number kept as written (titles and classes are not upper-cased).
ResourceId asWritten(const std::u16string& text) {
    ResourceId id;
    id.isOrdinal = false;
    id.name = text;
    return id;
}

void writeNameOrOrdinal(ByteWriter& out, const ResourceId& id) {
    if (id.isOrdinal) {
        out.word(0xFFFF);
        out.word(id.ordinal);
    } else {
        out.text(id.name);
    }
}

struct ControlTemplate {
    uint32_t helpId = 0, exStyle = 0, style = 0, id = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    ResourceId windowClass;
    ResourceId title = asWritten(u"");
    Bytes creationData;
};

// style: terms joined by |, each ORed into the value, or cleared by NOT.
uint32_t styleList(TokenStream& in, uint32_t initial) {
    uint32_t value = initial;
    do {
        bool clear = in.acceptKeyword("NOT");
        const Token& at = in.peek();
        if (at.kind != TokenKind::Number && !at.isPunct("(") && !at.isPunct("~") && !at.isPunct("-"))
            in.failAt(at, at.kind == TokenKind::Identifier ? "undefined symbol '" + at.text + "' in a style"
                                                           : "expected a style, found " + describe(at));
        uint32_t term = static_cast<uint32_t>(evaluateExpression(in, ExpressionMode::StyleTerm));
        value = clear ? value & ~term : value | term;
    } while (in.acceptPunct("|"));
    return value;
}

ResourceId controlText(TokenStream& in) {
    const Token& t = in.peek();
    if (t.kind == TokenKind::String) return asWritten(in.string("the control's text"));
    if (t.kind == TokenKind::Identifier) {  // an icon or bitmap named by a word
        in.next();
        return ResourceId::text(std::u16string(t.text.begin(), t.text.end()));
    }
    return ResourceId::number(in.word("the control's text or resource id"));
}

ResourceId controlClass(TokenStream& in) {
    const Token& t = in.peek();
    std::u16string name;
    if (t.kind == TokenKind::String) {
        name = in.string("the control's class");
    } else if (t.kind == TokenKind::Identifier) {
        in.next();
        name.assign(t.text.begin(), t.text.end());
    } else {
        return ResourceId::number(in.word("the control's class"));
    }
    std::string ascii(name.begin(), name.end());
    for (const auto& predefined : kPredefinedClasses)
        if (::strcasecmp(ascii.c_str(), predefined.name) == 0) return ResourceId::number(predefined.atom);
    return asWritten(name);
}

}  // namespace

void ScriptParser::dialog(const ResourceId& name, bool extended, CommonOptions options, const SourceLocation& where) {
    int16_t x = in_.signedShort("the dialog's x");
    in_.expectPunct(",", "','");
    int16_t y = in_.signedShort("the dialog's y");
    in_.expectPunct(",", "','");
    int16_t cx = in_.signedShort("the dialog's width");
    in_.expectPunct(",", "','");
    int16_t cy = in_.signedShort("the dialog's height");
    uint32_t helpId = 0;
    if (extended && in_.acceptPunct(",")) helpId = in_.number("the dialog's help id");

    uint32_t style = kPopup | kBorder | kSysMenu;
    uint32_t exStyle = 0;
    bool hasCaption = false, hasFont = false, hasMenu = false, hasClass = false;
    std::u16string caption, face;
    uint16_t pointSize = 0, weight = 0;
    uint8_t italic = 0, charset = 1;  // DEFAULT_CHARSET
    ResourceId menu, windowClass;
    for (;;) {
        if (in_.acceptKeyword("STYLE")) {
            style = styleList(in_, 0);
        } else if (in_.acceptKeyword("EXSTYLE")) {
            exStyle = styleList(in_, 0);
        } else if (in_.acceptKeyword("CAPTION")) {
            caption = in_.string("the caption");
            hasCaption = true;
        } else if (in_.acceptKeyword("FONT")) {
            pointSize = in_.word("the font's point size");
            in_.expectPunct(",", "',' before the font's name");
            face = in_.string("the font's name");
            if (extended && in_.acceptPunct(",")) {
                weight = in_.word("the font's weight");
                if (in_.acceptPunct(",")) italic = static_cast<uint8_t>(in_.number("the font's italic flag") != 0);
                if (in_.acceptPunct(",")) charset = static_cast<uint8_t>(in_.number("the font's character set"));
            }
            hasFont = true;
        } else if (in_.acceptKeyword("MENU")) {
            menu = resourceName("the dialog's menu");
            hasMenu = true;
        } else if (in_.acceptKeyword("CLASS")) {
            windowClass = in_.peek().kind == TokenKind::String ? asWritten(in_.string("the dialog's class"))
                                                               : ResourceId::number(in_.word("the dialog's class"));
            hasClass = true;
        } else if (!optionStatement(options)) {
            break;
        }
    }
    if (hasCaption) style |= kCaption;
    if (hasFont) style |= kSetFont;

    in_.expectBlockStart("the dialog's controls");
    std::vector<ControlTemplate> controls;
    while (!in_.atBlockEnd()) {
        if (in_.atEnd()) in_.fail("dialog without END");
        const Token& statement = in_.next();
        ControlTemplate c;
        auto idValue = [&] {
            const Token& at = in_.peek();
            uint32_t id = in_.number("the control's id");
            int32_t asSigned = static_cast<int32_t>(id);
            if (!extended && (asSigned < -32768 || asSigned > 65535))
                in_.failAt(at, "control id " + std::to_string(asSigned) + " does not fit in 16 bits (use DIALOGEX)");
            return extended ? id : (id & 0xFFFF);
        };
        auto comma = [&] { in_.expectPunct(",", "','"); };
        if (statement.isKeyword("CONTROL")) {
            c.title = controlText(in_);
            comma();
            c.id = idValue();
            comma();
            c.windowClass = controlClass(in_);
            comma();
            c.style = styleList(in_, kChild | kVisible);
            comma();
            c.x = in_.signedShort("x");
            comma();
            c.y = in_.signedShort("y");
            comma();
            c.cx = in_.signedShort("width");
            comma();
            c.cy = in_.signedShort("height");
            if (in_.acceptPunct(",")) {
                c.exStyle = styleList(in_, 0);
                if (extended && in_.acceptPunct(",")) c.helpId = in_.number("the help id");
            }
        } else {
            const ControlKind* kind = nullptr;
            for (const auto& k : kControlKinds)
                if (statement.isKeyword(k.keyword)) kind = &k;
            if (!kind) in_.failAt(statement, "unknown control statement " + describe(statement));
            bool isIcon = statement.isKeyword("ICON");
            if (kind->hasText) {
                c.title = controlText(in_);
                comma();
            }
            c.id = idValue();
            comma();
            c.windowClass = ResourceId::number(kind->atom);
            c.style = kChild | kVisible | kind->style;
            c.x = in_.signedShort("x");
            comma();
            c.y = in_.signedShort("y");
            bool more = true;
            if (isIcon) {
                more = in_.acceptPunct(",");
                if (more) {
                    c.cx = in_.signedShort("width");
                    comma();
                    c.cy = in_.signedShort("height");
                }
            } else {
                comma();
                c.cx = in_.signedShort("width");
                comma();
                c.cy = in_.signedShort("height");
            }
            if (more && in_.acceptPunct(",")) {
                c.style = styleList(in_, c.style);
                if (in_.acceptPunct(",")) {
                    c.exStyle = styleList(in_, 0);
                    if (extended && in_.acceptPunct(",")) c.helpId = in_.number("the help id");
                }
            }
        }
        if (extended && in_.atBlockStart()) c.creationData = inlineData();
        controls.push_back(std::move(c));
    }
    in_.next();
    if (controls.size() > 0xFFFF) throw ScriptError(where, "too many controls");

    ByteWriter out;
    if (extended) {
        out.word(1);
        out.word(0xFFFF);
        out.dword(helpId);
        out.dword(exStyle);
        out.dword(style);
    } else {
        out.dword(style);
        out.dword(exStyle);
    }
    out.word(static_cast<uint16_t>(controls.size()));
    for (int16_t v : {x, y, cx, cy}) out.word(static_cast<uint16_t>(v));
    if (hasMenu) writeNameOrOrdinal(out, menu);
    else out.word(0);
    if (hasClass) writeNameOrOrdinal(out, windowClass);
    else out.word(0);
    out.text(caption);
    if (style & kSetFont) {
        out.word(pointSize);
        if (extended) {
            out.word(weight);
            out.byte(italic);
            out.byte(charset);
        }
        out.text(face);
    }
    for (const ControlTemplate& c : controls) {
        out.alignTo(4);
        if (extended) {
            out.dword(c.helpId);
            out.dword(c.exStyle);
            out.dword(c.style);
        } else {
            out.dword(c.style);
            out.dword(c.exStyle);
        }
        for (int16_t v : {c.x, c.y, c.cx, c.cy}) out.word(static_cast<uint16_t>(v));
        if (extended) out.dword(c.id);
        else out.word(static_cast<uint16_t>(c.id));
        writeNameOrOrdinal(out, c.windowClass);
        writeNameOrOrdinal(out, c.title);
        out.word(static_cast<uint16_t>(c.creationData.size()));
        out.raw(c.creationData);
    }
    add(ResourceId::number(kTypeDialog), name, options, out.take(), where);
}

}  // namespace rc
