// The owner of a modal loop: disabled while the loop runs.
#include "modal.h"

#include "window.h"

namespace platform::window {

ModalOwnerScope::ModalOwnerScope(HWND owner) {
    if (!owner) return;
    HWND top = nullptr;
    {
        WindowLock lock(windowLock());
        auto window = findWindow(owner);
        if (!window || !window->queue) return;
        Window& topLevel = topLevelOf(*window);
        if (!topLevel.enabledStyle()) return;
        top = topLevel.handle;
    }
    EnableWindow(top, FALSE);
    disabled_ = top;
}

ModalOwnerScope::~ModalOwnerScope() { end(); }

void ModalOwnerScope::end() {
    if (!disabled_) return;
    HWND owner = disabled_;
    disabled_ = nullptr;
    if (findWindow(owner)) EnableWindow(owner, TRUE);
}

}  // namespace platform::window
