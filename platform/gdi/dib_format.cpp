#include "dib_format.h"

#include <algorithm>
#include <bit>
#include <climits>

namespace platform::gdi {

uint16_t readLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t readLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

namespace {

constexpr size_t kCoreHeaderSize = 12;
constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kMaxColourTable = 256;

bool contiguousMask(uint32_t mask) {
    if (mask == 0) return false;
    const uint32_t shifted = mask >> std::countr_zero(mask);
    return (shifted & (shifted + 1)) == 0;
}

// One channel of a masked pixel, scaled to 0..255.
uint32_t channel(uint32_t value, uint32_t mask) {
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const uint32_t v = (value & mask) >> shift;
    if (bits >= 8) return v >> (bits - 8);
    return v * 255 / ((1u << bits) - 1);
}

uint32_t toMasked(uint32_t value8, uint32_t mask) {
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const uint32_t max = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
    const uint32_t v = bits >= 8 ? value8 << (bits - 8) : (value8 * max + 127) / 255;
    return (v << shift) & mask;
}

uint16_t pixelOf(uint32_t r, uint32_t g, uint32_t b) {
    return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

// The palette entry nearest to a colour (squared distance).
uint32_t nearestIndex(const std::vector<RGBQUAD>& palette, COLORREF color) {
    const int r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    uint32_t best = 0;
    int bestDistance = INT_MAX;
    for (uint32_t i = 0; i < palette.size(); ++i) {
        const int dr = palette[i].rgbRed - r, dg = palette[i].rgbGreen - g, db = palette[i].rgbBlue - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

const uint8_t* rowBits(const DibFormat& format, const uint8_t* bits, int y) {
    const int stored = format.topDown ? y : format.height - 1 - y;
    return bits + static_cast<size_t>(stored) * format.stride();
}

}  // namespace

std::optional<DibHeader> parseDibHeader(std::span<const uint8_t> bytes, DibHeight heightKind, DWORD* error) {
    auto fail = [error](DWORD code) -> std::optional<DibHeader> {
        if (error) *error = code;
        return std::nullopt;
    };
    if (bytes.size() < 4) return fail(ERROR_INVALID_DATA);
    const uint32_t headerSize = readLe32(bytes.data());
    const bool core = headerSize == kCoreHeaderSize;
    if (!core && (headerSize < kInfoHeaderSize || headerSize > 1024)) return fail(ERROR_INVALID_DATA);
    if (bytes.size() < headerSize) return fail(ERROR_INVALID_DATA);

    DibHeader header;
    DibFormat& f = header.format;
    int64_t width, height;
    unsigned planes, compression = BI_RGB, colorsUsed = 0;
    if (core) {
        width = readLe16(bytes.data() + 4);
        height = readLe16(bytes.data() + 6);
        planes = readLe16(bytes.data() + 8);
        f.bitsPerPixel = readLe16(bytes.data() + 10);
    } else {
        width = static_cast<int32_t>(readLe32(bytes.data() + 4));
        height = static_cast<int32_t>(readLe32(bytes.data() + 8));
        planes = readLe16(bytes.data() + 12);
        f.bitsPerPixel = readLe16(bytes.data() + 14);
        compression = readLe32(bytes.data() + 16);
        colorsUsed = readLe32(bytes.data() + 32);
    }
    if (planes != 1) return fail(ERROR_INVALID_DATA);
    switch (f.bitsPerPixel) {
        case 1: case 4: case 8: case 16: case 24: case 32: break;
        default: return fail(ERROR_NOT_SUPPORTED);
    }
    if (compression == BI_BITFIELDS) {
        if (f.bitsPerPixel != 16 && f.bitsPerPixel != 32) return fail(ERROR_INVALID_DATA);
    } else if (compression != BI_RGB) {
        return fail(ERROR_NOT_SUPPORTED);  // run-length and embedded images
    }
    f.compression = compression;

    f.topDown = height < 0;
    height = height < 0 ? -height : height;
    if (heightKind == DibHeight::iconImage) {
        if (f.topDown || height % 2 != 0) return fail(ERROR_INVALID_DATA);
        height /= 2;
    }
    if (width <= 0 || height <= 0) return fail(ERROR_INVALID_DATA);
    if (!bitmapSizeAllowed(width, height)) return fail(ERROR_NOT_ENOUGH_MEMORY);
    f.width = static_cast<int>(width);
    f.height = static_cast<int>(height);

    size_t offset = headerSize;
    if (compression == BI_BITFIELDS) {
        // The masks follow a 40-byte header; the longer headers hold them.
        const uint8_t* masks = bytes.data() + kInfoHeaderSize;
        if (headerSize == kInfoHeaderSize) {
            if (bytes.size() < offset + 12) return fail(ERROR_INVALID_DATA);
            offset += 12;
        }
        for (int i = 0; i < 3; ++i) f.masks[i] = readLe32(masks + 4 * i);
        for (uint32_t mask : f.masks)
            if (!contiguousMask(mask)) return fail(ERROR_INVALID_DATA);
    } else if (f.bitsPerPixel == 16) {
        f.masks[0] = 0x7C00, f.masks[1] = 0x03E0, f.masks[2] = 0x001F;
    } else if (f.bitsPerPixel == 32) {
        f.masks[0] = 0xFF0000, f.masks[1] = 0x00FF00, f.masks[2] = 0x0000FF;
    }

    // The colour table; at more than 8 bits per pixel an optional one is skipped.
    const size_t entrySize = core ? 3 : 4;
    size_t entries = colorsUsed;
    if (f.bitsPerPixel <= 8) {
        const size_t full = size_t{1} << f.bitsPerPixel;
        if (core || entries == 0) entries = full;
        if (entries > full) return fail(ERROR_INVALID_DATA);
    } else if (entries > kMaxColourTable) {
        return fail(ERROR_INVALID_DATA);
    }
    if (bytes.size() < offset + entries * entrySize) return fail(ERROR_INVALID_DATA);
    if (f.bitsPerPixel <= 8) {
        for (size_t i = 0; i < entries; ++i) {
            const uint8_t* e = bytes.data() + offset + i * entrySize;
            f.palette.push_back({e[0], e[1], e[2], 0});
        }
    }
    header.size = offset + entries * entrySize;
    return header;
}

void decodeDib(const DibFormat& f, const uint8_t* bits, Surface& surface) {
    std::vector<uint16_t> colours;
    for (const RGBQUAD& q : f.palette) colours.push_back(pixelOf(q.rgbRed, q.rgbGreen, q.rgbBlue));
    auto paletted = [&](uint32_t index) -> uint16_t { return index < colours.size() ? colours[index] : 0; };

    for (int y = 0; y < f.height; ++y) {
        const uint8_t* src = rowBits(f, bits, y);
        uint16_t* out = surface.row(y);
        switch (f.bitsPerPixel) {
            case 1:
            case 4:
            case 8: {
                const int bpp = f.bitsPerPixel;
                const int perByte = 8 / bpp;
                const uint32_t mask = (1u << bpp) - 1;
                for (int x = 0; x < f.width; ++x) {
                    const int shift = 8 - bpp * (x % perByte + 1);
                    out[x] = paletted((src[x / perByte] >> shift) & mask);
                }
                break;
            }
            case 16:
                if (f.isRgb565()) {
                    for (int x = 0; x < f.width; ++x) out[x] = readLe16(src + 2 * x);
                } else {
                    for (int x = 0; x < f.width; ++x) {
                        const uint32_t v = readLe16(src + 2 * x);
                        out[x] = pixelOf(channel(v, f.masks[0]), channel(v, f.masks[1]), channel(v, f.masks[2]));
                    }
                }
                break;
            case 24:
                for (int x = 0; x < f.width; ++x) out[x] = pixelOf(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
                break;
            case 32:
                for (int x = 0; x < f.width; ++x) {
                    const uint32_t v = readLe32(src + 4 * x);
                    out[x] = pixelOf(channel(v, f.masks[0]), channel(v, f.masks[1]), channel(v, f.masks[2]));
                }
                break;
        }
    }
}

void encodeDib(const DibFormat& f, const Surface& surface, const RECT& area, uint8_t* bits) {
    const int left = std::max<LONG>(area.left, 0), right = std::min<LONG>(area.right, f.width);
    const int top = std::max<LONG>(area.top, 0), bottom = std::min<LONG>(area.bottom, f.height);
    for (int y = top; y < bottom; ++y) {
        uint8_t* dst = const_cast<uint8_t*>(rowBits(f, bits, y));
        const uint16_t* in = surface.row(y);
        for (int x = left; x < right; ++x) {
            const uint16_t pixel = in[x];
            if (f.isRgb565()) {
                dst[2 * x] = static_cast<uint8_t>(pixel);
                dst[2 * x + 1] = static_cast<uint8_t>(pixel >> 8);
                continue;
            }
            const COLORREF c = fromRgb565(pixel);
            const uint32_t r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
            switch (f.bitsPerPixel) {
                case 1:
                case 4:
                case 8: {
                    const int bpp = f.bitsPerPixel;
                    const int perByte = 8 / bpp;
                    const int shift = 8 - bpp * (x % perByte + 1);
                    const uint8_t mask = static_cast<uint8_t>(((1u << bpp) - 1) << shift);
                    const uint32_t index = nearestIndex(f.palette, c);
                    uint8_t& byte = dst[x / perByte];
                    byte = static_cast<uint8_t>((byte & ~mask) | ((index << shift) & mask));
                    break;
                }
                case 16: {
                    const uint32_t v = toMasked(r, f.masks[0]) | toMasked(g, f.masks[1]) | toMasked(b, f.masks[2]);
                    dst[2 * x] = static_cast<uint8_t>(v);
                    dst[2 * x + 1] = static_cast<uint8_t>(v >> 8);
                    break;
                }
                case 24:
                    dst[3 * x] = static_cast<uint8_t>(b);
                    dst[3 * x + 1] = static_cast<uint8_t>(g);
                    dst[3 * x + 2] = static_cast<uint8_t>(r);
                    break;
                case 32: {
                    const uint32_t v = toMasked(r, f.masks[0]) | toMasked(g, f.masks[1]) | toMasked(b, f.masks[2]);
                    for (int i = 0; i < 4; ++i) dst[4 * x + i] = static_cast<uint8_t>(v >> (8 * i));
                    break;
                }
            }
        }
    }
}

}  // namespace platform::gdi
