// UTF-16 string and formatting functions. The C library's wide functions work on
// wchar_t; the platform's text is WCHAR (UTF-16), so these overloads take WCHAR
// with the C library's rules (blanks, sign, 0x prefix, overflow clamped to the
// device's 32-bit long).
#pragma once

#include <stdarg.h>
#include <windef.h>

#ifdef __cplusplus
// The C library's own declarations come first, so that the standard library's
// `using ::wcstol;` and kin see only them and not the WCHAR overloads below.
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#endif

#ifdef __cplusplus
WINBASEAPI size_t wcslen(const WCHAR* s);
WINBASEAPI size_t wcsnlen(const WCHAR* s, size_t maxlen);
WINBASEAPI WCHAR* wcscpy(WCHAR* dst, const WCHAR* src);
WINBASEAPI WCHAR* wcsncpy(WCHAR* dst, const WCHAR* src, size_t count);
WINBASEAPI WCHAR* wcscat(WCHAR* dst, const WCHAR* src);
WINBASEAPI WCHAR* wcsncat(WCHAR* dst, const WCHAR* src, size_t count);
WINBASEAPI int wcscmp(const WCHAR* a, const WCHAR* b);
WINBASEAPI int wcsncmp(const WCHAR* a, const WCHAR* b, size_t count);
WINBASEAPI int _wcsicmp(const WCHAR* a, const WCHAR* b);
WINBASEAPI int _wcsnicmp(const WCHAR* a, const WCHAR* b, size_t count);
WINBASEAPI const WCHAR* wcschr(const WCHAR* s, WCHAR c);
WINBASEAPI WCHAR* wcschr(WCHAR* s, WCHAR c);
WINBASEAPI const WCHAR* wcsrchr(const WCHAR* s, WCHAR c);
WINBASEAPI WCHAR* wcsrchr(WCHAR* s, WCHAR c);
WINBASEAPI const WCHAR* wcsstr(const WCHAR* s, const WCHAR* sub);
WINBASEAPI WCHAR* wcsstr(WCHAR* s, const WCHAR* sub);
WINBASEAPI long wcstol(const WCHAR* s, WCHAR** end, int base);
WINBASEAPI unsigned long wcstoul(const WCHAR* s, WCHAR** end, int base);
WINBASEAPI int _wtoi(const WCHAR* s);
WINBASEAPI WCHAR towlower(WCHAR c);
WINBASEAPI WCHAR towupper(WCHAR c);
WINBASEAPI int iswspace(WCHAR c);
WINBASEAPI int iswdigit(WCHAR c);
WINBASEAPI int iswxdigit(WCHAR c);

// The platform's swprintf takes no buffer size (the caller's buffer must fit).
WINBASEAPI int swprintf(WCHAR* buffer, const WCHAR* format, ...);
WINBASEAPI int vswprintf(WCHAR* buffer, const WCHAR* format, va_list args);
WINBASEAPI int _snwprintf(WCHAR* buffer, size_t count, const WCHAR* format, ...);
WINBASEAPI int _vsnwprintf(WCHAR* buffer, size_t count, const WCHAR* format, va_list args);
#endif

EXTERN_C_START
// wsprintfW writes at most 1024 characters, as on the platform.
WINBASEAPI int WINAPIV wsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, ...);
WINBASEAPI int WINAPI wvsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, va_list arglist);
EXTERN_C_END

#define wsprintf wsprintfW
#define _tcslen wcslen
#define _tcscpy wcscpy
#define _tcsncpy wcsncpy
#define _tcscat wcscat
#define _tcscmp wcscmp
#define _tcsicmp _wcsicmp
#define _tcsncmp wcsncmp
#define _tcstol wcstol
#define _tcstoul wcstoul
#define _stprintf swprintf
