#include "bmp_reader.h"

#include "dib_format.h"
#include "gdi_objects.h"

namespace platform::gdi {

namespace {
constexpr size_t kFileHeaderSize = sizeof(BITMAPFILEHEADER);

bool isBlackAndWhite(const DibFormat& f) {
    if (f.bitsPerPixel != 1 || f.palette.size() != 2) return false;
    auto is = [](const RGBQUAD& q, BYTE v) { return q.rgbRed == v && q.rgbGreen == v && q.rgbBlue == v; };
    return (is(f.palette[0], 0) && is(f.palette[1], 255)) || (is(f.palette[0], 255) && is(f.palette[1], 0));
}
}  // namespace

std::optional<BmpImage> readBmp(std::span<const uint8_t> bytes, DWORD* error) {
    auto fail = [error](DWORD code) -> std::optional<BmpImage> {
        if (error) *error = code;
        return std::nullopt;
    };
    const bool hasFileHeader = bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
    std::span<const uint8_t> dib = bytes;
    if (hasFileHeader) {
        if (bytes.size() < kFileHeaderSize) return fail(ERROR_INVALID_DATA);
        dib = bytes.subspan(kFileHeaderSize);
    }
    auto header = parseDibHeader(dib, DibHeight::image, error);
    if (!header) return std::nullopt;

    size_t pixelsAt = header->size;  // in dib
    if (hasFileHeader) {
        const size_t offBits = readLe32(bytes.data() + 10);
        if (offBits < kFileHeaderSize + header->size) return fail(ERROR_INVALID_DATA);
        pixelsAt = offBits - kFileHeaderSize;
    }
    const DibFormat& f = header->format;
    if (pixelsAt > dib.size() || dib.size() - pixelsAt < f.imageSize()) return fail(ERROR_INVALID_DATA);

    BmpImage image;
    image.pixels = std::make_shared<Surface>(f.width, f.height);
    decodeDib(f, dib.data() + pixelsAt, *image.pixels);
    image.bitsPerPixel = f.bitsPerPixel;
    image.blackAndWhite = isBlackAndWhite(f);
    return image;
}

HBITMAP createBitmapFromBmp(std::span<const uint8_t> bytes) {
    DWORD error = ERROR_INVALID_DATA;
    auto image = readBmp(bytes, &error);
    if (!image) {
        kernel::setLastError(error);
        return nullptr;
    }
    std::lock_guard lock(gdiLock());
    return static_cast<HBITMAP>(
        insertObject(std::make_shared<Bitmap>(std::move(image->pixels), image->blackAndWhite ? 1 : 16)));
}

}  // namespace platform::gdi
