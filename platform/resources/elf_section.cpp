#include "elf_section.h"

#include <elf.h>

#include <cstring>

namespace platform::resources {

namespace {

// Reads fields of the image in its own byte order, with bounds checks.
class ImageReader {
public:
    ImageReader(std::span<const uint8_t> image, bool bigEndian) : image_(image), bigEndian_(bigEndian) {}

    bool has(uint64_t offset, uint64_t size) const { return offset <= image_.size() && size <= image_.size() - offset; }

    uint64_t read(uint64_t offset, int bytes) const {
        uint64_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            uint64_t byte = image_[offset + (bigEndian_ ? i : bytes - 1 - i)];
            value = (value << 8) | byte;
        }
        return value;
    }

private:
    std::span<const uint8_t> image_;
    bool bigEndian_;
};

struct Layout {
    bool is64;
    // Offsets of the fields in the file header and in one section header.
    int shoff, shentsize, shnum, shstrndx;
    int nameAt, typeAt, offsetAt, sizeAt, addressWidth;
};

constexpr Layout k32{false, 32, 46, 48, 50, 0, 4, 16, 20, 4};
constexpr Layout k64{true, 40, 58, 60, 62, 0, 4, 24, 32, 8};

}  // namespace

std::optional<std::span<const uint8_t>> findElfSection(std::span<const uint8_t> image, std::string_view name) {
    if (image.size() < EI_NIDENT || std::memcmp(image.data(), ELFMAG, SELFMAG) != 0) return std::nullopt;
    uint8_t elfClass = image[EI_CLASS];
    uint8_t data = image[EI_DATA];
    if ((elfClass != ELFCLASS32 && elfClass != ELFCLASS64) || (data != ELFDATA2LSB && data != ELFDATA2MSB))
        return std::nullopt;
    const Layout& l = elfClass == ELFCLASS64 ? k64 : k32;
    ImageReader in(image, data == ELFDATA2MSB);
    int w = l.addressWidth;
    if (!in.has(0, l.shstrndx + 2)) return std::nullopt;

    uint64_t tableAt = in.read(l.shoff, w);
    uint64_t entrySize = in.read(l.shentsize, 2);
    uint64_t count = in.read(l.shnum, 2);
    uint64_t namesIndex = in.read(l.shstrndx, 2);
    uint64_t minimumEntry = static_cast<uint64_t>(l.sizeAt + w);
    if (tableAt == 0 || entrySize < minimumEntry || !in.has(tableAt, entrySize)) return std::nullopt;
    // Many sections: the real count and name-table index live in section 0.
    if (count == 0) count = in.read(tableAt + l.sizeAt, w);
    if (namesIndex == SHN_XINDEX) namesIndex = in.read(tableAt + (l.is64 ? 40 : 24), 4);  // sh_link
    if (count > image.size() / entrySize || !in.has(tableAt, count * entrySize) || namesIndex >= count)
        return std::nullopt;

    auto header = [&](uint64_t index) { return tableAt + index * entrySize; };
    uint64_t namesAt = in.read(header(namesIndex) + l.offsetAt, w);
    uint64_t namesSize = in.read(header(namesIndex) + l.sizeAt, w);
    if (!in.has(namesAt, namesSize)) return std::nullopt;

    for (uint64_t i = 1; i < count; ++i) {
        uint64_t h = header(i);
        uint64_t nameOffset = in.read(h + l.nameAt, 4);
        if (nameOffset >= namesSize || namesSize - nameOffset < name.size() + 1) continue;
        const uint8_t* text = image.data() + namesAt + nameOffset;
        if (std::memcmp(text, name.data(), name.size()) != 0 || text[name.size()] != 0) continue;
        if (in.read(h + l.typeAt, 4) == SHT_NOBITS) return std::nullopt;
        uint64_t at = in.read(h + l.offsetAt, w);
        uint64_t size = in.read(h + l.sizeAt, w);
        if (!in.has(at, size)) return std::nullopt;
        return image.subspan(at, size);
    }
    return std::nullopt;
}

}  // namespace platform::resources
