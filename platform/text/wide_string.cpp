// The C library's string functions on UTF-16 text (WCHAR).
//
// A NULL string is read as an empty one and a NULL destination receives
// nothing (the function returns NULL), where the C library would crash: a
// program's bad pointer must not bring the whole device down.
#include <tchar.h>

namespace {

int sign(int difference) { return (difference > 0) - (difference < 0); }

// Compares at most count code units, after mapping each through fold.
template <class Fold>
int compareText(const WCHAR* a, const WCHAR* b, size_t count, Fold fold) {
    if (count == 0) return 0;
    if (!a || !b) return sign(static_cast<int>(a != nullptr) - static_cast<int>(b != nullptr));
    for (size_t i = 0; i < count; ++i) {
        const int ca = fold(a[i]);
        const int cb = fold(b[i]);
        if (ca != cb) return sign(ca - cb);
        if (ca == 0) break;
    }
    return 0;
}

int exact(WCHAR c) { return c; }
// Without case, as the C library documents: both sides are lowered, so '_'
// sorts before letters.
int lowered(WCHAR c) { return towlower(c); }

constexpr size_t kNoLimit = static_cast<size_t>(-1);

}  // namespace

size_t wcslen(const WCHAR* s) { return wcsnlen(s, kNoLimit); }

size_t wcsnlen(const WCHAR* s, size_t maxlen) {
    if (!s) return 0;
    size_t n = 0;
    while (n < maxlen && s[n]) ++n;
    return n;
}

WCHAR* wcscpy(WCHAR* dst, const WCHAR* src) {
    if (!dst) return nullptr;
    const size_t n = wcslen(src);
    for (size_t i = 0; i < n; ++i) dst[i] = src[i];
    dst[n] = 0;
    return dst;
}

// Copies at most count units and pads the rest of count with zeros; leaves
// dst unterminated when src has count units or more, as the C library does.
WCHAR* wcsncpy(WCHAR* dst, const WCHAR* src, size_t count) {
    if (!dst) return nullptr;
    const size_t n = wcsnlen(src, count);
    for (size_t i = 0; i < n; ++i) dst[i] = src[i];
    for (size_t i = n; i < count; ++i) dst[i] = 0;
    return dst;
}

WCHAR* wcscat(WCHAR* dst, const WCHAR* src) {
    if (!dst) return nullptr;
    wcscpy(dst + wcslen(dst), src);
    return dst;
}

// Appends at most count units of src and always terminates.
WCHAR* wcsncat(WCHAR* dst, const WCHAR* src, size_t count) {
    if (!dst) return nullptr;
    WCHAR* tail = dst + wcslen(dst);
    const size_t n = wcsnlen(src, count);
    for (size_t i = 0; i < n; ++i) tail[i] = src[i];
    tail[n] = 0;
    return dst;
}

int wcscmp(const WCHAR* a, const WCHAR* b) { return compareText(a, b, kNoLimit, exact); }
int wcsncmp(const WCHAR* a, const WCHAR* b, size_t count) {
    return compareText(a, b, count, exact);
}
int _wcsicmp(const WCHAR* a, const WCHAR* b) { return compareText(a, b, kNoLimit, lowered); }
int _wcsnicmp(const WCHAR* a, const WCHAR* b, size_t count) {
    return compareText(a, b, count, lowered);
}

// The terminator is part of the string: searching for 0 finds it.
const WCHAR* wcschr(const WCHAR* s, WCHAR c) {
    if (!s) return nullptr;
    for (;; ++s) {
        if (*s == c) return s;
        if (*s == 0) return nullptr;
    }
}

WCHAR* wcschr(WCHAR* s, WCHAR c) {
    return const_cast<WCHAR*>(wcschr(static_cast<const WCHAR*>(s), c));
}

const WCHAR* wcsrchr(const WCHAR* s, WCHAR c) {
    if (!s) return nullptr;
    const WCHAR* found = nullptr;
    for (;; ++s) {
        if (*s == c) found = s;
        if (*s == 0) return found;
    }
}

WCHAR* wcsrchr(WCHAR* s, WCHAR c) {
    return const_cast<WCHAR*>(wcsrchr(static_cast<const WCHAR*>(s), c));
}

// An empty sub is found at the start of s.
const WCHAR* wcsstr(const WCHAR* s, const WCHAR* sub) {
    if (!s) return nullptr;
    const size_t n = wcslen(sub);
    for (; *s; ++s) {
        if (wcsncmp(s, sub, n) == 0) return s;
    }
    return n == 0 ? s : nullptr;
}

WCHAR* wcsstr(WCHAR* s, const WCHAR* sub) {
    return const_cast<WCHAR*>(wcsstr(static_cast<const WCHAR*>(s), sub));
}
