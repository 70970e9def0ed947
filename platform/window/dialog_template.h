// Dialog templates as a module's resources hold them: DLGTEMPLATE with
// DLGITEMTEMPLATE items, or DLGTEMPLATEEX with DLGITEMTEMPLATEEX items. Each
// item starts on a four-byte boundary; menu, class and title are absent (0),
// a number (0xFFFF and a word) or a text.
//
// Thread: any.
#pragma once

#include <windef.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform::window {

// A template field that is absent, a number, or a text.
struct TemplateName {
    enum class Kind { None, Number, Text } kind = Kind::None;
    WORD number = 0;
    std::u16string text;
};

struct DialogItemTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    DWORD helpId = 0;
    short x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    DWORD id = 0;
    TemplateName windowClass;  // a number is a predefined class (0x80 button ... 0x85 combo box)
    TemplateName title;        // a number is a resource id (an icon of a static)
    std::vector<uint8_t> creationData;
};

struct DialogTemplate {
    bool extended = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    DWORD helpId = 0;
    short x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    TemplateName menu;
    TemplateName windowClass;
    std::u16string title;
    bool hasFont = false;  // DS_SETFONT: the fields below are set
    WORD pointSize = 0;
    WORD weight = 0;
    bool italic = false;
    BYTE charset = 0;
    std::u16string face;
    std::vector<DialogItemTemplate> items;  // in tab order
};

// nullopt when the bytes end before the template does.
std::optional<DialogTemplate> parseDialogTemplate(std::span<const uint8_t> bytes);

// The predefined control class a template's class number stands for
// ("Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"); null for
// any other number.
const char16_t* predefinedClassName(WORD number);

}  // namespace platform::window
