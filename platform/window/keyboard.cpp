// Key states and characters.
#include "keyboard.h"

namespace platform::window {

namespace {

constexpr BYTE kDown = 0x80;
constexpr BYTE kToggled = 0x01;

bool held(const KeyStateArray& state, BYTE vk) { return (state[vk] & kDown) != 0; }

void setKey(KeyStateArray& state, BYTE vk, bool down) {
    if (down) {
        if (!held(state, vk)) state[vk] ^= kToggled;
        state[vk] |= kDown;
    } else {
        state[vk] &= static_cast<BYTE>(~kDown);
    }
}

// The generic code and its left and right codes.
struct Sided {
    BYTE generic, left, right;
};
constexpr Sided kSided[] = {{VK_SHIFT, VK_LSHIFT, VK_RSHIFT},
                            {VK_CONTROL, VK_LCONTROL, VK_RCONTROL},
                            {VK_MENU, VK_LMENU, VK_RMENU}};

WCHAR shiftedDigit(BYTE vk) {
    static const char16_t shifted[] = u")!@#$%^&*(";
    return shifted[vk - '0'];
}

struct OemKey {
    BYTE vk;
    WCHAR plain, shifted;
};
constexpr OemKey kOemKeys[] = {{VK_OEM_1, u';', u':'},      {VK_OEM_PLUS, u'=', u'+'}, {VK_OEM_COMMA, u',', u'<'},
                               {VK_OEM_MINUS, u'-', u'_'},  {VK_OEM_PERIOD, u'.', u'>'}, {VK_OEM_2, u'/', u'?'},
                               {VK_OEM_3, u'`', u'~'},      {VK_OEM_4, u'[', u'{'},    {VK_OEM_5, u'\\', u'|'},
                               {VK_OEM_6, u']', u'}'},      {VK_OEM_7, u'\'', u'"'}};

}  // namespace

void applyKey(KeyStateArray& state, BYTE vk, bool down) {
    setKey(state, vk, down);
    for (const Sided& s : kSided) {
        if (vk == s.generic) {
            setKey(state, s.left, down);
            if (!down) setKey(state, s.right, false);
        } else if (vk == s.left || vk == s.right) {
            setKey(state, s.generic, held(state, s.left) || held(state, s.right));
        }
    }
}

UINT heldModifiers(const KeyStateArray& state) {
    UINT modifiers = 0;
    if (held(state, VK_MENU)) modifiers |= MOD_ALT;
    if (held(state, VK_CONTROL)) modifiers |= MOD_CONTROL;
    if (held(state, VK_SHIFT)) modifiers |= MOD_SHIFT;
    if (held(state, VK_LWIN) || held(state, VK_RWIN)) modifiers |= MOD_WIN;
    return modifiers;
}

WCHAR characterForKey(BYTE vk, const KeyStateArray& state) {
    const bool shift = held(state, VK_SHIFT);
    const bool control = held(state, VK_CONTROL) && !held(state, VK_MENU);
    if (vk >= 'A' && vk <= 'Z') {
        if (control) return static_cast<WCHAR>(vk - 'A' + 1);
        const bool upper = shift != ((state[VK_CAPITAL] & kToggled) != 0);
        return static_cast<WCHAR>(upper ? vk : vk - 'A' + 'a');
    }
    if (control) return 0;
    if (vk >= '0' && vk <= '9') return shift ? shiftedDigit(vk) : static_cast<WCHAR>(vk);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return static_cast<WCHAR>(u'0' + (vk - VK_NUMPAD0));
    switch (vk) {
        case VK_SPACE: return u' ';
        case VK_RETURN: return u'\r';
        case VK_BACK: return u'\b';
        case VK_TAB: return u'\t';
        case VK_ESCAPE: return 0x1B;
        case VK_MULTIPLY: return u'*';
        case VK_ADD: return u'+';
        case VK_SUBTRACT: return u'-';
        case VK_DECIMAL: return u'.';
        case VK_DIVIDE: return u'/';
        default: break;
    }
    for (const OemKey& key : kOemKeys)
        if (key.vk == vk) return shift ? key.shifted : key.plain;
    return 0;
}

}  // namespace platform::window
