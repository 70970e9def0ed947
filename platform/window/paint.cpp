// Update regions and where window DCs draw.
#include "paint.h"

#include <algorithm>

#include "message_queue.h"
#include "messaging.h"
#include "platform/kernel/scheduler.h"
#include "screen.h"

namespace platform::window {

namespace {

bool hasFrame(const Window& window) {
    FrameMetrics frame = frameOf(window.style, window.exStyle);
    return frame.border > 0 || frame.caption > 0;
}

RECT clientSize(const Window& window) {
    RECT client = clientAreaInWindow(window);
    return RECT{0, 0, client.right - client.left, client.bottom - client.top};
}

RECT offsetRect(RECT r, POINT by) { return RECT{r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y}; }

// The window's shape in its top-level window's surface: its rectangle within its region.
gdi::Region shapeInSurface(const Window& window) {
    POINT origin = windowOriginInSurface(window);
    gdi::Region shape(RECT{origin.x, origin.y, origin.x + window.width(), origin.y + window.height()});
    if (window.region) shape = shape.intersected(window.region->offset(origin.x, origin.y));
    return shape;
}

gdi::Region clientInSurface(const Window& window) {
    return gdi::Region(offsetRect(clientAreaInWindow(window), windowOriginInSurface(window)));
}

}  // namespace

void updatePaintPending(Window& window) {
    if (!window.queue) return;
    const bool pending =
        !window.destroyed && isShowing(window) && (!window.update.empty() || (window.frameDirty && hasFrame(window)));
    kernel::KernelLock lock(kernel::kernelLock());
    if (pending) window.queue->addPaintPendingLocked(window.handle);
    else window.queue->removePaintPendingLocked(window.handle);
}

void invalidateClient(Window& window, const gdi::Region& area, bool erase) {
    if (window.destroyed || !isShowing(window)) return;
    gdi::Region clipped = area.intersected(gdi::Region(clientSize(window)));
    if (!clipped.empty()) {
        window.update = window.update.united(clipped);
        if (erase) window.eraseNeeded = true;
    }
    updatePaintPending(window);
}

void invalidateWhole(Window& window, bool erase) {
    if (window.destroyed || !isShowing(window)) return;
    if (hasFrame(window)) window.frameDirty = true;
    invalidateClient(window, gdi::Region(clientSize(window)), erase);
}

void invalidateSubtree(Window& window) {
    forEachInSubtree(window, [](Window& w) { invalidateWhole(w, true); });
}

void validateSubtree(Window& window) {
    forEachInSubtree(window, [](Window& w) {
        w.update = gdi::Region();
        w.eraseNeeded = false;
        w.frameDirty = hasFrame(w);
        updatePaintPending(w);
    });
}

void validateClient(Window& window, const gdi::Region* area) {
    window.update = area ? window.update.subtracted(*area) : gdi::Region();
    if (window.update.empty()) window.eraseNeeded = false;
    updatePaintPending(window);
}

void invalidateParentArea(Window& child, const RECT& inParentClient) {
    Window* parent = child.parent;
    if (!parent) return;
    invalidateClient(*parent, gdi::Region(inParentClient), true);
    // What lay under the child shows again: the parent and the siblings there.
    for (auto& sibling : parent->children) {
        if (sibling.get() == &child || !isShowing(*sibling)) continue;
        RECT overlap = intersect(sibling->rect, inParentClient);
        if (rectEmpty(overlap)) continue;
        RECT client = clientAreaInWindow(*sibling);
        POINT to{-(sibling->rect.left + client.left), -(sibling->rect.top + client.top)};
        invalidateClient(*sibling, gdi::Region(offsetRect(overlap, to)), true);
        if (hasFrame(*sibling)) {
            sibling->frameDirty = true;
            updatePaintPending(*sibling);
        }
    }
}

gdi::DrawTarget drawTargetFor(Window& window, WindowDc::Kind kind, const gdi::Region* paintClip) {
    gdi::DrawTarget target;
    Window& top = topLevelOf(window);
    target.surface = top.surface;
    target.window = window.handle;
    const POINT origin = windowOriginInSurface(window);
    const RECT client = clientAreaInWindow(window);
    RECT area;
    if (kind == WindowDc::Kind::Whole) {
        target.origin = origin;
        area = RECT{origin.x, origin.y, origin.x + window.width(), origin.y + window.height()};
    } else {
        target.origin = POINT{origin.x + client.left, origin.y + client.top};
        area = offsetRect(client, origin);
    }
    if (window.destroyed || !isShowing(window) || !top.surface) return target;

    gdi::Region clip(area);
    if (window.region) clip = clip.intersected(window.region->offset(origin.x, origin.y));
    for (Window* a = window.parent; a; a = a->parent) {
        clip = clip.intersected(clientInSurface(*a));
        if (a->region) {
            POINT at = windowOriginInSurface(*a);
            clip = clip.intersected(a->region->offset(at.x, at.y));
        }
    }
    // Siblings in front of the window, and of each of its ancestors, cover it.
    for (Window* w = &window; w->parent; w = w->parent) {
        for (auto& sibling : w->parent->children) {
            if (sibling.get() == w) break;
            if (isShowing(*sibling)) clip = clip.subtracted(shapeInSurface(*sibling));
        }
    }
    for (auto& child : window.children)
        if (isShowing(*child)) clip = clip.subtracted(shapeInSurface(*child));
    if (paintClip) clip = clip.intersected(paintClip->offset(target.origin.x, target.origin.y));
    gdi::Region bounds(RECT{0, 0, top.surface->width(), top.surface->height()});
    target.clip = clip.intersected(bounds);
    return target;
}

void retargetDcs(Window& anyInTree) {
    forEachInSubtree(topLevelOf(anyInTree), [](Window& w) {
        for (auto& dc : w.dcs)
            gdi::retargetWindowDC(dc.dc,
                                  drawTargetFor(w, dc.kind, dc.kind == WindowDc::Kind::Paint ? &dc.paintClip : nullptr));
    });
}

void releaseDcs(Window& window) {
    for (auto& dc : window.dcs) gdi::releaseWindowDC(dc.dc);
    window.dcs.clear();
}

void fitSurface(Window& topLevel) {
    std::lock_guard lock(gdi::gdiLock());
    const int width = std::max(topLevel.width(), 0);
    const int height = std::max(topLevel.height(), 0);
    if (!topLevel.surface) topLevel.surface = std::make_shared<gdi::Surface>(width, height);
    else if (topLevel.surface->width() != width || topLevel.surface->height() != height)
        topLevel.surface->resize(width, height);
}

void sendFramePaint(HWND hwnd) {
    callWindowProcedure(hwnd, WM_NCPAINT, 1, 0);
    WindowLock lock(windowLock());
    if (auto window = findWindow(hwnd)) {
        window->frameDirty = false;
        updatePaintPending(*window);
    }
}

gdi::Region visibleOnScreen(const Window& topLevel) {
    RECT onScreen = windowRectOnScreen(topLevel);
    gdi::Region visible(onScreen);
    if (topLevel.region) visible = visible.intersected(topLevel.region->offset(onScreen.left, onScreen.top));
    return visible.intersected(gdi::Region(screenRect()));
}

}  // namespace platform::window
