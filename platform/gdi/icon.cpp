// Icon objects, DrawIcon, DrawIconEx, DestroyIcon.
#include "icon.h"

#include <memory>
#include <vector>

#include "blit.h"
#include "dib_format.h"
#include "gdi_objects.h"

namespace platform::gdi {

namespace {

constexpr int kDefaultIconSize = 32;  // the platform's standard icon size

class Icon final : public kernel::KernelObject {
public:
    Icon(Surface color, Surface mask, std::vector<uint8_t> alpha, bool shared)
        : color(std::move(color)), mask(std::move(mask)), alpha(std::move(alpha)), shared(shared) {}
    std::string_view kindName() const override { return "icon"; }
    bool closableByCloseHandle() const override { return false; }

    const Surface color;
    const Surface mask;               // 0x0000 where the icon covers, 0xFFFF where it lets through
    const std::vector<uint8_t> alpha;  // per pixel, top row first; empty unless blended
    const bool shared;
};

std::shared_ptr<Icon> resolveIcon(HICON icon) {
    auto found = kernel::handleTable().lookupAs<Icon>(icon);
    if (!found) kernel::setLastError(ERROR_INVALID_CURSOR_HANDLE);
    return found;
}

}  // namespace

HICON createIconFromImage(std::span<const uint8_t> image, bool shared) {
    DWORD error = ERROR_INVALID_DATA;
    auto header = parseDibHeader(image, DibHeight::iconImage, &error);
    if (!header) {
        kernel::setLastError(error);
        return nullptr;
    }
    const DibFormat& f = header->format;
    const size_t colourAt = header->size;
    const size_t maskAt = colourAt + f.imageSize();
    const size_t maskStride = (static_cast<size_t>(f.width) + 31) / 32 * 4;
    const size_t maskSize = maskStride * f.height;
    if (image.size() < maskAt) {
        kernel::setLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    const uint8_t* colourBits = image.data() + colourAt;

    Surface color(f.width, f.height);
    decodeDib(f, colourBits, color);

    std::vector<uint8_t> alpha;
    if (f.bitsPerPixel == 32 && f.compression == BI_RGB) {
        alpha.resize(static_cast<size_t>(f.width) * f.height);
        bool any = false;
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < f.width; ++x) {
                const uint8_t a = colourBits[f.stride() * (f.height - 1 - y) + 4 * x + 3];
                alpha[static_cast<size_t>(y) * f.width + x] = a;
                any |= a != 0;
            }
        if (!any) alpha.clear();
    }

    // A blended image may come without its mask; every other image needs one.
    Surface mask(f.width, f.height);
    const bool hasMask = image.size() - maskAt >= maskSize;
    if (!hasMask && alpha.empty()) {
        kernel::setLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    for (int y = 0; y < f.height; ++y) {
        const uint8_t* bits = image.data() + maskAt + maskStride * (f.height - 1 - y);
        uint16_t* out = mask.row(y);
        for (int x = 0; x < f.width; ++x)
            out[x] = hasMask && ((bits[x / 8] >> (7 - x % 8)) & 1) ? 0xFFFF : 0x0000;
    }

    auto icon = std::make_shared<Icon>(std::move(color), std::move(mask), std::move(alpha), shared);
    HANDLE handle = kernel::handleTable().insert(std::move(icon));
    if (!handle) kernel::setLastError(ERROR_NOT_ENOUGH_MEMORY);
    return static_cast<HICON>(handle);
}

std::optional<SIZE> iconSize(HICON hicon) {
    auto icon = resolveIcon(hicon);
    if (!icon) return std::nullopt;
    return SIZE{icon->color.width(), icon->color.height()};
}

}  // namespace platform::gdi

using namespace platform::gdi;

extern "C" BOOL WINAPI DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth,
                                  UINT istepIfAniCur, HBRUSH hbrFlickerFreeDraw, UINT diFlags) {
    (void)istepIfAniCur;  // icons have one frame
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    if (!dc) return FALSE;
    auto icon = resolveIcon(hIcon);
    if (!icon) return FALSE;
    if (!(diFlags & DI_NORMAL) || cxWidth < 0 || cyWidth < 0) {
        platform::kernel::setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::shared_ptr<Brush> background;
    if (hbrFlickerFreeDraw && !(background = resolveObject<Brush>(hbrFlickerFreeDraw))) return FALSE;

    const int width = icon->color.width(), height = icon->color.height();
    const int cx = cxWidth ? cxWidth : (diFlags & DI_DEFAULTSIZE) ? kDefaultIconSize : width;
    const int cy = cyWidth ? cyWidth : (diFlags & DI_DEFAULTSIZE) ? kDefaultIconSize : height;
    Canvas canvas(*dc);
    if (background && !background->hollow())
        canvas.fill(clampedRect(xLeft, yTop, int64_t{xLeft} + cx, int64_t{yTop} + cy), canvas.pixelFor(background->logBrush.lbColor));

    const uint16_t* color = icon->color.row(0);
    const uint16_t* mask = icon->mask.row(0);
    auto draw = [&](auto op) { stretchPixels(canvas, xLeft, yTop, cx, cy, icon->color, 0, 0, width, height, op); };
    if (!icon->alpha.empty() && (diFlags & DI_NORMAL) == DI_NORMAL) {
        const uint8_t* alpha = icon->alpha.data();
        draw([&](uint16_t d, size_t i) { return blend565(d, color[i], alpha[i]); });
    } else if ((diFlags & DI_NORMAL) == DI_NORMAL) {
        draw([&](uint16_t d, size_t i) { return static_cast<uint16_t>((d & mask[i]) ^ color[i]); });
    } else if (diFlags & DI_MASK) {
        draw([&](uint16_t d, size_t i) { return static_cast<uint16_t>(d & mask[i]); });
    } else {
        draw([&](uint16_t, size_t i) { return color[i]; });
    }
    return TRUE;
}

extern "C" BOOL WINAPI DrawIcon(HDC hDC, int X, int Y, HICON hIcon) {
    return DrawIconEx(hDC, X, Y, hIcon, 0, 0, 0, nullptr, DI_NORMAL);
}

extern "C" BOOL WINAPI DestroyIcon(HICON hIcon) {
    std::shared_ptr<platform::kernel::KernelObject> destroyed;  // freed after the lock
    std::lock_guard lock(gdiLock());
    auto icon = resolveIcon(hIcon);
    if (!icon) return FALSE;
    if (!icon->shared) destroyed = platform::kernel::handleTable().remove(hIcon);
    return TRUE;
}
