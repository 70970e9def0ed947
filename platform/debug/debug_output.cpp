// OutputDebugStringW and NKDbgPrintfW: the programs' way into the debug log.
#include <dbgapi.h>
#include <winbase.h>

#include <cstdarg>

#include "platform/debug/debug_log.h"
#include "platform/text/format.h"

namespace {
// A runaway width in a format cannot grow one line past this.
constexpr size_t kMaxFormattedLine = 64 * 1024;
}  // namespace

// A NULL string writes nothing (the device would fault).
void WINAPI OutputDebugStringW(LPCWSTR lpOutputString) {
    if (!lpOutputString) return;
    platform::debug::debugLog().append(lpOutputString);
}

void WINAPIV NKDbgPrintfW(LPCWSTR lpszFmt, ...) {
    if (!lpszFmt) return;
    va_list args;
    va_start(args, lpszFmt);
    const std::u16string text = platform::text::formatToString(lpszFmt, args, kMaxFormattedLine);
    va_end(args);
    platform::debug::debugLog().append(text);
}
