// CreateWindowExW: class, parent or owner, place, the creation messages, and
// the first show for WS_VISIBLE.
#include <algorithm>

#include "message_queue.h"
#include "messaging.h"
#include "paint.h"
#include "platform/kernel/current.h"
#include "platform/kernel/handle_table.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/process.h"
#include "platform/kernel/thread.h"
#include "screen.h"
#include "window.h"
#include "window_class.h"
#include "window_destroy.h"
#include "window_pos.h"

namespace platform::window {
namespace {

using kernel::setLastError;

struct Placement {
    int x, y, cx, cy;
};

// CW_USEDEFAULT: a top-level window takes the work area (from its given
// corner, when only the size is left to the system); a child takes 0.
Placement resolvePlacement(int x, int y, int cx, int cy, bool topLevel) {
    RECT area = workArea();
    if (x == CW_USEDEFAULT) {
        x = topLevel ? area.left : 0;
        y = topLevel ? area.top : 0;
    } else if (y == CW_USEDEFAULT) {
        y = topLevel ? area.top : 0;
    }
    if (cx == CW_USEDEFAULT) {
        cx = topLevel ? std::max<int>(0, area.right - x) : 0;
        cy = topLevel ? std::max<int>(0, area.bottom - y) : 0;
    } else if (cy == CW_USEDEFAULT) {
        cy = topLevel ? std::max<int>(0, area.bottom - y) : 0;
    }
    return Placement{x, y, std::max(cx, 0), std::max(cy, 0)};
}

void insertIntoTree(Window& window) {
    auto shared = sharedFrom(window);
    if (window.parent) {
        // Children go behind their siblings: the first one made comes first.
        window.parent->children.push_back(shared);
        return;
    }
    auto& list = topLevelWindows();
    auto at = list.begin();
    if (!(window.exStyle & WS_EX_TOPMOST))
        at = std::find_if(list.begin(), list.end(), [](const WindowPtr& w) { return !(w->exStyle & WS_EX_TOPMOST); });
    list.insert(at, shared);
}

// Makes the window record and puts it into the tree (window lock held).
WindowPtr makeWindow(const std::shared_ptr<WindowClass>& cls, DWORD exStyle, LPCWSTR name, DWORD style,
                     const Placement& place, Window* parent, Window* owner, HMENU menu,
                     HINSTANCE instance) {
    auto window = std::make_shared<Window>();
    window->windowClass = cls;
    window->style = style & ~WS_VISIBLE;
    window->exStyle = exStyle;
    if (name) window->text = name;
    window->proc = cls->proc;
    window->instance = instance;
    window->id = parent ? reinterpret_cast<UINT_PTR>(menu) : 0;
    window->extra.assign(static_cast<size_t>((cls->windowExtra + 3) / 4), 0);
    window->parent = parent;
    window->owner = owner;
    window->rect = RECT{place.x, place.y, place.x + place.cx, place.y + place.cy};
    window->restoreRect = window->rect;
    auto& thread = kernel::currentThread();
    window->threadId = thread.id();
    window->processId = thread.process().id();
    window->queue = currentQueue();
    window->handle = static_cast<HWND>(kernel::handleTable().insert(window));
    if (!window->handle) return nullptr;
    insertIntoTree(*window);
    if (!parent) fitSurface(*window);
    ++cls->liveWindows;
    ++thread.windowCount;
    return window;
}

}  // namespace
}  // namespace platform::window

using namespace platform::window;
using platform::kernel::setLastError;

extern "C" HWND WINAPI CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName,
                                       DWORD dwStyle, int X, int Y, int nWidth, int nHeight,
                                       HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                                       LPVOID lpParam) {
    installProcessExitHook();
    CREATESTRUCTW create{};
    HWND hwnd = nullptr;
    {
        WindowLock lock(windowLock());
        auto cls = findClassForCreate(lpClassName, hInstance);
        if (!cls) return nullptr;

        Window* parent = nullptr;
        Window* owner = nullptr;
        if (hWndParent) {
            auto given = resolveWindow(hWndParent);
            if (!given) return nullptr;
            // An overlapped window given a parent becomes its child, as on this platform.
            if (!(dwStyle & WS_POPUP)) dwStyle |= WS_CHILD;
            if (dwStyle & WS_CHILD) {
                parent = given.get() == &rootWindow() ? nullptr : given.get();
                if (!parent) dwStyle &= ~WS_CHILD;
            } else if (given.get() != &rootWindow()) {
                owner = &topLevelOf(*given);
            }
        } else if (dwStyle & WS_CHILD) {
            setLastError(ERROR_TLW_WITH_WSCHILD);
            return nullptr;
        }
        if ((dwStyle & WS_CHILD) && (dwStyle & WS_POPUP)) dwStyle &= ~WS_POPUP;

        Placement place = resolvePlacement(X, Y, nWidth, nHeight, parent == nullptr);
        auto window = makeWindow(cls, dwExStyle, lpWindowName, dwStyle, place, parent, owner, hMenu, hInstance);
        if (!window) {
            setLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        hwnd = window->handle;
        create.lpCreateParams = lpParam;
        create.hInstance = hInstance;
        create.hMenu = hMenu;
        create.hwndParent = hWndParent;
        create.x = place.x;
        create.y = place.y;
        create.cx = place.cx;
        create.cy = place.cy;
        create.style = static_cast<LONG>(dwStyle);
        create.lpszName = lpWindowName;
        create.lpszClass = lpClassName;
        create.dwExStyle = dwExStyle;
    }

    LPARAM createParam = reinterpret_cast<LPARAM>(&create);
    if (!callWindowProcedure(hwnd, WM_NCCREATE, 0, createParam)) {
        destroyWindowTree(hwnd, false);
        return nullptr;
    }
    if (callWindowProcedure(hwnd, WM_CREATE, 0, createParam) == -1) {
        destroyWindowTree(hwnd, true);
        return nullptr;
    }
    if (!findWindow(hwnd)) return nullptr;  // destroyed during creation
    if (dwStyle & WS_VISIBLE) showWindow(hwnd, (dwStyle & WS_CHILD) ? SW_SHOWNA : SW_SHOW);
    return findWindow(hwnd) ? hwnd : nullptr;
}
