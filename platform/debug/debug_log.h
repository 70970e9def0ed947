// The device's debug log: every line written through OutputDebugStringW or
// NKDbgPrintfW, kept in order with the device time and the writing process.
#pragma once

#include <windef.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform::debug {

struct LogLine {
    uint64_t deviceMs = 0;     // device tick count when written
    DWORD processId = 0;
    std::u16string process;    // "AirSwitch.exe", "host"
    std::u16string text;       // as written, including any "\r\n"
};

class DebugLog {
public:
    void append(std::u16string_view text);
    std::vector<LogLine> lines() const;
    size_t size() const;
    void clear();

    // Echo every new line to stderr (UTF-8, with time and process).
    void setEcho(bool echo);

    // Waits (host time) until some line satisfies the predicate; false on timeout.
    bool waitFor(const std::function<bool(const LogLine&)>& predicate,
                 std::chrono::milliseconds hostTimeout) const;
};

DebugLog& debugLog();

}  // namespace platform::debug
