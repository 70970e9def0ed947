// Reads a .res stream back into its entries, checking the header layout on the
// way, so the tests can look at one resource's bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "byte_writer.h"

namespace rc::test {

struct ResEntry {
    bool typeIsOrdinal = true;
    uint16_t typeOrdinal = 0;
    std::u16string typeName;
    bool nameIsOrdinal = true;
    uint16_t nameOrdinal = 0;
    std::u16string nameText;
    uint16_t memoryFlags = 0;
    uint16_t language = 0;
    Bytes data;
};

// Empty with a message in error when the stream is malformed.
std::vector<ResEntry> readResStream(const Bytes& stream, std::string& error);

uint16_t wordAt(const Bytes& bytes, size_t offset);
uint32_t dwordAt(const Bytes& bytes, size_t offset);
// A zero-terminated UTF-16 text at offset; offset moves past it.
std::u16string textAt(const Bytes& bytes, size_t& offset);

}  // namespace rc::test
