// The window lock, the root window, the Z-ordered tree, lookup of handles, and
// the frame geometry every other part measures windows with.
#include <algorithm>

#include "message_queue.h"
#include "paint.h"
#include "platform/kernel/current.h"
#include "platform/kernel/handle_table.h"
#include "platform/kernel/last_error.h"
#include "screen.h"
#include "window.h"
#include "window_destroy.h"

namespace platform::window {

std::recursive_mutex& windowLock() {
    static auto* lock = new std::recursive_mutex;
    return *lock;
}

namespace {

struct Tree {
    std::vector<WindowPtr> topLevel;
    WindowPtr root;
};

Tree& tree() {
    static auto* instance = new Tree;
    return *instance;
}

}  // namespace

Window& rootWindow() {
    WindowLock lock(windowLock());
    Tree& t = tree();
    if (!t.root) {
        auto root = std::make_shared<Window>();
        auto cls = std::make_shared<WindowClass>();
        cls->name = u"Desktop";
        cls->system = true;
        root->windowClass = cls;
        root->style = WS_VISIBLE;
        root->handle = static_cast<HWND>(kernel::handleTable().insert(root, kernel::kHostProcessId));
        t.root = root;
    }
    ScreenSize size = screenSize();
    Window& root = *t.root;
    root.rect = RECT{0, 0, size.width, size.height};
    if (!root.surface || root.surface->width() != size.width || root.surface->height() != size.height) {
        // The root's surface is the desktop's picture behind every window.
        fitSurface(root);
        std::lock_guard gdi(gdi::gdiLock());
        const uint16_t desktop = gdi::toRgb565(systemColor(COLOR_DESKTOP & ~SYS_COLOR_INDEX_FLAG));
        for (int y = 0; y < root.surface->height(); ++y) std::fill_n(root.surface->row(y), root.surface->width(), desktop);
    }
    return root;
}

std::vector<WindowPtr>& topLevelWindows() { return tree().topLevel; }

std::vector<WindowPtr>& siblingListOf(const Window& window) {
    return window.parent ? window.parent->children : tree().topLevel;
}

WindowPtr sharedFrom(Window& window) {
    return std::static_pointer_cast<Window>(window.shared_from_this());
}

WindowPtr findWindow(HWND hwnd) {
    auto window = kernel::handleTable().lookupAs<Window>(hwnd);
    if (!window) return nullptr;
    WindowLock lock(windowLock());
    if (window->destroyed) return nullptr;
    // A window whose thread has ended goes with it.
    if (window->queue && queueEnded(*window->queue)) {
        dropWindowsOfEndedThreads();
        return nullptr;
    }
    return window;
}

WindowPtr resolveWindow(HWND hwnd) {
    auto window = findWindow(hwnd);
    if (!window) kernel::setLastError(ERROR_INVALID_WINDOW_HANDLE);
    return window;
}

WindowPtr resolveOwnWindow(HWND hwnd) {
    auto window = resolveWindow(hwnd);
    if (window && window->threadId != kernel::currentThreadId()) {
        kernel::setLastError(ERROR_WINDOW_OF_OTHER_THREAD);
        return nullptr;
    }
    return window;
}

WindowPtr resolvePlaceableWindow(HWND hwnd) {
    auto window = resolveWindow(hwnd);
    if (window && window.get() == &rootWindow()) {
        kernel::setLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return window;
}

Window& topLevelOf(Window& window) {
    Window* w = &window;
    while (w->parent) w = w->parent;
    return *w;
}

bool isAncestor(const Window& ancestor, const Window& window) {
    for (const Window* w = window.parent; w; w = w->parent)
        if (w == &ancestor) return true;
    return false;
}

bool isShowing(const Window& window) {
    for (const Window* w = &window; w; w = w->parent)
        if (!w->visibleStyle()) return false;
    return true;
}

void forEachInSubtree(Window& window, const std::function<void(Window&)>& visit) {
    visit(window);
    auto children = window.children;  // a visit may not change the list under us
    for (auto& child : children) forEachInSubtree(*child, visit);
}

std::vector<WindowPtr> allWindows() {
    std::vector<WindowPtr> result;
    auto topLevel = tree().topLevel;
    for (auto& window : topLevel)
        forEachInSubtree(*window, [&](Window& w) { result.push_back(sharedFrom(w)); });
    return result;
}

// ---- geometry ----------------------------------------------------------------

FrameMetrics frameOf(DWORD style, DWORD exStyle) {
    FrameMetrics frame;
    if ((style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME)) || (exStyle & WS_EX_DLGMODALFRAME))
        frame.border = kBorderWidth;
    if (exStyle & WS_EX_CLIENTEDGE) frame.border += kEdgeWidth;
    if ((style & WS_CAPTION) == WS_CAPTION) frame.caption = kCaptionHeight;
    return frame;
}

RECT clientAreaInWindow(const Window& window) {
    FrameMetrics frame = frameOf(window.style, window.exStyle);
    RECT client{frame.border, frame.border + frame.caption, window.width() - frame.border,
                window.height() - frame.border};
    if (client.right < client.left) client.right = client.left;
    if (client.bottom < client.top) client.bottom = client.top;
    return client;
}

POINT windowOriginOnScreen(const Window& window) {
    POINT origin{window.rect.left, window.rect.top};
    if (window.parent) {
        POINT parentClient = clientOriginOnScreen(*window.parent);
        origin.x += parentClient.x;
        origin.y += parentClient.y;
    }
    return origin;
}

POINT clientOriginOnScreen(const Window& window) {
    POINT origin = windowOriginOnScreen(window);
    RECT client = clientAreaInWindow(window);
    return POINT{origin.x + client.left, origin.y + client.top};
}

RECT windowRectOnScreen(const Window& window) {
    POINT origin = windowOriginOnScreen(window);
    return RECT{origin.x, origin.y, origin.x + window.width(), origin.y + window.height()};
}

POINT windowOriginInSurface(const Window& window) {
    const Window& top = topLevelOf(const_cast<Window&>(window));
    POINT onScreen = windowOriginOnScreen(window);
    return POINT{onScreen.x - top.rect.left, onScreen.y - top.rect.top};
}

CaptionButtons captionButtonsOf(const Window& window) {
    CaptionButtons buttons;
    FrameMetrics frame = frameOf(window.style, window.exStyle);
    if (!frame.caption) return buttons;
    int right = window.width() - frame.border;
    const int top = frame.border;
    const int size = frame.caption;
    auto take = [&](RECT& button) {
        if (right - size < frame.border) return;
        button = RECT{right - size, top, right, top + size};
        right -= size;
    };
    if (window.style & WS_SYSMENU) take(buttons.close);
    if (window.exStyle & WS_EX_CAPTIONOKBTN) take(buttons.ok);
    if (window.exStyle & WS_EX_CONTEXTHELP) take(buttons.help);
    return buttons;
}

namespace {
bool inside(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }
}  // namespace

LRESULT hitTestFrame(const Window& window, POINT p) {
    if (p.x < 0 || p.y < 0 || p.x >= window.width() || p.y >= window.height()) return HTNOWHERE;
    if (window.region && !window.region->contains(p.x, p.y)) return HTNOWHERE;
    if (inside(clientAreaInWindow(window), p)) return HTCLIENT;
    CaptionButtons buttons = captionButtonsOf(window);
    if (inside(buttons.close, p)) return HTCLOSE;
    if (inside(buttons.ok, p)) return kHitOkButton;
    if (inside(buttons.help, p)) return HTHELP;
    FrameMetrics frame = frameOf(window.style, window.exStyle);
    if (frame.caption && p.y >= frame.border && p.y < frame.border + frame.caption) return HTCAPTION;
    return HTBORDER;
}

bool rectEmpty(const RECT& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

RECT intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (rectEmpty(r)) return RECT{0, 0, 0, 0};
    return r;
}

bool sameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace platform::window
