// Activation, focus, foreground and the Z order of owner groups; SetFocus,
// SetActiveWindow, SetForegroundWindow and their queries.
#include "focus.h"

#include <algorithm>

#include "paint.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/thread.h"

namespace platform::window {

namespace {

std::weak_ptr<ThreadQueue>& foregroundSlot() {
    static auto* slot = new std::weak_ptr<ThreadQueue>;
    return *slot;
}

Window* live(HWND hwnd) {
    if (!hwnd) return nullptr;
    auto window = findWindow(hwnd);
    return window ? window.get() : nullptr;
}

bool isOwnedBy(const Window& window, const Window& owner) {
    for (const Window* w = window.owner; w; w = w->owner)
        if (w == &owner) return true;
    return false;
}

Window& rootOwnerOf(Window& window) {
    Window* w = &window;
    while (w->owner) w = w->owner;
    return *w;
}

void frameChanged(Window* window) {
    if (!window || window->destroyed) return;
    window->frameDirty = true;
    updatePaintPending(*window);
}

}  // namespace

bool canActivate(const Window& window) {
    return !window.isChild() && !window.destroying && !window.destroyed && isShowing(window) &&
           window.enabledStyle() && !(window.exStyle & WS_EX_NOACTIVATE) && window.queue;
}

void raiseGroup(Window& window) {
    if (window.parent) {
        auto& siblings = window.parent->children;
        auto shared = sharedFrom(window);
        std::erase(siblings, shared);
        siblings.insert(siblings.begin(), shared);
        return;
    }
    auto& list = topLevelWindows();
    Window& root = rootOwnerOf(window);
    std::vector<WindowPtr> ownedByWindow, theWindow, rest, others;
    for (auto& w : list) {
        if (w.get() == &window) theWindow.push_back(w);
        else if (isOwnedBy(*w, window)) ownedByWindow.push_back(w);
        else if (w.get() == &root || isOwnedBy(*w, root)) rest.push_back(w);
        else others.push_back(w);
    }
    std::vector<WindowPtr> reordered;
    reordered.insert(reordered.end(), ownedByWindow.begin(), ownedByWindow.end());
    reordered.insert(reordered.end(), theWindow.begin(), theWindow.end());
    reordered.insert(reordered.end(), rest.begin(), rest.end());
    reordered.insert(reordered.end(), others.begin(), others.end());
    std::stable_partition(reordered.begin(), reordered.end(),
                          [](const WindowPtr& w) { return (w->exStyle & WS_EX_TOPMOST) != 0; });
    list = std::move(reordered);
}

Window* foregroundWindow() {
    auto queue = foregroundQueue();
    return queue ? live(queue->active) : nullptr;
}

std::shared_ptr<ThreadQueue> foregroundQueue() {
    auto queue = foregroundSlot().lock();
    if (queue && queueEnded(*queue)) {
        foregroundSlot().reset();
        return nullptr;
    }
    return queue;
}

void clearForeground() { foregroundSlot().reset(); }

void setFocusWindow(ThreadQueue& queue, Window* window, NotificationBatch& batch) {
    Window* old = live(queue.focus);
    if (old == window) return;
    queue.focus = window ? window->handle : nullptr;
    if (old) batch.add(old->handle, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window ? window->handle : nullptr), 0);
    if (window) batch.add(window->handle, WM_SETFOCUS, reinterpret_cast<WPARAM>(old ? old->handle : nullptr), 0);
}

void activateWindow(ThreadQueue& queue, Window* window, WORD how, bool foreground, NotificationBatch& batch) {
    Window* old = live(queue.active);
    if (window && foreground) {
        foregroundSlot() = window->queue;
        raiseGroup(*window);
    }
    if (old == window) return;
    queue.active = window ? window->handle : nullptr;
    if (old) {
        batch.add(old->handle, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0),
                  reinterpret_cast<LPARAM>(window ? window->handle : nullptr));
        frameChanged(old);
        // The focus does not stay behind in a window that is no longer active.
        if (!window) {
            Window* focus = live(queue.focus);
            if (focus && (focus == old || isAncestor(*old, *focus))) setFocusWindow(queue, nullptr, batch);
        }
    }
    if (window) {
        Window& root = rootOwnerOf(*window);
        root.lastActivePopup = window->handle;
        batch.add(window->handle, WM_ACTIVATE, MAKEWPARAM(how, 0),
                  reinterpret_cast<LPARAM>(old ? old->handle : nullptr));
        frameChanged(window);
    }
}

bool makeForeground(Window& given, bool reactivatePopup, WORD how, NotificationBatch& batch) {
    Window* target = &topLevelOf(given);
    if (!target->queue) {
        // The root window: nothing in front any more.
        if (auto old = foregroundQueue()) {
            activateWindow(*old, nullptr, how, false, batch);
            setFocusWindow(*old, nullptr, batch);
        }
        clearForeground();
        return true;
    }
    if (reactivatePopup) {
        Window* popup = live(target->lastActivePopup);
        if (popup && popup != target && isOwnedBy(*popup, *target) && canActivate(*popup)) target = popup;
    }
    auto old = foregroundQueue();
    if (old && old != target->queue) {
        activateWindow(*old, nullptr, how, false, batch);
        setFocusWindow(*old, nullptr, batch);
    }
    activateWindow(*target->queue, target, how, true, batch);
    return true;
}

void activateNextAfter(Window& leaving, NotificationBatch& batch) {
    if (!leaving.queue || leaving.queue->active != leaving.handle) return;
    ThreadQueue& queue = *leaving.queue;
    Window* next = nullptr;
    for (Window* owner = leaving.owner; owner && !next; owner = owner->owner)
        if (canActivate(*owner)) next = owner;
    if (!next) {
        for (auto& w : topLevelWindows()) {
            if (w.get() == &leaving || isOwnedBy(*w, leaving) || !canActivate(*w)) continue;
            next = w.get();
            break;
        }
    }
    const bool wasForeground = foregroundQueue().get() == &queue;
    if (next && wasForeground) {
        makeForeground(*next, false, WA_ACTIVE, batch);
        return;
    }
    if (next && next->queue.get() == &queue) {
        activateWindow(queue, next, WA_ACTIVE, false, batch);
        return;
    }
    activateWindow(queue, nullptr, WA_ACTIVE, false, batch);
}

}  // namespace platform::window

using namespace platform::window;
using platform::kernel::setLastError;

namespace {

HWND liveHandle(HWND hwnd) { return hwnd && findWindow(hwnd) ? hwnd : nullptr; }

}  // namespace

extern "C" {

HWND WINAPI SetFocus(HWND hWnd) {
    auto queue = currentQueue();
    NotificationBatch batch;
    HWND previous;
    {
        WindowLock lock(windowLock());
        previous = liveHandle(queue->focus);
        if (!hWnd) {
            setFocusWindow(*queue, nullptr, batch);
        } else {
            auto window = resolveOwnWindow(hWnd);
            if (!window) return nullptr;
            Window& top = topLevelOf(*window);
            if (queue->active != top.handle) {
                auto foreground = foregroundQueue();
                activateWindow(*queue, &top, WA_ACTIVE, !foreground || foreground == queue, batch);
            }
            setFocusWindow(*queue, window.get(), batch);
        }
    }
    batch.deliver();
    return previous;
}

HWND WINAPI GetFocus(void) {
    auto queue = currentQueue();
    WindowLock lock(windowLock());
    return liveHandle(queue->focus);
}

HWND WINAPI SetActiveWindow(HWND hWnd) {
    auto queue = currentQueue();
    NotificationBatch batch;
    HWND previous;
    {
        WindowLock lock(windowLock());
        previous = liveHandle(queue->active);
        Window* target = nullptr;
        if (hWnd) {
            auto window = resolveOwnWindow(hWnd);
            if (!window) return nullptr;
            target = &topLevelOf(*window);
        }
        auto foreground = foregroundQueue();
        activateWindow(*queue, target, WA_ACTIVE, !foreground || foreground == queue, batch);
    }
    batch.deliver();
    return previous;
}

HWND WINAPI GetActiveWindow(void) {
    auto queue = currentQueue();
    WindowLock lock(windowLock());
    return liveHandle(queue->active);
}

BOOL WINAPI SetForegroundWindow(HWND hWnd) {
    // Bit 0 of the handle asks for the last active owned pop-up as well.
    const auto raw = reinterpret_cast<ULONG_PTR>(hWnd);
    const bool reactivatePopup = (raw & 1) != 0;
    HWND hwnd = reinterpret_cast<HWND>(raw & ~static_cast<ULONG_PTR>(1));
    NotificationBatch batch;
    {
        WindowLock lock(windowLock());
        auto window = resolveWindow(hwnd);
        if (!window) return FALSE;
        makeForeground(*window, reactivatePopup, WA_ACTIVE, batch);
    }
    batch.deliver();
    return TRUE;
}

HWND WINAPI GetForegroundWindow(void) {
    WindowLock lock(windowLock());
    Window* window = foregroundWindow();
    return window ? window->handle : nullptr;
}

HWND WINAPI SetCapture(HWND hWnd) {
    auto queue = currentQueue();
    NotificationBatch batch;
    HWND previous;
    {
        WindowLock lock(windowLock());
        previous = nullptr;
        for (auto& q : allQueues())
            if (q->capture && findWindow(q->capture)) previous = q->capture;
        if (hWnd && !resolveOwnWindow(hWnd)) return nullptr;
        for (auto& q : allQueues()) q->capture = nullptr;
        queue->capture = hWnd;
        if (previous && previous != hWnd) batch.add(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
    }
    batch.deliver();
    return previous;
}

BOOL WINAPI ReleaseCapture(void) {
    auto queue = currentQueue();
    NotificationBatch batch;
    {
        WindowLock lock(windowLock());
        HWND previous = liveHandle(queue->capture);
        queue->capture = nullptr;
        if (previous) batch.add(previous, WM_CAPTURECHANGED, 0, 0);
    }
    batch.deliver();
    return TRUE;
}

HWND WINAPI GetCapture(void) {
    auto queue = currentQueue();
    WindowLock lock(windowLock());
    return liveHandle(queue->capture);
}

}  // extern "C"
