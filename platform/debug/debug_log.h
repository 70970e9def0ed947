// The device's debug log: every line written through OutputDebugStringW or
// NKDbgPrintfW, kept in order with the device time and the writing process.
//
// Thread: any; every member is safe to call concurrently.
#pragma once

#include <windef.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace platform::debug {

struct LogLine {
    uint64_t deviceMs = 0;  // device tick count when written
    DWORD processId = 0;
    std::u16string process;  // "AirSwitch.exe", "host"
    std::u16string text;     // as written, including any "\r\n"
};

class DebugLog {
  public:
    // Records one write of the calling process as one line, stamped with the
    // device time at which it enters the log (so times never go backwards).
    void append(std::u16string_view text);
    std::vector<LogLine> lines() const;
    size_t size() const;
    void clear();

    // Echo every new line to stderr (UTF-8, as formatLine shows it).
    void setEcho(bool echo);

    // Waits (host time) until some line, already logged or still to come,
    // satisfies the predicate; false on timeout. The predicate runs with the
    // log locked and must not write to the log.
    bool waitFor(const std::function<bool(const LogLine&)>& predicate,
                 std::chrono::milliseconds hostTimeout) const;

  private:
    mutable std::mutex mutex_;
    mutable std::condition_variable appended_;
    std::vector<LogLine> lines_;
    uint64_t firstSequence_ = 0;  // running number of lines_[0], kept across clear()
    bool echo_ = false;
};

DebugLog& debugLog();

// One line for people, in UTF-8 without a line end: "[  12.345] AirSwitch.exe: text".
// Line ends inside the text become "\n"; those at its end are dropped.
std::string formatLine(const LogLine& line);

}  // namespace platform::debug
