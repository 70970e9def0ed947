#include "name_match.h"

#include <tchar.h>

namespace platform::files {

bool sameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (towupper(a[i]) != towupper(b[i])) return false;
    return true;
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
                   (pattern[p] == u'?' || towupper(pattern[p]) == towupper(name[n]))) {
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
