// CreateBitmap, CreateCompatibleBitmap, CreateDIBSection.
#include <windows.h>

#include <algorithm>

#include "device_context.h"
#include "dib_format.h"
#include "gdi_objects.h"

using namespace platform::gdi;
using platform::kernel::setLastError;

namespace {

// A size the platform accepts: zero sides give the 1 x 1 monochrome bitmap,
// negative or huge ones fail.
enum class SizeCheck { ok, zero, bad };
SizeCheck checkSize(int width, int height) {
    if (width < 0 || height < 0) {
        setLastError(ERROR_INVALID_PARAMETER);
        return SizeCheck::bad;
    }
    if (width == 0 || height == 0) return SizeCheck::zero;
    if (!bitmapSizeAllowed(width, height)) {
        setLastError(ERROR_NOT_ENOUGH_MEMORY);
        return SizeCheck::bad;
    }
    return SizeCheck::ok;
}

// Fills a surface from device-dependent rows: top row first, each padded to 2 bytes.
void decodeDeviceRows(const uint8_t* bits, int bitsPerPixel, Surface& surface) {
    const size_t stride = (static_cast<size_t>(surface.width()) * bitsPerPixel + 15) / 16 * 2;
    const int width = surface.width();
    for (int y = 0; y < surface.height(); ++y) {
        const uint8_t* src = bits + stride * y;
        uint16_t* out = surface.row(y);
        switch (bitsPerPixel) {
            case 1:
                for (int x = 0; x < width; ++x) out[x] = (src[x / 8] >> (7 - x % 8)) & 1 ? 0xFFFF : 0x0000;
                break;
            case 16:  // the display's own format: a camera frame goes through here every time
                for (int x = 0; x < width; ++x) out[x] = readLe16(src + 2 * x);
                break;
            case 24:
                for (int x = 0; x < width; ++x) out[x] = toRgb565(RGB(src[3 * x + 2], src[3 * x + 1], src[3 * x]));
                break;
            case 32:
                for (int x = 0; x < width; ++x) out[x] = toRgb565(RGB(src[4 * x + 2], src[4 * x + 1], src[4 * x]));
                break;
        }
    }
}

HBITMAP blackBitmap(int width, int height, int bitsPerPixel) {
    auto surface = std::make_shared<Surface>(width, height);
    for (int y = 0; y < height; ++y) std::fill_n(surface->row(y), width, 0);
    return static_cast<HBITMAP>(insertObject(std::make_shared<Bitmap>(std::move(surface), bitsPerPixel)));
}

}  // namespace

extern "C" HBITMAP WINAPI CreateBitmap(int nWidth, int nHeight, UINT cPlanes, UINT cBitsPerPel, CONST VOID* lpvBits) {
    const SizeCheck size = checkSize(nWidth, nHeight);
    if (size == SizeCheck::bad) return nullptr;
    if (cPlanes != 1 || (cBitsPerPel != 1 && cBitsPerPel != 16 && cBitsPerPel != 24 && cBitsPerPel != 32)) {
        setLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::lock_guard lock(gdiLock());
    if (size == SizeCheck::zero) return static_cast<HBITMAP>(defaultBitmapHandle());
    auto surface = std::make_shared<Surface>(nWidth, nHeight);
    if (lpvBits) {
        decodeDeviceRows(static_cast<const uint8_t*>(lpvBits), static_cast<int>(cBitsPerPel), *surface);
    } else {
        for (int y = 0; y < nHeight; ++y) std::fill_n(surface->row(y), nWidth, 0);
    }
    return static_cast<HBITMAP>(insertObject(std::make_shared<Bitmap>(std::move(surface), cBitsPerPel)));
}

extern "C" HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int nWidth, int nHeight) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hdc);
    if (!dc) return nullptr;
    const SizeCheck size = checkSize(nWidth, nHeight);
    if (size == SizeCheck::bad) return nullptr;
    if (size == SizeCheck::zero) return static_cast<HBITMAP>(defaultBitmapHandle());
    // A memory DC that still holds its first (monochrome) bitmap makes
    // monochrome bitmaps, as on the platform.
    return blackBitmap(nWidth, nHeight, dc->monochrome() ? 1 : 16);
}

extern "C" HBITMAP WINAPI CreateDIBSection(HDC hdc, CONST BITMAPINFO* pbmi, UINT iUsage, VOID** ppvBits,
                                          HANDLE hSection, DWORD dwOffset) {
    (void)dwOffset;
    (void)hdc;  // only colour-table indices (DIB_PAL_COLORS) would need it
    if (ppvBits) *ppvBits = nullptr;
    if (!pbmi || iUsage != DIB_RGB_COLORS) {
        setLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (hSection) {
        setLastError(ERROR_NOT_SUPPORTED);  // pixels in a file mapping
        return nullptr;
    }
    // The record's length follows from its header: the header, the masks, the colour table.
    const BITMAPINFOHEADER& h = pbmi->bmiHeader;
    size_t length = h.biSize;
    if (h.biSize >= sizeof(BITMAPINFOHEADER)) {
        if (h.biCompression == BI_BITFIELDS && h.biSize == sizeof(BITMAPINFOHEADER)) length += 12;
        const size_t colours = h.biClrUsed ? h.biClrUsed : (h.biBitCount <= 8 ? size_t{1} << h.biBitCount : 0);
        length += std::min<size_t>(colours, 256) * sizeof(RGBQUAD);
    }
    DWORD error = ERROR_INVALID_PARAMETER;
    auto header = parseDibHeader({reinterpret_cast<const uint8_t*>(pbmi), length}, DibHeight::image, &error);
    if (!header) {
        setLastError(error == ERROR_NOT_ENOUGH_MEMORY ? error : ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::lock_guard lock(gdiLock());
    auto bitmap = std::make_shared<Bitmap>(std::move(header->format));
    void* bits = bitmap->dibBits();
    HBITMAP handle = static_cast<HBITMAP>(insertObject(std::move(bitmap)));
    if (handle && ppvBits) *ppvBits = bits;
    return handle;
}
