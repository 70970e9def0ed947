// CreateMutexW, CreateEventW, SetEvent and the waits.
#include <kfuncs.h>

#include <vector>

#include "handle_table.h"
#include "process.h"
#include "sync_objects.h"
#include "thread.h"
#include "wait_handles.h"

namespace platform::kernel {
namespace {

bool validName(LPCWSTR name) {
    if (!name) return true;
    size_t length = 0;
    while (name[length] && length <= MAX_PATH) ++length;
    if (length >= MAX_PATH) {
        setLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    return true;
}

// Creates or opens a named object (or makes an unnamed one) and returns a handle,
// setting ERROR_ALREADY_EXISTS when the name was taken by an object of that kind.
template <class T, class Make, class OnCreate>
HANDLE createNamed(LPCWSTR name, Make make, OnCreate onCreate) {
    if (!validName(name)) return nullptr;
    std::shared_ptr<T> object;
    bool existed = false;
    if (name && *name) {
        bool wrongKind = false;
        object = objectNamespace().openOrCreate<T>(std::u16string(name), existed, wrongKind, make);
        if (wrongKind) {
            setLastError(ERROR_INVALID_HANDLE);
            return nullptr;
        }
    } else {
        object = make();
    }
    if (!existed) onCreate(*object);
    HANDLE handle = handleTable().insert(object);
    if (!handle) {
        setLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    setLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

template <class F>
BOOL withEvent(HANDLE handle, F f) {
    auto event = resolveHandle<Event>(handle);
    if (!event) return FALSE;
    KernelLock lock(kernelLock());
    f(*event);
    return TRUE;
}

}  // namespace
}  // namespace platform::kernel

using namespace platform::kernel;

extern "C" {

HANDLE WINAPI CreateMutexW(LPSECURITY_ATTRIBUTES, BOOL bInitialOwner, LPCWSTR lpName) {
    return createNamed<Mutex>(
        lpName, [] { return std::make_shared<Mutex>(); },
        [&](Mutex& mutex) {
            if (!bInitialOwner) return;
            KernelLock lock(kernelLock());
            mutex.acquireFor(currentThread());
        });
}

BOOL WINAPI ReleaseMutex(HANDLE hMutex) {
    auto mutex = resolveHandle<Mutex>(hMutex);
    if (!mutex) return FALSE;
    KernelLock lock(kernelLock());
    if (!mutex->release(currentThread())) {
        setLastError(ERROR_NOT_OWNER);
        return FALSE;
    }
    return TRUE;
}

HANDLE WINAPI CreateEventW(LPSECURITY_ATTRIBUTES, BOOL bManualReset, BOOL bInitialState, LPCWSTR lpName) {
    return createNamed<Event>(
        lpName, [&] { return std::make_shared<Event>(bManualReset != FALSE, bInitialState != FALSE); },
        [](Event&) {});
}

HANDLE WINAPI OpenEventW(DWORD, BOOL, LPCWSTR lpName) {
    if (!lpName || !*lpName) {
        setLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!validName(lpName)) return nullptr;
    bool wrongKind = false;
    auto event = objectNamespace().open<Event>(std::u16string(lpName), wrongKind);
    if (!event) {
        setLastError(wrongKind ? ERROR_INVALID_HANDLE : ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    return handleTable().insert(event);
}

BOOL WINAPI SetEvent(HANDLE hEvent) { return withEvent(hEvent, [](Event& e) { e.set(); }); }
BOOL WINAPI ResetEvent(HANDLE hEvent) { return withEvent(hEvent, [](Event& e) { e.reset(); }); }
BOOL WINAPI PulseEvent(HANDLE hEvent) { return withEvent(hEvent, [](Event& e) { e.pulse(); }); }
BOOL WINAPI SetEventData(HANDLE hEvent, DWORD dwData) {
    return withEvent(hEvent, [&](Event& e) { e.setData(dwData); });
}

DWORD WINAPI GetEventData(HANDLE hEvent) {
    DWORD data = 0;
    // The data word itself may be 0; callers tell failure by GetLastError.
    if (withEvent(hEvent, [&](Event& e) { data = e.data(); })) setLastError(ERROR_SUCCESS);
    return data;
}

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    return WaitForMultipleObjects(1, &hHandle, FALSE, dwMilliseconds);
}

DWORD WINAPI WaitForMultipleObjects(DWORD nCount, CONST HANDLE* lpHandles, BOOL fWaitAll,
                                    DWORD dwMilliseconds) {
    if (nCount == 0 || nCount > MAXIMUM_WAIT_OBJECTS || !lpHandles || fWaitAll) {
        setLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    std::vector<std::shared_ptr<Waitable>> objects;
    for (DWORD i = 0; i < nCount; ++i) {
        auto object = resolveWaitHandle(lpHandles[i]);
        if (!object) return WAIT_FAILED;
        objects.push_back(std::move(object));
    }
    std::vector<Waitable*> raw;
    for (auto& object : objects) raw.push_back(object.get());
    return waitForObjects(raw, dwMilliseconds);
}

}  // extern "C"
