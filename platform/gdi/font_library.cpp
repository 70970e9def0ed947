#include "font_library.h"

#include "surface.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <unordered_map>

namespace platform::gdi {

namespace {

constexpr const char* kFontVariable = "PLATFORM_FONT";
constexpr const char* kFontPlaces[] = {
    "/usr/share/fonts/truetype/nanum/NanumGothic.ttf",
    "/usr/share/fonts/truetype/nanum-gothic/NanumGothic.ttf",
    "/usr/share/fonts/nanum/NanumGothic.ttf",
    "/usr/local/share/fonts/NanumGothic.ttf",
};
constexpr int kDefaultEmHeight = 12;  // lfHeight 0: the system font's size
constexpr int kMaxEmHeight = 512;
constexpr int kBoldWeight = FW_SEMIBOLD;

struct LibraryDeleter {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceDeleter {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using LibraryPtr = std::unique_ptr<std::remove_pointer_t<FT_Library>, LibraryDeleter>;
using FacePtr = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceDeleter>;

std::optional<std::vector<uint8_t>> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty()) return std::nullopt;
    return bytes;
}

// An outlined box: what a character without a glyph (or any character, with
// no font) looks like.
Glyph boxGlyph(int emHeight) {
    Glyph g;
    g.width = std::max(3, emHeight / 2);
    g.height = std::max(3, emHeight * 7 / 10);
    g.left = 1;
    g.top = g.height;
    g.advance = g.width + 2;
    g.coverage.assign(static_cast<size_t>(g.width) * g.height, 0);
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x)
            if (x == 0 || y == 0 || x == g.width - 1 || y == g.height - 1) g.coverage[y * g.width + x] = 255;
    return g;
}

bool invisible(char32_t c) { return c < 0x20 || c == 0x7F; }

class BoxFace final : public FontFace {
public:
    explicit BoxFace(int em) : box_(boxGlyph(em)), blank_{box_.advance, 0, 0, 0, 0, {}} {
        emHeight = em;
        ascent = box_.height + std::max(1, em / 6);
        descent = std::max(1, em / 5);
        averageWidth = maxWidth = box_.advance;
    }
    const Glyph& glyph(char32_t c) override {
        if (invisible(c)) return none_;
        return c == U' ' ? blank_ : box_;
    }

private:
    Glyph box_;
    Glyph blank_;
    Glyph none_;
};

class FreeTypeFace final : public FontFace {
public:
    FreeTypeFace(FacePtr face, int em, bool synthesizeBold, bool antialiased)
        : face_(std::move(face)), synthesizeBold_(synthesizeBold), antialiased_(antialiased) {
        FT_Set_Pixel_Sizes(face_.get(), 0, static_cast<FT_UInt>(em));
        emHeight = em;
        const FT_Size_Metrics& m = face_->size->metrics;
        ascent = static_cast<int>((m.ascender + 63) >> 6);
        descent = static_cast<int>((-m.descender + 63) >> 6);
        maxWidth = static_cast<int>((m.max_advance + 63) >> 6);
    }

    // Call once italic and weight are set.
    void finish() {
        if (italic) {
            FT_Matrix shear{0x10000, 0x3800, 0, 0x10000};  // about 12 degrees
            FT_Set_Transform(face_.get(), &shear, nullptr);
        }
        averageWidth = glyph(U'x').advance;
    }

    const Glyph& glyph(char32_t c) override {
        auto found = cache_.find(c);
        if (found != cache_.end()) return found->second;
        return cache_.emplace(c, render(c)).first->second;
    }

private:
    Glyph render(char32_t c) {
        if (invisible(c)) return {};
        const FT_UInt index = FT_Get_Char_Index(face_.get(), c);
        if (index == 0) return boxGlyph(emHeight);
        const FT_Int32 target = antialiased_ ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO;
        if (FT_Load_Glyph(face_.get(), index, FT_LOAD_DEFAULT | target) != 0) return boxGlyph(emHeight);
        FT_GlyphSlot slot = face_->glyph;
        int extra = 0;
        if (synthesizeBold_ && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
            const FT_Pos strength = std::max<FT_Pos>(64, emHeight * 64 / 16);
            FT_Outline_Embolden(&slot->outline, strength);
            extra = static_cast<int>(strength >> 6);
        }
        if (FT_Render_Glyph(slot, antialiased_ ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0)
            return boxGlyph(emHeight);

        Glyph g;
        const FT_Bitmap& bitmap = slot->bitmap;
        g.advance = static_cast<int>((slot->advance.x + 32) >> 6) + extra;
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.width = static_cast<int>(bitmap.width);
        g.height = static_cast<int>(bitmap.rows);
        g.coverage.resize(static_cast<size_t>(g.width) * g.height);
        for (int y = 0; y < g.height; ++y) {
            const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
            for (int x = 0; x < g.width; ++x) {
                const bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
                g.coverage[y * g.width + x] = mono ? ((row[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0) : row[x];
            }
        }
        return g;
    }

    FacePtr face_;
    bool synthesizeBold_;
    bool antialiased_;
    std::unordered_map<char32_t, Glyph> cache_;
};

std::filesystem::path findFont() {
    if (const char* named = std::getenv(kFontVariable)) return named;  // only this one
    for (const char* place : kFontPlaces)
        if (std::filesystem::is_regular_file(place)) return place;
    return {};
}

// The family's bold file beside the regular one: NanumGothic.ttf -> NanumGothicBold.ttf.
std::filesystem::path boldBeside(const std::filesystem::path& regular) {
    std::filesystem::path bold = regular;
    bold.replace_filename(regular.stem().string() + "Bold" + regular.extension().string());
    return bold;
}

class FontLibrary {
public:
    FontLibrary() { load(); }

    void reload() {
        faces_.clear();
        load();
    }

    const std::filesystem::path& file() const { return file_; }

    FontFace& face(const LOGFONTW& lf) {
        const bool bold = lf.lfWeight >= kBoldWeight;
        const bool italic = lf.lfItalic != 0;
        const bool antialiased = lf.lfQuality != NONANTIALIASED_QUALITY;
        const int em = emHeightFor(lf.lfHeight);
        const auto key = std::tuple{em, bold, italic, antialiased, lf.lfUnderline != 0, lf.lfStrikeOut != 0};
        auto found = faces_.find(key);
        if (found != faces_.end()) return *found->second;

        std::unique_ptr<FontFace> made = makeFace(em, bold, italic, antialiased);
        made->weight = lf.lfWeight == FW_DONTCARE ? FW_NORMAL : lf.lfWeight;
        made->italic = italic;
        made->underline = lf.lfUnderline != 0;
        made->strikeOut = lf.lfStrikeOut != 0;
        return *faces_.emplace(key, std::move(made)).first->second;
    }

private:
    void load() {
        regular_.reset();
        bold_.reset();
        cellUnits_ = emUnits_ = 0;
        file_ = findFont();
        warned_ = false;
        if (!library_) {
            FT_Library library = nullptr;
            if (FT_Init_FreeType(&library) == 0) library_.reset(library);
        }
        if (file_.empty() || !library_) return;
        regular_ = readFile(file_);
        if (!regular_) return;
        bold_ = readFile(boldBeside(file_));
        if (FacePtr probe = open(false)) {
            cellUnits_ = probe->ascender - probe->descender;
            emUnits_ = probe->units_per_EM;
        }
    }

    // A negative height is the character (em) height, a positive one the cell
    // height (ascent and descent); 0 asks for the default size.
    int emHeightFor(LONG lfHeight) {
        int64_t em = lfHeight < 0 ? -int64_t{lfHeight} : lfHeight;
        if (lfHeight == 0) em = kDefaultEmHeight;
        if (lfHeight > 0) {
            // The cell is the font's ascender and descender; the character
            // height its units per em.
            if (cellUnits_ > 0)
                em = (em * emUnits_ + cellUnits_ / 2) / cellUnits_;
            else
                em = em * 4 / 5;
        }
        return static_cast<int>(std::clamp<int64_t>(em, 1, kMaxEmHeight));
    }

    FacePtr open(bool bold) {
        const std::vector<uint8_t>* bytes = bold && bold_ ? &*bold_ : regular_ ? &*regular_ : nullptr;
        if (!bytes || !library_) return nullptr;
        FT_Face face = nullptr;
        if (FT_New_Memory_Face(library_.get(), bytes->data(), static_cast<FT_Long>(bytes->size()), 0, &face) != 0)
            return nullptr;
        return FacePtr(face);
    }

    std::unique_ptr<FontFace> makeFace(int em, bool bold, bool italic, bool antialiased) {
        if (FacePtr face = open(bold)) {
            auto made = std::make_unique<FreeTypeFace>(std::move(face), em, bold && !bold_, antialiased);
            made->italic = italic;
            made->finish();
            return made;
        }
        warnOnce();
        return std::make_unique<BoxFace>(em);
    }

    void warnOnce() {
        if (warned_) return;
        warned_ = true;
        const std::string where = file_.empty() ? std::string(kFontPlaces[0]) : file_.string();
        std::u16string text = u"GDI: no usable font (";
        text.append(where.begin(), where.end());
        text += u"; set PLATFORM_FONT to a TrueType file): text is drawn as boxes\r\n";
        OutputDebugStringW(text.c_str());
    }

    LibraryPtr library_;
    std::filesystem::path file_;
    std::optional<std::vector<uint8_t>> regular_;
    std::optional<std::vector<uint8_t>> bold_;
    bool warned_ = false;
    int64_t cellUnits_ = 0;  // ascender - descender, in font units
    int64_t emUnits_ = 0;
    std::map<std::tuple<int, bool, bool, bool, bool, bool>, std::unique_ptr<FontFace>> faces_;
};

FontLibrary& library() {
    static auto* instance = new FontLibrary;  // faces may be used while the host exits
    return *instance;
}

}  // namespace

FontFace& faceFor(const LOGFONTW& logFont) { return library().face(logFont); }

std::filesystem::path fontFile() {
    std::lock_guard lock(gdiLock());
    return library().file();
}

void reloadFonts() {
    std::lock_guard lock(gdiLock());
    library().reload();
}

char32_t nextCodePoint(std::u16string_view text, size_t& index) {
    const char16_t unit = text[index++];
    if (unit >= 0xD800 && unit < 0xDC00 && index < text.size()) {
        const char16_t low = text[index];
        if (low >= 0xDC00 && low < 0xE000) {
            ++index;
            return 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    return unit;
}

}  // namespace platform::gdi
