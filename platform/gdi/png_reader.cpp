#include "png_reader.h"

#include <windows.h>
#include <png.h>

#include <vector>

namespace platform::gdi {

namespace {
constexpr png_uint_32 kMaxSide = 1 << 14;

struct ImageFreer {
    png_image& image;
    ~ImageFreer() { png_image_free(&image); }
};
}  // namespace

std::optional<Surface> readPng(const std::filesystem::path& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ImageFreer freer{image};
    if (!png_image_begin_read_from_file(&image, path.c_str())) return std::nullopt;
    if (image.width == 0 || image.height == 0 || image.width > kMaxSide || image.height > kMaxSide)
        return std::nullopt;
    image.format = PNG_FORMAT_RGB;  // alpha dropped onto black, grey and palettes expanded
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return std::nullopt;

    Surface surface(static_cast<int>(image.width), static_cast<int>(image.height));
    for (int y = 0; y < surface.height(); ++y) {
        const png_byte* in = pixels.data() + static_cast<size_t>(y) * image.width * 3;
        uint16_t* out = surface.row(y);
        for (int x = 0; x < surface.width(); ++x) out[x] = toRgb565(RGB(in[3 * x], in[3 * x + 1], in[3 * x + 2]));
    }
    return surface;
}

}  // namespace platform::gdi
