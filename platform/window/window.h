// Windows and window classes: the records behind HWND values, the window tree
// and the Z order.
//
// The window system's internal interface, for the dialog manager, the shell
// and the simulator:
//   window.h          windows, classes, the tree, lookup, frame geometry
//   window_class.h    system classes ("Dialog" and the controls) for every process
//   messaging.h       sending, posting, notifications, the message-loop primitives
//   message_queue.h   the per-thread queues
//   focus.h           activation, focus, foreground, owner groups in the Z order
//   modal.h           the owner of a modal loop
//   window_pos.h      showing, moving, sizing
//   paint.h           update regions, window DCs, the frame
//   hit_test.h        the window under a point
//   desktop.h         the desktop window
//   input.h           the input stream, key state, the input log
//   hotkeys.h         the hotkey table
//   screen.h          metrics, rotation, work area, screenshots
//   window_listing.h  the window tree as the simulator shows it
//
// One window lock guards every window, class, the tree, the Z order, focus,
// activation, capture and hotkeys. It is never held while a window procedure
// runs (a procedure may send to another thread, whose procedure may need the
// lock). Lock order: window lock, then the kernel lock (message queues) or the
// GDI lock (surfaces); never the window lock while holding either of those.
//
// Window handles come from the kernel's handle table, so they are
// generation-checked, keep bit 0 clear and are owned by the creating process;
// a destroyed window's handle finds nothing.
#pragma once

#include <windows.h>
#include <winuser.h>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/region.h"
#include "platform/gdi/surface.h"
#include "platform/kernel/kernel_object.h"

namespace platform::window {

std::recursive_mutex& windowLock();
using WindowLock = std::unique_lock<std::recursive_mutex>;

class ThreadQueue;

struct WindowClass {
    std::u16string name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int classExtra = 0;
    int windowExtra = 0;
    HINSTANCE instance = nullptr;  // null for system classes
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    LPCWSTR menuName = nullptr;    // an id, or menuNameText
    std::u16string menuNameText;
    bool system = false;           // registered for every process
    DWORD ownerProcess = 0;        // the registering process (application classes)
    int liveWindows = 0;
};

// A window DC handed out by GetDC, GetWindowDC or BeginPaint, retargeted when
// the window moves, resizes or its neighbours change.
struct WindowDc {
    enum class Kind { Client, Whole, Paint };
    HDC dc = nullptr;
    Kind kind = Kind::Client;
    gdi::Region paintClip;  // Paint: the update region it was made for (client coordinates)
};

class Window final : public kernel::KernelObject {
public:
    std::string_view kindName() const override { return "window"; }
    bool closableByCloseHandle() const override { return false; }

    HWND handle = nullptr;
    std::shared_ptr<WindowClass> windowClass;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::u16string text;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    UINT_PTR id = 0;  // a child's control id
    LONG_PTR userData = 0;
    // The extra window bytes, one pointer-wide cell per 4-byte index (so a
    // pointer stored at DWL_USER survives on hosts with 8-byte pointers).
    std::vector<LONG_PTR> extra;

    // The tree. Children are in Z order, top first. Owner: a pop-up's owner.
    Window* parent = nullptr;
    Window* owner = nullptr;
    std::vector<std::shared_ptr<Window>> children;

    // Placement: the window rectangle in the parent's client coordinates (the
    // screen's for top-level windows).
    RECT rect{0, 0, 0, 0};
    bool maximized = false;
    RECT restoreRect{0, 0, 0, 0};

    // Who owns it.
    DWORD threadId = 0;
    DWORD processId = 0;
    std::shared_ptr<ThreadQueue> queue;

    // Life cycle.
    bool destroying = false;  // DestroyWindow has begun
    bool destroyed = false;   // unlinked; the handle no longer resolves
    bool shownOnce = false;   // the first WM_MOVE/WM_SIZE were sent on the first show

    // Painting. The update region is in client coordinates.
    gdi::Region update;
    bool eraseNeeded = false;
    bool frameDirty = true;
    std::vector<WindowDc> dcs;
    std::shared_ptr<gdi::Surface> surface;  // top-level windows only

    // A window region (window coordinates) given by SetWindowRgn.
    std::optional<gdi::Region> region;

    // Hit-testing passes through (a static text without notification).
    bool hitTransparent = false;
    // The caption button a tap went down on (HTCLOSE, kHitOkButton, HTHELP).
    LRESULT ncPressed = HTNOWHERE;
    HICON smallIcon = nullptr;  // WM_SETICON
    HICON bigIcon = nullptr;
    // Top-level windows: the owned pop-up that was active last.
    HWND lastActivePopup = nullptr;

    bool visibleStyle() const { return (style & WS_VISIBLE) != 0; }
    bool enabledStyle() const { return (style & WS_DISABLED) == 0; }
    bool isChild() const { return (style & WS_CHILD) != 0; }
    int width() const { return rect.right - rect.left; }
    int height() const { return rect.bottom - rect.top; }
};

using WindowPtr = std::shared_ptr<Window>;

// ---- lookup (any thread, no lock needed) --------------------------------------

// The live window behind a handle, or null (the desktop's root window included).
WindowPtr findWindow(HWND hwnd);
// As findWindow, setting ERROR_INVALID_WINDOW_HANDLE when there is none.
WindowPtr resolveWindow(HWND hwnd);
// As resolveWindow, for calls that only the window's own thread may make:
// ERROR_WINDOW_OF_OTHER_THREAD for another thread's window.
WindowPtr resolveOwnWindow(HWND hwnd);
// As resolveWindow, for calls that cannot move or show the root window:
// ERROR_ACCESS_DENIED for it.
WindowPtr resolvePlaceableWindow(HWND hwnd);

// ---- the tree (window lock held) ---------------------------------------------

// The root of the tree: covers the screen, owns no thread, never enumerated.
Window& rootWindow();
// Top-level windows in Z order, top first (WS_EX_TOPMOST ones lead).
std::vector<WindowPtr>& topLevelWindows();
// The list that holds the window: its parent's children or the top-level list.
std::vector<WindowPtr>& siblingListOf(const Window& window);
WindowPtr sharedFrom(Window& window);
Window& topLevelOf(Window& window);
bool isAncestor(const Window& ancestor, const Window& window);
// The window and all its ancestors are visible.
bool isShowing(const Window& window);
// Every window of the subtree, parents before children, in Z order.
void forEachInSubtree(Window& window, const std::function<void(Window&)>& visit);
// All live windows, top-level windows first in Z order, each followed by its subtree.
std::vector<WindowPtr> allWindows();

// ---- geometry (window lock held) ---------------------------------------------

struct FrameMetrics {
    int border = 0;
    int caption = 0;
};
FrameMetrics frameOf(DWORD style, DWORD exStyle);
// The client area in window coordinates.
RECT clientAreaInWindow(const Window& window);
// The window's top-left corner and client origin in screen coordinates.
POINT windowOriginOnScreen(const Window& window);
POINT clientOriginOnScreen(const Window& window);
RECT windowRectOnScreen(const Window& window);
// Where the window's (0, 0) lies in its top-level window's surface.
POINT windowOriginInSurface(const Window& window);

// The caption's buttons (window coordinates); empty rectangles when absent.
struct CaptionButtons {
    RECT close{0, 0, 0, 0};
    RECT ok{0, 0, 0, 0};
    RECT help{0, 0, 0, 0};
};
CaptionButtons captionButtonsOf(const Window& window);
// The hit-test code of a point in window coordinates (HTCLIENT, HTCAPTION, HTCLOSE...).
// The caption's OK button answers kHitOkButton.
inline constexpr LRESULT kHitOkButton = 0x4F4B;
LRESULT hitTestFrame(const Window& window, POINT inWindow);

bool rectEmpty(const RECT& rect);
RECT intersect(const RECT& a, const RECT& b);
bool sameRect(const RECT& a, const RECT& b);

}  // namespace platform::window
