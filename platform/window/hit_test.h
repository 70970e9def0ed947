// Which window is under a point of the screen.
#pragma once

#include <windows.h>

#include "window.h"

namespace platform::window {

struct HitResult {
    Window* window = nullptr;  // the window that takes the point
    LRESULT hit = HTNOWHERE;   // where in it (HTCLIENT, HTCAPTION, HTCLOSE, kHitOkButton...)
    bool disabled = false;     // the top-level window under the point is disabled
};

// The top-most visible window under the point whose region contains it,
// descending into visible, enabled, not hit-transparent children. A disabled
// top-level window is reported with disabled set. Window lock held.
HitResult hitTestScreen(POINT screen);

}  // namespace platform::window

namespace platform::window {
// Lets taps on the window fall through to what lies behind it (a static text
// that does not notify its parent). Thread: any.
void setHitTransparent(HWND hwnd, bool transparent);
}  // namespace platform::window
