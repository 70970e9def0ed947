// The picture files a script names: .ico files (one or more images) and .bmp
// files. Both return an empty text on success, else what is wrong.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "byte_writer.h"

namespace rc {

struct IconImage {
    uint8_t width;  // 0 stands for 256
    uint8_t height;
    uint8_t colorCount;
    uint16_t planes;
    uint16_t bitCount;
    Bytes bytes;  // the image as stored in the file (header, colours, masks)
};

std::string parseIconFile(const Bytes& file, std::vector<IconImage>& images);

// A bitmap resource is the .bmp file without its 14-byte file header.
std::string bitmapWithoutFileHeader(const Bytes& file, Bytes& packed);

}  // namespace rc
