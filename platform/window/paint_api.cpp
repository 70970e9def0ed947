// InvalidateRect, ValidateRect, UpdateWindow, BeginPaint, EndPaint, GetDC,
// GetWindowDC, ReleaseDC.
#include <algorithm>

#include "messaging.h"
#include "paint.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/thread.h"

using namespace platform::window;
using platform::gdi::Region;
using platform::kernel::setLastError;

namespace {

bool ownThread(const Window& window) { return window.threadId == platform::kernel::currentThread().id(); }

Region clientRegion(const Window& window, const RECT* rect) {
    RECT client = clientAreaInWindow(window);
    RECT whole{0, 0, client.right - client.left, client.bottom - client.top};
    return Region(rect ? *rect : whole);
}

void invalidateEverything() {
    for (auto& window : allWindows()) invalidateWhole(*window, true);
}

// The window behind a DC call: a null handle means the desktop (the root window).
WindowPtr dcWindow(HWND hwnd) {
    if (!hwnd) return sharedFrom(rootWindow());
    return resolveWindow(hwnd);
}

HDC makeDc(HWND hwnd, WindowDc::Kind kind) {
    WindowLock lock(windowLock());
    auto window = dcWindow(hwnd);
    if (!window) return nullptr;
    HDC dc = platform::gdi::createWindowDC(drawTargetFor(*window, kind, nullptr));
    if (!dc) return nullptr;
    window->dcs.push_back(WindowDc{dc, kind, Region()});
    return dc;
}

// Runs WM_NCPAINT and WM_PAINT for one window now (its own thread) or asks
// its thread to (another thread's window).
void paintNow(HWND hwnd) {
    bool frame;
    bool own;
    {
        WindowLock lock(windowLock());
        auto window = findWindow(hwnd);
        if (!window || !isShowing(*window)) return;
        frame = window->frameDirty;
        own = ownThread(*window);
        if (!frame && window->update.empty()) return;
    }
    if (!own) {
        notifyWindow(hwnd, WM_PAINT, 0, 0);
        return;
    }
    if (frame) sendFramePaint(hwnd);
    callWindowProcedure(hwnd, WM_PAINT, 0, 0);
}

}  // namespace

extern "C" {

BOOL WINAPI InvalidateRect(HWND hWnd, CONST RECT* lpRect, BOOL bErase) {
    WindowLock lock(windowLock());
    if (!hWnd) {
        invalidateEverything();
        return TRUE;
    }
    auto window = resolveWindow(hWnd);
    if (!window) return FALSE;
    invalidateClient(*window, clientRegion(*window, lpRect), bErase != FALSE);
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hWnd, CONST RECT* lpRect) {
    WindowLock lock(windowLock());
    if (!hWnd) {
        // The platform's rule: without a window everything is redrawn.
        invalidateEverything();
        return TRUE;
    }
    auto window = resolveWindow(hWnd);
    if (!window) return FALSE;
    Region area = clientRegion(*window, lpRect);
    validateClient(*window, lpRect ? &area : nullptr);
    return TRUE;
}

BOOL WINAPI InvalidateRgn(HWND hWnd, HRGN hRgn, BOOL bErase) {
    WindowLock lock(windowLock());
    auto window = resolveWindow(hWnd);
    if (!window) return FALSE;
    if (!hRgn) {
        invalidateClient(*window, clientRegion(*window, nullptr), bErase != FALSE);
        return TRUE;
    }
    auto region = platform::gdi::regionOf(hRgn);
    if (!region) return FALSE;
    invalidateClient(*window, *region, bErase != FALSE);
    return TRUE;
}

BOOL WINAPI ValidateRgn(HWND hWnd, HRGN hRgn) {
    WindowLock lock(windowLock());
    auto window = resolveWindow(hWnd);
    if (!window) return FALSE;
    if (!hRgn) {
        validateClient(*window, nullptr);
        return TRUE;
    }
    auto region = platform::gdi::regionOf(hRgn);
    if (!region) return FALSE;
    validateClient(*window, &*region);
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase) {
    bool erase;
    BOOL nonEmpty;
    {
        WindowLock lock(windowLock());
        auto window = resolveWindow(hWnd);
        if (!window) return FALSE;
        nonEmpty = !window->update.empty();
        if (lpRect) *lpRect = window->update.box();
        erase = bErase && nonEmpty && window->eraseNeeded && ownThread(*window);
    }
    if (erase) {
        HDC dc = GetDC(hWnd);
        if (dc) {
            if (callWindowProcedure(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0)) {
                WindowLock lock(windowLock());
                if (auto window = findWindow(hWnd)) window->eraseNeeded = false;
            }
            ReleaseDC(hWnd, dc);
        }
    }
    return nonEmpty;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
    std::vector<HWND> order;
    {
        WindowLock lock(windowLock());
        auto window = resolveWindow(hWnd);
        if (!window) return FALSE;
        forEachInSubtree(*window, [&](Window& w) { order.push_back(w.handle); });
    }
    for (HWND hwnd : order) paintNow(hwnd);
    return TRUE;
}

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT lpPaint) {
    bool frame;
    {
        WindowLock lock(windowLock());
        auto window = resolveWindow(hwnd);
        if (!window) return nullptr;
        if (!lpPaint) {
            setLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        frame = window->frameDirty && ownThread(*window);
    }
    if (frame) sendFramePaint(hwnd);

    HDC dc;
    bool erase;
    Region painted;
    {
        WindowLock lock(windowLock());
        auto window = resolveWindow(hwnd);
        if (!window) return nullptr;
        painted = window->update;
        erase = window->eraseNeeded;
        window->update = Region();
        window->eraseNeeded = false;
        updatePaintPending(*window);
        dc = platform::gdi::createWindowDC(drawTargetFor(*window, WindowDc::Kind::Paint, &painted));
        if (!dc) return nullptr;
        window->dcs.push_back(WindowDc{dc, WindowDc::Kind::Paint, painted});
    }
    *lpPaint = PAINTSTRUCT{};
    lpPaint->hdc = dc;
    lpPaint->rcPaint = painted.box();
    lpPaint->fErase = FALSE;
    if (erase) lpPaint->fErase = callWindowProcedure(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    return dc;
}

BOOL WINAPI EndPaint(HWND hWnd, CONST PAINTSTRUCT* lpPaint) {
    if (!lpPaint) return TRUE;
    WindowLock lock(windowLock());
    auto window = findWindow(hWnd);
    if (!window) return TRUE;
    auto& dcs = window->dcs;
    auto it = std::find_if(dcs.begin(), dcs.end(), [&](const WindowDc& dc) {
        return dc.dc == lpPaint->hdc && dc.kind == WindowDc::Kind::Paint;
    });
    if (it != dcs.end()) {
        platform::gdi::releaseWindowDC(it->dc);
        dcs.erase(it);
    }
    return TRUE;
}

HDC WINAPI GetDC(HWND hWnd) { return makeDc(hWnd, WindowDc::Kind::Client); }

HDC WINAPI GetWindowDC(HWND hWnd) { return makeDc(hWnd, WindowDc::Kind::Whole); }

int WINAPI ReleaseDC(HWND hWnd, HDC hDC) {
    WindowLock lock(windowLock());
    auto window = hWnd ? findWindow(hWnd) : sharedFrom(rootWindow());
    if (!window || !hDC) return 0;
    auto& dcs = window->dcs;
    auto it = std::find_if(dcs.begin(), dcs.end(), [&](const WindowDc& dc) {
        return dc.dc == hDC && dc.kind != WindowDc::Kind::Paint;
    });
    if (it == dcs.end()) return 0;
    platform::gdi::releaseWindowDC(it->dc);
    dcs.erase(it);
    return 1;
}

}  // extern "C"
