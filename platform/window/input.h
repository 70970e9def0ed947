// The system input stream: the simulator's taps and hardware keys and every
// keybd_event, handled one at a time in the order they come.
//
// A tap goes to the top-most visible window under the point whose region
// contains it, children included; a disabled child passes the point to its
// parent, a disabled top-level window (an owner under a modal loop) takes the
// tap and does nothing with it. A tap on an inactive top-level window makes it
// the foreground window first (not one with WS_EX_NOACTIVATE). A window with
// the capture gets every tap.
//
// A key first updates the key state, then is matched against the registered
// hotkeys: a match posts WM_HOTKEY to the hotkey's window instead of passing
// the key on — on key down, and for a MOD_KEYUP hotkey on key up as well
// (with MOD_KEYUP in the modifiers). A key-down the hotkey took still lets its
// key-up through to the focus window unless the hotkey is a MOD_KEYUP one.
// Keys injected with keybd_event take the same path as hardware keys, so an
// injected key that matches a hotkey turns into WM_HOTKEY too (a program that
// injects its own hotkey's key receives its own WM_HOTKEY). Other keys go to
// the foreground thread's focus window (its active window when nothing has
// the focus) as WM_KEYDOWN/WM_KEYUP, or WM_SYSKEYDOWN/WM_SYSKEYUP while Alt
// is held without Ctrl.
//
// Every event is logged with where it went, for tests and the simulator.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "message_queue.h"

namespace platform::window {

enum class InputKind { TapDown, TapUp, KeyDown, KeyUp };
enum class InputSource { Device, Injected };  // Device: the simulator's screen and keys
enum class InputDelivery {
    Window,    // delivered to target as message
    Hotkey,    // turned into WM_HOTKEY for target (hotkeyId)
    Disabled,  // the window under the point is disabled
    Nowhere,   // no window to take it
    Outside,   // a tap outside the screen
    Invalid,   // a key code outside 1..254
};

struct InputRecord {
    uint64_t sequence = 0;
    InputKind kind = InputKind::KeyDown;
    InputSource source = InputSource::Device;
    int x = 0;  // taps: screen coordinates
    int y = 0;
    BYTE vk = 0;  // keys
    bool silent = false;
    InputDelivery delivery = InputDelivery::Nowhere;
    HWND target = nullptr;
    std::u16string targetClass;  // the target's class when the event was handled
    UINT message = 0;
    int hotkeyId = 0;
};

// The simulator's input. Thread: any.
InputRecord tapDown(int x, int y);
InputRecord tapUp(int x, int y);
InputRecord deviceKey(BYTE vk, bool down);
// keybd_event's way in (KEYEVENTF_KEYUP, KEYEVENTF_SILENT, KEYEVENTF_EXTENDEDKEY).
InputRecord injectKey(BYTE vk, BYTE scan, DWORD flags);

// The log, oldest first, and its clearing (the injected keys go with it).
std::vector<InputRecord> inputLog();
void clearInputLog();
// The keys programs injected since the log was cleared, written like
// "10 down silent, 41 down silent, 10 up silent", or "none".
std::string injectedKeysText();
// One line describing an event and where it went.
std::string describeInput(const InputRecord& record);

// Where the last tap was (screen coordinates).
POINT lastPointerPosition();

// The asynchronous key state (bit 0x80 down, bit 0x01 toggled), a copy.
KeyStateArray asyncKeyState();

// Forgets every held key, the log and the pointer position (a fresh boot).
void resetInput();

}  // namespace platform::window
