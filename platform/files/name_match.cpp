#include "name_match.h"

namespace platform::files {

char16_t upperCase(char16_t u) {
    if (u < 0x80) return (u >= u'a' && u <= u'z') ? char16_t(u - 0x20) : u;
    if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return char16_t(u - 0x20);
    if (u == 0xFF) return 0x178;
    if (u >= 0x100 && u <= 0x17F) {
        // Upper and lower case alternate; the runs 0139-0148 and 0179-017E start
        // with the upper-case letter on an odd value.
        const bool oddUpper = (u >= 0x139 && u <= 0x148) || (u >= 0x179 && u <= 0x17E);
        if (u == 0x131 || u == 0x138 || u == 0x149 || u == 0x17F) return u;
        if (oddUpper) return (u % 2 == 0) ? char16_t(u - 1) : u;
        return (u % 2 == 1) ? char16_t(u - 1) : u;
    }
    if (u == 0x3C2) return 0x3A3;  // final sigma
    if (u >= 0x3B1 && u <= 0x3C9) return char16_t(u - 0x20);
    if (u >= 0x430 && u <= 0x44F) return char16_t(u - 0x20);
    if (u >= 0x450 && u <= 0x45F) return char16_t(u - 0x50);
    if (u >= 0xFF41 && u <= 0xFF5A) return char16_t(u - 0x20);
    return u;
}

bool sameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (upperCase(a[i]) != upperCase(b[i])) return false;
    return true;
}

bool hasWildcards(std::u16string_view pattern) {
    return pattern.find_first_of(u"*?") != std::u16string_view::npos;
}

namespace {

// Iterative matching with one backtrack point for the last '*': linear in
// practice and never recursive, whatever the pattern.
bool globMatch(std::u16string_view name, std::u16string_view pattern) {
    size_t n = 0, p = 0;
    size_t starP = std::u16string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == u'?' || upperCase(pattern[p]) == upperCase(name[n]))) {
            ++p, ++n;
        } else if (starP != std::u16string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

}  // namespace

bool matchesPattern(std::u16string_view name, std::u16string_view pattern) {
    if (globMatch(name, pattern)) return true;
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == u".*" &&
        name.find(u'.') == std::u16string_view::npos)
        return globMatch(name, pattern.substr(0, pattern.size() - 2));
    return false;
}

}  // namespace platform::files
