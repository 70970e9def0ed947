#include "blit.h"

namespace platform::gdi {

AxisMap mapAxis(int64_t dstOrigin, int64_t dstExtent, int64_t srcOrigin, int64_t srcExtent, int64_t visibleFrom,
                int64_t visibleTo, int srcLimit) {
    const int64_t dstLength = dstExtent < 0 ? -dstExtent : dstExtent;
    const int64_t srcLength = srcExtent < 0 ? -srcExtent : srcExtent;
    const int64_t dstStart = dstExtent < 0 ? dstOrigin + dstExtent + 1 : dstOrigin;
    const int64_t srcStart = srcExtent < 0 ? srcOrigin + srcExtent + 1 : srcOrigin;
    const bool mirrored = (dstExtent < 0) != (srcExtent < 0);

    AxisMap map;
    const int64_t from = std::max(dstStart, visibleFrom);
    const int64_t to = std::min(dstStart + dstLength, visibleTo);
    if (from >= to || srcLength == 0) return map;
    map.first = from;
    map.source.reserve(static_cast<size_t>(to - from));
    for (int64_t d = from; d < to; ++d) {
        // The source pixel under the centre of the destination pixel.
        const int64_t i = d - dstStart;
        int64_t j = (2 * i + 1) * srcLength / (2 * dstLength);
        if (mirrored) j = srcLength - 1 - j;
        const int64_t s = srcStart + j;
        map.source.push_back(s >= 0 && s < srcLimit ? static_cast<int>(s) : -1);
    }
    return map;
}

uint16_t applyRop3(uint8_t code, uint16_t pattern, uint16_t source, uint16_t dest) {
    // Bit k of the code is the result for pattern bit (k >> 2), source bit
    // ((k >> 1) & 1) and destination bit (k & 1).
    uint16_t result = 0;
    for (int k = 0; k < 8; ++k) {
        if (!(code & (1 << k))) continue;
        const uint16_t p = (k & 4) ? pattern : static_cast<uint16_t>(~pattern);
        const uint16_t s = (k & 2) ? source : static_cast<uint16_t>(~source);
        const uint16_t d = (k & 1) ? dest : static_cast<uint16_t>(~dest);
        result |= p & s & d;
    }
    return result;
}

}  // namespace platform::gdi
