// Update regions, WM_PAINT, device contexts on windows and the frame.
//
// A window that shows on the screen collects an update region (client
// coordinates); while it has one, or its frame needs drawing, its thread's
// queue yields WM_PAINT for it. A window that is hidden has nothing to paint:
// hiding forgets its update region, showing invalidates it whole.
//
// Children draw into their top-level window's surface at their place, clipped
// to their ancestors' client areas, to every window region on the way, less
// their visible children and the visible siblings in front of them (on this
// platform every window clips its children and siblings).
//
// All functions: window lock held.
#pragma once

#include <windows.h>

#include "platform/gdi/region.h"
#include "platform/gdi/surface.h"
#include "window.h"

namespace platform::window {

// Adds to the update region (client coordinates); erase asks for WM_ERASEBKGND.
void invalidateClient(Window& window, const gdi::Region& area, bool erase);
void invalidateWhole(Window& window, bool erase);  // client area and frame
// Invalidates the window and every showing window of its subtree.
void invalidateSubtree(Window& window);
// Forgets what the window and its subtree had to paint (it is hidden).
void validateSubtree(Window& window);
void validateClient(Window& window, const gdi::Region* area);  // null: everything
// The part of the parent's client area (parent client coordinates) to repaint.
void invalidateParentArea(Window& child, const RECT& inParentClient);
// Whether the window still has something to paint; keeps the queue's list right.
void updatePaintPending(Window& window);

// Where a DC of the window draws, in its top-level window's surface.
gdi::DrawTarget drawTargetFor(Window& window, WindowDc::Kind kind, const gdi::Region* paintClip);
// Points every DC of the top-level window's subtree at its window's place.
void retargetDcs(Window& anyInTree);
// Releases every DC of the window (it is going away).
void releaseDcs(Window& window);
// Gives a top-level window a surface of its size.
void fitSurface(Window& topLevel);

// Draws the frame (border, caption, caption buttons) into the surface.
void paintFrame(Window& window);

// Sends WM_NCPAINT to a window of the calling thread and takes the frame off
// its list of things to paint, whether or not the procedure passed the message
// on (else WM_PAINT would come back for ever). The window lock is not held.
void sendFramePaint(HWND hwnd);

// The part of the screen a top-level window shows (screen coordinates): its
// rectangle within its region, within the screen.
gdi::Region visibleOnScreen(const Window& topLevel);

}  // namespace platform::window
