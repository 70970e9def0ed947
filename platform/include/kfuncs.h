// Kernel functions particular to this platform.
#pragma once

#include <winbase.h>

EXTERN_C_START

// Every event carries a 32-bit data word beside its state.
WINBASEAPI BOOL WINAPI SetEventData(HANDLE hEvent, DWORD dwData);
WINBASEAPI DWORD WINAPI GetEventData(HANDLE hEvent);

EXTERN_C_END
