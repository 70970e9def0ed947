// LoadMenuW, DestroyMenu, GetSubMenu.
#include <windows.h>

#include "menu.h"
#include "platform/kernel/handle_table.h"
#include "resource_lookup.h"

namespace platform::resources {

namespace {

constexpr UINT kLastItem = 0x0080;

class TemplateReader {
public:
    explicit TemplateReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    bool word(uint16_t& value) {
        if (at_ + 2 > bytes_.size()) return false;
        value = static_cast<uint16_t>(bytes_[at_] | (bytes_[at_ + 1] << 8));
        at_ += 2;
        return true;
    }
    bool text(std::u16string& value) {
        value.clear();
        for (uint16_t c;;) {
            if (!word(c)) return false;
            if (!c) return true;
            value.push_back(c);
        }
    }
    void skip(size_t bytes) { at_ += bytes; }

private:
    std::span<const uint8_t> bytes_;
    size_t at_ = 0;
};

// The items of one level, up to the one marked last. Nesting is bounded so a
// corrupt template cannot exhaust the stack.
bool readItems(TemplateReader& in, Menu& menu, int depth) {
    if (depth > 16) return false;
    for (;;) {
        uint16_t flags = 0;
        if (!in.word(flags)) return false;
        MenuItem item;
        if (flags & MF_POPUP) {
            if (!in.text(item.text)) return false;
            item.popup = std::make_shared<Menu>();
            if (!readItems(in, *item.popup, depth + 1)) return false;
        } else {
            uint16_t id = 0;
            if (!in.word(id) || !in.text(item.text)) return false;
            item.id = id;
            if (id == 0 && item.text.empty()) flags |= MF_SEPARATOR;
        }
        item.flags = flags & ~kLastItem;
        menu.items.push_back(std::move(item));
        if (flags & kLastItem) return true;
    }
}

void giveHandles(Menu& menu, const std::shared_ptr<Menu>& self) {
    menu.handle = reinterpret_cast<HMENU>(kernel::handleTable().insert(self));
    for (MenuItem& item : menu.items)
        if (item.popup) giveHandles(*item.popup, item.popup);
}

void removeHandles(Menu& menu) {
    for (MenuItem& item : menu.items)
        if (item.popup) removeHandles(*item.popup);
    kernel::handleTable().remove(reinterpret_cast<HANDLE>(menu.handle));
}

}  // namespace

std::shared_ptr<Menu> parseMenuTemplate(std::span<const uint8_t> bytes) {
    TemplateReader in(bytes);
    uint16_t version = 0, headerSize = 0;
    if (!in.word(version) || !in.word(headerSize) || version != 0) return nullptr;
    in.skip(headerSize);
    auto menu = std::make_shared<Menu>();
    if (!readItems(in, *menu, 0)) return nullptr;
    return menu;
}

std::shared_ptr<Menu> menuFromHandle(HMENU handle) {
    auto menu = kernel::handleTable().lookupAs<Menu>(reinterpret_cast<HANDLE>(handle));
    if (!menu) kernel::setLastError(ERROR_INVALID_MENU_HANDLE);
    return menu;
}

}  // namespace platform::resources

using namespace platform::resources;

extern "C" {

HMENU WINAPI LoadMenuW(HINSTANCE hInstance, LPCWSTR lpMenuName) {
    auto bytes = findResourceData(hInstance, RT_MENU, lpMenuName);
    if (!bytes) return nullptr;
    auto menu = parseMenuTemplate(*bytes);
    if (!menu) {
        platform::kernel::setLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    giveHandles(*menu, menu);
    return menu->handle;
}

BOOL WINAPI DestroyMenu(HMENU hMenu) {
    auto menu = menuFromHandle(hMenu);
    if (!menu) return FALSE;
    removeHandles(*menu);
    return TRUE;
}

HMENU WINAPI GetSubMenu(HMENU hMenu, int nPos) {
    auto menu = menuFromHandle(hMenu);
    if (!menu || nPos < 0 || static_cast<size_t>(nPos) >= menu->items.size()) return nullptr;
    const auto& popup = menu->items[static_cast<size_t>(nPos)].popup;
    return popup ? popup->handle : nullptr;
}

}  // extern "C"
