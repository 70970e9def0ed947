#include "last_error.h"

#include <winbase.h>

namespace platform::kernel {

namespace {
thread_local DWORD tlsLastError = ERROR_SUCCESS;
}

void setLastError(DWORD error) { tlsLastError = error; }
DWORD lastError() { return tlsLastError; }

}  // namespace platform::kernel

extern "C" {
DWORD WINAPI GetLastError(void) { return platform::kernel::lastError(); }
void WINAPI SetLastError(DWORD dwErrCode) { platform::kernel::setLastError(dwErrCode); }
}
