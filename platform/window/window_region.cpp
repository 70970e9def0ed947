// SetWindowRgn and GetWindowRgn: the window owns the region it is given, and
// hit-testing and drawing keep to it.
#include "paint.h"
#include "platform/gdi/gdi_objects.h"
#include "window.h"

using namespace platform::window;

extern "C" {

int WINAPI SetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw) {
    WindowLock lock(windowLock());
    auto window = resolveWindow(hWnd);
    if (!window) return 0;  // the caller keeps a region the call did not take
    std::optional<platform::gdi::Region> region;
    if (hRgn) {
        region = platform::gdi::takeRegion(hRgn);
        if (!region) return 0;
    }
    const bool showing = isShowing(*window);
    if (showing && window->parent) invalidateParentArea(*window, window->rect);
    window->region = std::move(region);
    if (showing && bRedraw) invalidateSubtree(*window);
    retargetDcs(*window);
    return 1;
}

int WINAPI GetWindowRgn(HWND hWnd, HRGN hRgn) {
    WindowLock lock(windowLock());
    auto window = resolveWindow(hWnd);
    if (!window || !window->region) return ERROR;
    if (!platform::gdi::setRegion(hRgn, *window->region)) return ERROR;
    return platform::gdi::regionType(*window->region);
}

}  // extern "C"
