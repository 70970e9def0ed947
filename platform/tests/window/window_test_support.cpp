#include "window_test_support.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>

#include "platform/kernel/process.h"
#include "platform/kernel/process_control.h"
#include "platform/kernel/thread.h"
#include "platform/window/screen.h"

namespace window_test {

namespace {

Handler& handler() {
    static Handler h;
    return h;
}

// Messages whose presence depends on nothing a test looks at.
bool ignored(UINT message) {
    switch (message) {
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH:
        case WM_GETICON:
        case WM_NCHITTEST:
        case WM_NCPAINT:
            return true;
        default:
            return false;
    }
}

std::string describe(const Seen& seen) {
    char text[128];
    std::snprintf(text, sizeof text, "%s hwnd=%p wParam=%#lx lParam=%#lx", messageName(seen.message).c_str(),
                  static_cast<void*>(seen.hwnd), static_cast<unsigned long>(seen.wParam),
                  static_cast<unsigned long>(seen.lParam));
    return text;
}

std::string describe(const Expected& expected) {
    std::string text = messageName(expected.message);
    char part[64];
    if (expected.hwnd) {
        std::snprintf(part, sizeof part, " hwnd=%p", static_cast<void*>(expected.hwnd));
        text += part;
    }
    if (expected.wParam) {
        std::snprintf(part, sizeof part, " wParam=%#lx", static_cast<unsigned long>(*expected.wParam));
        text += part;
    }
    if (expected.lParam) {
        std::snprintf(part, sizeof part, " lParam=%#lx", static_cast<unsigned long>(*expected.lParam));
        text += part;
    }
    return text;
}

bool matches(const Expected& expected, const Seen& seen) {
    if (expected.message != seen.message) return false;
    if (expected.hwnd && expected.hwnd != seen.hwnd) return false;
    if (expected.wParam && *expected.wParam != seen.wParam) return false;
    if (expected.lParam && *expected.lParam != seen.lParam) return false;
    return true;
}

}  // namespace

void MessageLog::add(const Seen& seen) {
    std::lock_guard lock(mutex_);
    seen_.push_back(seen);
}

std::vector<Seen> MessageLog::take() {
    std::lock_guard lock(mutex_);
    std::vector<Seen> taken;
    taken.swap(seen_);
    return taken;
}

void MessageLog::clear() { take(); }

MessageLog& messageLog() {
    static MessageLog log;
    return log;
}

void setHandler(Handler h) { handler() = std::move(h); }

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    messageLog().add(Seen{hwnd, message, wParam, lParam, GetCurrentThreadId()});
    if (handler())
        if (auto result = handler()(hwnd, message, wParam, lParam)) return *result;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

std::string messageName(UINT message) {
    static const struct {
        UINT value;
        const char* name;
    } names[] = {
        {WM_CREATE, "WM_CREATE"},
        {WM_DESTROY, "WM_DESTROY"},
        {WM_MOVE, "WM_MOVE"},
        {WM_SIZE, "WM_SIZE"},
        {WM_ACTIVATE, "WM_ACTIVATE"},
        {WM_SETFOCUS, "WM_SETFOCUS"},
        {WM_KILLFOCUS, "WM_KILLFOCUS"},
        {WM_ENABLE, "WM_ENABLE"},
        {WM_SETTEXT, "WM_SETTEXT"},
        {WM_PAINT, "WM_PAINT"},
        {WM_CLOSE, "WM_CLOSE"},
        {WM_QUIT, "WM_QUIT"},
        {WM_ERASEBKGND, "WM_ERASEBKGND"},
        {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
        {WM_SETTINGCHANGE, "WM_SETTINGCHANGE"},
        {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
        {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
        {WM_STYLECHANGING, "WM_STYLECHANGING"},
        {WM_STYLECHANGED, "WM_STYLECHANGED"},
        {WM_SETICON, "WM_SETICON"},
        {WM_NCCREATE, "WM_NCCREATE"},
        {WM_NCDESTROY, "WM_NCDESTROY"},
        {WM_NCPAINT, "WM_NCPAINT"},
        {WM_NCLBUTTONDOWN, "WM_NCLBUTTONDOWN"},
        {WM_NCLBUTTONUP, "WM_NCLBUTTONUP"},
        {WM_KEYDOWN, "WM_KEYDOWN"},
        {WM_KEYUP, "WM_KEYUP"},
        {WM_CHAR, "WM_CHAR"},
        {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"},
        {WM_SYSKEYUP, "WM_SYSKEYUP"},
        {WM_SYSCHAR, "WM_SYSCHAR"},
        {WM_COMMAND, "WM_COMMAND"},
        {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
        {WM_TIMER, "WM_TIMER"},
        {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
        {WM_LBUTTONUP, "WM_LBUTTONUP"},
        {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
        {WM_HOTKEY, "WM_HOTKEY"},
    };
    for (const auto& n : names)
        if (n.value == message) return n.name;
    char text[16];
    std::snprintf(text, sizeof text, "msg %#x", message);
    return text;
}

void checkSequence(const std::vector<Expected>& expected, const char* context, const char* file, int line,
                   const std::vector<UINT>& only) {
    std::vector<Seen> seen;
    for (const Seen& s : messageLog().take()) {
        if (ignored(s.message)) continue;
        if (!only.empty() && std::find(only.begin(), only.end(), s.message) == only.end()) continue;
        seen.push_back(s);
    }
    bool same = seen.size() == expected.size();
    for (size_t i = 0; same && i < seen.size(); ++i) same = matches(expected[i], seen[i]);
    if (same) return;
    std::string report = std::string(context) + ": message sequence differs\n";
    const size_t rows = std::max(seen.size(), expected.size());
    for (size_t i = 0; i < rows; ++i) {
        std::string want = i < expected.size() ? describe(expected[i]) : "(nothing)";
        std::string got = i < seen.size() ? describe(seen[i]) : "(nothing)";
        const bool ok = i < expected.size() && i < seen.size() && matches(expected[i], seen[i]);
        report += (ok ? "    " : "  * ") + std::string("expected ") + want + "\n         got      " + got + "\n";
    }
    ADD_FAILURE_AT(file, line) << report;
}

void pumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

HWND makeWindow(DWORD style, HWND parent, int id, DWORD exStyle, RECT rect, const WCHAR* title) {
    return CreateWindowExW(exStyle, kRecordingClass, title, style, rect.left, rect.top, rect.right - rect.left,
                           rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr,
                           nullptr);
}

void WindowFixture::SetUp() {
    platform::window::bootScreen();
    setHandler(nullptr);
    WNDCLASSW cls{};
    cls.lpfnWndProc = RecordingProc;
    cls.lpszClassName = kRecordingClass;
    cls.cbWndExtra = kRecordingExtraBytes;
    cls.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    ASSERT_NE(RegisterClassW(&cls), 0) << GetLastError();
    messageLog().clear();
}

void WindowFixture::TearDown() {
    setHandler(nullptr);
    // Every top-level window of this thread goes, children and owned ones with it.
    struct Collect {
        static BOOL CALLBACK proc(HWND hwnd, LPARAM list) {
            if (GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId())
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
            return TRUE;
        }
    };
    std::vector<HWND> mine;
    EnumWindows(Collect::proc, reinterpret_cast<LPARAM>(&mine));
    for (HWND hwnd : mine) DestroyWindow(hwnd);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    UnregisterClassW(kRecordingClass, nullptr);
    messageLog().clear();
}

// ---- processes and threads ---------------------------------------------------

DeviceProcess::DeviceProcess(std::function<void()> body) {
    auto process = platform::kernel::createProcessObject(u"\\Windows\\windowtest.exe", u"");
    id_ = process->id();
    auto thread = platform::kernel::createThreadObject(process);
    platform::kernel::startThread(thread, [body = std::move(body)] {
        body();
        return DWORD{0};
    });
}

DeviceProcess::~DeviceProcess() {
    terminate();
    waitForExit();
}

bool DeviceProcess::waitForExit(DWORD deviceMs) { return platform::kernel::waitForProcessExit(id_, deviceMs); }

void DeviceProcess::terminate() { platform::kernel::terminateProcess(id_, 0); }

DeviceThread::DeviceThread(std::function<void()> body) : body_(std::move(body)) {
    handle_ = CreateThread(
        nullptr, 0,
        [](LPVOID self) -> DWORD {
            static_cast<DeviceThread*>(self)->body_();
            return 0;
        },
        this, 0, &id_);
}

DeviceThread::~DeviceThread() {
    join();
    CloseHandle(handle_);
}

bool DeviceThread::join(DWORD ms) { return WaitForSingleObject(handle_, ms) == WAIT_OBJECT_0; }

ForeignWindow::ForeignWindow(bool pump)
    : pump_(pump), ready_(std::make_unique<Signal>()), done_(std::make_unique<Signal>()) {
    thread_ = std::make_unique<DeviceThread>([this] {
        hwnd_ = makeWindow(WS_POPUP);
        ready_->set();
        if (pump_) {
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
        } else {
            done_->wait();
        }
        DestroyWindow(hwnd_);
    });
    ready_->wait();
}

ForeignWindow::~ForeignWindow() {
    if (pump_) PostThreadMessageW(thread_->id(), WM_QUIT, 0, 0);
    else done_->set();
    thread_.reset();
}

void Signal::set() {
    std::lock_guard lock(mutex_);
    set_ = true;
    cv_.notify_all();
}

bool Signal::wait(int ms) {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return set_; });
}

}  // namespace window_test
