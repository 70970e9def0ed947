// Threads and processes as handles: CreateThread, priorities, exit codes,
// ExitProcess and TerminateProcess.
#include <winbase.h>

#include <cstdlib>

#include "handle_table.h"
#include "process.h"
#include "thread.h"
#include "wait_handles.h"

namespace platform::kernel {

std::shared_ptr<Waitable> resolveWaitHandle(HANDLE handle) {
    if (handle == kCurrentProcessPseudoHandle) return currentProcessPtr();
    if (handle == kCurrentThreadPseudoHandle) return currentThreadPtr();
    return resolveHandle<Waitable>(handle);
}

namespace {

std::shared_ptr<Thread> resolveThread(HANDLE handle) {
    if (handle == kCurrentThreadPseudoHandle) return currentThreadPtr();
    return resolveHandle<Thread>(handle);
}

std::shared_ptr<Process> resolveProcess(HANDLE handle) {
    if (handle == kCurrentProcessPseudoHandle) return currentProcessPtr();
    return resolveHandle<Process>(handle);
}

[[noreturn]] void leaveThread(DWORD exitCode) { throw ThreadExit{exitCode}; }

}  // namespace
}  // namespace platform::kernel

using namespace platform::kernel;

extern "C" {

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, DWORD, LPTHREAD_START_ROUTINE lpStartAddress,
                           LPVOID lpParameter, DWORD dwCreationFlags, LPDWORD lpThreadId) {
    if (!lpStartAddress) {
        setLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto process = currentProcessPtr();
    {
        KernelLock lock(kernelLock());
        if (process->ending()) {
            setLastError(ERROR_ACCESS_DENIED);
            return nullptr;
        }
    }
    auto thread = createThreadObject(process);
    if (dwCreationFlags & CREATE_SUSPENDED) {
        KernelLock lock(kernelLock());
        thread->suspend();
    }
    HANDLE handle = handleTable().insert(thread);
    if (lpThreadId) *lpThreadId = thread->id();
    startThread(thread, [lpStartAddress, lpParameter] { return lpStartAddress(lpParameter); });
    return handle;
}

DWORD WINAPI ResumeThread(HANDLE hThread) {
    auto thread = resolveThread(hThread);
    if (!thread) return 0xFFFFFFFF;
    KernelLock lock(kernelLock());
    return thread->resume();
}

DWORD WINAPI SuspendThread(HANDLE hThread) {
    auto thread = resolveThread(hThread);
    if (!thread) return 0xFFFFFFFF;
    KernelLock lock(kernelLock());
    DWORD previous = thread->suspend();
    // Suspending oneself takes effect at once; another thread stops at its next
    // call into the platform.
    if (thread.get() == &currentThread()) {
        lock.unlock();
        checkForExit();
    }
    return previous;
}

BOOL WINAPI SetThreadPriority(HANDLE hThread, int nPriority) {
    auto thread = resolveThread(hThread);
    if (!thread) return FALSE;
    if (nPriority < THREAD_PRIORITY_TIME_CRITICAL || nPriority > THREAD_PRIORITY_IDLE) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    KernelLock lock(kernelLock());
    thread->setPriority(nPriority);
    return TRUE;
}

int WINAPI GetThreadPriority(HANDLE hThread) {
    auto thread = resolveThread(hThread);
    if (!thread) return THREAD_PRIORITY_ERROR_RETURN;
    KernelLock lock(kernelLock());
    return thread->priority();
}

void WINAPI ExitThread(DWORD dwExitCode) { leaveThread(dwExitCode); }

BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
    auto thread = resolveThread(hThread);
    if (!thread) return FALSE;
    if (!lpExitCode) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    KernelLock lock(kernelLock());
    *lpExitCode = thread->exited() ? thread->exitCode() : STILL_ACTIVE;
    return TRUE;
}

BOOL WINAPI TerminateThread(HANDLE hThread, DWORD dwExitCode) {
    auto thread = resolveThread(hThread);
    if (!thread) return FALSE;
    bool self = thread.get() == &currentThread();
    {
        KernelLock lock(kernelLock());
        thread->requestExit(dwExitCode);
    }
    if (self) checkForExit();
    return TRUE;
}

DWORD WINAPI GetCurrentThreadId(void) { return currentThread().id(); }
HANDLE WINAPI GetCurrentThread(void) { return kCurrentThreadPseudoHandle; }
DWORD WINAPI GetCurrentProcessId(void) { return currentThread().process().id(); }
HANDLE WINAPI GetCurrentProcess(void) { return kCurrentProcessPseudoHandle; }

BOOL WINAPI GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode) {
    auto process = resolveProcess(hProcess);
    if (!process) return FALSE;
    if (!lpExitCode) {
        setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    KernelLock lock(kernelLock());
    *lpExitCode = process->ended() ? process->exitCode() : STILL_ACTIVE;
    return TRUE;
}

BOOL WINAPI TerminateProcess(HANDLE hProcess, DWORD uExitCode) {
    auto process = resolveProcess(hProcess);
    if (!process) return FALSE;
    if (process.get() == &hostProcess()) {
        setLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    {
        KernelLock lock(kernelLock());
        process->beginExit(uExitCode);
    }
    if (process.get() == &currentThread().process()) checkForExit();
    return TRUE;
}

void WINAPI ExitProcess(UINT uExitCode) {
    auto process = currentProcessPtr();
    if (process.get() == &hostProcess()) std::exit(static_cast<int>(uExitCode));
    {
        KernelLock lock(kernelLock());
        process->beginExit(uExitCode);
    }
    leaveThread(uExitCode);
}

}  // extern "C"
