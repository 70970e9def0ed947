// Delivery of the window system's own notifications, after the window lock is released.
#include "notifications.h"

#include "messaging.h"

namespace platform::window {

void NotificationBatch::deliver() {
    while (!pending_.empty()) {
        std::vector<Pending> now;
        now.swap(pending_);
        for (auto& p : now) notifyWindow(p.hwnd, p.message, p.wParam, p.lParam, p.windowPos);
    }
}

}  // namespace platform::window
