// The screen: metrics, the work area, maximised windows, rotation at boot and
// at run time, and coordinate conversions.
#include <winreg.h>

#include "platform/window/screen.h"
#include "window_test_support.h"

namespace {

using namespace window_test;

class Screen : public WindowFixture {
protected:
    void TearDown() override {
        HKEY key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"System\\Gdi\\Rotation", 0, 0, &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, u"Angle");
            RegCloseKey(key);
        }
        WindowFixture::TearDown();
        platform::window::bootScreen();
    }
    static void setRegistryAngle(DWORD type, DWORD value) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"System\\Gdi\\Rotation", 0, nullptr, 0, 0, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(key, u"Angle", 0, type, reinterpret_cast<const BYTE*>(&value), sizeof value),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
};

// The dialog style of a full-screen dialog with the caption's OK button.
constexpr DWORD kDialogStyle = 0x90C800C0 & ~WS_VISIBLE;
constexpr DWORD kDialogExStyle = 0x80040000;

TEST_F(Screen, DeviceMetrics) {
    struct Case {
        int index;
        int value;
    } cases[] = {{SM_CXSCREEN, 240}, {SM_CYSCREEN, 320}, {SM_CYCAPTION, 26}, {SM_CXBORDER, 1},
                 {SM_CYBORDER, 1},   {SM_CXEDGE, 2},     {SM_CXICON, 32},    {SM_CXSMICON, 16},
                 {SM_CXFULLSCREEN, 240}, {SM_CYFULLSCREEN, 268}};
    for (auto& c : cases) EXPECT_EQ(GetSystemMetrics(c.index), c.value) << c.index;
    SetLastError(kSentinel);
    EXPECT_EQ(GetSystemMetrics(1000), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);

    RECT area{1, 1, 1, 1};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0));
    EXPECT_EQ(area.top, 26);
    EXPECT_EQ(area.bottom, 320);
    RECT tooBig{0, 0, 241, 320};
    SetLastError(kSentinel);
    EXPECT_FALSE(SystemParametersInfoW(SPI_SETWORKAREA, 0, &tooBig, 0));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), 0x00FFFFFFu);
}

TEST_F(Screen, AMaximisedCaptionedDialogGetsTheWorkAreaLessItsCaption) {
    HWND dialog = makeWindow(kDialogStyle, nullptr, 0, kDialogExStyle, {20, 60, 200, 200}, u"Dialog");
    messageLog().clear();
    EXPECT_FALSE(ShowWindow(dialog, SW_MAXIMIZE));
    EXPECT_SEQUENCE_OF((std::vector<UINT>{WM_SIZE}),
                       (std::vector<Expected>{{WM_SIZE, dialog, SIZE_MAXIMIZED, MAKELPARAM(240, 268)}}), "maximise");
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 240);
    EXPECT_EQ(client.bottom, 268);
    POINT origin{0, 0};
    ClientToScreen(dialog, &origin);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 52);

    // Restoring brings the old place back.
    ShowWindow(dialog, SW_SHOWNORMAL);
    RECT rect{};
    GetWindowRect(dialog, &rect);
    EXPECT_EQ(rect.left, 20);
    EXPECT_EQ(rect.bottom, 200);

    SetLastError(kSentinel);
    EXPECT_FALSE(ShowWindow(dialog, 3)) << "the desktop's SW_MAXIMIZE value is not this platform's";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
}

TEST_F(Screen, RotationAtBootComesFromTheRegistry) {
    struct Case {
        DWORD type;
        DWORD angle;
        int width, height;
    } cases[] = {{REG_DWORD, 0, 240, 320},   {REG_DWORD, 90, 320, 240}, {REG_DWORD, 180, 240, 320},
                 {REG_DWORD, 270, 320, 240}, {REG_DWORD, 45, 240, 320}, {REG_BINARY, 90, 240, 320}};
    for (auto& c : cases) {
        setRegistryAngle(c.type, c.angle);
        platform::window::bootScreen();
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), c.width) << c.angle;
        EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), c.height) << c.angle;
        RECT area{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        EXPECT_EQ(area.right, c.width) << c.angle;
    }
}

TEST_F(Screen, RotatingResizesMaximisedWindowsAndTellsEveryTopLevelWindow) {
    HWND dialog = makeWindow(kDialogStyle, nullptr, 0, kDialogExStyle, {0, 0, 10, 10}, u"Dialog");
    ShowWindow(dialog, SW_MAXIMIZE);
    HWND small = makeWindow(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, {10, 40, 60, 90});
    HWND hidden = makeWindow(WS_POPUP);
    HWND child = makeWindow(WS_CHILD | WS_VISIBLE, dialog, 1);
    pumpMessages();
    messageLog().clear();
    ASSERT_TRUE(platform::window::rotateScreen(90));
    pumpMessages();
    std::vector<HWND> told;
    for (const Seen& s : messageLog().take()) {
        if (s.message == WM_SETTINGCHANGE) {
            EXPECT_EQ(s.wParam, (WPARAM)SETTINGCHANGE_RESET);
            told.push_back(s.hwnd);
        }
        messageLog().add(s);
    }
    EXPECT_SEQUENCE_OF((std::vector<UINT>{WM_SIZE}),
                       (std::vector<Expected>{{WM_SIZE, dialog, SIZE_MAXIMIZED, MAKELPARAM(320, 188)}}),
                       "only the maximised window is resized");
    for (HWND hwnd : {dialog, small, hidden})
        EXPECT_NE(std::find(told.begin(), told.end(), hwnd), told.end()) << "every top-level window";
    EXPECT_EQ(std::find(told.begin(), told.end(), child), told.end()) << "not children";
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 320);
    EXPECT_FALSE(platform::window::rotateScreen(45));
    ASSERT_TRUE(platform::window::rotateScreen(0));
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 240);
    EXPECT_EQ(client.bottom, 268);
}

TEST_F(Screen, CoordinatesBetweenWindows) {
    HWND framed = makeWindow(WS_POPUP | WS_BORDER | WS_CAPTION, nullptr, 0, 0, {10, 40, 110, 140});
    HWND child = makeWindow(WS_CHILD, framed, 1, 0, {5, 7, 25, 27});
    POINT p{1, 2};
    ASSERT_TRUE(ClientToScreen(framed, &p));
    EXPECT_EQ(p.x, 12);  // 10 + border
    EXPECT_EQ(p.y, 69);  // 40 + border + caption + 2
    ASSERT_TRUE(ScreenToClient(child, &p));
    EXPECT_EQ(p.x, -4);
    EXPECT_EQ(p.y, -5);
    POINT points[2] = {{0, 0}, {3, 3}};
    int packed = MapWindowPoints(child, framed, points, 2);
    EXPECT_EQ(LOWORD(packed), 5);
    EXPECT_EQ(HIWORD(packed), 7);
    EXPECT_EQ(points[1].x, 8);
    EXPECT_EQ(points[1].y, 10);

    RECT wanted{0, 0, 100, 50};
    ASSERT_TRUE(AdjustWindowRectEx(&wanted, WS_POPUP | WS_CAPTION, FALSE, WS_EX_CLIENTEDGE));
    EXPECT_EQ(wanted.left, -3);
    EXPECT_EQ(wanted.top, -29);
    EXPECT_EQ(wanted.right, 103);
    EXPECT_EQ(wanted.bottom, 53);

    SetLastError(kSentinel);
    EXPECT_FALSE(ClientToScreen(framed, nullptr));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
}

}  // namespace
