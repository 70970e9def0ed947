// Painting: update regions, WM_PAINT and WM_ERASEBKGND, UpdateWindow,
// window DCs from any thread, and the composed screen.
#include "gdi_calls.h"
#include "platform/gdi/surface.h"
#include "platform/window/screen.h"
#include "window_test_support.h"

namespace {

using namespace window_test;

class Painting : public WindowFixture {};

// Retrieves and dispatches one WM_PAINT if there is one; returns what BeginPaint reported.
struct Painted {
    bool any = false;
    RECT rcPaint{};
    BOOL fErase = FALSE;
};

Painted paintOnce() {
    static Painted result;
    result = Painted{};
    setHandler([](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_PAINT) return std::nullopt;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        EXPECT_NE(dc, nullptr);
        result.any = true;
        result.rcPaint = ps.rcPaint;
        result.fErase = ps.fErase;
        EndPaint(hwnd, &ps);
        return 0;
    });
    MSG msg;
    if (PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&msg);
    setHandler(nullptr);
    return result;
}

bool paintPending() {
    MSG msg;
    return PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE);
}

TEST_F(Painting, InvalidatedAreasArePaintedOnce) {
    HWND hwnd = makeWindow(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, {0, 40, 100, 140});
    pumpMessages();
    ASSERT_FALSE(paintPending());

    RECT a{10, 10, 20, 20};
    RECT b{50, 60, 70, 80};
    InvalidateRect(hwnd, &a, FALSE);
    InvalidateRect(hwnd, &b, TRUE);
    RECT update{};
    EXPECT_TRUE(GetUpdateRect(hwnd, &update, FALSE));
    EXPECT_EQ(update.left, 10);
    EXPECT_EQ(update.bottom, 80);
    messageLog().clear();
    Painted painted = paintOnce();
    ASSERT_TRUE(painted.any);
    EXPECT_EQ(painted.rcPaint.left, 10);
    EXPECT_EQ(painted.rcPaint.top, 10);
    EXPECT_EQ(painted.rcPaint.right, 70);
    EXPECT_EQ(painted.rcPaint.bottom, 80);
    EXPECT_FALSE(painted.fErase) << "the class brush erased the background";
    EXPECT_SEQUENCE((std::vector<Expected>{{WM_PAINT, hwnd}, {WM_ERASEBKGND, hwnd}}), "paint with erase");
    EXPECT_FALSE(paintPending());
    EXPECT_FALSE(GetUpdateRect(hwnd, &update, FALSE));

    InvalidateRect(hwnd, nullptr, FALSE);
    messageLog().clear();
    painted = paintOnce();
    EXPECT_EQ(painted.rcPaint.right, 100);
    EXPECT_SEQUENCE((std::vector<Expected>{{WM_PAINT, hwnd}}), "paint without erase");

    InvalidateRect(hwnd, nullptr, TRUE);
    ValidateRect(hwnd, nullptr);
    EXPECT_FALSE(paintPending()) << "validated before it was painted";
}

TEST_F(Painting, UpdateWindowPaintsAtOnceAndHiddenWindowsPaintNothing) {
    HWND hwnd = makeWindow(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, {0, 40, 100, 140});
    HWND child = makeWindow(WS_CHILD | WS_VISIBLE, hwnd, 1, 0, {0, 0, 20, 20});
    messageLog().clear();
    ASSERT_TRUE(UpdateWindow(hwnd));
    EXPECT_SEQUENCE_OF((std::vector<UINT>{WM_PAINT}), (std::vector<Expected>{{WM_PAINT, hwnd}, {WM_PAINT, child}}),
                       "parent first, then its child, without a message loop");
    EXPECT_FALSE(paintPending());

    HWND hidden = makeWindow(WS_POPUP, nullptr, 0, 0, {0, 40, 100, 140});
    InvalidateRect(hidden, nullptr, TRUE);
    EXPECT_FALSE(paintPending());
    ShowWindow(hidden, SW_SHOWNA);
    messageLog().clear();
    paintOnce();
    EXPECT_SEQUENCE_OF((std::vector<UINT>{WM_PAINT}), (std::vector<Expected>{{WM_PAINT, hidden}}), "shown: painted");
}

TEST_F(Painting, TheScreenShowsWindowsInZOrderWithinTheirRegions) {
    HWND below = makeWindow(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, {0, 40, 100, 140});
    HWND above = makeWindow(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, {50, 90, 150, 190});
    SetWindowRgn(above, CreateRectRgn(0, 0, 50, 50), TRUE);
    pumpMessages();
    auto screen = platform::window::composeScreenshot();
    ASSERT_EQ(screen->width(), 240);
    auto pixel = [&](int x, int y) { return platform::gdi::fromRgb565(screen->row(y)[x]); };
    const COLORREF white = 0x00FFFFFF;
    const COLORREF desktop = platform::gdi::fromRgb565(platform::gdi::toRgb565(GetSysColor(COLOR_DESKTOP)));
    EXPECT_EQ(pixel(10, 50), white) << "the window below";
    EXPECT_EQ(pixel(60, 100), white) << "the window above, inside its region";
    EXPECT_EQ(pixel(120, 160), desktop) << "above, outside its region: the desktop shows";
    EXPECT_EQ(pixel(200, 300), desktop);
    (void)below;
}

TEST_F(Painting, AnyThreadMayDrawIntoAWindow) {
    HWND hwnd = makeWindow(WS_POPUP | WS_VISIBLE);
    HDC fromThread = nullptr;
    int released = -1;
    {
        DeviceThread preview([&] {
            fromThread = GetDC(hwnd);
            released = ReleaseDC(hwnd, fromThread);
        });
    }
    EXPECT_NE(fromThread, nullptr);
    EXPECT_EQ(released, 1);
    EXPECT_EQ(ReleaseDC(hwnd, fromThread), 0) << "released once only";
    HDC dc = GetWindowDC(hwnd);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(ReleaseDC(makeWindow(WS_POPUP), dc), 0) << "a DC of another window";
    EXPECT_EQ(ReleaseDC(hwnd, dc), 1);
}

}  // namespace

namespace {

TEST_F(Painting, AFrameTheProcedureDoesNotDrawIsNotAskedForAgain) {
    setHandler([](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_NCPAINT) return 0;  // swallowed, never passed on
        if (message == WM_PAINT) {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            return 0;
        }
        return std::nullopt;
    });
    HWND hwnd = makeWindow(WS_POPUP | WS_CAPTION | WS_VISIBLE);
    int paints = 0;
    MSG msg;
    while (paints < 5 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_PAINT) ++paints;
        DispatchMessageW(&msg);
    }
    EXPECT_EQ(paints, 1);
    EXPECT_FALSE(paintPending());
    (void)hwnd;
}

}  // namespace

namespace {

COLORREF onScreen(const platform::gdi::Surface& screen, int x, int y) {
    return platform::gdi::fromRgb565(screen.row(y)[x]);
}
COLORREF asShown(int colorIndex) {
    return platform::gdi::fromRgb565(platform::gdi::toRgb565(GetSysColor(colorIndex)));
}

TEST_F(Painting, TheFrameShowsBorderCaptionTitleAndButtons) {
    HWND hwnd = makeWindow(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, nullptr, 0, WS_EX_CAPTIONOKBTN,
                           {0, 40, 200, 200}, u"\uBB34\uC120\uB79C Title");
    pumpMessages();
    auto screen = platform::window::composeScreenshot();
    EXPECT_EQ(onScreen(*screen, 100, 40), asShown(COLOR_WINDOWFRAME)) << "top border";
    EXPECT_EQ(onScreen(*screen, 0, 100), asShown(COLOR_WINDOWFRAME)) << "left border";
    EXPECT_EQ(onScreen(*screen, 130, 50), asShown(COLOR_ACTIVECAPTION)) << "caption of the foreground window";
    EXPECT_EQ(onScreen(*screen, 100, 120), asShown(COLOR_WINDOW)) << "the class background";
    int titlePixels = 0;
    for (int y = 41; y < 67; ++y)
        for (int x = 1; x < 120; ++x) titlePixels += onScreen(*screen, x, y) == asShown(COLOR_CAPTIONTEXT);
    EXPECT_GT(titlePixels, 20) << "the title is drawn";
    int glyphPixels = 0;
    for (int y = 41; y < 67; ++y)
        for (int x = 148; x < 199; ++x) glyphPixels += onScreen(*screen, x, y) == asShown(COLOR_BTNTEXT);
    EXPECT_GT(glyphPixels, 20) << "the OK and close buttons";

    // Another window in front: the caption turns inactive.
    makeWindow(WS_POPUP | WS_VISIBLE, nullptr, 0, 0, {0, 250, 50, 300});
    pumpMessages();
    screen = platform::window::composeScreenshot();
    EXPECT_EQ(onScreen(*screen, 130, 50), asShown(COLOR_INACTIVECAPTION));
    (void)hwnd;
}

TEST_F(Painting, SystemColourBrushesBelongToTheSystem) {
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), face);
    EXPECT_NE(GetSysColorBrush(COLOR_WINDOW), face);
    DeleteObject(face);
    HDC dc = GetDC(nullptr);
    RECT r{0, 0, 4, 4};
    EXPECT_TRUE(FillRect(dc, &r, face)) << "deleting a system brush leaves it usable";
    ReleaseDC(nullptr, dc);
    SetLastError(kSentinel);
    EXPECT_EQ(GetSysColorBrush(COLOR_STATICTEXT + 1), nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
}

}  // namespace

namespace {

TEST_F(Painting, ControlColoursDefaultToTheSystemColours) {
    HWND hwnd = makeWindow(WS_POPUP);
    HDC dc = GetDC(hwnd);
    struct Case {
        UINT message;
        int background;
        int text;
    } cases[] = {{WM_CTLCOLORSTATIC, COLOR_STATIC, COLOR_STATICTEXT}, {WM_CTLCOLORBTN, COLOR_BTNFACE, COLOR_BTNTEXT},
                 {WM_CTLCOLORDLG, COLOR_BTNFACE, COLOR_WINDOWTEXT},    {WM_CTLCOLOREDIT, COLOR_WINDOW, COLOR_WINDOWTEXT}};
    for (auto& c : cases) {
        SetTextColor(dc, 0x123456);
        LRESULT brush = DefWindowProcW(hwnd, c.message, reinterpret_cast<WPARAM>(dc), 0);
        EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), GetSysColorBrush(c.background)) << c.message;
        EXPECT_EQ(SetTextColor(dc, 0), GetSysColor(c.text)) << c.message;
    }
    ReleaseDC(hwnd, dc);
}

}  // namespace
