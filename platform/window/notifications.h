// Messages the window system owes windows after a change of state (activation,
// focus, enabling, size and move). They are gathered while the window lock is
// held and delivered after it is released, in order: at once to windows of the
// calling thread, as queued notifications to other threads' windows.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

namespace platform::window {

class NotificationBatch {
public:
    NotificationBatch() = default;
    NotificationBatch(const NotificationBatch&) = delete;
    NotificationBatch& operator=(const NotificationBatch&) = delete;

    void add(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
             std::optional<WINDOWPOS> windowPos = std::nullopt) {
        pending_.push_back(Pending{hwnd, message, wParam, lParam, windowPos});
    }
    bool empty() const { return pending_.empty(); }
    // Delivers and forgets them; the window lock must not be held.
    void deliver();

private:
    struct Pending {
        HWND hwnd;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        std::optional<WINDOWPOS> windowPos;
    };
    std::vector<Pending> pending_;
};

}  // namespace platform::window
