// Window procedures in LONG-sized values. Where pointers are 4 bytes a
// procedure's LONG is its address. Where they are wider, GetWindowLongW hands
// out a token standing for the procedure instead (the platform's documentation
// allows "a handle representing the address"), which SetWindowLongW and
// CallWindowProcW take back; the pointer-wide forms always carry the address.
#pragma once

#include <windows.h>

namespace platform::window {

LONG procedureToLong(WNDPROC proc);
// The procedure behind a LONG or pointer value that may be a token; null for
// a token that was never handed out.
WNDPROC procedureFromValue(LONG_PTR value);
// Whether the value is a token rather than an address.
bool isProcedureToken(LONG_PTR value);

}  // namespace platform::window
