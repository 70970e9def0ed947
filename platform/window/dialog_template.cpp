#include "dialog_template.h"

namespace platform::window {

namespace {

constexpr DWORD kSetFont = 0x40;  // DS_SETFONT

class Reader {
public:
    explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }
    WORD word() {
        if (at_ + 2 > bytes_.size()) return fail();
        WORD value = static_cast<WORD>(bytes_[at_] | (bytes_[at_ + 1] << 8));
        at_ += 2;
        return value;
    }
    DWORD dword() {
        DWORD low = word();
        return low | (static_cast<DWORD>(word()) << 16);
    }
    BYTE byte() {
        if (at_ + 1 > bytes_.size()) return static_cast<BYTE>(fail());
        return bytes_[at_++];
    }
    short coordinate() { return static_cast<short>(word()); }
    std::u16string text() {
        std::u16string value;
        while (ok_) {
            WORD c = word();
            if (!c) break;
            value.push_back(c);
        }
        return value;
    }
    TemplateName name() {
        TemplateName n;
        WORD first = word();
        if (first == 0) return n;
        if (first == 0xFFFF) {
            n.kind = TemplateName::Kind::Number;
            n.number = word();
            return n;
        }
        n.kind = TemplateName::Kind::Text;
        n.text.push_back(first);
        n.text += text();
        return n;
    }
    std::vector<uint8_t> bytes(size_t count) {
        if (count > bytes_.size() - at_) {
            fail();
            return {};
        }
        std::vector<uint8_t> out(bytes_.begin() + at_, bytes_.begin() + at_ + count);
        at_ += count;
        return out;
    }
    void align() { at_ = (at_ + 3) & ~size_t(3); }

private:
    WORD fail() {
        ok_ = false;
        at_ = bytes_.size();
        return 0;
    }

    std::span<const uint8_t> bytes_;
    size_t at_ = 0;
    bool ok_ = true;
};

}  // namespace

const char16_t* predefinedClassName(WORD number) {
    switch (number) {
        case 0x80: return u"Button";
        case 0x81: return u"Edit";
        case 0x82: return u"Static";
        case 0x83: return u"ListBox";
        case 0x84: return u"ScrollBar";
        case 0x85: return u"ComboBox";
        default: return nullptr;
    }
}

std::optional<DialogTemplate> parseDialogTemplate(std::span<const uint8_t> bytes) {
    DialogTemplate t;
    Reader probe(bytes);
    WORD version = probe.word();
    WORD signature = probe.word();
    t.extended = probe.ok() && version == 1 && signature == 0xFFFF;
    Reader in(bytes);
    if (t.extended) {
        in.dword();  // version and signature
        t.helpId = in.dword();
        t.exStyle = in.dword();
        t.style = in.dword();
    } else {
        t.style = in.dword();
        t.exStyle = in.dword();
    }
    WORD count = in.word();
    t.x = in.coordinate();
    t.y = in.coordinate();
    t.cx = in.coordinate();
    t.cy = in.coordinate();
    t.menu = in.name();
    t.windowClass = in.name();
    t.title = in.text();
    if (t.style & kSetFont) {
        t.hasFont = true;
        t.pointSize = in.word();
        if (t.extended) {
            t.weight = in.word();
            t.italic = in.byte() != 0;
            t.charset = in.byte();
        }
        t.face = in.text();
    }
    for (WORD i = 0; i < count && in.ok(); ++i) {
        in.align();
        DialogItemTemplate item;
        if (t.extended) {
            item.helpId = in.dword();
            item.exStyle = in.dword();
            item.style = in.dword();
        } else {
            item.style = in.dword();
            item.exStyle = in.dword();
        }
        item.x = in.coordinate();
        item.y = in.coordinate();
        item.cx = in.coordinate();
        item.cy = in.coordinate();
        item.id = t.extended ? in.dword() : in.word();
        item.windowClass = in.name();
        item.title = in.name();
        WORD extra = in.word();
        // In the older form the count includes its own word.
        if (!t.extended && extra >= 2) extra = static_cast<WORD>(extra - 2);
        item.creationData = in.bytes(extra);
        t.items.push_back(std::move(item));
    }
    if (!in.ok()) return std::nullopt;
    return t;
}

}  // namespace platform::window
