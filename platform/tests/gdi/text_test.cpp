// Text: fonts and their metrics, extents, ExtTextOutW, DrawTextW's formats,
// the Korean texts, and what happens with no font at all.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "gdi_test_support.h"
#include "platform/debug/debug_log.h"
#include "platform/gdi/font_library.h"
#include "platform/gdi/png_reader.h"
#include "platform/gdi/png_writer.h"

using gdi_test::describe;
using gdi_test::inkBox;
using gdi_test::kSentinel;
using gdi_test::WindowDC;

namespace {

constexpr COLORREF kPaper = RGB(255, 255, 255);
constexpr COLORREF kInk = RGB(0, 0, 0);

// A font of the given height selected into a DC for the scope.
class SelectedFont {
public:
    SelectedFont(HDC dc, LONG height, LONG weight = FW_NORMAL) : dc_(dc) {
        LOGFONTW lf{};
        lf.lfHeight = height;
        lf.lfWeight = weight;
        font_ = CreateFontIndirectW(&lf);
        previous_ = SelectObject(dc, font_);
    }
    ~SelectedFont() {
        SelectObject(dc_, previous_);
        DeleteObject(font_);
    }

private:
    HDC dc_;
    HFONT font_;
    HGDIOBJ previous_;
};

SIZE extentOf(HDC dc, std::u16string_view text) {
    SIZE size{-1, -1};
    EXPECT_TRUE(GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size));
    return size;
}

TEXTMETRICW metricsOf(HDC dc) {
    TEXTMETRICW tm{};
    EXPECT_TRUE(GetTextMetricsW(dc, &tm));
    return tm;
}

// The ink of one text drawn alone with ExtTextOutW at (x, y).
RECT inkOf(std::u16string_view text, LONG height, UINT align = TA_TOP | TA_LEFT, int x = 10, int y = 10) {
    WindowDC window(200, 80);
    SelectedFont font(window.hdc, height);
    SetBkMode(window.hdc, TRANSPARENT);
    SetTextAlign(window.hdc, align);
    ExtTextOutW(window.hdc, x, y, 0, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
    return inkBox(*window.surface, kPaper);
}

TEST(Fonts, HeightsFollowTheLogicalFontsSign) {
    WindowDC window(4, 4);
    const struct {
        LONG height;
        const char* meaning;
    } cases[] = {{-12, "character height"}, {-20, "character height"}, {16, "cell height"}, {30, "cell height"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "lfHeight " << c.height);
        SelectedFont font(window.hdc, c.height);
        const TEXTMETRICW tm = metricsOf(window.hdc);
        EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
        if (c.height < 0)
            EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, -c.height) << c.meaning;
        else
            EXPECT_NEAR(tm.tmHeight, c.height, 1) << c.meaning;
        EXPECT_EQ(extentOf(window.hdc, u"가").cy, tm.tmHeight);
        EXPECT_GT(tm.tmAveCharWidth, 0);
    }
    SelectedFont defaultSize(window.hdc, 0);
    const TEXTMETRICW byDefault = metricsOf(window.hdc);
    SelectObject(window.hdc, GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(metricsOf(window.hdc).tmHeight, byDefault.tmHeight) << "height 0 is the system font's size";

    // Bold strokes are heavier: more of the cell is inked.
    auto inked = [](LONG weight) {
        WindowDC canvas(160, 30);
        SelectedFont font(canvas.hdc, -16, weight);
        SetBkMode(canvas.hdc, TRANSPARENT);
        ExtTextOutW(canvas.hdc, 2, 2, 0, nullptr, u"WLAN ON 켜기", 10, nullptr);
        int count = 0;
        for (const std::string& row : gdi_test::pictureOf(*canvas.surface, 0, 0, 160, 30))
            for (char c : row) count += c != '.';
        return count;
    };
    EXPECT_GT(inked(FW_BOLD), inked(FW_NORMAL) * 11 / 10);
    SelectedFont bold(window.hdc, -16, FW_BOLD);
    EXPECT_EQ(metricsOf(window.hdc).tmWeight, FW_BOLD);
}

TEST(TextExtents, ExtentsAndFits) {
    WindowDC window(4, 4);
    SelectedFont font(window.hdc, -14);
    EXPECT_EQ(extentOf(window.hdc, u"").cx, 0);
    EXPECT_GT(extentOf(window.hdc, u"무선랜").cx, extentOf(window.hdc, u"무선").cx);

    const std::u16string text = u"무선랜 켜기";
    INT extents[16];
    for (INT& e : extents) e = static_cast<INT>(kSentinel);
    INT fit = static_cast<INT>(kSentinel);
    SIZE size{};
    const LONG threeWide = extentOf(window.hdc, u"무선랜").cx;
    ASSERT_TRUE(GetTextExtentExPointW(window.hdc, text.data(), static_cast<int>(text.size()), threeWide, &fit,
                                      extents, &size));
    EXPECT_EQ(fit, 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(extents[i], extentOf(window.hdc, std::u16string_view(text).substr(0, i + 1)).cx);
    EXPECT_EQ(extents[3], static_cast<INT>(kSentinel)) << "only the fitting units are written";
    EXPECT_EQ(size.cx, extentOf(window.hdc, text).cx);

    SIZE untouched{7, 7};
    EXPECT_FAILS_WITH(GetTextExtentPoint32W(window.hdc, u"ab", -1, &untouched), FALSE, ERROR_INVALID_PARAMETER);
    EXPECT_FAILS_WITH(GetTextExtentPoint32W(window.hdc, nullptr, 2, &untouched), FALSE, ERROR_INVALID_PARAMETER);
    EXPECT_EQ(untouched.cx, 7);
    EXPECT_FAILS_WITH(GetTextExtentPoint32W(nullptr, u"ab", 2, &untouched), FALSE, ERROR_INVALID_HANDLE);
    TEXTMETRICW tm{};
    tm.tmHeight = static_cast<LONG>(kSentinel);
    EXPECT_FAILS_WITH(GetTextMetricsW(nullptr, &tm), FALSE, ERROR_INVALID_HANDLE);
    EXPECT_EQ(tm.tmHeight, static_cast<LONG>(kSentinel));
}

TEST(ExtTextOut, BackgroundModesOpaqueRectangleAndClip) {
    WindowDC window(120, 40);
    SelectedFont font(window.hdc, -16);
    const std::u16string text = u"WLAN 켜기";
    const SIZE extent = extentOf(window.hdc, text);
    SetTextColor(window.hdc, RGB(0, 0, 255));
    SetBkColor(window.hdc, RGB(255, 0, 0));

    // OPAQUE (the default): the text's cell takes the background colour.
    ASSERT_TRUE(ExtTextOutW(window.hdc, 5, 5, 0, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr));
    EXPECT_EQ(describe(inkBox(*window.surface, kPaper)), describe({5, 5, 5 + extent.cx, 5 + extent.cy}));
    EXPECT_PIXEL(*window.surface, 5, 5 + extent.cy - 1, RGB(255, 0, 0));
    bool fullInk = false;
    for (int y = 5; y < 5 + extent.cy; ++y)
        for (int x = 5; x < 5 + extent.cx; ++x) fullInk |= window.surface->row(y)[x] == platform::gdi::toRgb565(RGB(0, 0, 255));
    EXPECT_TRUE(fullInk) << "glyph cores are drawn in the text colour";

    // TRANSPARENT: only the glyphs; ETO_OPAQUE still fills its rectangle.
    gdi_test::fillSurface(*window.surface, kPaper);
    SetBkMode(window.hdc, TRANSPARENT);
    ExtTextOutW(window.hdc, 5, 5, 0, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
    const RECT ink = inkBox(*window.surface, kPaper);
    EXPECT_GE(ink.left, 5);
    EXPECT_LE(ink.right, 5 + extent.cx);
    EXPECT_PIXEL(*window.surface, 5, 5 + extent.cy - 1, kPaper);
    gdi_test::fillSurface(*window.surface, kPaper);
    const RECT box{0, 0, 30, 12};
    ASSERT_TRUE(ExtTextOutW(window.hdc, 5, 5, ETO_OPAQUE | ETO_CLIPPED, &box, text.data(), static_cast<UINT>(text.size()),
                            nullptr));
    EXPECT_EQ(describe(inkBox(*window.surface, kPaper)), describe(box)) << "nothing outside the clipping rectangle";
    EXPECT_PIXEL(*window.surface, 0, 0, RGB(255, 0, 0));
    // ETO_OPAQUE with no text fills only.
    gdi_test::fillSurface(*window.surface, kPaper);
    ASSERT_TRUE(ExtTextOutW(window.hdc, 0, 0, ETO_OPAQUE, &box, nullptr, 0, nullptr));
    EXPECT_EQ(describe(inkBox(*window.surface, kPaper)), describe(box));

    EXPECT_FAILS_WITH(ExtTextOutW(window.hdc, 0, 0, 0, nullptr, nullptr, 3, nullptr), FALSE, ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(ExtTextOutW(window.hdc, INT32_MAX, INT32_MIN, 0, nullptr, text.data(), 2, nullptr));
}

TEST(ExtTextOut, AlignmentAndSpacing) {
    WindowDC window(4, 4);
    SelectedFont font(window.hdc, -16);
    const TEXTMETRICW tm = metricsOf(window.hdc);
    const LONG width = extentOf(window.hdc, u"WLAN").cx;

    const RECT top = inkOf(u"WLAN", -16);
    const RECT baseline = inkOf(u"WLAN", -16, TA_BASELINE, 10, 40);
    EXPECT_EQ(baseline.top - top.top, 40 - 10 - tm.tmAscent) << "TA_BASELINE puts the baseline at y";
    const RECT bottom = inkOf(u"WLAN", -16, TA_BOTTOM, 10, 40);
    EXPECT_EQ(bottom.top - top.top, 40 - 10 - tm.tmHeight);
    const RECT right = inkOf(u"WLAN", -16, TA_RIGHT, 100, 10);
    EXPECT_EQ(right.left - top.left, 100 - width - 10);
    const RECT centre = inkOf(u"WLAN", -16, TA_CENTER, 100, 10);
    EXPECT_EQ(centre.left - top.left, 100 - width / 2 - 10);

    // Explicit advances spread the glyphs.
    WindowDC spaced(200, 40);
    SelectedFont spacedFont(spaced.hdc, -16);
    SetBkMode(spaced.hdc, TRANSPARENT);
    const INT advances[] = {40, 40, 40, 40};
    ExtTextOutW(spaced.hdc, 10, 10, 0, nullptr, u"WLAN", 4, advances);
    EXPECT_GE(inkBox(*spaced.surface, kPaper).right - 10, 120);
}

// The ink of DrawTextW in a 100 x 40 rectangle at (20, 20) of a 140 x 80 window.
struct Drawn {
    RECT ink;
    int result;
};
Drawn drawText(std::u16string_view text, UINT format, LONG height = -14) {
    WindowDC window(140, 80);
    SelectedFont font(window.hdc, height);
    SetBkMode(window.hdc, TRANSPARENT);
    RECT rect{20, 20, 120, 60};
    const int result = DrawTextW(window.hdc, text.data(), static_cast<int>(text.size()), &rect, format);
    return {inkBox(*window.surface, kPaper), result};
}

TEST(DrawText, SingleLineAlignments) {
    WindowDC window(4, 4);
    SelectedFont font(window.hdc, -14);
    const LONG lineHeight = metricsOf(window.hdc).tmHeight;
    const LONG width = extentOf(window.hdc, u"켜기 ON").cx;
    const struct {
        UINT format;
        LONG left;   // where the text's cell starts
        LONG top;
        int result;
    } cases[] = {
        {DT_SINGLELINE | DT_LEFT | DT_TOP, 20, 20, lineHeight},
        {DT_SINGLELINE | DT_CENTER | DT_TOP, 20 + (100 - width) / 2, 20, lineHeight},
        {DT_SINGLELINE | DT_RIGHT | DT_TOP, 120 - width, 20, lineHeight},
        {DT_SINGLELINE | DT_LEFT | DT_VCENTER, 20, 20 + (40 - lineHeight) / 2, (40 - lineHeight) / 2 + lineHeight},
        {DT_SINGLELINE | DT_RIGHT | DT_BOTTOM, 120 - width, 60 - lineHeight, 40},
        {DT_LEFT | DT_VCENTER, 20, 20, lineHeight},  // vertical centring needs a single line
    };
    const RECT reference = drawText(u"켜기 ON", DT_SINGLELINE).ink;
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "format 0x" << std::hex << c.format);
        const Drawn drawn = drawText(u"켜기 ON", c.format);
        EXPECT_EQ(drawn.result, c.result);
        EXPECT_EQ(drawn.ink.left - reference.left, c.left - 20);
        EXPECT_EQ(drawn.ink.top - reference.top, c.top - 20);
    }
}

TEST(DrawText, CalcRectMeasuresWithoutDrawing) {
    WindowDC window(140, 80);
    SelectedFont font(window.hdc, -14);
    const LONG lineHeight = metricsOf(window.hdc).tmHeight;
    RECT rect{5, 6, 100, 100};
    const int height = DrawTextW(window.hdc, u"무선랜 켜기", -1, &rect, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(height, lineHeight);
    EXPECT_EQ(describe(rect), describe({5, 6, 5 + extentOf(window.hdc, u"무선랜 켜기").cx, 6 + lineHeight}));
    EXPECT_EQ(describe(inkBox(*window.surface, kPaper)), describe({0, 0, 0, 0})) << "nothing drawn";

    // Word wrapping: lines no wider than the rectangle, broken at spaces.
    const LONG twoWords = extentOf(window.hdc, u"무선랜 켜기").cx;
    RECT wrapped{0, 0, twoWords + 2, 0};
    const int wrappedHeight = DrawTextW(window.hdc, u"무선랜 켜기 무선랜 끄기 WLAN", -1, &wrapped, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(wrappedHeight, 3 * lineHeight);
    EXPECT_EQ(wrapped.bottom, 3 * lineHeight);
    EXPECT_EQ(wrapped.right, twoWords) << "the widest line";

    // A word longer than a line is broken inside.
    RECT narrow{0, 0, extentOf(window.hdc, u"ABC").cx, 0};
    EXPECT_EQ(DrawTextW(window.hdc, u"ABCABCABC", -1, &narrow, DT_WORDBREAK | DT_CALCRECT), 3 * lineHeight);
    EXPECT_LE(narrow.right, extentOf(window.hdc, u"ABC").cx);

    // Line ends make lines, unless the text is a single line.
    RECT paragraphs{0, 0, 200, 0};
    EXPECT_EQ(DrawTextW(window.hdc, u"a\r\nb\nc\rd", -1, &paragraphs, DT_CALCRECT), 4 * lineHeight);
    RECT single{0, 0, 200, 0};
    EXPECT_EQ(DrawTextW(window.hdc, u"a\r\nb\nc\rd", -1, &single, DT_CALCRECT | DT_SINGLELINE), lineHeight);

    // An empty text measures nothing.
    RECT empty{3, 4, 50, 50};
    EXPECT_EQ(DrawTextW(window.hdc, u"", -1, &empty, DT_CALCRECT), 0);
    EXPECT_EQ(describe(empty), describe({3, 4, 3, 4}));
}

TEST(DrawText, PrefixesTabsAndClipping) {
    WindowDC window(4, 4);
    SelectedFont font(window.hdc, -14);
    auto measured = [&](std::u16string_view text, UINT format) {
        RECT r{0, 0, 500, 0};
        DrawTextW(window.hdc, text.data(), static_cast<int>(text.size()), &r, format | DT_CALCRECT | DT_SINGLELINE);
        return r.right;
    };
    EXPECT_EQ(measured(u"&Ok", 0), extentOf(window.hdc, u"Ok").cx);
    EXPECT_EQ(measured(u"&Ok", DT_NOPREFIX), extentOf(window.hdc, u"&Ok").cx);
    EXPECT_EQ(measured(u"A&&B", 0), extentOf(window.hdc, u"A&B").cx);
    const LONG tabStop = 8 * metricsOf(window.hdc).tmAveCharWidth;
    EXPECT_EQ(measured(u"a\tb", DT_EXPANDTABS), tabStop + extentOf(window.hdc, u"b").cx);
    // DT_TABSTOP takes the tab size from the high byte (and so cannot measure).
    const RECT eight = drawText(u"a\tb", DT_SINGLELINE | DT_EXPANDTABS).ink;
    const RECT four = drawText(u"a\tb", DT_SINGLELINE | DT_EXPANDTABS | DT_TABSTOP | (4 << 8)).ink;
    EXPECT_EQ(eight.right - four.right, tabStop / 2);

    // A prefixed character is underlined: ink below the baseline that the plain text has not.
    const RECT plain = drawText(u"Ok", DT_SINGLELINE).ink;
    const RECT prefixed = drawText(u"&Ok", DT_SINGLELINE).ink;
    EXPECT_GT(prefixed.bottom, plain.bottom);

    // Clipped to the rectangle unless DT_NOCLIP.
    const std::u16string wide = u"무선랜 켜기 무선랜 켜기 무선랜 켜기";
    const RECT clipped = drawText(wide, DT_SINGLELINE).ink;
    EXPECT_LE(clipped.right, 120);
    EXPECT_GT(drawText(wide, DT_SINGLELINE | DT_NOCLIP).ink.right, 120);
}

TEST(DrawText, BadArguments) {
    WindowDC window(4, 4);
    RECT rect{0, 0, 10, 10};
    EXPECT_FAILS_WITH(DrawTextW(window.hdc, u"ab", 2, nullptr, 0), 0, ERROR_INVALID_PARAMETER);
    EXPECT_FAILS_WITH(DrawTextW(window.hdc, nullptr, 2, &rect, 0), 0, ERROR_INVALID_PARAMETER);
    EXPECT_FAILS_WITH(DrawTextW(window.hdc, u"ab", -2, &rect, 0), 0, ERROR_INVALID_PARAMETER);
    HDC stale = CreateCompatibleDC(nullptr);
    DeleteDC(stale);
    EXPECT_FAILS_WITH(DrawTextW(stale, u"ab", 2, &rect, 0), 0, ERROR_INVALID_HANDLE);
    EXPECT_EQ(describe(rect), describe({0, 0, 10, 10}));
}

// Each Hangul syllable has its own glyph: with boxes, all would look alike.
TEST(KoreanText, SyllablesHaveTheirOwnGlyphs) {
    ASSERT_FALSE(platform::gdi::fontFile().empty()) << "fonts-nanum is needed to draw Korean text";
    auto glyphInk = [](std::u16string_view syllable) {
        WindowDC window(40, 40);
        SelectedFont font(window.hdc, -24);
        SetBkMode(window.hdc, TRANSPARENT);
        ExtTextOutW(window.hdc, 4, 4, 0, nullptr, syllable.data(), 1, nullptr);
        return gdi_test::pictureOf(*window.surface, 0, 0, 40, 40);
    };
    EXPECT_NE(glyphInk(u"무"), glyphInk(u"선"));
    EXPECT_NE(glyphInk(u"켜"), glyphInk(u"기"));
}

TEST(KoreanText, AScreenshotOfTheSampleReadsBack) {
    auto surface = std::make_shared<gdi_test::Surface>(240, 64);
    WindowDC window(240, 64);
    SetBkMode(window.hdc, TRANSPARENT);
    {
        SelectedFont big(window.hdc, -20, FW_BOLD);
        RECT line{0, 4, 240, 30};
        DrawTextW(window.hdc, u"무선랜 켜기 / WLAN ON", -1, &line, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    }
    {
        SelectedFont dialog(window.hdc, -12);
        RECT line{0, 34, 240, 60};
        DrawTextW(window.hdc, u"무선랜을 끄시겠습니까? 블루투스 켜기", -1, &line, DT_CENTER | DT_WORDBREAK);
    }
    const std::filesystem::path file = std::filesystem::path(::testing::TempDir()) / "gdi_korean_text.png";
    ASSERT_TRUE(platform::gdi::writePng(*window.surface, file));
    std::cout << "Korean sample: " << file.string() << "\n";
    auto back = platform::gdi::readPng(file);
    ASSERT_TRUE(back.has_value());
    ASSERT_EQ(back->width(), 240);
    for (int y = 0; y < 64; ++y)
        ASSERT_TRUE(std::equal(back->row(y), back->row(y) + 240, window.surface->row(y))) << "row " << y;
}

// With no font file, text is drawn as boxes and one warning is logged.
class NoFont : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* previous = std::getenv("PLATFORM_FONT")) saved_ = previous;
        setenv("PLATFORM_FONT", "/nonexistent/font.ttf", 1);
        platform::gdi::reloadFonts();
    }
    void TearDown() override {
        if (saved_)
            setenv("PLATFORM_FONT", saved_->c_str(), 1);
        else
            unsetenv("PLATFORM_FONT");
        platform::gdi::reloadFonts();
    }

private:
    std::optional<std::string> saved_;
};

TEST_F(NoFont, TextIsDrawnAsBoxesWithOneWarning) {
    auto warnings = [] {
        int count = 0;
        for (const auto& line : platform::debug::debugLog().lines())
            count += line.text.find(u"no usable font") != std::u16string::npos;
        return count;
    };
    const int before = warnings();
    auto drawn = [](std::u16string_view text, LONG height) {
        WindowDC window(60, 40);
        SelectedFont font(window.hdc, height);
        SetBkMode(window.hdc, TRANSPARENT);
        ExtTextOutW(window.hdc, 4, 4, 0, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
        return std::pair{gdi_test::pictureOf(*window.surface, 0, 0, 60, 40), inkBox(*window.surface, kPaper)};
    };
    const auto [first, firstInk] = drawn(u"무", -16);
    const auto [second, secondInk] = drawn(u"선", -20);
    EXPECT_EQ(warnings() - before, 1) << "exactly one warning";
    EXPECT_EQ(first, drawn(u"W", -16).first) << "every character is the same box";
    // A box: an outline with the paper inside.
    ASSERT_GT(firstInk.right - firstInk.left, 2);
    ASSERT_GT(firstInk.bottom - firstInk.top, 2);
    const int midX = (firstInk.left + firstInk.right) / 2, midY = (firstInk.top + firstInk.bottom) / 2;
    EXPECT_EQ(first[midY][midX], '.');
    EXPECT_EQ(first[midY][firstInk.left], '#');
    EXPECT_EQ(first[firstInk.top][midX], '#');
    EXPECT_GT(secondInk.bottom - secondInk.top, firstInk.bottom - firstInk.top) << "boxes follow the height";
    WindowDC window(4, 4);
    EXPECT_GT(extentOf(window.hdc, u"무선랜").cx, 0);
}

}  // namespace
