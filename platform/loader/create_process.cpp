// CreateProcessW: a new process whose main thread maps a private copy of the
// program and runs its WinMain.
#include <windows.h>

#include "module_search.h"
#include "platform/kernel/handle_table.h"
#include "platform/kernel/process.h"
#include "platform/kernel/thread.h"
#include "process_modules.h"

namespace platform::loader {
namespace {

using namespace platform::kernel;
using WinMainProc = int(WINAPI*)(HINSTANCE, HINSTANCE, LPWSTR, int);
constexpr int kShowWindowDefault = 5;  // SW_SHOW

// The process's main thread: load the program, run WinMain, return its result.
DWORD runProgram(const std::u16string& imagePath, const std::u16string& commandLine) {
    auto module = loadIntoCurrentProcess(imagePath, false);
    if (!module) {
        DWORD error = lastError();
        OutputDebugStringW((u"Loader: cannot start " + imagePath + u"\r\n").c_str());
        return error;
    }
    auto entry = reinterpret_cast<WinMainProc>(module->ownSymbol("WinMain"));
    if (!entry) {
        OutputDebugStringW((u"Loader: " + imagePath + u" has no WinMain\r\n").c_str());
        return ERROR_BAD_EXE_FORMAT;
    }
    std::u16string arguments = commandLine;  // WinMain may write into its command line
    return static_cast<DWORD>(entry(reinterpret_cast<HINSTANCE>(module->handle), nullptr, arguments.data(),
                                    kShowWindowDefault));
}

}  // namespace
}  // namespace platform::loader

using namespace platform::kernel;
using namespace platform::loader;

extern "C" BOOL WINAPI CreateProcessW(LPCWSTR pszImageName, LPCWSTR pszCmdLine, LPSECURITY_ATTRIBUTES,
                                      LPSECURITY_ATTRIBUTES, BOOL, DWORD fdwCreate, LPVOID, LPWSTR,
                                      LPSTARTUPINFOW, LPPROCESS_INFORMATION pProcInfo) {
    if (!pszImageName || !*pszImageName) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // Find the program now, so that a missing or broken one fails the call.
    DWORD error = ERROR_SUCCESS;
    auto image = findImage(pszImageName, {u"\\Windows", u"\\"}, u".exe", error);
    if (!image) {
        setLastError(error);
        return FALSE;
    }
    if (image->bytes.size() < 4 || image->bytes[0] != 0x7F || image->bytes[1] != 'E') {
        setLastError(ERROR_BAD_EXE_FORMAT);
        return FALSE;
    }
    std::u16string commandLine = pszCmdLine ? pszCmdLine : u"";
    auto process = createProcessObject(image->devicePath, commandLine);
    auto thread = createThreadObject(process);
    if (fdwCreate & CREATE_SUSPENDED) {
        KernelLock lock(kernelLock());
        thread->suspend();
    }
    if (pProcInfo) {
        pProcInfo->hProcess = handleTable().insert(process);
        pProcInfo->hThread = handleTable().insert(thread);
        pProcInfo->dwProcessId = process->id();
        pProcInfo->dwThreadId = thread->id();
    }
    std::u16string imagePath = image->devicePath;
    startThread(thread, [imagePath, commandLine] { return runProgram(imagePath, commandLine); });
    setLastError(ERROR_SUCCESS);
    return TRUE;
}
