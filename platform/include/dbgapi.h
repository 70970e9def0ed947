// Kernel debug output.
#pragma once

#include <winbase.h>

EXTERN_C_START

// Formats like wsprintfW and writes the line to the kernel debug output.
WINBASEAPI void WINAPIV NKDbgPrintfW(LPCWSTR lpszFmt, ...);

EXTERN_C_END

#define RETAILMSG(cond, printf_exp) ((cond) ? (NKDbgPrintfW printf_exp), 1 : 0)
#ifdef DEBUG
#define DEBUGMSG(cond, printf_exp) RETAILMSG(cond, printf_exp)
#else
#define DEBUGMSG(cond, printf_exp) ((void)0)
#endif

