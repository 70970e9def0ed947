// The window tree as the simulator shows it ("windows", "expect window").
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace platform::window {

struct WindowInfo {
    HWND handle = nullptr;
    std::u16string className;
    std::u16string title;
    DWORD style = 0;
    DWORD exStyle = 0;
    UINT_PTR id = 0;         // a child's control id
    bool visible = false;    // it and its ancestors are visible
    bool enabled = false;
    bool focus = false;      // it has the keyboard focus (the foreground thread's focus window)
    bool foreground = false;
    RECT rect{};             // screen coordinates
    RECT rectInParent{};     // the parent's client coordinates (screen for top-level windows)
    RECT client{};           // the client area, screen coordinates
    RECT okButton{};         // the caption's OK and close buttons, screen coordinates (empty when absent)
    RECT closeButton{};
    HWND parent = nullptr;
    HWND owner = nullptr;
    DWORD processId = 0;
    DWORD threadId = 0;
    int depth = 0;           // 0 for top-level windows
};

// Every window: top-level windows in Z order (top first), each followed by
// its children. Thread: any.
std::vector<WindowInfo> listWindows();
std::optional<WindowInfo> windowInfo(HWND hwnd);

}  // namespace platform::window
