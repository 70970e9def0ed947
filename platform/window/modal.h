// Modal loops (DialogBoxParamW, MessageBoxW): while the loop runs, its owner
// is disabled, so that taps on it do nothing and it gets no keys. When the
// loop ends the owner is enabled again before the dialog is hidden or
// destroyed, so that activation passes back to the owner.
#pragma once

#include <windows.h>

namespace platform::window {

class ModalOwnerScope {
public:
    // Disables the owner's top-level window, if there is one and it is enabled.
    explicit ModalOwnerScope(HWND owner);
    // Enables it again, if this scope disabled it and end() has not.
    ~ModalOwnerScope();
    ModalOwnerScope(const ModalOwnerScope&) = delete;
    ModalOwnerScope& operator=(const ModalOwnerScope&) = delete;

    // Enables the owner again now (call before the dialog goes).
    void end();
    // The window that was disabled (null when none was).
    HWND owner() const { return disabled_; }

private:
    HWND disabled_ = nullptr;
};

}  // namespace platform::window
