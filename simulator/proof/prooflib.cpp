// ProofLib: a small device library for the loader's checks.
#include <windows.h>

static int g_nCalls = 0;  // one copy per process that loads the library

extern "C" int ProofAdd(int a, int b) { return a + b; }

extern "C" int ProofCounter(void) { return ++g_nCalls; }

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD dwReason, LPVOID) {
    if (dwReason == DLL_PROCESS_ATTACH) NKDbgPrintfW(TEXT("ProofLib: attach\r\n"));
    if (dwReason == DLL_PROCESS_DETACH) NKDbgPrintfW(TEXT("ProofLib: detach\r\n"));
    return TRUE;
}
