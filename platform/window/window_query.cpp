// Questions about windows and their relations: GetWindow, GetParent,
// GetDlgItem, FindWindowW, EnumWindows, texts, rectangles and coordinates,
// and the point-to-window queries.
#include <algorithm>

#include "desktop.h"
#include "hit_test.h"
#include "messaging.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/thread.h"
#include "window.h"
#include "window_class.h"
#include "window_destroy.h"

namespace platform::window {

namespace {

HWND& shellDesktop() {
    static HWND hwnd = nullptr;
    return hwnd;
}

bool containsPoint(const Window& window, POINT inParent) {
    POINT at{inParent.x - window.rect.left, inParent.y - window.rect.top};
    if (at.x < 0 || at.y < 0 || at.x >= window.width() || at.y >= window.height()) return false;
    return !window.region || window.region->contains(at.x, at.y);
}

}  // namespace

void setShellDesktopWindow(HWND hwnd) {
    WindowLock lock(windowLock());
    shellDesktop() = hwnd;
}

HWND desktopWindow() {
    WindowLock lock(windowLock());
    if (shellDesktop() && findWindow(shellDesktop())) return shellDesktop();
    return rootWindow().handle;
}

HitResult hitTestScreen(POINT screen) {
    dropWindowsOfEndedThreads();
    HitResult result;
    for (auto& top : topLevelWindows()) {
        if (!top->visibleStyle() || !containsPoint(*top, screen)) continue;
        if (!top->enabledStyle()) {
            result.window = top.get();
            result.disabled = true;
            return result;
        }
        Window* window = top.get();
        for (bool descended = true; descended;) {
            descended = false;
            POINT origin = clientOriginOnScreen(*window);
            POINT inClient{screen.x - origin.x, screen.y - origin.y};
            RECT client = clientAreaInWindow(*window);
            POINT inWindow{screen.x - windowOriginOnScreen(*window).x, screen.y - windowOriginOnScreen(*window).y};
            if (inWindow.x < client.left || inWindow.y < client.top || inWindow.x >= client.right ||
                inWindow.y >= client.bottom)
                break;
            for (auto& child : window->children) {
                if (!child->visibleStyle() || !child->enabledStyle() || child->hitTransparent) continue;
                if (!containsPoint(*child, inClient)) continue;
                window = child.get();
                descended = true;
                break;
            }
        }
        POINT origin = windowOriginOnScreen(*window);
        result.window = window;
        result.hit = hitTestFrame(*window, POINT{screen.x - origin.x, screen.y - origin.y});
        return result;
    }
    return result;
}

}  // namespace platform::window

using namespace platform::window;
using platform::kernel::setLastError;

namespace {

HWND handleOf(const Window* window) { return window ? window->handle : nullptr; }

bool matchesText(const std::u16string& text, LPCWSTR wanted) { return sameClassName(text, wanted); }

bool matchesClass(const Window& window, LPCWSTR wanted) {
    if ((reinterpret_cast<ULONG_PTR>(wanted) >> 16) == 0)
        return window.windowClass->atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(wanted));
    return sameClassName(window.windowClass->name, wanted);
}

bool ownThread(const Window& window) { return window.threadId == platform::kernel::currentThread().id(); }

// The window, when the out-parameter is there to take the answer.
template <class T>
WindowPtr windowWithOut(HWND hwnd, T* out) {
    auto window = resolveWindow(hwnd);
    if (window && !out) {
        setLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return window;
}

BOOL shiftByClientOrigin(HWND hwnd, LPPOINT point, int sign) {
    WindowLock lock(windowLock());
    auto window = windowWithOut(hwnd, point);
    if (!window) return FALSE;
    POINT origin = clientOriginOnScreen(*window);
    point->x += sign * origin.x;
    point->y += sign * origin.y;
    return TRUE;
}

}  // namespace

extern "C" {

HWND WINAPI GetDesktopWindow(void) { return desktopWindow(); }

BOOL WINAPI IsWindow(HWND hWnd) { return findWindow(hWnd) != nullptr; }

HWND WINAPI GetWindow(HWND hWnd, UINT uCmd) {
    WindowLock lock(windowLock());
    auto window = resolveWindow(hWnd);
    if (!window) return nullptr;
    const bool root = window.get() == &rootWindow();
    if (uCmd == GW_CHILD) {
        const auto& children = root ? topLevelWindows() : window->children;
        return children.empty() ? nullptr : children.front()->handle;
    }
    if (uCmd == GW_OWNER) return handleOf(window->owner);
    if (root) return nullptr;
    const auto& siblings = siblingListOf(*window);
    auto it = std::find(siblings.begin(), siblings.end(), window);
    switch (uCmd) {
        case GW_HWNDFIRST:
            return siblings.front()->handle;
        case GW_HWNDLAST:
            return siblings.back()->handle;
        case GW_HWNDNEXT:
            return it + 1 < siblings.end() ? (*(it + 1))->handle : nullptr;
        case GW_HWNDPREV:
            return it > siblings.begin() ? (*(it - 1))->handle : nullptr;
        default:
            setLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
}

HWND WINAPI GetParent(HWND hWnd) {
    WindowLock lock(windowLock());
    auto window = resolveWindow(hWnd);
    if (!window) return nullptr;
    if (window->isChild()) return handleOf(window->parent);
    if (window->style & WS_POPUP) return handleOf(window->owner);
    return nullptr;
}

BOOL WINAPI IsChild(HWND hWndParent, HWND hWnd) {
    WindowLock lock(windowLock());
    auto parent = findWindow(hWndParent);
    auto window = findWindow(hWnd);
    return parent && window && isAncestor(*parent, *window);
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
    WindowLock lock(windowLock());
    auto dialog = resolveWindow(hDlg);
    if (!dialog) return nullptr;
    for (auto& child : dialog->children)
        if (static_cast<int>(child->id) == nIDDlgItem) return child->handle;
    setLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hWnd) {
    WindowLock lock(windowLock());
    auto window = resolveWindow(hWnd);
    if (!window || !window->isChild()) return 0;
    return static_cast<int>(window->id);
}

DWORD WINAPI GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId) {
    WindowLock lock(windowLock());
    auto window = resolveWindow(hWnd);
    if (!window) return 0;
    if (lpdwProcessId) *lpdwProcessId = window->processId;
    return window->threadId;
}

HWND WINAPI FindWindowW(LPCWSTR lpClassName, LPCWSTR lpWindowName) {
    WindowLock lock(windowLock());
    dropWindowsOfEndedThreads();
    for (auto& window : topLevelWindows()) {
        if (lpClassName && !matchesClass(*window, lpClassName)) continue;
        if (lpWindowName && !matchesText(window->text, lpWindowName)) continue;
        return window->handle;
    }
    return nullptr;
}

BOOL WINAPI EnumWindows(WNDENUMPROC lpEnumFunc, LPARAM lParam) {
    if (!lpEnumFunc) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<HWND> windows;
    {
        WindowLock lock(windowLock());
        dropWindowsOfEndedThreads();
        for (auto& window : topLevelWindows()) windows.push_back(window->handle);
    }
    for (HWND hwnd : windows) {
        if (!findWindow(hwnd)) continue;  // gone while the enumeration ran
        if (!lpEnumFunc(hwnd, lParam)) return FALSE;
    }
    return TRUE;
}

int WINAPI GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount) {
    bool own;
    {
        WindowLock lock(windowLock());
        auto window = resolveWindow(hWnd);
        if (!window) return 0;
        if (!lpString || nMaxCount <= 0) {
            setLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        own = ownThread(*window);
        if (!own) {
            // Another thread's window: its text as stored, without waiting for that thread.
            size_t count = std::min(window->text.size(), static_cast<size_t>(nMaxCount - 1));
            std::copy_n(window->text.begin(), count, lpString);
            lpString[count] = 0;
            return static_cast<int>(count);
        }
    }
    lpString[0] = 0;
    return static_cast<int>(
        callWindowProcedure(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpString)));
}

int WINAPI GetWindowTextLengthW(HWND hWnd) {
    {
        WindowLock lock(windowLock());
        auto window = resolveWindow(hWnd);
        if (!window) return 0;
        if (!ownThread(*window)) return static_cast<int>(window->text.size());
    }
    return static_cast<int>(callWindowProcedure(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL WINAPI SetWindowTextW(HWND hWnd, LPCWSTR lpString) {
    if (!findWindow(hWnd)) {
        setLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return sendMessage(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) ? TRUE : FALSE;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    WindowLock lock(windowLock());
    auto window = windowWithOut(hWnd, lpRect);
    if (!window) return FALSE;
    RECT client = clientAreaInWindow(*window);
    *lpRect = RECT{0, 0, client.right - client.left, client.bottom - client.top};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
    WindowLock lock(windowLock());
    auto window = windowWithOut(hWnd, lpRect);
    if (!window) return FALSE;
    *lpRect = windowRectOnScreen(*window);
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) { return shiftByClientOrigin(hWnd, lpPoint, 1); }

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) { return shiftByClientOrigin(hWnd, lpPoint, -1); }

int WINAPI MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints) {
    WindowLock lock(windowLock());
    POINT from{0, 0};
    POINT to{0, 0};
    if (hWndFrom) {
        auto window = resolveWindow(hWndFrom);
        if (!window) return 0;
        from = clientOriginOnScreen(*window);
    }
    if (hWndTo) {
        auto window = resolveWindow(hWndTo);
        if (!window) return 0;
        to = clientOriginOnScreen(*window);
    }
    const LONG dx = from.x - to.x;
    const LONG dy = from.y - to.y;
    if (lpPoints)
        for (UINT i = 0; i < cPoints; ++i) {
            lpPoints[i].x += dx;
            lpPoints[i].y += dy;
        }
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

BOOL WINAPI AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL, DWORD dwExStyle) {
    if (!lpRect) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    FrameMetrics frame = frameOf(dwStyle, dwExStyle);
    lpRect->left -= frame.border;
    lpRect->right += frame.border;
    lpRect->top -= frame.border + frame.caption;
    lpRect->bottom += frame.border;
    return TRUE;
}

HWND WINAPI WindowFromPoint(POINT Point) {
    WindowLock lock(windowLock());
    HitResult hit = hitTestScreen(Point);
    if (!hit.window || hit.disabled) return nullptr;
    return hit.window->handle;
}

HWND WINAPI ChildWindowFromPoint(HWND hWndParent, POINT Point) {
    WindowLock lock(windowLock());
    auto parent = resolveWindow(hWndParent);
    if (!parent) return nullptr;
    RECT client = clientAreaInWindow(*parent);
    if (Point.x < 0 || Point.y < 0 || Point.x >= client.right - client.left || Point.y >= client.bottom - client.top)
        return nullptr;
    for (auto& child : parent->children) {
        POINT at{Point.x - child->rect.left, Point.y - child->rect.top};
        if (at.x < 0 || at.y < 0 || at.x >= child->width() || at.y >= child->height()) continue;
        if (child->region && !child->region->contains(at.x, at.y)) continue;
        return child->handle;
    }
    return parent->handle;
}

}  // extern "C"

void platform::window::setHitTransparent(HWND hwnd, bool transparent) {
    WindowLock lock(windowLock());
    if (auto window = findWindow(hwnd)) window->hitTransparent = transparent;
}
