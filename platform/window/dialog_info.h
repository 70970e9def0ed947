// What the simulator asks of the dialog manager: the message boxes on the
// screen and the cursor the user sees.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace platform::window {

struct MessageBoxInfo {
    HWND handle = nullptr;    // the box, a top-level window of class "Dialog"
    HWND owner = nullptr;     // the window it disabled (null when none)
    std::u16string text;
    std::u16string caption;   // the caption shown (the default one when none was given)
    UINT type = 0;            // the MB_ flags it was created with
    std::vector<int> buttons; // the ids of its buttons (IDOK, IDCANCEL, IDYES...) left to right
};

// The message boxes shown now, the top-most first. Thread: any.
std::vector<MessageBoxInfo> messageBoxes();

enum class CursorKind { None, Arrow, Wait };

// The cursor on the screen now (SetCursor's last choice, the wait cursor
// included). Thread: any.
CursorKind currentCursor();

}  // namespace platform::window
