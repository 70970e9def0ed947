// Character classes and case of UTF-16 code units.
//
// Case maps cover the letters the device's texts use: ASCII, Latin-1,
// Latin Extended-A, basic Greek and Cyrillic and the fullwidth Latin letters.
// Mappings that depend on the language (dotted and dotless i) and letters
// without a one-unit counterpart (sharp s, final sigma) are left unchanged;
// Hangul has no case.
#include <tchar.h>

namespace {

// Upper-case letters first..last map to lower case by adding delta. With
// alternate set, only every other unit (first, first+2, ...) is a capital,
// each followed by its small letter.
struct CaseRange {
    char16_t first;
    char16_t last;
    int delta;
    bool alternate;
};

constexpr CaseRange kCaseRanges[] = {
    {0x0041, 0x005A, 32, false},    // A-Z
    {0x00C0, 0x00D6, 32, false},    // À-Ö
    {0x00D8, 0x00DE, 32, false},    // Ø-Þ
    {0x0100, 0x012E, 1, true},      // Ā ... Į
    {0x0132, 0x0136, 1, true},      // Ĳ ... Ķ
    {0x0139, 0x0147, 1, true},      // Ĺ ... Ň
    {0x014A, 0x0176, 1, true},      // Ŋ ... Ŷ
    {0x0178, 0x0178, -121, false},  // Ÿ -> ÿ
    {0x0179, 0x017D, 1, true},      // Ź ... Ž
    {0x0386, 0x0386, 38, false},    // Ά
    {0x0388, 0x038A, 37, false},    // Έ-Ί
    {0x038C, 0x038C, 64, false},    // Ό
    {0x038E, 0x038F, 63, false},    // Ύ-Ώ
    {0x0391, 0x03A1, 32, false},    // Α-Ρ
    {0x03A3, 0x03AB, 32, false},    // Σ-Ϋ
    {0x0400, 0x040F, 80, false},    // Ѐ-Џ
    {0x0410, 0x042F, 32, false},    // А-Я
    {0xFF21, 0xFF3A, 32, false},    // fullwidth A-Z
};

bool isCapitalIn(const CaseRange& r, char16_t c) {
    if (c < r.first || c > r.last) return false;
    return !r.alternate || (c - r.first) % 2 == 0;
}

}  // namespace

WCHAR towlower(WCHAR c) {
    for (const CaseRange& r : kCaseRanges) {
        if (isCapitalIn(r, c)) return static_cast<WCHAR>(c + r.delta);
    }
    return c;
}

WCHAR towupper(WCHAR c) {
    for (const CaseRange& r : kCaseRanges) {
        const int capital = c - r.delta;
        if (capital >= 0 && capital <= 0xFFFF && isCapitalIn(r, static_cast<char16_t>(capital)))
            return static_cast<WCHAR>(capital);
    }
    return c;
}

// The C library's blanks (space, \t \n \v \f \r) and the Unicode space
// separators except the no-break ones, so that a no-break space stays part of
// a word.
int iswspace(WCHAR c) {
    if (c == 0x20 || (c >= 0x09 && c <= 0x0D)) return 1;
    if (c == 0x1680 || c == 0x2028 || c == 0x2029 || c == 0x205F || c == 0x3000) return 1;
    return c >= 0x2000 && c <= 0x200A && c != 0x2007;
}

int iswdigit(WCHAR c) { return c >= u'0' && c <= u'9'; }

int iswxdigit(WCHAR c) {
    return iswdigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}
