#include "image_files.h"

namespace rc {

namespace {

uint16_t word(const Bytes& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }
uint32_t dword(const Bytes& b, size_t at) { return word(b, at) | (static_cast<uint32_t>(word(b, at + 2)) << 16); }

constexpr size_t kIconDirSize = 6;
constexpr size_t kIconEntrySize = 16;
constexpr size_t kBitmapFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;

}  // namespace

std::string parseIconFile(const Bytes& file, std::vector<IconImage>& images) {
    if (file.size() < kIconDirSize || word(file, 0) != 0 || word(file, 2) != 1) return "not an icon file";
    uint16_t count = word(file, 4);
    if (count == 0) return "the icon file holds no image";
    if (file.size() < kIconDirSize + count * kIconEntrySize) return "the icon file's directory is cut short";
    for (uint16_t i = 0; i < count; ++i) {
        size_t entry = kIconDirSize + i * kIconEntrySize;
        uint32_t size = dword(file, entry + 8);
        uint32_t offset = dword(file, entry + 12);
        if (size == 0 || offset > file.size() || size > file.size() - offset)
            return "image " + std::to_string(i + 1) + " lies outside the file";
        IconImage image;
        image.width = file[entry];
        image.height = file[entry + 1];
        image.colorCount = file[entry + 2];
        image.planes = word(file, entry + 4);
        image.bitCount = word(file, entry + 6);
        image.bytes.assign(file.begin() + offset, file.begin() + offset + size);
        // Many icon files leave planes and depth to the image's own header.
        if ((image.planes == 0 || image.bitCount == 0) && size >= kInfoHeaderSize && dword(image.bytes, 0) == kInfoHeaderSize) {
            image.planes = word(image.bytes, 12);
            image.bitCount = word(image.bytes, 14);
        }
        images.push_back(std::move(image));
    }
    return {};
}

std::string bitmapWithoutFileHeader(const Bytes& file, Bytes& packed) {
    if (file.size() < kBitmapFileHeaderSize + 12 || file[0] != 'B' || file[1] != 'M') return "not a BMP file";
    uint32_t headerSize = dword(file, kBitmapFileHeaderSize);
    if (headerSize < 12 || headerSize > file.size() - kBitmapFileHeaderSize) return "the BMP file's header is cut short";
    uint32_t pixelsAt = dword(file, 10);
    if (pixelsAt > file.size()) return "the BMP file's pixels lie outside the file";
    packed.assign(file.begin() + kBitmapFileHeaderSize, file.end());
    return {};
}

}  // namespace rc
