// RegisterHotKey, UnregisterHotKey and the hotkey table the input stream matches.
#include "hotkeys.h"

#include <algorithm>

#include "platform/kernel/last_error.h"
#include "platform/kernel/thread.h"
#include "platform/kernel/process.h"
#include "window.h"

namespace platform::window {

namespace {

constexpr UINT kKnownModifiers = MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN | MOD_KEYUP;

std::vector<Hotkey>& table() {
    static auto* hotkeys = new std::vector<Hotkey>;
    return *hotkeys;
}

UINT combination(UINT modifiers) { return modifiers & ~static_cast<UINT>(MOD_KEYUP); }

bool sameHolder(const Hotkey& hotkey, HWND hwnd, DWORD threadId, int id) {
    if (hotkey.id != id || hotkey.hwnd != hwnd) return false;
    return hwnd || hotkey.threadId == threadId;
}

}  // namespace

const Hotkey* matchHotkey(UINT modifiers, UINT vk, bool keyUp) {
    for (const auto& hotkey : table()) {
        if (hotkey.vk != vk || combination(hotkey.modifiers) != modifiers) continue;
        if (keyUp && !(hotkey.modifiers & MOD_KEYUP)) continue;
        return &hotkey;
    }
    return nullptr;
}

void dropHotkeysOfWindow(HWND hwnd) {
    if (!hwnd) return;
    std::erase_if(table(), [&](const Hotkey& hotkey) { return hotkey.hwnd == hwnd; });
}

void dropHotkeysOfProcess(DWORD processId) {
    std::erase_if(table(), [&](const Hotkey& hotkey) { return hotkey.processId == processId; });
}

std::vector<Hotkey> registeredHotkeys() { return table(); }

}  // namespace platform::window

using namespace platform::window;
using platform::kernel::setLastError;

namespace {

// A window given to the hotkey calls must be the calling thread's.
bool checkHotkeyWindow(HWND hwnd) { return !hwnd || resolveOwnWindow(hwnd); }

}  // namespace

extern "C" {

BOOL WINAPI RegisterHotKey(HWND hWnd, int id, UINT fsModifiers, UINT vk) {
    WindowLock lock(windowLock());
    if (!checkHotkeyWindow(hWnd)) return FALSE;
    if ((fsModifiers & ~kKnownModifiers) || vk == 0 || vk > 0xFE) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto& thread = platform::kernel::currentThread();
    const DWORD threadId = thread.id();
    auto& hotkeys = table();
    for (const auto& hotkey : hotkeys) {
        if (sameHolder(hotkey, hWnd, threadId, id)) continue;
        if (hotkey.vk == vk && combination(hotkey.modifiers) == combination(fsModifiers)) {
            setLastError(ERROR_HOTKEY_ALREADY_REGISTERED);
            return FALSE;
        }
    }
    // The same window and id again: the new combination replaces the old.
    auto existing = std::find_if(hotkeys.begin(), hotkeys.end(),
                                 [&](const Hotkey& hotkey) { return sameHolder(hotkey, hWnd, threadId, id); });
    Hotkey entry{hWnd, threadId, thread.process().id(), id, fsModifiers, vk};
    if (existing != hotkeys.end()) *existing = entry;
    else hotkeys.push_back(entry);
    return TRUE;
}

BOOL WINAPI UnregisterHotKey(HWND hWnd, int id) {
    WindowLock lock(windowLock());
    if (!checkHotkeyWindow(hWnd)) return FALSE;
    const DWORD threadId = platform::kernel::currentThread().id();
    auto& hotkeys = table();
    auto it = std::find_if(hotkeys.begin(), hotkeys.end(),
                           [&](const Hotkey& hotkey) { return sameHolder(hotkey, hWnd, threadId, id); });
    if (it == hotkeys.end()) {
        setLastError(ERROR_HOTKEY_NOT_REGISTERED);
        return FALSE;
    }
    hotkeys.erase(it);
    return TRUE;
}

}  // extern "C"
