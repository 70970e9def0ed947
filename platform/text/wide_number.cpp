// wcstol, wcstoul and _wtoi with the C library's rules, for the device's
// 32-bit long: leading blanks, an optional sign, base 0 choosing 16 for "0x",
// 8 for a leading "0" and 10 otherwise, base 16 accepting "0x"; overflow
// clamps and sets errno to ERANGE; an invalid base sets EINVAL.
#include <tchar.h>

#include <cerrno>
#include <cstdint>

namespace {

constexpr uint64_t kLongMax = 0x7FFFFFFF;
constexpr uint64_t kLongMinMagnitude = 0x80000000;
constexpr uint64_t kUlongMax = 0xFFFFFFFF;

int digitValue(WCHAR c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'z') return c - u'a' + 10;
    if (c >= u'A' && c <= u'Z') return c - u'A' + 10;
    return 99;
}

struct Scanned {
    uint64_t magnitude = 0;  // saturated at the limit
    bool negative = false;
    bool overflow = false;
    bool parsed = false;  // at least one digit
    const WCHAR* end = nullptr;
};

// Scans [blanks][sign][0x]digits. limitFor(negative) gives the largest
// magnitude the caller can represent for that sign.
template <class Limit>
Scanned scanInteger(const WCHAR* s, int base, Limit limitFor) {
    Scanned r;
    r.end = s;
    if (!s) return r;
    if (base < 0 || base == 1 || base > 36) {
        errno = EINVAL;
        return r;
    }
    const WCHAR* p = s;
    while (iswspace(*p)) ++p;
    if (*p == u'+' || *p == u'-') r.negative = *p++ == u'-';
    // "0x" counts as a prefix only when a hex digit follows; otherwise the
    // "0" alone is the number and the end points at the 'x'.
    if ((base == 0 || base == 16) && p[0] == u'0' && (p[1] == u'x' || p[1] == u'X') &&
        iswxdigit(p[2])) {
        p += 2;
        base = 16;
    } else if (base == 0) {
        base = *p == u'0' ? 8 : 10;
    }
    const uint64_t limit = limitFor(r.negative);
    for (int d; (d = digitValue(*p)) < base; ++p) {
        r.parsed = true;
        if (r.overflow) continue;
        r.magnitude = r.magnitude * base + d;
        if (r.magnitude > limit) {
            r.overflow = true;
            r.magnitude = limit;
        }
    }
    if (r.parsed) r.end = p;
    if (r.overflow) errno = ERANGE;
    return r;
}

void setEnd(WCHAR** end, const Scanned& r) {
    if (end) *end = const_cast<WCHAR*>(r.end);
}

}  // namespace

long wcstol(const WCHAR* s, WCHAR** end, int base) {
    const Scanned r =
        scanInteger(s, base, [](bool negative) { return negative ? kLongMinMagnitude : kLongMax; });
    setEnd(end, r);
    const auto magnitude = static_cast<int64_t>(r.magnitude);
    return static_cast<long>(r.negative ? -magnitude : magnitude);
}

// As in the C library, a '-' negates the value in unsigned arithmetic, so
// "-1" is 0xFFFFFFFF; a magnitude past 0xFFFFFFFF clamps to it whatever the sign.
unsigned long wcstoul(const WCHAR* s, WCHAR** end, int base) {
    const Scanned r = scanInteger(s, base, [](bool) { return kUlongMax; });
    setEnd(end, r);
    if (r.overflow) return kUlongMax;
    const uint32_t value = static_cast<uint32_t>(r.magnitude);
    return r.negative ? static_cast<uint32_t>(0u - value) : value;
}

int _wtoi(const WCHAR* s) { return static_cast<int>(wcstol(s, nullptr, 10)); }
