// GetWindowLongW, SetWindowLongW and their pointer-wide forms; procedure tokens.
#include <algorithm>
#include <vector>

#include "messaging.h"
#include "paint.h"
#include "platform/kernel/current.h"
#include "platform/kernel/last_error.h"
#include "window.h"
#include "window_procedures.h"

namespace platform::window {

namespace {

constexpr uint32_t kTokenBase = 0xFFFF0000u;
constexpr bool kWidePointers = sizeof(void*) > sizeof(LONG);

std::vector<WNDPROC>& tokens() {
    static auto* list = new std::vector<WNDPROC>;
    return *list;
}

}  // namespace

bool isProcedureToken(LONG_PTR value) {
    if (!kWidePointers) return false;
    const auto raw = static_cast<uint64_t>(value);
    const uint32_t high = static_cast<uint32_t>(raw >> 32);
    const uint32_t low = static_cast<uint32_t>(raw);
    return (high == 0 || high == 0xFFFFFFFFu) && (low & 0xFFFF0000u) == kTokenBase;
}

LONG procedureToLong(WNDPROC proc) {
    if (!kWidePointers) return static_cast<LONG>(reinterpret_cast<LONG_PTR>(proc));
    if (!proc) return 0;
    WindowLock lock(windowLock());
    auto& list = tokens();
    auto it = std::find(list.begin(), list.end(), proc);
    size_t index = static_cast<size_t>(it - list.begin());
    if (it == list.end()) {
        if (list.size() >= 0xFFFF) return 0;
        list.push_back(proc);
    }
    return static_cast<LONG>(kTokenBase | static_cast<uint32_t>(index + 1));
}

WNDPROC procedureFromValue(LONG_PTR value) {
    if (!isProcedureToken(value)) return reinterpret_cast<WNDPROC>(value);
    WindowLock lock(windowLock());
    const uint32_t index = static_cast<uint32_t>(value) & 0xFFFFu;
    if (index == 0 || index > tokens().size()) return nullptr;
    return tokens()[index - 1];
}

}  // namespace platform::window

using namespace platform::window;
using platform::kernel::setLastError;

namespace {

// The cell behind a non-negative index: 4-aligned and inside the extra bytes.
LONG_PTR* extraCell(Window& window, int index) {
    if (index < 0 || index % 4 != 0 || index + 4 > window.windowClass->windowExtra) return nullptr;
    return &window.extra[static_cast<size_t>(index / 4)];
}

bool readLong(HWND hwnd, int index, bool wide, LONG_PTR& value) {
    WindowLock lock(windowLock());
    auto window = resolveWindow(hwnd);
    if (!window) return false;
    switch (index) {
        case GWL_WNDPROC:
            value = wide ? reinterpret_cast<LONG_PTR>(window->proc) : procedureToLong(window->proc);
            return true;
        case GWL_STYLE:
            value = static_cast<LONG>(window->style);
            return true;
        case GWL_EXSTYLE:
            value = static_cast<LONG>(window->exStyle);
            return true;
        case GWL_ID:
            value = static_cast<LONG_PTR>(window->id);
            return true;
        case GWL_USERDATA:
            value = window->userData;
            return true;
        default:
            if (LONG_PTR* cell = extraCell(*window, index)) {
                value = *cell;
                return true;
            }
            setLastError(ERROR_INVALID_INDEX);
            return false;
    }
}

// A new style: the frame and the client area may have moved, so the window
// repaints and its DCs follow (window lock held).
void styleChanged(Window& window) {
    if (!window.parent) fitSurface(window);
    if (isShowing(window)) invalidateSubtree(window);
    else validateSubtree(window);
    retargetDcs(window);
}

LONG_PTR writeLong(HWND hwnd, int index, LONG_PTR value, bool wide) {
    DWORD oldStyle = 0;
    DWORD newStyle = 0;
    bool own = false;
    {
        WindowLock lock(windowLock());
        auto window = resolveWindow(hwnd);
        if (!window) return 0;
        own = window->threadId == platform::kernel::currentThreadId();
        if (index == GWL_STYLE || index == GWL_EXSTYLE) {
            oldStyle = index == GWL_STYLE ? window->style : window->exStyle;
            newStyle = static_cast<DWORD>(value);
        }
    }
    STYLESTRUCT styles{oldStyle, newStyle};
    const bool styleIndex = index == GWL_STYLE || index == GWL_EXSTYLE;
    if (styleIndex && own)
        callWindowProcedure(hwnd, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&styles));

    LONG_PTR previous = 0;
    {
        WindowLock lock(windowLock());
        auto window = resolveWindow(hwnd);
        if (!window) return 0;
        switch (index) {
            case GWL_WNDPROC: {
                if (window->processId != platform::kernel::currentProcessId()) {
                    setLastError(ERROR_ACCESS_DENIED);
                    return 0;
                }
                // A LONG on a host with wider pointers can only be a token handed out before.
                WNDPROC proc = wide ? reinterpret_cast<WNDPROC>(value)
                               : (sizeof(void*) > sizeof(LONG) && !isProcedureToken(value)) ? nullptr
                                                                                           : procedureFromValue(value);
                if (!proc) {
                    setLastError(ERROR_INVALID_PARAMETER);
                    return 0;
                }
                previous = wide ? reinterpret_cast<LONG_PTR>(window->proc) : procedureToLong(window->proc);
                window->proc = proc;
                return previous;
            }
            case GWL_STYLE:
                previous = static_cast<LONG>(window->style);
                window->style = styles.styleNew;
                styleChanged(*window);
                break;
            case GWL_EXSTYLE:
                previous = static_cast<LONG>(window->exStyle);
                window->exStyle = styles.styleNew;
                styleChanged(*window);
                break;
            case GWL_ID:
                previous = static_cast<LONG_PTR>(window->id);
                window->id = static_cast<UINT_PTR>(value);
                return previous;
            case GWL_USERDATA:
                previous = window->userData;
                window->userData = value;
                return previous;
            default: {
                LONG_PTR* cell = extraCell(*window, index);
                if (!cell) {
                    setLastError(ERROR_INVALID_INDEX);
                    return 0;
                }
                previous = *cell;
                *cell = value;
                return previous;
            }
        }
    }
    if (own)
        callWindowProcedure(hwnd, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&styles));
    return previous;
}

}  // namespace

extern "C" {

LONG WINAPI GetWindowLongW(HWND hWnd, int nIndex) {
    LONG_PTR value = 0;
    return readLong(hWnd, nIndex, false, value) ? static_cast<LONG>(value) : 0;
}

LONG WINAPI SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong) {
    return static_cast<LONG>(writeLong(hWnd, nIndex, dwNewLong, false));
}

LONG_PTR WINAPI GetWindowLongPtrW(HWND hWnd, int nIndex) {
    LONG_PTR value = 0;
    return readLong(hWnd, nIndex, true, value) ? value : 0;
}

LONG_PTR WINAPI SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    return writeLong(hWnd, nIndex, dwNewLong, true);
}

LRESULT WINAPI CallWindowProcW(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc = procedureFromValue(reinterpret_cast<LONG_PTR>(lpPrevWndFunc));
    if (!proc) {
        setLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return proc(hWnd, Msg, wParam, lParam);
}

}  // extern "C"
