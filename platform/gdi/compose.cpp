// The screen: window surfaces copied in Z order, each through its visible part.
#include <algorithm>

#include "surface.h"

namespace platform::gdi {

void composeScreen(Surface& screen, const std::vector<Layer>& layers) {
    std::lock_guard lock(gdiLock());
    const Region screenArea(RECT{0, 0, screen.width(), screen.height()});
    for (const Layer& layer : layers) {
        if (!layer.surface) continue;
        const Surface& source = *layer.surface;
        const POINT at = layer.screenPosition;
        const Region onScreen = layer.visible.intersected(screenArea).intersected(
            Region(RECT{at.x, at.y, at.x + source.width(), at.y + source.height()}));
        for (const RECT& r : onScreen.rects()) {
            for (LONG y = r.top; y < r.bottom; ++y) {
                const uint16_t* from = source.row(y - at.y) + (r.left - at.x);
                std::copy(from, from + (r.right - r.left), screen.row(y) + r.left);
            }
        }
    }
}

}  // namespace platform::gdi
