// wsprintfW, swprintf and _snwprintf: the platform's buffer rules around the
// one formatter.
#include <tchar.h>
#include <winerror.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "platform/kernel/last_error.h"
#include "platform/text/format.h"

namespace {

using platform::text::formatInto;

// wsprintfW's buffer holds at most this many units, terminator included.
constexpr size_t kWsprintfCapacity = 1024;
constexpr size_t kUnbounded = static_cast<size_t>(-1);

// The functions return int; a longer output is reported as a failure.
int lengthResult(size_t length) { return length > INT_MAX ? -1 : static_cast<int>(length); }

}  // namespace

// Output past 1023 units is cut off; the buffer is always terminated and the
// units stored are returned.
int WINAPI wvsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, va_list arglist) {
    if (!lpOut || !lpFmt) {
        platform::kernel::setLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    const size_t produced = formatInto(lpOut, kWsprintfCapacity - 1, lpFmt, arglist);
    const size_t stored = std::min(produced, kWsprintfCapacity - 1);
    lpOut[stored] = 0;
    return static_cast<int>(stored);
}

int WINAPIV wsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, ...) {
    va_list args;
    va_start(args, lpFmt);
    const int result = wvsprintfW(lpOut, lpFmt, args);
    va_end(args);
    return result;
}

// The platform's form without a count: the caller's buffer must fit.
int vswprintf(WCHAR* buffer, const WCHAR* format, va_list args) {
    if (!buffer || !format) {
        errno = EINVAL;
        return -1;
    }
    const size_t produced = formatInto(buffer, kUnbounded, format, args);
    buffer[produced] = 0;
    return lengthResult(produced);
}

int swprintf(WCHAR* buffer, const WCHAR* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = vswprintf(buffer, format, args);
    va_end(args);
    return result;
}

// At most count units are written. Shorter output is terminated; output of
// exactly count units is not; longer output is cut at count, unterminated, and
// -1 is returned. A NULL buffer with count 0 asks for the length only.
int _vsnwprintf(WCHAR* buffer, size_t count, const WCHAR* format, va_list args) {
    if (!format || (!buffer && count != 0)) {
        errno = EINVAL;
        return -1;
    }
    const size_t produced = formatInto(buffer, count, format, args);
    if (!buffer) return lengthResult(produced);
    if (produced > count) return -1;
    if (produced < count) buffer[produced] = 0;
    return lengthResult(produced);
}

int _snwprintf(WCHAR* buffer, size_t count, const WCHAR* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = _vsnwprintf(buffer, count, format, args);
    va_end(args);
    return result;
}
