#include "res_reader.h"

namespace rc::test {

uint16_t wordAt(const Bytes& b, size_t at) { return at + 1 < b.size() ? static_cast<uint16_t>(b[at] | (b[at + 1] << 8)) : 0xDEAD; }
uint32_t dwordAt(const Bytes& b, size_t at) { return wordAt(b, at) | (static_cast<uint32_t>(wordAt(b, at + 2)) << 16); }

std::u16string textAt(const Bytes& b, size_t& at) {
    std::u16string text;
    while (at + 1 < b.size()) {
        char16_t c = wordAt(b, at);
        at += 2;
        if (!c) break;
        text += c;
    }
    return text;
}

std::vector<ResEntry> readResStream(const Bytes& stream, std::string& error) {
    std::vector<ResEntry> entries;
    size_t at = 0;
    bool first = true;
    while (at < stream.size()) {
        if (at % 4 || at + 32 > stream.size()) {
            error = "entry at " + std::to_string(at) + " misaligned or cut short";
            return {};
        }
        uint32_t dataSize = dwordAt(stream, at);
        uint32_t headerSize = dwordAt(stream, at + 4);
        ResEntry e;
        size_t p = at + 8;
        auto id = [&](bool& isOrdinal, uint16_t& ordinal, std::u16string& name) {
            if (wordAt(stream, p) == 0xFFFF) {
                isOrdinal = true;
                ordinal = wordAt(stream, p + 2);
                p += 4;
            } else {
                isOrdinal = false;
                name = textAt(stream, p);
            }
        };
        id(e.typeIsOrdinal, e.typeOrdinal, e.typeName);
        id(e.nameIsOrdinal, e.nameOrdinal, e.nameText);
        p = (p + 3) & ~size_t(3);
        e.memoryFlags = wordAt(stream, p + 4);
        e.language = wordAt(stream, p + 6);
        if (p + 16 != at + headerSize) {
            error = "header size " + std::to_string(headerSize) + " does not match its fields";
            return {};
        }
        if (at + headerSize + dataSize > stream.size()) {
            error = "data past the end";
            return {};
        }
        e.data.assign(stream.begin() + at + headerSize, stream.begin() + at + headerSize + dataSize);
        at = (at + headerSize + dataSize + 3) & ~size_t(3);
        if (first) {
            if (dataSize != 0 || headerSize != 32 || !e.typeIsOrdinal || e.typeOrdinal != 0) {
                error = "the stream does not start with the empty entry";
                return {};
            }
            first = false;
            continue;
        }
        entries.push_back(std::move(e));
    }
    return entries;
}

}  // namespace rc::test
