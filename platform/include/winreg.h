// The registry.
#pragma once

#include <winbase.h>

#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)((LONG)0x80000000))
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)((LONG)0x80000001))
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)((LONG)0x80000002))
#define HKEY_USERS ((HKEY)(ULONG_PTR)((LONG)0x80000003))

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_DWORD_LITTLE_ENDIAN 4
#define REG_DWORD_BIG_ENDIAN 5
#define REG_LINK 6
#define REG_MULTI_SZ 7

#define REG_OPTION_NON_VOLATILE 0x00000000L
#define REG_OPTION_VOLATILE 0x00000001L
#define REG_CREATED_NEW_KEY 0x00000001L
#define REG_OPENED_EXISTING_KEY 0x00000002L

#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_NOTIFY 0x0010
#define KEY_CREATE_LINK 0x0020
#define KEY_READ 0x00020019
#define KEY_WRITE 0x00020006
#define KEY_EXECUTE KEY_READ
#define KEY_ALL_ACCESS 0x000F003F

typedef DWORD REGSAM;

// The registry functions return ERROR_SUCCESS or an error code; they do not set
// the last error. Key and value names are found without regard to case and keep
// the spelling they were created with. Limits: 255 characters for a key name
// (each name in a path), a value name or a class; 4096 bytes of data; keys nested
// at most 16 deep below a root. A name past a limit fails with
// ERROR_INVALID_PARAMETER. A handle to a key that has been deleted meanwhile
// answers ERROR_KEY_DELETED. RegDeleteKeyW deletes the key with all its subkeys.
//
// RegEnumKeyExW and RegEnumValueW enumerate in ascending order of name compared
// without regard to case (letters as upper case, so '_' follows the letters; the
// unnamed value comes first), so programs see a stable order. When a buffer is
// too small they return ERROR_MORE_DATA, write into no buffer, and report the
// sizes needed: names in characters without the terminator, data in bytes.

EXTERN_C_START

WINREGAPI LONG WINAPI RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                                    PHKEY phkResult);
WINREGAPI LONG WINAPI RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR lpClass,
                                      DWORD dwOptions, REGSAM samDesired,
                                      LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                                      LPDWORD lpdwDisposition);
WINREGAPI LONG WINAPI RegCloseKey(HKEY hKey);
WINREGAPI LONG WINAPI RegQueryInfoKeyW(HKEY hKey, LPWSTR lpClass, LPDWORD lpcbClass,
                                       LPDWORD lpReserved, LPDWORD lpcSubKeys,
                                       LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen,
                                       LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen,
                                       LPDWORD lpcbMaxValueLen, LPDWORD lpcbSecurityDescriptor,
                                       PFILETIME lpftLastWriteTime);
WINREGAPI LONG WINAPI RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcbName,
                                    LPDWORD lpReserved, LPWSTR lpClass, LPDWORD lpcbClass,
                                    PFILETIME lpftLastWriteTime);
WINREGAPI LONG WINAPI RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName,
                                    LPDWORD lpcbValueName, LPDWORD lpReserved, LPDWORD lpType,
                                    LPBYTE lpData, LPDWORD lpcbData);
WINREGAPI LONG WINAPI RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved,
                                       LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
WINREGAPI LONG WINAPI RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType,
                                     CONST BYTE* lpData, DWORD cbData);
WINREGAPI LONG WINAPI RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey);
WINREGAPI LONG WINAPI RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName);

EXTERN_C_END

#define RegOpenKeyEx RegOpenKeyExW
#define RegCreateKeyEx RegCreateKeyExW
#define RegQueryInfoKey RegQueryInfoKeyW
#define RegEnumKeyEx RegEnumKeyExW
#define RegEnumValue RegEnumValueW
#define RegQueryValueEx RegQueryValueExW
#define RegSetValueEx RegSetValueExW
#define RegDeleteKey RegDeleteKeyW
#define RegDeleteValue RegDeleteValueW
