// Little-endian byte output for the binary resource formats.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rc {

using Bytes = std::vector<uint8_t>;

class ByteWriter {
public:
    void byte(uint8_t value) { bytes_.push_back(value); }
    void word(uint16_t value) {
        byte(static_cast<uint8_t>(value));
        byte(static_cast<uint8_t>(value >> 8));
    }
    void dword(uint32_t value) {
        word(static_cast<uint16_t>(value));
        word(static_cast<uint16_t>(value >> 16));
    }
    void raw(const Bytes& data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }
    void raw(const uint8_t* data, size_t size) { bytes_.insert(bytes_.end(), data, data + size); }
    // UTF-16 code units, then a terminating zero.
    void text(const std::u16string& value) {
        for (char16_t c : value) word(c);
        word(0);
    }
    void alignTo(size_t boundary) {
        while (bytes_.size() % boundary) byte(0);
    }
    void patchWord(size_t offset, uint16_t value) {
        bytes_[offset] = static_cast<uint8_t>(value);
        bytes_[offset + 1] = static_cast<uint8_t>(value >> 8);
    }
    void patchDword(size_t offset, uint32_t value) {
        patchWord(offset, static_cast<uint16_t>(value));
        patchWord(offset + 2, static_cast<uint16_t>(value >> 16));
    }

    size_t size() const { return bytes_.size(); }
    const Bytes& bytes() const { return bytes_; }
    Bytes take() { return std::move(bytes_); }

private:
    Bytes bytes_;
};

}  // namespace rc
