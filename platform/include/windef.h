// Base types of the platform's API. Sizes are those of the 32-bit device:
// DWORD and LONG are 32 bits on every host; pointer-sized types follow the host.
#pragma once

#include <stddef.h>
#include <stdint.h>

#define WINAPI
#define CALLBACK
#define APIENTRY
#define WINAPIV
#define CONST const
#define VOID void
#define IN
#define OUT
#define OPTIONAL

// Functions implemented by the platform library.
#define WINBASEAPI __attribute__((visibility("default")))
#define WINUSERAPI WINBASEAPI
#define WINGDIAPI WINBASEAPI
#define WINREGAPI WINBASEAPI

#ifdef __cplusplus
#define EXTERN_C extern "C"
#define EXTERN_C_START extern "C" {
#define EXTERN_C_END }
#else
#define EXTERN_C extern
#define EXTERN_C_START
#define EXTERN_C_END
#endif

typedef int BOOL;
typedef BOOL* PBOOL;
typedef BOOL* LPBOOL;
typedef unsigned char BYTE;
typedef BYTE* PBYTE;
typedef BYTE* LPBYTE;
typedef const BYTE* LPCBYTE;
typedef unsigned char UCHAR;
typedef unsigned char BOOLEAN;
typedef char CHAR;
typedef short SHORT;
typedef unsigned short USHORT;
typedef unsigned short WORD;
typedef WORD* PWORD;
typedef WORD* LPWORD;
typedef uint32_t DWORD;
typedef DWORD* PDWORD;
typedef DWORD* LPDWORD;
typedef int32_t LONG;
typedef LONG* PLONG;
typedef LONG* LPLONG;
typedef uint32_t ULONG;
typedef ULONG* PULONG;
typedef int INT;
typedef unsigned int UINT;
typedef UINT* PUINT;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef uint64_t DWORD64;
typedef float FLOAT;

typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef ULONG_PTR SIZE_T;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;

typedef void* PVOID;
typedef void* LPVOID;
typedef const void* LPCVOID;

// Text is UTF-16 on the API.
typedef char16_t WCHAR;
typedef WCHAR TCHAR;
typedef WCHAR* PWSTR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef const WCHAR* PCWSTR;
typedef WCHAR* LPTSTR;
typedef const WCHAR* LPCTSTR;
typedef char* LPSTR;
typedef const char* LPCSTR;

#define TEXT(quote) u##quote
#define _T(quote) u##quote
#define _TEXT(quote) u##quote
#define L_(quote) u##quote

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#ifndef NULL
#ifdef __cplusplus
#define NULL nullptr
#else
#define NULL ((void*)0)
#endif
#endif

#define MAX_PATH 260

#define DECLARE_HANDLE(name) \
    struct name##__ {        \
        int unused;          \
    };                       \
    typedef struct name##__* name

typedef void* HANDLE;
typedef HANDLE* PHANDLE;
typedef HANDLE* LPHANDLE;
typedef HANDLE HLOCAL;
typedef HANDLE HGLOBAL;
DECLARE_HANDLE(HWND);
DECLARE_HANDLE(HINSTANCE);
typedef HINSTANCE HMODULE;
DECLARE_HANDLE(HKEY);
typedef HKEY* PHKEY;
DECLARE_HANDLE(HDC);
typedef void* HGDIOBJ;
DECLARE_HANDLE(HBITMAP);
DECLARE_HANDLE(HBRUSH);
DECLARE_HANDLE(HPEN);
DECLARE_HANDLE(HFONT);
DECLARE_HANDLE(HRGN);
DECLARE_HANDLE(HPALETTE);
DECLARE_HANDLE(HICON);
typedef HICON HCURSOR;
DECLARE_HANDLE(HMENU);
DECLARE_HANDLE(HACCEL);
DECLARE_HANDLE(HRSRC);

typedef DWORD COLORREF;
typedef LONG HRESULT;

#define MAKEWORD(a, b) ((WORD)(((BYTE)((DWORD_PTR)(a)&0xff)) | ((WORD)((BYTE)((DWORD_PTR)(b)&0xff))) << 8))
#define MAKELONG(a, b) ((LONG)(((WORD)((DWORD_PTR)(a)&0xffff)) | ((DWORD)((WORD)((DWORD_PTR)(b)&0xffff))) << 16))
#define LOWORD(l) ((WORD)((DWORD_PTR)(l)&0xffff))
#define HIWORD(l) ((WORD)((DWORD_PTR)(l) >> 16))
#define LOBYTE(w) ((BYTE)((DWORD_PTR)(w)&0xff))
#define HIBYTE(w) ((BYTE)((DWORD_PTR)(w) >> 8))

#define MAXDWORD 0xffffffffu
#define MAXLONG 0x7fffffff

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT, *PPOINT, *LPPOINT;

typedef struct tagSIZE {
    LONG cx;
    LONG cy;
} SIZE, *PSIZE, *LPSIZE;

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT, *PRECT, *LPRECT;
typedef const RECT* LPCRECT;

typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME, *PFILETIME, *LPFILETIME;

typedef struct _SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
} SYSTEMTIME, *PSYSTEMTIME, *LPSYSTEMTIME;

typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *PSECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

// Records whose layout the platform fixes are checked where pointers are 4 bytes.
#if UINTPTR_MAX == 0xffffffffu
#define PLATFORM_32BIT_TARGET 1
#define PLATFORM_ASSERT_LAYOUT(cond, what) static_assert(cond, what)
#else
#define PLATFORM_32BIT_TARGET 0
#define PLATFORM_ASSERT_LAYOUT(cond, what) static_assert(true, what)
#endif

// Records without pointers have the device's layout on every host.
#ifdef __cplusplus
static_assert(sizeof(DWORD) == 4 && sizeof(LONG) == 4 && sizeof(WORD) == 2, "device integer sizes");
static_assert(sizeof(WCHAR) == 2, "text is UTF-16");
static_assert(sizeof(POINT) == 8 && offsetof(POINT, y) == 4, "POINT layout");
static_assert(sizeof(SIZE) == 8 && offsetof(SIZE, cy) == 4, "SIZE layout");
static_assert(sizeof(RECT) == 16 && offsetof(RECT, top) == 4 && offsetof(RECT, right) == 8 &&
                  offsetof(RECT, bottom) == 12,
              "RECT layout");
static_assert(sizeof(FILETIME) == 8 && offsetof(FILETIME, dwHighDateTime) == 4, "FILETIME layout");
static_assert(sizeof(SYSTEMTIME) == 16 && offsetof(SYSTEMTIME, wMonth) == 2 &&
                  offsetof(SYSTEMTIME, wDayOfWeek) == 4 && offsetof(SYSTEMTIME, wDay) == 6 &&
                  offsetof(SYSTEMTIME, wHour) == 8 && offsetof(SYSTEMTIME, wMinute) == 10 &&
                  offsetof(SYSTEMTIME, wSecond) == 12 && offsetof(SYSTEMTIME, wMilliseconds) == 14,
              "SYSTEMTIME layout");
#endif
PLATFORM_ASSERT_LAYOUT(sizeof(SECURITY_ATTRIBUTES) == 12 &&
                           offsetof(SECURITY_ATTRIBUTES, lpSecurityDescriptor) == 4 &&
                           offsetof(SECURITY_ATTRIBUTES, bInheritHandle) == 8,
                       "SECURITY_ATTRIBUTES is 12 bytes");
