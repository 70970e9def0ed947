// Conversions between SYSTEMTIME and milliseconds since 1601-01-01.
#pragma once

#include <windef.h>

#include <cstdint>

namespace platform::kernel {
int64_t msFromSystemTime(const SYSTEMTIME& st);
SYSTEMTIME systemTimeFromMs(int64_t msSince1601);
bool validDeviceTime(const SYSTEMTIME& st);
}  // namespace platform::kernel
