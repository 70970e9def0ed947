// ShowWindow, SetWindowPos, MoveWindow, BringWindowToTop, EnableWindow and
// the size notifications they cause.
#include "window_pos.h"

#include <algorithm>

#include "focus.h"
#include "messaging.h"
#include "notifications.h"
#include "paint.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/thread.h"
#include "screen.h"

namespace platform::window {

namespace {

using kernel::setLastError;

bool ownThread(const Window& window) { return window.threadId == kernel::currentThread().id(); }

// Puts the window into its sibling list after insertAfter (window lock held).
// Returns whether the order changed.
bool restack(Window& window, HWND insertAfter) {
    auto& siblings = siblingListOf(window);
    const auto before = siblings;
    if (insertAfter == HWND_TOPMOST) window.exStyle |= WS_EX_TOPMOST;
    if (insertAfter == HWND_NOTOPMOST) window.exStyle &= ~static_cast<DWORD>(WS_EX_TOPMOST);
    if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
        raiseGroup(window);
    } else {
        auto self = sharedFrom(window);
        std::erase(siblings, self);
        if (insertAfter == HWND_BOTTOM) {
            siblings.push_back(self);
        } else {
            auto at = std::find_if(siblings.begin(), siblings.end(),
                                   [&](const WindowPtr& w) { return w->handle == insertAfter; });
            siblings.insert(at == siblings.end() ? siblings.begin() : at + 1, self);
        }
        if (!window.parent)
            std::stable_partition(siblings.begin(), siblings.end(),
                                  [](const WindowPtr& w) { return (w->exStyle & WS_EX_TOPMOST) != 0; });
    }
    return before != siblings;
}

// Applies a placement (window lock held) and gathers the messages it causes.
void applyPlacement(Window& window, const WINDOWPOS& pos, NotificationBatch& batch) {
    const RECT oldRect = window.rect;
    const bool wasShowing = isShowing(window);
    const bool wasVisible = window.visibleStyle();
    const UINT flags = pos.flags;

    RECT rect = oldRect;
    if (!(flags & SWP_NOMOVE)) {
        rect.right = pos.x + (rect.right - rect.left);
        rect.bottom = pos.y + (rect.bottom - rect.top);
        rect.left = pos.x;
        rect.top = pos.y;
    }
    if (!(flags & SWP_NOSIZE)) {
        rect.right = rect.left + std::max(pos.cx, 0);
        rect.bottom = rect.top + std::max(pos.cy, 0);
    }
    const bool moved = rect.left != oldRect.left || rect.top != oldRect.top;
    const bool sized = (rect.right - rect.left) != (oldRect.right - oldRect.left) ||
                       (rect.bottom - rect.top) != (oldRect.bottom - oldRect.top);
    window.rect = rect;
    if (flags & SWP_SHOWWINDOW) window.style |= WS_VISIBLE;
    if (flags & SWP_HIDEWINDOW) window.style &= ~static_cast<DWORD>(WS_VISIBLE);
    const bool becameVisible = !wasVisible && window.visibleStyle();
    const bool becameHidden = wasVisible && !window.visibleStyle();
    const bool restacked = !(flags & SWP_NOZORDER) && restack(window, pos.hwndInsertAfter);
    const bool firstShow = becameVisible && !window.shownOnce;
    if (firstShow) window.shownOnce = true;
    if (sized && !window.parent) fitSurface(window);

    const bool showing = isShowing(window);
    if (window.parent && wasShowing && (moved || sized || becameHidden || restacked))
        invalidateParentArea(window, oldRect);
    if (showing && (!wasShowing || sized || (window.parent && (moved || restacked)) ||
                    (flags & SWP_FRAMECHANGED)))
        invalidateSubtree(window);
    if (!showing && wasShowing) validateSubtree(window);
    retargetDcs(window);

    if (moved || sized || restacked || becameVisible || becameHidden || firstShow || (flags & SWP_FRAMECHANGED)) {
        WINDOWPOS changed = pos;
        changed.x = rect.left;
        changed.y = rect.top;
        changed.cx = rect.right - rect.left;
        changed.cy = rect.bottom - rect.top;
        changed.flags = flags & ~static_cast<UINT>(SWP_NOMOVE | SWP_NOSIZE);
        if (!moved && !firstShow) changed.flags |= SWP_NOMOVE;
        if (!sized && !firstShow) changed.flags |= SWP_NOSIZE;
        batch.add(window.handle, WM_WINDOWPOSCHANGED, 0, 0, changed);
    }

    if (window.parent) {
        // A hidden child gives the focus back to its parent.
        if (becameHidden && window.queue) {
            auto focus = window.queue->focus ? findWindow(window.queue->focus) : nullptr;
            if (focus && (focus.get() == &window || isAncestor(window, *focus)))
                setFocusWindow(*window.queue, window.parent, batch);
        }
        return;
    }
    if (becameHidden) {
        activateNextAfter(window, batch);
    } else if (showing && !(flags & SWP_NOACTIVATE) && canActivate(window)) {
        makeForeground(window, false, WA_ACTIVE, batch);
    }
}

}  // namespace

RECT maximizedRect(const Window& window) {
    FrameMetrics frame = frameOf(window.style, window.exStyle);
    RECT area = workArea();
    if (window.parent) {
        RECT client = clientAreaInWindow(*window.parent);
        area = RECT{0, 0, client.right - client.left, client.bottom - client.top};
    }
    return RECT{area.left - frame.border, area.top - frame.border, area.right + frame.border,
                area.bottom + frame.border};
}

BOOL setWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    WINDOWPOS pos{hwnd, insertAfter, x, y, cx, cy, flags};
    bool own;
    {
        WindowLock lock(windowLock());
        auto window = resolvePlaceableWindow(hwnd);
        if (!window) return FALSE;
        own = ownThread(*window);
        if (flags & SWP_NOMOVE) {
            pos.x = window->rect.left;
            pos.y = window->rect.top;
        }
        if (flags & SWP_NOSIZE) {
            pos.cx = window->width();
            pos.cy = window->height();
        }
    }
    // Only a window of the calling thread can answer in time to change the placement.
    if (own && !(flags & SWP_NOSENDCHANGING))
        callWindowProcedure(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    pos.hwnd = hwnd;
    NotificationBatch batch;
    {
        WindowLock lock(windowLock());
        auto window = findWindow(hwnd);
        if (!window) {
            setLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        applyPlacement(*window, pos, batch);
    }
    batch.deliver();
    return TRUE;
}

BOOL showWindow(HWND hwnd, int command) {
    bool wasVisible;
    bool maximized;
    RECT target{};
    {
        WindowLock lock(windowLock());
        auto window = resolvePlaceableWindow(hwnd);
        if (!window) return FALSE;
        wasVisible = window->visibleStyle();
        maximized = window->maximized;
        switch (command) {
            case SW_HIDE:
            case SW_MINIMIZE:
            case SW_SHOW:
            case SW_SHOWNA:
            case SW_SHOWNOACTIVATE:
                break;
            case SW_SHOWNORMAL:
            case SW_RESTORE:
                target = window->restoreRect;
                window->maximized = false;
                break;
            case SW_MAXIMIZE:
                if (!window->maximized) window->restoreRect = window->rect;
                window->maximized = true;
                target = maximizedRect(*window);
                break;
            default:
                setLastError(ERROR_INVALID_PARAMETER);
                return FALSE;
        }
    }
    const bool hide = command == SW_HIDE || command == SW_MINIMIZE;
    if (hide) {
        if (!wasVisible) return FALSE;
        notifyWindow(hwnd, WM_SHOWWINDOW, FALSE, 0);
        setWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return TRUE;
    }
    if (!wasVisible) notifyWindow(hwnd, WM_SHOWWINDOW, TRUE, 0);
    UINT flags = SWP_SHOWWINDOW | SWP_NOZORDER;
    if (command == SW_SHOWNA || command == SW_SHOWNOACTIVATE) flags |= SWP_NOACTIVATE;
    const bool placed = command == SW_MAXIMIZE || ((command == SW_SHOWNORMAL || command == SW_RESTORE) && maximized);
    if (!placed) flags |= SWP_NOMOVE | SWP_NOSIZE;
    setWindowPos(hwnd, nullptr, target.left, target.top, target.right - target.left, target.bottom - target.top,
                 flags);
    return wasVisible;
}

}  // namespace platform::window

using namespace platform::window;
using platform::kernel::setLastError;

extern "C" {

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) { return showWindow(hWnd, nCmdShow); }

BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
    return setWindowPos(hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags);
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!bRepaint) flags |= SWP_NOREDRAW;
    return setWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight, flags);
}

BOOL WINAPI BringWindowToTop(HWND hWnd) {
    return setWindowPos(hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
    NotificationBatch batch;
    BOOL wasDisabled;
    {
        WindowLock lock(windowLock());
        auto window = resolveWindow(hWnd);
        if (!window) return FALSE;
        wasDisabled = !window->enabledStyle();
        if (bEnable && wasDisabled) {
            window->style &= ~static_cast<DWORD>(WS_DISABLED);
            batch.add(hWnd, WM_ENABLE, TRUE, 0);
        } else if (!bEnable && !wasDisabled) {
            window->style |= WS_DISABLED;
            // A disabled window keeps neither the focus nor the capture.
            for (auto& queue : allQueues()) {
                auto inside = [&](HWND hwnd) {
                    auto w = hwnd ? findWindow(hwnd) : nullptr;
                    return w && (w == window || isAncestor(*window, *w));
                };
                if (inside(queue->focus)) setFocusWindow(*queue, nullptr, batch);
                if (inside(queue->capture)) queue->capture = nullptr;
            }
            batch.add(hWnd, WM_ENABLE, FALSE, 0);
        }
    }
    batch.deliver();
    return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND hWnd) {
    WindowLock lock(windowLock());
    auto window = resolveWindow(hWnd);
    return window && window->enabledStyle();
}

BOOL WINAPI IsWindowVisible(HWND hWnd) {
    WindowLock lock(windowLock());
    auto window = resolveWindow(hWnd);
    return window && isShowing(*window);
}

}  // extern "C"
