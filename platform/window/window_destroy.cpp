// DestroyWindow, and the removal of windows whose thread or process ended.
#include "window_destroy.h"

#include <algorithm>
#include <mutex>

#include "focus.h"
#include "hotkeys.h"
#include "messaging.h"
#include "notifications.h"
#include "paint.h"
#include "platform/kernel/handle_table.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/process.h"
#include "platform/kernel/thread.h"
#include "window_class.h"
#include "window_pos.h"

namespace platform::window {

namespace {

std::vector<HWND> directlyOwned(const Window& owner) {
    std::vector<HWND> owned;
    for (auto& w : topLevelWindows())
        if (w->owner == &owner) owned.push_back(w->handle);
    return owned;
}

// Delivers a destruction message to the window's own thread only: another
// thread's window can no longer be reached once it is unlinked.
void sendIfOwnThread(HWND hwnd, UINT message) {
    bool own;
    {
        WindowLock lock(windowLock());
        auto window = findWindow(hwnd);
        if (!window) return;
        own = window->threadId == kernel::currentThread().id();
    }
    if (own) callWindowProcedure(hwnd, message, 0, 0);
}

void destroyRecursively(HWND hwnd, bool sendDestroy) {
    if (sendDestroy) sendIfOwnThread(hwnd, WM_DESTROY);
    std::vector<HWND> children;
    {
        WindowLock lock(windowLock());
        auto window = findWindow(hwnd);
        if (!window) return;
        for (auto& child : window->children) {
            child->destroying = true;
            children.push_back(child->handle);
        }
    }
    for (HWND child : children) destroyRecursively(child, true);
    sendIfOwnThread(hwnd, WM_NCDESTROY);
    WindowLock lock(windowLock());
    if (auto window = findWindow(hwnd)) {
        // A child made during WM_DESTROY still goes with its parent.
        while (!window->children.empty()) {
            auto child = window->children.front();
            forEachInSubtree(*child, [](Window& w) { w.destroying = true; });
            std::vector<WindowPtr> subtree;
            forEachInSubtree(*child, [&](Window& w) { subtree.push_back(sharedFrom(w)); });
            for (auto it = subtree.rbegin(); it != subtree.rend(); ++it) unlinkWindow(**it);
        }
        unlinkWindow(*window);
    }
}

// Removes a window with everything below it and everything it owns in its own
// process, sending nothing (window lock held).
void dropSilently(Window& window) {
    if (window.destroyed) return;
    window.destroying = true;
    for (auto& other : std::vector<WindowPtr>(topLevelWindows())) {
        if (other->owner != &window) continue;
        if (other->processId == window.processId) dropSilently(*other);
        else other->owner = nullptr;
    }
    for (auto& child : std::vector<WindowPtr>(window.children)) dropSilently(*child);
    unlinkWindow(window);
}

}  // namespace

void unlinkWindow(Window& window) {
    if (window.destroyed) return;
    auto keepAlive = sharedFrom(window);

    if (window.parent && isShowing(window)) invalidateParentArea(window, window.rect);
    auto& siblings = siblingListOf(window);
    std::erase_if(siblings, [&](const WindowPtr& w) { return w.get() == &window; });

    for (auto& queue : allQueues()) {
        auto refersHere = [&](HWND hwnd) {
            if (!hwnd) return false;
            if (hwnd == window.handle) return true;
            auto w = kernel::handleTable().lookupAs<Window>(hwnd);
            return w && isAncestor(window, *w);
        };
        if (refersHere(queue->focus)) queue->focus = nullptr;
        if (refersHere(queue->capture)) queue->capture = nullptr;
        if (queue->active == window.handle) queue->active = nullptr;
    }
    for (auto& w : topLevelWindows())
        if (w->lastActivePopup == window.handle) w->lastActivePopup = nullptr;
    if (foregroundWindow() == &window) clearForeground();

    dropHotkeysOfWindow(window.handle);
    if (window.queue) purgeWindowMessages(*window.queue, window.handle);
    releaseDcs(window);
    kernel::handleTable().remove(window.handle);
    window.destroyed = true;
    window.parent = nullptr;
    window.owner = nullptr;
    window.children.clear();
    window.surface.reset();
    if (window.windowClass) --window.windowClass->liveWindows;
    if (window.queue) --window.queue->thread->windowCount;
}

void destroyWindowTree(HWND hwnd, bool sendDestroy) {
    std::vector<HWND> owned;
    bool visible = false;
    {
        WindowLock lock(windowLock());
        auto window = findWindow(hwnd);
        if (!window || window->destroying) return;
        window->destroying = true;
        for (HWND o : directlyOwned(*window)) {
            auto ownedWindow = findWindow(o);
            if (!ownedWindow) continue;
            if (ownedWindow->threadId == window->threadId) owned.push_back(o);
            else ownedWindow->owner = nullptr;
        }
        visible = window->visibleStyle();
    }
    for (HWND o : owned) destroyWindowTree(o, true);
    if (visible)
        setWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    {
        // A hidden window can still be the active one.
        NotificationBatch batch;
        {
            WindowLock lock(windowLock());
            if (auto window = findWindow(hwnd); window && !window->isChild()) activateNextAfter(*window, batch);
        }
        batch.deliver();
    }
    destroyRecursively(hwnd, sendDestroy);
}

void dropWindowsOfEndedThreads() {
    WindowLock lock(windowLock());
    for (auto& window : allWindows())
        if (!window->destroyed && window->queue && queueEnded(*window->queue)) dropSilently(*window);
    for (auto& queue : allQueues()) (void)queue;  // forgets the queues of ended threads
}

void dropWindowsOfProcess(DWORD processId) {
    WindowLock lock(windowLock());
    for (auto& window : allWindows())
        if (!window->destroyed && window->processId == processId) dropSilently(*window);
    dropHotkeysOfProcess(processId);
    dropClassesOfProcess(processId);
}

void installProcessExitHook() {
    static std::once_flag once;
    std::call_once(once, [] { kernel::addProcessExitHook(dropWindowsOfProcess); });
}

}  // namespace platform::window

using namespace platform::window;

extern "C" BOOL WINAPI DestroyWindow(HWND hWnd) {
    {
        WindowLock lock(windowLock());
        auto window = resolveWindow(hWnd);
        if (!window) return FALSE;
        if (window.get() == &rootWindow() || window->threadId != platform::kernel::currentThread().id()) {
            platform::kernel::setLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (window->destroying) return TRUE;
    }
    destroyWindowTree(hWnd, true);
    return TRUE;
}
