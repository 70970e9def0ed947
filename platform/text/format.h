// The one printf-style formatter for UTF-16 format strings, behind wsprintfW,
// swprintf, _snwprintf and NKDbgPrintfW.
//
// Conversions: d i u o x X c C s S p n %, and e E f F g G a A. Flags - + space
// # 0; width and precision as digits or *. Sizes: hh, h (short; with c and s a
// narrow char or string), l (32 bits, as long is on the device; with c and s
// wide), w (wide), ll, I64, q and j (64 bits), L (64 bits; long double with a
// floating-point conversion), I32, and I, z, t (pointer size). %s and %c are
// wide; %S, %C, %hs and %hc are narrow, read as UTF-8. A precision bounds how
// much of a string is read: units of a wide string, bytes of a narrow one. A
// NULL string prints "(null)". %p prints at least 8 upper-case hex digits. %n
// consumes its pointer and writes nothing through it. A '%' followed by a
// character that is no conversion prints that character.
//
// Thread: any.
#pragma once

#include <windef.h>

#include <cstdarg>
#include <cstddef>
#include <string>

namespace platform::text {

// Formats into out[0, capacity) without a terminator. Returns how many units
// the whole output has, which exceeds capacity when it did not fit; units
// past capacity are counted but never written. out may be NULL when capacity is 0.
size_t formatInto(WCHAR* out, size_t capacity, const WCHAR* format, va_list args);

// Formats into a string of at most maxLength units (the rest is dropped).
std::u16string formatToString(const WCHAR* format, va_list args, size_t maxLength);

}  // namespace platform::text
