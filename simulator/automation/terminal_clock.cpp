// The device clock: its rate and its local date and time.
#include <windows.h>

#include <cmath>
#include <cstdio>

#include "platform/kernel/device_clock.h"
#include "simulator/automation/terminal.h"

namespace sim {

Result Terminal::clockRate(double rate) {
    settle();
    if (!std::isfinite(rate) || rate <= 0 || rate > kMaxClockRate) {
        return Result::failure("the clock rate must be above 0 and at most " + std::to_string(int(kMaxClockRate)));
    }
    platform::kernel::deviceClock().setRate(rate);
    return Result::success();
}

Result Terminal::clockSet(const DateTime& localTime) {
    settle();
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(localTime.year);
    time.wMonth = static_cast<WORD>(localTime.month);
    time.wDay = static_cast<WORD>(localTime.day);
    time.wHour = static_cast<WORD>(localTime.hour);
    time.wMinute = static_cast<WORD>(localTime.minute);
    time.wSecond = static_cast<WORD>(localTime.second);
    FILETIME fileTime{};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", localTime.year, localTime.month,
                  localTime.day, localTime.hour, localTime.minute, localTime.second);
    if (!SystemTimeToFileTime(&time, &fileTime)) return Result::failure(std::string("not a valid time: ") + text);
    // A file time counts 100 ns units since 1601.
    uint64_t units = (uint64_t(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime;
    platform::kernel::deviceClock().setLocalTimeMs(static_cast<int64_t>(units / 10000));
    return Result::success(std::string("local time ") + text);
}

}  // namespace sim
