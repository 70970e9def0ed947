// The screen's size, rotation and work area; GetSystemMetrics,
// SystemParametersInfoW, GetSysColor; composing the screen.
#include "screen.h"

#include <winreg.h>

#include <algorithm>
#include <array>

#include "desktop.h"
#include "platform/gdi/gdi_objects.h"
#include "input.h"
#include "messaging.h"
#include "paint.h"
#include "platform/kernel/last_error.h"
#include "window.h"
#include "window_destroy.h"
#include "window_pos.h"

namespace platform::window {

namespace {

struct ScreenState {
    int angle = 0;
    RECT workArea{0, kTaskbarHeight, kScreenShortSide, kScreenLongSide};
};

ScreenState& screen() {
    static auto* instance = new ScreenState;
    return *instance;
}

ScreenSize sizeFor(int angle) {
    if (angle == 90 || angle == 270) return ScreenSize{kScreenLongSide, kScreenShortSide};
    return ScreenSize{kScreenShortSide, kScreenLongSide};
}

RECT defaultWorkArea(ScreenSize size) { return RECT{0, kTaskbarHeight, size.width, size.height}; }

// GDI reports the display's size to programs (GetDeviceCaps).
void tellDisplaySize(int angle) {
    ScreenSize size = sizeFor(angle);
    gdi::setDisplaySize(SIZE{size.width, size.height});
}

bool validAngle(int angle) { return angle == 0 || angle == 90 || angle == 180 || angle == 270; }

int angleFromRegistry() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"System\\Gdi\\Rotation", 0, 0, &key) != ERROR_SUCCESS) return 0;
    DWORD angle = 0;
    DWORD type = 0;
    DWORD size = sizeof angle;
    LONG result = RegQueryValueExW(key, u"Angle", nullptr, &type, reinterpret_cast<LPBYTE>(&angle), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_DWORD || !validAngle(static_cast<int>(angle))) return 0;
    return static_cast<int>(angle);
}

// The system colours of this terminal (COLORREF: 0x00BBGGRR).
constexpr COLORREF kSystemColors[] = {
    0x00C0C0C0,  // scroll bar
    0x00A56E3A,  // desktop
    0x00800000,  // active caption
    0x00808080,  // inactive caption
    0x00C0C0C0,  // menu
    0x00FFFFFF,  // window
    0x00000000,  // window frame
    0x00000000,  // menu text
    0x00000000,  // window text
    0x00FFFFFF,  // caption text
    0x00C0C0C0,  // active border
    0x00C0C0C0,  // inactive border
    0x00808080,  // application workspace
    0x00800000,  // highlight
    0x00FFFFFF,  // highlight text
    0x00C0C0C0,  // button face
    0x00808080,  // button shadow
    0x00808080,  // grey text
    0x00000000,  // button text
    0x00C0C0C0,  // inactive caption text
    0x00FFFFFF,  // button highlight
    0x00000000,  // 3D dark shadow
    0x00DFDFDF,  // 3D light
    0x00000000,  // tooltip text
    0x00E1FFFF,  // tooltip background
    0x00C0C0C0,  // static background
    0x00000000,  // static text
};

}  // namespace

ScreenSize screenSize() {
    WindowLock lock(windowLock());
    return sizeFor(screen().angle);
}

int rotationAngle() {
    WindowLock lock(windowLock());
    return screen().angle;
}

RECT workArea() {
    WindowLock lock(windowLock());
    return screen().workArea;
}

RECT screenRect() {
    ScreenSize size = screenSize();
    return RECT{0, 0, size.width, size.height};
}

COLORREF systemColor(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kSystemColors))) return 0;
    return kSystemColors[index];
}

HBRUSH systemColorBrush(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kSystemColors))) return nullptr;
    static std::array<HBRUSH, std::size(kSystemColors)> brushes{};
    WindowLock lock(windowLock());
    HBRUSH& brush = brushes[static_cast<size_t>(index)];
    if (!brush) brush = gdi::createSystemBrush(kSystemColors[index]);
    return brush;
}

HBRUSH classBackgroundBrush(HBRUSH background) {
    const auto value = reinterpret_cast<ULONG_PTR>(background);
    if (value > SYS_COLOR_INDEX_FLAG && value <= SYS_COLOR_INDEX_FLAG + std::size(kSystemColors))
        return systemColorBrush(static_cast<int>(value - 1 - SYS_COLOR_INDEX_FLAG));
    return background;
}

void bootScreen() {
    const int angle = angleFromRegistry();
    {
        WindowLock lock(windowLock());
        screen().angle = angle;
        screen().workArea = defaultWorkArea(sizeFor(angle));
        rootWindow();
    }
    tellDisplaySize(angle);
    setShellDesktopWindow(nullptr);
    resetInput();
}

bool setWorkArea(const RECT& area) {
    WindowLock lock(windowLock());
    RECT bounds = screenRect();
    if (rectEmpty(area) || area.left < bounds.left || area.top < bounds.top || area.right > bounds.right ||
        area.bottom > bounds.bottom)
        return false;
    screen().workArea = area;
    return true;
}

bool rotateScreen(int angle) {
    if (!validAngle(angle)) return false;
    struct Resize {
        HWND hwnd;
        RECT rect;
    };
    std::vector<Resize> resizes;
    std::vector<HWND> topLevel;
    {
        WindowLock lock(windowLock());
        dropWindowsOfEndedThreads();
        const RECT oldArea = screen().workArea;
        screen().angle = angle;
        screen().workArea = defaultWorkArea(sizeFor(angle));
        rootWindow();
        tellDisplaySize(angle);
        for (auto& window : topLevelWindows()) {
            topLevel.push_back(window->handle);
            if (window->maximized) resizes.push_back({window->handle, maximizedRect(*window)});
            else if (sameRect(window->rect, oldArea)) resizes.push_back({window->handle, screen().workArea});
        }
    }
    for (const Resize& r : resizes)
        setWindowPos(r.hwnd, nullptr, r.rect.left, r.rect.top, r.rect.right - r.rect.left, r.rect.bottom - r.rect.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    for (HWND hwnd : topLevel) notifyWindow(hwnd, WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0);
    return true;
}

std::shared_ptr<gdi::Surface> composeScreenshot() {
    std::vector<gdi::Layer> layers;
    ScreenSize size;
    {
        WindowLock lock(windowLock());
        dropWindowsOfEndedThreads();
        size = sizeFor(screen().angle);
        Window& root = rootWindow();
        if (root.surface) layers.push_back(gdi::Layer{root.surface, POINT{0, 0}, gdi::Region(screenRect())});
        auto& windows = topLevelWindows();
        for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
            Window& window = **it;
            if (!window.visibleStyle() || !window.surface) continue;
            layers.push_back(gdi::Layer{window.surface, POINT{window.rect.left, window.rect.top}, visibleOnScreen(window)});
        }
    }
    auto picture = std::make_shared<gdi::Surface>(size.width, size.height);
    std::lock_guard lock(gdi::gdiLock());
    gdi::composeScreen(*picture, layers);
    return picture;
}

std::shared_ptr<gdi::Surface> windowScreenshot(HWND hwnd) {
    RECT area;
    {
        WindowLock lock(windowLock());
        auto window = findWindow(hwnd);
        if (!window || !isShowing(*window)) return nullptr;
        area = intersect(windowRectOnScreen(*window), screenRect());
    }
    auto screenPicture = composeScreenshot();
    auto picture = std::make_shared<gdi::Surface>(area.right - area.left, area.bottom - area.top);
    std::lock_guard lock(gdi::gdiLock());
    for (LONG y = area.top; y < area.bottom; ++y)
        std::copy_n(screenPicture->row(static_cast<int>(y)) + area.left, area.right - area.left,
                    picture->row(static_cast<int>(y - area.top)));
    return picture;
}

}  // namespace platform::window

using namespace platform::window;
using platform::kernel::setLastError;

extern "C" {

int WINAPI GetSystemMetrics(int nIndex) {
    const ScreenSize size = screenSize();
    const RECT area = workArea();
    switch (nIndex) {
        case SM_CXSCREEN: return size.width;
        case SM_CYSCREEN: return size.height;
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
        case SM_CYVSCROLL:
        case SM_CXHSCROLL: return 13;
        case SM_CYCAPTION: return kCaptionHeight;
        case SM_CXBORDER:
        case SM_CYBORDER:
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME:
        case SM_CXFRAME:
        case SM_CYFRAME: return kBorderWidth;
        case SM_CXICON:
        case SM_CYICON:
        case SM_CXCURSOR:
        case SM_CYCURSOR: return 32;
        case SM_CXSMICON:
        case SM_CYSMICON: return 16;
        case SM_CYMENU: return kCaptionHeight;
        case SM_CXFULLSCREEN: return area.right - area.left;
        case SM_CYFULLSCREEN: return area.bottom - area.top - kCaptionHeight;
        case SM_CXSIZE:
        case SM_CYSIZE: return kCaptionHeight;
        case SM_CXEDGE:
        case SM_CYEDGE: return kEdgeWidth;
        case SM_CXDOUBLECLK:
        case SM_CYDOUBLECLK: return 4;
        case SM_CXICONSPACING:
        case SM_CYICONSPACING: return 75;
        case SM_MOUSEPRESENT:
        case SM_DEBUG: return 0;
        default:
            setLastError(ERROR_INVALID_PARAMETER);
            return 0;
    }
}

BOOL WINAPI SystemParametersInfoW(UINT uiAction, UINT, PVOID pvParam, UINT) {
    switch (uiAction) {
        case SPI_GETWORKAREA:
            if (!pvParam) break;
            *static_cast<RECT*>(pvParam) = workArea();
            return TRUE;
        case SPI_SETWORKAREA: {
            const RECT area = pvParam ? *static_cast<const RECT*>(pvParam)
                                      : RECT{0, kTaskbarHeight, screenSize().width, screenSize().height};
            if (setWorkArea(area)) return TRUE;
            break;
        }
        default:
            break;
    }
    setLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

DWORD WINAPI GetSysColor(int nIndex) {
    return systemColor(nIndex & ~SYS_COLOR_INDEX_FLAG);
}

HBRUSH WINAPI GetSysColorBrush(int nIndex) {
    HBRUSH brush = systemColorBrush(nIndex & ~SYS_COLOR_INDEX_FLAG);
    if (!brush) setLastError(ERROR_INVALID_PARAMETER);
    return brush;
}

}  // extern "C"
