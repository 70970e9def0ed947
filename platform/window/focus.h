// Activation, keyboard focus and the foreground window.
//
// Each thread's queue has an active window (one of its top-level windows) and
// a focus window (the active window or one of its descendants). One thread is
// the foreground thread: its active window is the foreground window, at the
// top of the Z order, and its focus window receives the keys. Making another
// thread's window the foreground window deactivates the old foreground
// thread's active window and takes that thread's focus away.
//
// An owner and the pop-ups it owns move in the Z order as a group, the owned
// ones in front of their owners.
//
// All functions here: window lock held; the messages they cause are added to
// the batch in the order the platform sends them (WM_KILLFOCUS, WM_ACTIVATE
// with WA_INACTIVE to the old window, WM_ACTIVATE to the new one, which
// DefWindowProcW answers by taking the focus).
#pragma once

#include <windows.h>

#include "message_queue.h"
#include "notifications.h"
#include "window.h"

namespace platform::window {

// Brings the window's group to the top of the Z order (of its band: topmost
// windows stay ahead), the window itself and the windows it owns at the front.
void raiseGroup(Window& window);

// Activates a top-level window in its thread's queue (null: deactivates).
// how is WA_ACTIVE or WA_CLICKACTIVE. With foreground, the window's thread
// becomes the foreground thread and the group comes to the top.
void activateWindow(ThreadQueue& queue, Window* window, WORD how, bool foreground,
                    NotificationBatch& batch);

// SetForegroundWindow's work: reactivatePopup picks the window's last active
// owned pop-up when it is still there to activate.
bool makeForeground(Window& window, bool reactivatePopup, WORD how, NotificationBatch& batch);

// Moves the focus within a queue (null: no focus).
void setFocusWindow(ThreadQueue& queue, Window* window, NotificationBatch& batch);

// Passes activation on from a window that is being hidden, disabled or
// destroyed: to its owner if that can take it, else to the top-most
// top-level window that can.
void activateNextAfter(Window& leaving, NotificationBatch& batch);

// The foreground window and its queue (null when there is none).
Window* foregroundWindow();
std::shared_ptr<ThreadQueue> foregroundQueue();
void clearForeground();

// Whether the window can be activated: a visible, enabled top-level window
// without WS_EX_NOACTIVATE.
bool canActivate(const Window& window);

}  // namespace platform::window
