// The calling thread's last error, as GetLastError reports it.
#pragma once

#include <windef.h>

namespace platform::kernel {
void setLastError(DWORD error);
DWORD lastError();
}  // namespace platform::kernel
