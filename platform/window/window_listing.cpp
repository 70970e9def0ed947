// The window tree for the simulator.
#include "window_listing.h"

#include "focus.h"
#include "window.h"
#include "window_destroy.h"

namespace platform::window {

namespace {

RECT toScreen(const Window& window, RECT inWindow) {
    if (rectEmpty(inWindow)) return RECT{0, 0, 0, 0};
    POINT origin = windowOriginOnScreen(window);
    return RECT{inWindow.left + origin.x, inWindow.top + origin.y, inWindow.right + origin.x, inWindow.bottom + origin.y};
}

WindowInfo describe(const Window& window, HWND focus, const Window* foreground) {
    WindowInfo info;
    info.handle = window.handle;
    info.className = window.windowClass->name;
    info.title = window.text;
    info.style = window.style;
    info.exStyle = window.exStyle;
    info.id = window.id;
    info.visible = isShowing(window);
    info.enabled = window.enabledStyle();
    info.focus = focus == window.handle;
    info.foreground = foreground == &window;
    info.rect = windowRectOnScreen(window);
    info.rectInParent = window.rect;
    info.client = toScreen(window, clientAreaInWindow(window));
    CaptionButtons buttons = captionButtonsOf(window);
    info.okButton = toScreen(window, buttons.ok);
    info.closeButton = toScreen(window, buttons.close);
    info.parent = window.parent ? window.parent->handle : nullptr;
    info.owner = window.owner ? window.owner->handle : nullptr;
    info.processId = window.processId;
    info.threadId = window.threadId;
    for (const Window* w = window.parent; w; w = w->parent) ++info.depth;
    return info;
}

HWND keyboardFocus() {
    auto queue = foregroundQueue();
    return queue ? queue->focus : nullptr;
}

}  // namespace

std::vector<WindowInfo> listWindows() {
    WindowLock lock(windowLock());
    dropWindowsOfEndedThreads();
    const HWND focus = keyboardFocus();
    const Window* foreground = foregroundWindow();
    std::vector<WindowInfo> list;
    for (auto& window : allWindows()) list.push_back(describe(*window, focus, foreground));
    return list;
}

std::optional<WindowInfo> windowInfo(HWND hwnd) {
    WindowLock lock(windowLock());
    auto window = findWindow(hwnd);
    if (!window) return std::nullopt;
    return describe(*window, keyboardFocus(), foregroundWindow());
}

}  // namespace platform::window
