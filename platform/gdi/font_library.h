// The font all text is drawn with: a Hangul-capable TrueType font of the host
// (NanumGothic of Debian's fonts-nanum), found in a short list of places, or
// the file the environment variable PLATFORM_FONT names. Every LOGFONTW maps
// to it whatever its face name, at the height, weight and slant asked for; a
// bold request uses the family's bold file when there is one beside it.
// With no font file, text is drawn as boxes, and one warning goes to the
// device's debug log.
//
// Thread: any; faceFor with gdiLock() held.
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

namespace platform::gdi {

struct Glyph {
    int advance = 0;  // pixels from this glyph's origin to the next one's
    int left = 0;     // the image's offset from the origin
    int top = 0;      // rows of the image above the baseline
    int width = 0;
    int height = 0;
    std::vector<uint8_t> coverage;  // width * height, 0 (none) .. 255 (full)
};

// One font at one size.
class FontFace {
public:
    virtual ~FontFace() = default;
    virtual const Glyph& glyph(char32_t codePoint) = 0;

    int emHeight = 0;  // the character height (a negative lfHeight)
    int ascent = 0;
    int descent = 0;
    int height() const { return ascent + descent; }  // the cell height (a positive lfHeight)
    int averageWidth = 0;
    int maxWidth = 0;
    LONG weight = FW_NORMAL;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

FontFace& faceFor(const LOGFONTW& logFont);  // gdiLock() held; valid until reloadFonts

// The font file in use (empty when there is none).
std::filesystem::path fontFile();

// Looks for the font again (after PLATFORM_FONT changed) and forgets every
// size made so far; the no-font warning may then be logged once more. These
// two take the GDI lock themselves.
void reloadFonts();

// Code points of UTF-16 text: the next one at index (advanced past it); an
// unpaired surrogate stands for itself.
char32_t nextCodePoint(std::u16string_view text, size_t& index);

}  // namespace platform::gdi
