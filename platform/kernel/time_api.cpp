// Sleep, tick count and the device's local and system time.
#include <winbase.h>

#include "device_clock.h"
#include "device_time.h"
#include "last_error.h"
#include "scheduler.h"

namespace platform::kernel {
namespace {

constexpr int64_t kMsPerDay = 86400000;

// Days since 1601-01-01 from a civil date, and back (proleptic Gregorian).
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const int64_t daysSince1970 = era * 146097 + static_cast<int64_t>(doe) - 719468;
    return daysSince1970 + 134774;  // 1601-01-01 is 134774 days before 1970-01-01
}

void civilFromDays(int64_t daysSince1601, int64_t& y, unsigned& m, unsigned& d) {
    int64_t z = daysSince1601 - 134774 + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

bool isLeap(unsigned y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

bool validSystemTime(const SYSTEMTIME& st) {
    static const unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (st.wYear < 1601 || st.wYear > 30827 || st.wMonth < 1 || st.wMonth > 12) return false;
    unsigned days = kDays[st.wMonth - 1] + (st.wMonth == 2 && isLeap(st.wYear) ? 1 : 0);
    return st.wDay >= 1 && st.wDay <= days && st.wHour < 24 && st.wMinute < 60 && st.wSecond < 60 &&
           st.wMilliseconds < 1000;
}

}  // namespace

int64_t msFromSystemTime(const SYSTEMTIME& st) {
    return daysFromCivil(st.wYear, st.wMonth, st.wDay) * kMsPerDay + st.wHour * 3600000LL +
           st.wMinute * 60000LL + st.wSecond * 1000LL + st.wMilliseconds;
}

SYSTEMTIME systemTimeFromMs(int64_t msSince1601) {
    if (msSince1601 < 0) msSince1601 = 0;
    int64_t days = msSince1601 / kMsPerDay;
    int64_t rest = msSince1601 % kMsPerDay;
    int64_t y;
    unsigned m, d;
    civilFromDays(days, y, m, d);
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(m);
    st.wDay = static_cast<WORD>(d);
    st.wDayOfWeek = static_cast<WORD>((days + 1) % 7);  // 1601-01-01 was a Monday
    st.wHour = static_cast<WORD>(rest / 3600000);
    st.wMinute = static_cast<WORD>(rest / 60000 % 60);
    st.wSecond = static_cast<WORD>(rest / 1000 % 60);
    st.wMilliseconds = static_cast<WORD>(rest % 1000);
    return st;
}

bool validDeviceTime(const SYSTEMTIME& st) { return validSystemTime(st); }

}  // namespace platform::kernel

using namespace platform::kernel;

extern "C" {

void WINAPI Sleep(DWORD dwMilliseconds) { sleepDevice(dwMilliseconds); }

DWORD WINAPI GetTickCount(void) { return static_cast<DWORD>(deviceClock().nowMs()); }

void WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime) {
    if (lpSystemTime) *lpSystemTime = systemTimeFromMs(deviceClock().localTimeMs());
}

void WINAPI GetSystemTime(LPSYSTEMTIME lpSystemTime) {
    if (lpSystemTime)
        *lpSystemTime = systemTimeFromMs(deviceClock().localTimeMs() - deviceClock().localBiasMs());
}

BOOL WINAPI SetLocalTime(CONST SYSTEMTIME* lpSystemTime) {
    if (!lpSystemTime || !validSystemTime(*lpSystemTime)) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    deviceClock().setLocalTimeMs(msFromSystemTime(*lpSystemTime));
    return TRUE;
}

BOOL WINAPI SetSystemTime(CONST SYSTEMTIME* lpSystemTime) {
    if (!lpSystemTime || !validSystemTime(*lpSystemTime)) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    deviceClock().setLocalTimeMs(msFromSystemTime(*lpSystemTime) + deviceClock().localBiasMs());
    return TRUE;
}

BOOL WINAPI SystemTimeToFileTime(CONST SYSTEMTIME* lpSystemTime, LPFILETIME lpFileTime) {
    if (!lpSystemTime || !lpFileTime || !validSystemTime(*lpSystemTime)) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    uint64_t ticks = static_cast<uint64_t>(msFromSystemTime(*lpSystemTime)) * 10000;
    lpFileTime->dwLowDateTime = static_cast<DWORD>(ticks);
    lpFileTime->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return TRUE;
}

BOOL WINAPI FileTimeToSystemTime(CONST FILETIME* lpFileTime, LPSYSTEMTIME lpSystemTime) {
    if (!lpFileTime || !lpSystemTime) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    uint64_t ticks = (static_cast<uint64_t>(lpFileTime->dwHighDateTime) << 32) | lpFileTime->dwLowDateTime;
    if (ticks >= 0x8000000000000000ull) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpSystemTime = systemTimeFromMs(static_cast<int64_t>(ticks / 10000));
    return TRUE;
}

}  // extern "C"
