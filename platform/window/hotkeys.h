// Registered hotkeys: a key with an exact set of modifiers, held by one window
// (or one thread, for a hotkey registered without a window) under an id that
// is unique for that window.
//
// All functions: window lock held.
#pragma once

#include <windows.h>

#include <vector>

namespace platform::window {

struct Hotkey {
    HWND hwnd = nullptr;
    DWORD threadId = 0;   // the registering thread (the receiver of a window-less hotkey)
    DWORD processId = 0;
    int id = 0;
    UINT modifiers = 0;   // MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN, MOD_KEYUP
    UINT vk = 0;
};

// The hotkey for a key event with the modifiers held (MOD_* without MOD_KEYUP):
// on key down any hotkey of that combination, on key up only a MOD_KEYUP one.
const Hotkey* matchHotkey(UINT modifiers, UINT vk, bool keyUp);

void dropHotkeysOfWindow(HWND hwnd);
void dropHotkeysOfProcess(DWORD processId);
std::vector<Hotkey> registeredHotkeys();

}  // namespace platform::window
