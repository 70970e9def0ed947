// Who is calling: the device process and thread of the calling host thread.
// A host thread that the platform did not start (a test's or the simulator's
// own) belongs to the host process, id 1, named "host".
#pragma once

#include <windef.h>

#include <string>

namespace platform::kernel {

inline constexpr DWORD kHostProcessId = 1;

DWORD currentProcessId();
DWORD currentThreadId();
// The module file name of the calling process ("AirSwitch.exe"), or "host".
std::u16string currentProcessName();

}  // namespace platform::kernel
