// The frame of a window: its border, its caption bar and the caption's close,
// OK and help buttons, drawn straight into the window's surface.
#include <algorithm>
#include <array>

#include "focus.h"
#include "paint.h"
#include "screen.h"

namespace platform::window {

namespace {

// Button glyphs, 7 rows of 9 columns ('#' set).
using Glyph = std::array<const char*, 7>;
constexpr Glyph kCloseGlyph = {"#.......#", ".#.....#.", "..#...#..", "...#.#...",
                               "..#...#..", ".#.....#.", "#.......#"};
constexpr Glyph kOkGlyph = {".###.#..#", "#...##.#.", "#...###..", "#...##...",
                            "#...###..", "#...##.#.", ".###.#..#"};
constexpr Glyph kHelpGlyph = {"...###...", "..#...#..", "......#..", ".....#...",
                              "....#....", ".........", "....#...."};

struct Painter {
    gdi::Surface& surface;
    const gdi::Region& clip;
    POINT origin;  // the window's (0, 0) in the surface

    void fill(RECT r, COLORREF color) const {
        r = RECT{r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y};
        const uint16_t pixel = gdi::toRgb565(color);
        for (const RECT& c : clip.rects()) {
            RECT part = intersect(r, c);
            for (LONG y = part.top; y < part.bottom; ++y) {
                uint16_t* row = surface.row(static_cast<int>(y));
                for (LONG x = part.left; x < part.right; ++x) row[x] = pixel;
            }
        }
    }

    void outline(RECT r, int thickness, COLORREF color) const {
        fill(RECT{r.left, r.top, r.right, r.top + thickness}, color);
        fill(RECT{r.left, r.bottom - thickness, r.right, r.bottom}, color);
        fill(RECT{r.left, r.top, r.left + thickness, r.bottom}, color);
        fill(RECT{r.right - thickness, r.top, r.right, r.bottom}, color);
    }

    void glyph(const RECT& button, const Glyph& shape, COLORREF color) const {
        const int left = (button.left + button.right - 9) / 2;
        const int top = (button.top + button.bottom - 7) / 2;
        for (int row = 0; row < 7; ++row)
            for (int column = 0; column < 9; ++column)
                if (shape[static_cast<size_t>(row)][column] == '#')
                    fill(RECT{left + column, top + row, left + column + 1, top + row + 1}, color);
    }
};

// The title, left in the caption up to the first button, through a DC of the
// window clipped to the caption.
void paintTitle(Window& window, const gdi::DrawTarget& whole, const RECT& captionArea, bool active) {
    if (window.text.empty() || rectEmpty(captionArea)) return;
    gdi::DrawTarget target = whole;
    target.clip = whole.clip.intersected(gdi::Region(RECT{captionArea.left + whole.origin.x, captionArea.top + whole.origin.y,
                                                          captionArea.right + whole.origin.x,
                                                          captionArea.bottom + whole.origin.y}));
    HDC dc = gdi::createWindowDC(target);
    if (!dc) return;
    SetBkMode(dc, TRANSPARENT);
    const int color = active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT;
    SetTextColor(dc, systemColor(color & ~SYS_COLOR_INDEX_FLAG));
    RECT text{captionArea.left + 4, captionArea.top, captionArea.right - 2, captionArea.bottom};
    DrawTextW(dc, reinterpret_cast<LPCWSTR>(window.text.c_str()), static_cast<int>(window.text.size()), &text,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    gdi::releaseWindowDC(dc);
}

void paintButton(const Painter& painter, const RECT& button, const Glyph& shape) {
    if (rectEmpty(button)) return;
    RECT face{button.left + 2, button.top + 2, button.right - 2, button.bottom - 2};
    painter.fill(face, systemColor(COLOR_BTNFACE & ~SYS_COLOR_INDEX_FLAG));
    painter.outline(face, 1, systemColor(COLOR_BTNSHADOW & ~SYS_COLOR_INDEX_FLAG));
    painter.glyph(face, shape, systemColor(COLOR_BTNTEXT & ~SYS_COLOR_INDEX_FLAG));
}

}  // namespace

void paintFrame(Window& window) {
    Window& top = topLevelOf(window);
    if (!top.surface || !isShowing(window)) return;
    FrameMetrics frame = frameOf(window.style, window.exStyle);
    if (!frame.border && !frame.caption) return;

    gdi::DrawTarget whole = drawTargetFor(window, WindowDc::Kind::Whole, nullptr);
    RECT client = clientAreaInWindow(window);
    gdi::Region clip = whole.clip.subtracted(gdi::Region(RECT{client.left + whole.origin.x, client.top + whole.origin.y,
                                                              client.right + whole.origin.x,
                                                              client.bottom + whole.origin.y}));
    std::lock_guard lock(gdi::gdiLock());
    Painter painter{*top.surface, clip, whole.origin};
    const RECT all{0, 0, window.width(), window.height()};
    if (frame.border) painter.outline(all, frame.border, systemColor(COLOR_WINDOWFRAME & ~SYS_COLOR_INDEX_FLAG));
    if (!frame.caption) return;
    const bool active = foregroundWindow() == &window;
    const int captionColor = active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION;
    RECT caption{frame.border, frame.border, window.width() - frame.border, frame.border + frame.caption};
    painter.fill(caption, systemColor(captionColor & ~SYS_COLOR_INDEX_FLAG));
    CaptionButtons buttons = captionButtonsOf(window);
    paintButton(painter, buttons.close, kCloseGlyph);
    paintButton(painter, buttons.ok, kOkGlyph);
    paintButton(painter, buttons.help, kHelpGlyph);
    for (const RECT& button : {buttons.close, buttons.ok, buttons.help})
        if (!rectEmpty(button)) caption.right = std::min(caption.right, button.left);
    paintTitle(window, whole, caption, active);
}

}  // namespace platform::window
