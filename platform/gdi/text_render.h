// One line of text drawn with a device context's font and colours: the
// measuring and glyph painting that ExtTextOutW and DrawTextW share.
//
// Thread: any, with gdiLock() held.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "device_context.h"
#include "font_library.h"

namespace platform::gdi {

FontFace& faceOf(const DeviceContext& dc);

// The advance of each UTF-16 unit (the second unit of a pair gets 0).
std::vector<int> unitAdvances(FontFace& face, std::u16string_view text);
int textWidth(FontFace& face, std::u16string_view text);

struct TextLine {
    std::u16string_view text;
    const INT* advances = nullptr;  // per unit, or the font's own
    LONG x = 0;                      // left of the line, DC coordinates
    LONG top = 0;                    // top of its cell
    const uint8_t* underlined = nullptr;  // per unit: nonzero for a prefixed character, underlined
};

// Draws the line's glyphs in the DC's text colour, first filling its cell with
// the background colour when the DC's background mode is OPAQUE. With clipTo,
// nothing outside that rectangle (DC coordinates) is touched.
void drawTextLine(Canvas& canvas, FontFace& face, const TextLine& line, const RECT* clipTo);

}  // namespace platform::gdi
