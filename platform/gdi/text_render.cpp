#include "text_render.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace platform::gdi {

FontFace& faceOf(const DeviceContext& dc) { return faceFor(dc.font.object->logFont); }

std::vector<int> unitAdvances(FontFace& face, std::u16string_view text) {
    std::vector<int> advances(text.size(), 0);
    for (size_t i = 0; i < text.size();) {
        const size_t at = i;
        advances[at] = face.glyph(nextCodePoint(text, i)).advance;
    }
    return advances;
}

int textWidth(FontFace& face, std::u16string_view text) {
    int width = 0;
    for (size_t i = 0; i < text.size();) width += face.glyph(nextCodePoint(text, i)).advance;
    return width;
}

namespace {

RECT intersect(const RECT& a, const RECT& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

// Paints coverage onto the canvas at (left, top), DC coordinates, within limit.
void paintCoverage(Canvas& canvas, const Glyph& g, int64_t left, int64_t top, const RECT& limit, uint16_t color) {
    const RECT area = canvas.toSurface(intersect(clampedRect(left, top, left + g.width, top + g.height), limit));
    const POINT o = canvas.origin();
    const bool monochrome = canvas.monochrome();
    canvas.forEachSpan(area, [&](uint16_t* row, int y, int x0, int x1) {
        const uint8_t* coverage = g.coverage.data() + static_cast<size_t>(y - o.y - top) * g.width;
        for (int x = x0; x < x1; ++x) {
            const uint8_t a = coverage[x - o.x - left];
            if (monochrome)
                row[x] = a >= 128 ? color : row[x];
            else
                row[x] = blend565(row[x], color, a);
        }
    });
}

}  // namespace

void drawTextLine(Canvas& canvas, FontFace& face, const TextLine& line, const RECT* clipTo) {
    const DeviceContext& dc = canvas.dc();
    std::vector<int> ownAdvances;
    const INT* advances = line.advances;
    if (!advances) {
        ownAdvances = unitAdvances(face, line.text);
        advances = ownAdvances.data();
    }
    int64_t width = 0;
    for (size_t i = 0; i < line.text.size(); ++i) width += advances[i];

    const RECT everywhere{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    const RECT limit = clipTo ? *clipTo : everywhere;
    const int64_t x = line.x, top = line.top;
    const RECT cell = clampedRect(x, top, x + width, top + face.height());
    if (dc.bkMode == OPAQUE) canvas.fill(intersect(cell, limit), canvas.pixelFor(dc.bkColor));

    const uint16_t color = canvas.pixelFor(dc.textColor);
    const int64_t baseline = top + face.ascent;
    int64_t pen = x;
    for (size_t i = 0; i < line.text.size();) {
        const size_t at = i;
        const Glyph& g = face.glyph(nextCodePoint(line.text, i));
        if (!g.coverage.empty()) paintCoverage(canvas, g, pen + g.left, baseline - g.top, limit, color);
        int64_t step = 0;
        for (size_t u = at; u < i; ++u) step += advances[u];
        if (line.underlined && line.underlined[at])
            canvas.fill(intersect(clampedRect(pen, baseline + 1, pen + std::max<int64_t>(step, 1), baseline + 2), limit), color);
        pen += step;
    }
    const int64_t thickness = std::max(1, face.emHeight / 14);
    if (face.underline) {
        const int64_t y = baseline + std::max(1, face.descent / 3);
        canvas.fill(intersect(clampedRect(x, y, x + width, y + thickness), limit), color);
    }
    if (face.strikeOut) {
        const int64_t y = baseline - face.emHeight * 3 / 10;
        canvas.fill(intersect(clampedRect(x, y, x + width, y + thickness), limit), color);
    }
}

}  // namespace platform::gdi
