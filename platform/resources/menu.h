// Menus made from menu templates (LoadMenuW). A menu and each of its pop-ups
// have handles of their own; destroying a menu destroys its pop-ups. The
// window system and the shell's menu bar read menus through menuFromHandle.
//
// Thread: any; a menu is not changed after it is made.
#pragma once

#include <windef.h>

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/kernel/kernel_object.h"

namespace platform::resources {

class Menu;

struct MenuItem {
    UINT flags = 0;  // MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_POPUP, MF_SEPARATOR, breaks, MF_HELP
    UINT id = 0;     // command id (0 for pop-ups and separators)
    std::u16string text;
    std::shared_ptr<Menu> popup;  // for MF_POPUP
};

class Menu final : public kernel::KernelObject {
public:
    std::string_view kindName() const override { return "menu"; }
    bool closableByCloseHandle() const override { return false; }

    std::vector<MenuItem> items;
    HMENU handle = nullptr;
};

// Reads a menu template (header, then items); null for a malformed template
// or an extended (MENUEX) one.
std::shared_ptr<Menu> parseMenuTemplate(std::span<const uint8_t> bytes);

// The menu behind a handle; null with ERROR_INVALID_MENU_HANDLE.
std::shared_ptr<Menu> menuFromHandle(HMENU handle);

}  // namespace platform::resources
