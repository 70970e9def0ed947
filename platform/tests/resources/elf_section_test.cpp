// Finding the resource section in module images of either word size and byte
// order, and refusing malformed section tables without reading outside them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/resources/elf_section.h"

namespace {

using platform::resources::findElfSection;

struct Section {
    std::string name;
    std::vector<uint8_t> bytes;
    uint32_t type = 1;  // SHT_PROGBITS
};

// A minimal ELF image: the file header, the sections' bytes, the name table,
// then the section header table (entry 0 empty, the name table last).
class ElfBuilder {
public:
    ElfBuilder(bool is64, bool bigEndian) : is64_(is64), big_(bigEndian) {}

    std::vector<uint8_t> build(const std::vector<Section>& sections) {
        size_t headerSize = is64_ ? 64 : 52;
        size_t entrySize = is64_ ? 64 : 40;
        out_.assign(headerSize, 0);
        std::memcpy(out_.data(), "\x7f" "ELF", 4);
        out_[4] = is64_ ? 2 : 1;
        out_[5] = big_ ? 2 : 1;
        out_[6] = 1;
        std::vector<size_t> offsets;
        std::string names(1, '\0');
        std::vector<size_t> nameOffsets;
        for (const Section& s : sections) {
            offsets.push_back(out_.size());
            out_.insert(out_.end(), s.bytes.begin(), s.bytes.end());
            nameOffsets.push_back(names.size());
            names += s.name + '\0';
        }
        size_t namesName = names.size();
        names += ".shstrtab";
        names += '\0';
        size_t namesAt = out_.size();
        out_.insert(out_.end(), names.begin(), names.end());
        while (out_.size() % 8) out_.push_back(0);
        size_t tableAt = out_.size();
        size_t count = sections.size() + 2;
        out_.resize(tableAt + count * entrySize, 0);
        auto entry = [&](size_t index, size_t name, uint32_t type, size_t offset, size_t size) {
            size_t h = tableAt + index * entrySize;
            put(h, name, 4);
            put(h + 4, type, 4);
            put(h + (is64_ ? 24 : 16), offset, is64_ ? 8 : 4);
            put(h + (is64_ ? 32 : 20), size, is64_ ? 8 : 4);
        };
        for (size_t i = 0; i < sections.size(); ++i)
            entry(i + 1, nameOffsets[i], sections[i].type, offsets[i], sections[i].bytes.size());
        entry(count - 1, namesName, 3, namesAt, names.size());
        put(is64_ ? 40 : 32, tableAt, is64_ ? 8 : 4);            // e_shoff
        put(is64_ ? 58 : 46, entrySize, 2);                      // e_shentsize
        put(is64_ ? 60 : 48, count, 2);                          // e_shnum
        put(is64_ ? 62 : 50, count - 1, 2);                      // e_shstrndx
        tableAt_ = tableAt;
        entrySize_ = entrySize;
        return out_;
    }

    void put(size_t at, uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out_[at + (big_ ? bytes - 1 - i : i)] = static_cast<uint8_t>(value >> (8 * i));
    }
    size_t sectionHeader(size_t index) const { return tableAt_ + index * entrySize_; }
    bool is64() const { return is64_; }
    std::vector<uint8_t>& image() { return out_; }

private:
    bool is64_, big_;
    std::vector<uint8_t> out_;
    size_t tableAt_ = 0, entrySize_ = 0;
};

const std::vector<Section> kSections = {{".text", {1, 2, 3}}, {".rsrc", {9, 8, 7, 6}}, {".rsrcx", {5}}};

TEST(ElfSection, FoundInEveryWordSizeAndByteOrder) {
    for (bool is64 : {false, true}) {
        for (bool big : {false, true}) {
            SCOPED_TRACE(std::string(is64 ? "64" : "32") + (big ? " big-endian" : " little-endian"));
            ElfBuilder builder(is64, big);
            auto image = builder.build(kSections);
            auto found = findElfSection(image, ".rsrc");
            ASSERT_TRUE(found.has_value());
            EXPECT_EQ(std::vector<uint8_t>(found->begin(), found->end()), (std::vector<uint8_t>{9, 8, 7, 6}));
            EXPECT_FALSE(findElfSection(image, ".rsr").has_value());  // names match whole
            EXPECT_FALSE(findElfSection(image, ".data").has_value());
        }
    }
}

TEST(ElfSection, MalformedImagesFindNothing) {
    struct Case {
        const char* what;
        void (*spoil)(ElfBuilder&);
    } cases[] = {
        {"not ELF", [](ElfBuilder& b) { b.image()[1] = 'X'; }},
        {"unknown class", [](ElfBuilder& b) { b.image()[4] = 7; }},
        {"cut inside the header", [](ElfBuilder& b) { b.image().resize(30); }},
        {"cut inside the section table", [](ElfBuilder& b) { b.image().resize(b.image().size() - 10); }},
        {"table offset past the end", [](ElfBuilder& b) { b.put(b.is64() ? 40 : 32, 0xFFFFFFF0u, b.is64() ? 8 : 4); }},
        {"huge section count", [](ElfBuilder& b) { b.put(b.is64() ? 60 : 48, 0xFFF0, 2); }},
        {"name table index out of range", [](ElfBuilder& b) { b.put(b.is64() ? 62 : 50, 200, 2); }},
        {"entry size too small", [](ElfBuilder& b) { b.put(b.is64() ? 58 : 46, 8, 2); }},
        {"section bytes past the end",
         [](ElfBuilder& b) { b.put(b.sectionHeader(2) + (b.is64() ? 32 : 20), 0x7FFFFFFF, b.is64() ? 8 : 4); }},
        {"section without bytes", [](ElfBuilder& b) { b.put(b.sectionHeader(2) + 4, 8, 4); }},  // SHT_NOBITS
        {"name offset past the name table", [](ElfBuilder& b) { b.put(b.sectionHeader(2), 0x10000, 4); }},
    };
    for (bool is64 : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (is64 ? " (64)" : " (32)"));
            ElfBuilder builder(is64, false);
            builder.build(kSections);
            c.spoil(builder);
            EXPECT_FALSE(findElfSection(builder.image(), ".rsrc").has_value());
        }
    }
}

}  // namespace
