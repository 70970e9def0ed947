// ProofApp: a small device program that exercises the loader and the kernel
// from the device side. The first word of the command line chooses the check.
#include <windows.h>

static int g_nStarts = 0;  // one copy per process

typedef int (*PFN_PROOFADD)(int, int);
typedef int (*PFN_PROOFCOUNTER)(void);

static LPWSTR SkipBlanks(LPWSTR psz) {
    while (*psz == TEXT(' ') || *psz == TEXT('\t')) ++psz;
    return psz;
}

static BOOL IsWord(LPWSTR pszCmd, LPCWSTR pszWord) {
    size_t nLen = wcslen(pszWord);
    return wcsncmp(pszCmd, pszWord, nLen) == 0 && (pszCmd[nLen] == 0 || pszCmd[nLen] == TEXT(' '));
}

static DWORD RunMutex() {
    HANDLE hMutex = CreateMutexW(NULL, TRUE, TEXT("ProofMutex"));
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        NKDbgPrintfW(TEXT("ProofApp: mutex exists\r\n"));
        return ERROR_ALREADY_EXISTS;
    }
    NKDbgPrintfW(TEXT("ProofApp: mutex first\r\n"));
    HANDLE hQuit = CreateEventW(NULL, TRUE, FALSE, TEXT("ProofQuit"));
    WaitForSingleObject(hQuit, INFINITE);
    NKDbgPrintfW(TEXT("ProofApp: quitting\r\n"));
    CloseHandle(hQuit);
    CloseHandle(hMutex);
    return 0;
}

static DWORD RunQuit() {
    HANDLE hQuit = CreateEventW(NULL, TRUE, FALSE, TEXT("ProofQuit"));
    SetEvent(hQuit);
    CloseHandle(hQuit);
    return 0;
}

static DWORD RunGetData() {
    HANDLE hData = CreateEventW(NULL, FALSE, FALSE, TEXT("ProofData"));
    NKDbgPrintfW(TEXT("ProofApp: waiting for data\r\n"));
    if (WaitForSingleObject(hData, 5000) != WAIT_OBJECT_0) {
        NKDbgPrintfW(TEXT("ProofApp: no data\r\n"));
        CloseHandle(hData);
        return WAIT_TIMEOUT;
    }
    DWORD dwData = GetEventData(hData);
    NKDbgPrintfW(TEXT("ProofApp: data 0x%08X\r\n"), dwData);
    CloseHandle(hData);
    return dwData;
}

static DWORD RunSetData(LPWSTR pszArg) {
    DWORD dwData = wcstoul(SkipBlanks(pszArg), NULL, 0);
    HANDLE hData = CreateEventW(NULL, FALSE, FALSE, TEXT("ProofData"));
    SetEventData(hData, dwData);
    SetEvent(hData);
    NKDbgPrintfW(TEXT("ProofApp: data set 0x%08X\r\n"), dwData);
    CloseHandle(hData);
    return 0;
}

static DWORD RunSleep(LPWSTR pszArg) {
    DWORD dwMs = wcstoul(SkipBlanks(pszArg), NULL, 0);
    DWORD dwStart = GetTickCount();
    Sleep(dwMs);
    NKDbgPrintfW(TEXT("ProofApp: slept %u ms\r\n"), GetTickCount() - dwStart);
    return 0;
}

static DWORD RunLoadLib() {
    HMODULE hLib = LoadLibraryW(TEXT("ProofLib.dll"));
    if (!hLib) {
        NKDbgPrintfW(TEXT("ProofApp: ProofLib.dll not loaded, error %u\r\n"), GetLastError());
        return 1;
    }
    PFN_PROOFADD pfnAdd = (PFN_PROOFADD)GetProcAddressW(hLib, TEXT("ProofAdd"));
    PFN_PROOFCOUNTER pfnCounter = (PFN_PROOFCOUNTER)GetProcAddressW(hLib, TEXT("ProofCounter"));
    FARPROC pfnMissing = GetProcAddressW(hLib, TEXT("ProofMissing"));
    DWORD dwMissingError = GetLastError();
    FARPROC pfnForeign = GetProcAddressW(hLib, TEXT("malloc"));
    if (!pfnAdd || !pfnCounter) {
        NKDbgPrintfW(TEXT("ProofApp: ProofLib exports missing\r\n"));
        FreeLibrary(hLib);
        return 2;
    }
    NKDbgPrintfW(TEXT("ProofApp: ProofAdd(2, 3) = %d\r\n"), pfnAdd(2, 3));
    NKDbgPrintfW(TEXT("ProofApp: ProofCounter = %d\r\n"), pfnCounter());
    NKDbgPrintfW(TEXT("ProofApp: ProofMissing %s, error %u\r\n"), pfnMissing ? TEXT("found") : TEXT("absent"),
                 dwMissingError);
    NKDbgPrintfW(TEXT("ProofApp: malloc %s\r\n"), pfnForeign ? TEXT("exported") : TEXT("not exported"));
    FreeLibrary(hLib);
    return 0;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPWSTR lpCmdLine, int) {
    ++g_nStarts;
    LPWSTR pszCmd = SkipBlanks(lpCmdLine);
    if (IsWord(pszCmd, TEXT("mutex"))) return (int)RunMutex();
    if (IsWord(pszCmd, TEXT("quit"))) return (int)RunQuit();
    if (IsWord(pszCmd, TEXT("getdata"))) return (int)RunGetData();
    if (IsWord(pszCmd, TEXT("setdata"))) return (int)RunSetData(pszCmd + 7);
    if (IsWord(pszCmd, TEXT("sleep"))) return (int)RunSleep(pszCmd + 5);
    if (IsWord(pszCmd, TEXT("loadlib"))) return (int)RunLoadLib();
    if (IsWord(pszCmd, TEXT("globals"))) {
        NKDbgPrintfW(TEXT("ProofApp: globals %d\r\n"), g_nStarts);
        return g_nStarts;
    }
    NKDbgPrintfW(TEXT("ProofApp: unknown command '%s'\r\n"), pszCmd);
    return 1;
}
