// DrawTextW: formatted text in a rectangle — prefixes, line breaks, word
// wrapping, tabs, alignment, and measuring without drawing (DT_CALCRECT).
#include <windows.h>

#include <algorithm>
#include <string>

#include "text_render.h"

using namespace platform::gdi;
using platform::kernel::setLastError;

namespace {

constexpr int kDefaultTabSize = 8;  // average character widths
constexpr UINT kTabSizeFlags = 0xFF00;  // DT_TABSTOP takes the high byte for the tab size

// The text as drawn: "&&" is one '&', "&x" an underlined x (unless DT_NOPREFIX).
struct Prepared {
    std::u16string text;
    std::vector<uint8_t> underlined;  // per unit
};

Prepared prepare(std::u16string_view source, bool prefixes) {
    Prepared p;
    for (size_t i = 0; i < source.size(); ++i) {
        bool underline = false;
        if (prefixes && source[i] == u'&') {
            if (++i == source.size()) break;  // a lone '&' at the end shows nothing
            underline = source[i] != u'&';
        }
        p.text.push_back(source[i]);
        p.underlined.push_back(underline);
    }
    return p;
}

struct Line {
    size_t begin;
    size_t end;
    std::vector<int> advances;  // per unit, tabs expanded
    int64_t width = 0;
};

class Layout {
public:
    Layout(FontFace& face, const std::u16string& text, bool expandTabs, int tabSize)
        : face_(face), text_(text), expandTabs_(expandTabs), tabStop_(std::max(1, tabSize * face.averageWidth)) {}

    // The advances of [begin, end) laid out from the line's start.
    Line measure(size_t begin, size_t end) const {
        Line line{begin, end, std::vector<int>(end - begin, 0), 0};
        for (size_t i = begin; i < end;) {
            const size_t at = i;
            const int advance = advanceAt(i, line.width);
            line.advances[at - begin] = advance;
            line.width += advance;
        }
        return line;
    }

    // Breaks [begin, end) into lines no wider than maxWidth where it can: at
    // spaces, or inside a word too long for a line of its own.
    void wrap(size_t begin, size_t end, int64_t maxWidth, std::vector<Line>& lines) const {
        size_t start = begin;
        while (true) {
            size_t fitted = start, lastBreak = std::u16string::npos;
            int64_t x = 0;
            for (size_t i = start; i < end;) {
                const size_t at = i;
                const int advance = advanceAt(i, x);
                if (x + advance > maxWidth && at > start) break;
                x += advance;
                fitted = i;
                if (text_[at] == u' ') lastBreak = fitted;
            }
            if (fitted >= end) {
                lines.push_back(measure(start, end));
                return;
            }
            const size_t cut = text_[fitted] == u' ' || lastBreak == std::u16string::npos ? fitted : lastBreak;
            size_t lineEnd = cut;
            while (lineEnd > start && text_[lineEnd - 1] == u' ') --lineEnd;  // spaces at a break vanish
            lines.push_back(measure(start, lineEnd));
            start = cut;
            while (start < end && text_[start] == u' ') ++start;
            if (start >= end) return;
        }
    }

private:
    // The advance of the code point at i (moving i past it) at pen position x.
    int advanceAt(size_t& i, int64_t x) const {
        const char32_t c = nextCodePoint(text_, i);
        if (c == U'\t' && expandTabs_) return static_cast<int>(tabStop_ - x % tabStop_);
        return face_.glyph(c).advance;
    }

    FontFace& face_;
    const std::u16string& text_;
    bool expandTabs_;
    int64_t tabStop_;
};

// Paragraphs end at "\r\n", "\r" or "\n".
std::vector<std::pair<size_t, size_t>> paragraphs(const std::u16string& text) {
    std::vector<std::pair<size_t, size_t>> result;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n') continue;
        result.emplace_back(start, i);
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    result.emplace_back(start, text.size());
    return result;
}

}  // namespace

extern "C" int WINAPI DrawTextW(HDC hDC, LPCWSTR lpString, int nCount, LPRECT lpRect, UINT uFormat) {
    std::lock_guard lock(gdiLock());
    auto dc = resolveDC(hDC);
    if (!dc) return 0;
    if (!lpRect || nCount < -1 || (nCount != 0 && !lpString)) {
        setLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::u16string_view source = nCount == -1 ? std::u16string_view(lpString) : std::u16string_view(lpString, nCount);
    int tabSize = kDefaultTabSize;
    if (uFormat & DT_TABSTOP) {
        tabSize = static_cast<int>((uFormat & kTabSizeFlags) >> 8);
        uFormat &= ~kTabSizeFlags;
    }
    if (source.empty()) {
        if (uFormat & DT_CALCRECT) {
            lpRect->right = lpRect->left;
            lpRect->bottom = lpRect->top;
        }
        return 0;
    }

    FontFace& face = faceOf(*dc);
    const Prepared prepared = prepare(source, !(uFormat & DT_NOPREFIX));
    const Layout layout(face, prepared.text, (uFormat & DT_EXPANDTABS) != 0, tabSize);
    const bool singleLine = (uFormat & DT_SINGLELINE) != 0;
    const int64_t rectWidth = int64_t{lpRect->right} - lpRect->left;
    std::vector<Line> lines;
    if (singleLine) {
        lines.push_back(layout.measure(0, prepared.text.size()));
    } else {
        for (auto [begin, end] : paragraphs(prepared.text)) {
            if (uFormat & DT_WORDBREAK)
                layout.wrap(begin, end, rectWidth, lines);
            else
                lines.push_back(layout.measure(begin, end));
        }
    }

    const int lineHeight = face.height();
    const int64_t textHeight = static_cast<int64_t>(lines.size()) * lineHeight;
    if (uFormat & DT_CALCRECT) {
        int64_t widest = 0;
        for (const Line& line : lines) widest = std::max(widest, line.width);
        lpRect->right = static_cast<LONG>(std::min<int64_t>(lpRect->left + widest, INT32_MAX));
        lpRect->bottom = static_cast<LONG>(std::min<int64_t>(lpRect->top + textHeight, INT32_MAX));
        return static_cast<int>(std::min<int64_t>(textHeight, INT32_MAX));
    }

    int64_t top = lpRect->top;
    if (singleLine && (uFormat & DT_VCENTER))
        top += (int64_t{lpRect->bottom} - lpRect->top - lineHeight) / 2;
    else if (singleLine && (uFormat & DT_BOTTOM))
        top = int64_t{lpRect->bottom} - lineHeight;
    const int64_t firstTop = top;

    Canvas canvas(*dc);
    const RECT clip = *lpRect;
    for (const Line& line : lines) {
        int64_t x = lpRect->left;
        if (uFormat & DT_CENTER)
            x += (rectWidth - line.width) / 2;
        else if (uFormat & DT_RIGHT)
            x = int64_t{lpRect->right} - line.width;
        TextLine drawn;
        drawn.text = std::u16string_view(prepared.text).substr(line.begin, line.end - line.begin);
        drawn.advances = line.advances.data();
        drawn.x = static_cast<LONG>(std::clamp<int64_t>(x, INT32_MIN, INT32_MAX));
        drawn.top = static_cast<LONG>(std::clamp<int64_t>(top, INT32_MIN, INT32_MAX));
        drawn.underlined = prepared.underlined.data() + line.begin;
        drawTextLine(canvas, face, drawn, (uFormat & DT_NOCLIP) ? nullptr : &clip);
        top += lineHeight;
    }
    if (singleLine && (uFormat & (DT_VCENTER | DT_BOTTOM)))
        return static_cast<int>(std::clamp<int64_t>(firstTop + lineHeight - lpRect->top, INT32_MIN, INT32_MAX));
    return static_cast<int>(std::min<int64_t>(textHeight, INT32_MAX));
}
