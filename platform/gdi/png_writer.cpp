#include "png_writer.h"

#include <png.h>

#include <algorithm>
#include <vector>

namespace platform::gdi {

bool writePng(const Surface& surface, const std::filesystem::path& path, const RECT* crop) {
    RECT area{0, 0, surface.width(), surface.height()};
    if (crop)
        area = {std::max(area.left, crop->left), std::max(area.top, crop->top), std::min(area.right, crop->right),
                std::min(area.bottom, crop->bottom)};
    if (area.left >= area.right || area.top >= area.bottom) return false;
    const int width = area.right - area.left, height = area.bottom - area.top;

    std::vector<png_byte> pixels(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const uint16_t* row = surface.row(area.top + y);
        png_byte* out = pixels.data() + static_cast<size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            const COLORREF c = fromRgb565(row[area.left + x]);
            out[3 * x] = GetRValue(c);
            out[3 * x + 1] = GetGValue(c);
            out[3 * x + 2] = GetBValue(c);
        }
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    const bool written = png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), width * 3, nullptr) != 0;
    png_image_free(&image);
    return written;
}

}  // namespace platform::gdi
