// The debug log's record, its waiters and its echo to stderr.
#include "platform/debug/debug_log.h"

#include <cinttypes>
#include <cstdio>

#include "platform/kernel/current.h"
#include "platform/kernel/device_clock.h"
#include "platform/text/utf.h"

namespace platform::debug {

void DebugLog::append(std::u16string_view text) {
    LogLine line;
    line.processId = kernel::currentProcessId();
    line.process = kernel::currentProcessName();
    line.text = text;

    std::lock_guard lock(mutex_);
    line.deviceMs = kernel::deviceClock().nowMs();
    // Echoed under the lock so stderr shows the lines in the log's order.
    if (echo_) {
        const std::string shown = formatLine(line) + '\n';
        std::fwrite(shown.data(), 1, shown.size(), stderr);
    }
    lines_.push_back(std::move(line));
    appended_.notify_all();
}

std::vector<LogLine> DebugLog::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

size_t DebugLog::size() const {
    std::lock_guard lock(mutex_);
    return lines_.size();
}

void DebugLog::clear() {
    std::lock_guard lock(mutex_);
    firstSequence_ += lines_.size();
    lines_.clear();
}

void DebugLog::setEcho(bool echo) {
    std::lock_guard lock(mutex_);
    echo_ = echo;
}

bool DebugLog::waitFor(const std::function<bool(const LogLine&)>& predicate,
                       std::chrono::milliseconds hostTimeout) const {
    const auto deadline = std::chrono::steady_clock::now() + hostTimeout;
    std::unique_lock lock(mutex_);
    // Each line is tested once, even when the log is cleared in between.
    uint64_t nextSequence = firstSequence_;
    for (;;) {
        for (size_t i = nextSequence > firstSequence_ ? nextSequence - firstSequence_ : 0;
             i < lines_.size(); ++i) {
            if (predicate(lines_[i])) return true;
        }
        nextSequence = firstSequence_ + lines_.size();
        if (appended_.wait_until(lock, deadline) == std::cv_status::timeout &&
            firstSequence_ + lines_.size() == nextSequence)
            return false;
    }
}

DebugLog& debugLog() {
    static DebugLog log;
    return log;
}

std::string formatLine(const LogLine& line) {
    std::u16string_view body = line.text;
    while (!body.empty() && (body.back() == u'\n' || body.back() == u'\r')) body.remove_suffix(1);
    std::u16string shown;
    shown.reserve(body.size());
    for (size_t i = 0; i < body.size(); ++i) {
        if (body[i] == u'\r' && i + 1 < body.size() && body[i + 1] == u'\n') continue;
        shown += body[i] == u'\r' ? u'\n' : body[i];
    }
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, "[%4" PRIu64 ".%03" PRIu64 "] ", line.deviceMs / 1000,
                  line.deviceMs % 1000);
    return stamp + text::toUtf8(line.process) + ": " + text::toUtf8(shown);
}

}  // namespace platform::debug
