// Critical sections and interlocked operations.
#include <winbase.h>

#include <atomic>
#include <mutex>

#include "current.h"

namespace {
std::recursive_mutex* lockOf(LPCRITICAL_SECTION cs) {
    return cs ? static_cast<std::recursive_mutex*>(cs->hCrit) : nullptr;
}
HANDLE ownerValue(DWORD threadId) { return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(threadId)); }
}  // namespace

extern "C" {

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    if (!lpCriticalSection) return;
    *lpCriticalSection = CRITICAL_SECTION{};
    lpCriticalSection->hCrit = new std::recursive_mutex;
}

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    if (auto* lock = lockOf(lpCriticalSection)) {
        delete lock;
        lpCriticalSection->hCrit = nullptr;
    }
}

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    auto* lock = lockOf(lpCriticalSection);
    if (!lock) return;
    lock->lock();
    ++lpCriticalSection->LockCount;
    lpCriticalSection->OwnerThread = ownerValue(platform::kernel::currentThreadId());
}

BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    auto* lock = lockOf(lpCriticalSection);
    if (!lock || !lock->try_lock()) return FALSE;
    ++lpCriticalSection->LockCount;
    lpCriticalSection->OwnerThread = ownerValue(platform::kernel::currentThreadId());
    return TRUE;
}

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    auto* lock = lockOf(lpCriticalSection);
    if (!lock || lpCriticalSection->LockCount == 0 ||
        lpCriticalSection->OwnerThread != ownerValue(platform::kernel::currentThreadId()))
        return;  // not held by the caller: leaving would break someone else's lock
    if (--lpCriticalSection->LockCount == 0) lpCriticalSection->OwnerThread = nullptr;
    lock->unlock();
}

LONG WINAPI InterlockedIncrement(LONG volatile* lpAddend) {
    return std::atomic_ref<LONG>(*const_cast<LONG*>(lpAddend)).fetch_add(1) + 1;
}

LONG WINAPI InterlockedDecrement(LONG volatile* lpAddend) {
    return std::atomic_ref<LONG>(*const_cast<LONG*>(lpAddend)).fetch_sub(1) - 1;
}

LONG WINAPI InterlockedExchange(LONG volatile* Target, LONG Value) {
    return std::atomic_ref<LONG>(*const_cast<LONG*>(Target)).exchange(Value);
}

}  // extern "C"
