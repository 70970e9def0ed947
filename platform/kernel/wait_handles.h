// Turns a handle (or the current-process / current-thread pseudo handle) into a
// waitable object.
#pragma once

#include <windef.h>

#include <memory>

#include "scheduler.h"

namespace platform::kernel {

inline const HANDLE kCurrentProcessPseudoHandle = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
inline const HANDLE kCurrentThreadPseudoHandle = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2));

// Null (with ERROR_INVALID_HANDLE) when the handle names nothing waitable.
std::shared_ptr<Waitable> resolveWaitHandle(HANDLE handle);

}  // namespace platform::kernel
