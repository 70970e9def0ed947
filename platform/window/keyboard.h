// The keyboard: key states and the characters keys make (this terminal's
// layout is the US one).
#pragma once

#include <windows.h>

#include "message_queue.h"

namespace platform::window {

// Applies a key event: bit 0x80 follows the key, bit 0x01 toggles on each
// press. The generic Shift, Ctrl and Alt codes and their left and right codes
// are kept in step.
void applyKey(KeyStateArray& state, BYTE vk, bool down);

// The MOD_ALT, MOD_CONTROL, MOD_SHIFT and MOD_WIN bits of the keys held.
UINT heldModifiers(const KeyStateArray& state);

// The character TranslateMessage makes for a key press with that key state;
// 0 when the key makes none.
WCHAR characterForKey(BYTE vk, const KeyStateArray& state);

}  // namespace platform::window
