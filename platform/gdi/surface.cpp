#include "surface.h"

#include <algorithm>

namespace platform::gdi {

namespace {
constexpr uint16_t kWhite = 0xFFFF;

struct Display {
    SIZE size{240, 320};
};
Display& display() {
    static Display instance;
    return instance;
}
}  // namespace

std::recursive_mutex& gdiLock() {
    // Never destroyed: device threads may still draw while the host exits.
    static auto* lock = new std::recursive_mutex;
    return *lock;
}

SIZE displaySize() {
    std::lock_guard lock(gdiLock());
    return display().size;
}

void setDisplaySize(SIZE size) {
    std::lock_guard lock(gdiLock());
    display().size = size;
}

Surface::Surface(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * height_, kWhite) {}

void Surface::resize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return;
    std::vector<uint16_t> pixels(static_cast<size_t>(width) * height, kWhite);
    const int keepWidth = std::min(width, width_);
    const int keepHeight = std::min(height, height_);
    for (int y = 0; y < keepHeight; ++y)
        std::copy_n(row(y), keepWidth, pixels.data() + static_cast<size_t>(y) * width);
    pixels_ = std::move(pixels);
    width_ = width;
    height_ = height;
}

}  // namespace platform::gdi
