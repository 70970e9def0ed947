// DefWindowProcW: what a window does with the messages its procedure passes on.
#include <algorithm>

#include "messaging.h"
#include "paint.h"
#include "screen.h"
#include "window.h"

using namespace platform::window;

namespace {

constexpr WPARAM kIconSmall = 0;
constexpr WPARAM kIconBig = 1;

LRESULT setText(HWND hwnd, LPCWSTR text) {
    WindowLock lock(windowLock());
    auto window = findWindow(hwnd);
    if (!window) return FALSE;
    window->text = text ? std::u16string(text) : std::u16string();
    if (frameOf(window->style, window->exStyle).caption) {
        window->frameDirty = true;
        updatePaintPending(*window);
    }
    return TRUE;
}

LRESULT getText(HWND hwnd, WPARAM capacity, LPWSTR buffer) {
    WindowLock lock(windowLock());
    auto window = findWindow(hwnd);
    if (!window || !buffer || capacity == 0) return 0;
    size_t count = std::min(window->text.size(), static_cast<size_t>(capacity - 1));
    std::copy_n(window->text.begin(), count, buffer);
    buffer[count] = 0;
    return static_cast<LRESULT>(count);
}

LRESULT eraseBackground(HWND hwnd, HDC dc) {
    HBRUSH brush;
    RECT client;
    {
        WindowLock lock(windowLock());
        auto window = findWindow(hwnd);
        if (!window) return 0;
        brush = classBackgroundBrush(window->windowClass->background);
        RECT area = clientAreaInWindow(*window);
        client = RECT{0, 0, area.right - area.left, area.bottom - area.top};
    }
    if (!brush || !dc) return 0;
    FillRect(dc, &client, brush);
    return 1;
}

LRESULT paintFrameNow(HWND hwnd) {
    WindowLock lock(windowLock());
    auto window = findWindow(hwnd);
    if (!window) return 0;
    paintFrame(*window);
    window->frameDirty = false;
    updatePaintPending(*window);
    return 0;
}

LRESULT hitTest(HWND hwnd, LPARAM lParam) {
    WindowLock lock(windowLock());
    auto window = findWindow(hwnd);
    if (!window) return HTNOWHERE;
    POINT origin = windowOriginOnScreen(*window);
    POINT at{static_cast<SHORT>(LOWORD(lParam)) - origin.x, static_cast<SHORT>(HIWORD(lParam)) - origin.y};
    return hitTestFrame(*window, at);
}

void pressCaption(HWND hwnd, WPARAM hit) {
    WindowLock lock(windowLock());
    if (auto window = findWindow(hwnd))
        window->ncPressed = (hit == HTCLOSE || hit == static_cast<WPARAM>(kHitOkButton) || hit == HTHELP)
                                ? static_cast<LRESULT>(hit)
                                : HTNOWHERE;
}

// A caption button acts when the tap is released on the button it went down on.
void releaseCaption(HWND hwnd, WPARAM hit) {
    LRESULT pressed;
    {
        WindowLock lock(windowLock());
        auto window = findWindow(hwnd);
        if (!window) return;
        pressed = window->ncPressed;
        window->ncPressed = HTNOWHERE;
    }
    if (pressed == HTNOWHERE || static_cast<WPARAM>(pressed) != hit) return;
    if (hit == HTCLOSE) sendMessage(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    else if (hit == static_cast<WPARAM>(kHitOkButton)) sendMessage(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
}

void positionChanged(HWND hwnd, const WINDOWPOS* pos) {
    if (!pos) return;
    POINT clientOrigin;
    SIZE clientSize;
    bool maximized;
    {
        WindowLock lock(windowLock());
        auto window = findWindow(hwnd);
        if (!window) return;
        RECT client = clientAreaInWindow(*window);
        clientOrigin = POINT{window->rect.left + client.left, window->rect.top + client.top};
        clientSize = SIZE{client.right - client.left, client.bottom - client.top};
        maximized = window->maximized;
    }
    if (!(pos->flags & SWP_NOMOVE)) sendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(clientOrigin.x, clientOrigin.y));
    if (!(pos->flags & SWP_NOSIZE))
        sendMessage(hwnd, WM_SIZE, maximized ? SIZE_MAXIMIZED : SIZE_RESTORED, MAKELPARAM(clientSize.cx, clientSize.cy));
}

// A control's colours when its parent leaves WM_CTLCOLOR* to the default:
// the system colours of that kind of control, set on its DC, and its brush.
LRESULT defaultControlColors(UINT message, HDC dc) {
    int text = COLOR_WINDOWTEXT, background = COLOR_BTNFACE;
    switch (message) {
        case WM_CTLCOLORSTATIC:
            text = COLOR_STATICTEXT;
            background = COLOR_STATIC;
            break;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            background = COLOR_WINDOW;
            break;
        case WM_CTLCOLORSCROLLBAR:
            background = COLOR_SCROLLBAR;
            break;
        case WM_CTLCOLORBTN:
            text = COLOR_BTNTEXT;
            break;
        default:  // dialogs and message boxes
            break;
    }
    if (dc) {
        SetTextColor(dc, GetSysColor(text));
        SetBkColor(dc, GetSysColor(background));
    }
    return reinterpret_cast<LRESULT>(GetSysColorBrush(background));
}

LRESULT swapIcon(HWND hwnd, WPARAM which, HICON icon, bool set) {
    WindowLock lock(windowLock());
    auto window = findWindow(hwnd);
    if (!window || (which != kIconSmall && which != kIconBig)) return 0;
    HICON& slot = which == kIconBig ? window->bigIcon : window->smallIcon;
    HICON previous = slot;
    if (set) slot = icon;
    return reinterpret_cast<LRESULT>(previous);
}

}  // namespace

extern "C" LRESULT WINAPI DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    switch (Msg) {
        case WM_NCCREATE:
            return TRUE;
        case WM_CLOSE:
            DestroyWindow(hWnd);
            return 0;
        case WM_SETTEXT:
            return setText(hWnd, reinterpret_cast<LPCWSTR>(lParam));
        case WM_GETTEXT:
            return getText(hWnd, wParam, reinterpret_cast<LPWSTR>(lParam));
        case WM_GETTEXTLENGTH: {
            WindowLock lock(windowLock());
            auto window = findWindow(hWnd);
            return window ? static_cast<LRESULT>(window->text.size()) : 0;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            if (BeginPaint(hWnd, &ps)) EndPaint(hWnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return eraseBackground(hWnd, reinterpret_cast<HDC>(wParam));
        case WM_NCPAINT:
            return paintFrameNow(hWnd);
        case WM_NCHITTEST:
            return hitTest(hWnd, lParam);
        case WM_NCLBUTTONDOWN:
            pressCaption(hWnd, wParam);
            return 0;
        case WM_NCLBUTTONUP:
            releaseCaption(hWnd, wParam);
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE) sendMessage(hWnd, WM_CLOSE, 0, 0);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) SetFocus(hWnd);
            return 0;
        case WM_WINDOWPOSCHANGED:
            positionChanged(hWnd, reinterpret_cast<const WINDOWPOS*>(lParam));
            return 0;
        case WM_CANCELMODE:
            if (GetCapture() == hWnd) ReleaseCapture();
            return 0;
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            return defaultControlColors(Msg, reinterpret_cast<HDC>(wParam));
        case WM_SETICON:
            return swapIcon(hWnd, wParam, reinterpret_cast<HICON>(lParam), true);
        case WM_GETICON:
            return swapIcon(hWnd, wParam, nullptr, false);
        default:
            return 0;
    }
}
