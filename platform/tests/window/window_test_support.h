// Test support for the window system: a recording window class, message
// sequences compared with a table of expected messages (both sides printed on
// a mismatch, with the caller's file and line), a fixture that boots the
// screen and cleans up the calling thread's windows, and a device process
// whose thread runs a body (for windows of other threads and processes).
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace window_test {

constexpr DWORD kSentinel = 0xdeadbeef;

struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD threadId;
};

// What a test expects: the message, and when given, its window and parameters.
struct Expected {
    UINT message;
    HWND hwnd = nullptr;
    std::optional<WPARAM> wParam = std::nullopt;
    std::optional<LPARAM> lParam = std::nullopt;
};

// Every message the recording class's procedure sees, from every thread.
class MessageLog {
public:
    void add(const Seen& seen);
    std::vector<Seen> take();
    void clear();

private:
    std::mutex mutex_;
    std::vector<Seen> seen_;
};
MessageLog& messageLog();

// The recording class's procedure: logs, then asks the test's handler (set
// before any thread runs), then DefWindowProcW.
using Handler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;
void setHandler(Handler handler);
LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

inline constexpr const WCHAR* kRecordingClass = u"RecordingWindow";
inline constexpr int kRecordingExtraBytes = 12;

std::string messageName(UINT message);
// Compares what was logged since the last take with the table, ignoring
// messages of the ignore list.
// With only, messages other than those are left out as well.
void checkSequence(const std::vector<Expected>& expected, const char* context, const char* file, int line,
                   const std::vector<UINT>& only = {});
#define EXPECT_SEQUENCE(expected, context) ::window_test::checkSequence(expected, context, __FILE__, __LINE__)
#define EXPECT_SEQUENCE_OF(only, expected, context) \
    ::window_test::checkSequence(expected, context, __FILE__, __LINE__, only)

// Runs the calling thread's queue until nothing is left to retrieve.
void pumpMessages();

// A recording window (hidden unless style says WS_VISIBLE).
HWND makeWindow(DWORD style, HWND parent = nullptr, int id = 0, DWORD exStyle = 0, RECT rect = {10, 40, 110, 140},
                const WCHAR* title = u"test");

class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// A device process of its own (no program module) whose main thread runs the
// body; the process ends when the body returns.
class DeviceProcess {
public:
    explicit DeviceProcess(std::function<void()> body);
    ~DeviceProcess();
    DWORD id() const { return id_; }
    // Waits until the process has ended and been cleaned up.
    bool waitForExit(DWORD deviceMs = 5000);
    void terminate();

private:
    DWORD id_ = 0;
};

// Runs a body on a new thread of the host process; joins on destruction.
class DeviceThread {
public:
    explicit DeviceThread(std::function<void()> body);
    ~DeviceThread();
    DWORD id() const { return id_; }
    bool join(DWORD ms = 5000);

private:
    HANDLE handle_ = nullptr;
    DWORD id_ = 0;
    std::function<void()> body_;
};

// A recording pop-up owned by a thread of its own. With pump, that thread runs
// its message loop until the object goes; without, it only waits (a thread
// that reads no messages).
class ForeignWindow {
public:
    explicit ForeignWindow(bool pump);
    ~ForeignWindow();
    HWND hwnd() const { return hwnd_; }
    DWORD threadId() const { return thread_->id(); }

private:
    bool pump_;
    HWND hwnd_ = nullptr;
    std::unique_ptr<class Signal> ready_, done_;
    std::unique_ptr<DeviceThread> thread_;
};

// A thread-safe one-shot flag with a timed wait (host time).
class Signal {
public:
    void set();
    bool wait(int ms = 5000);

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool set_ = false;
};

}  // namespace window_test
