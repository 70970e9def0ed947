// GDI objects as handles: deletion, stale and wrong-kind handles, selection
// into device contexts, stock objects, a device context's settings, and a
// region taken over by the window system.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "gdi_test_support.h"
#include "platform/gdi/gdi_objects.h"

using gdi_test::kSentinel;
using gdi_test::MemoryDC;
using gdi_test::WindowDC;

namespace {

TEST(GdiObjects, DeletedMadeUpAndNullHandlesFail) {
    HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
    ASSERT_NE(brush, nullptr);
    ASSERT_TRUE(DeleteObject(brush));
    HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ cases[] = {brush, nullptr, reinterpret_cast<HGDIOBJ>(0x7ffc), reinterpret_cast<HGDIOBJ>(2)};
    for (HGDIOBJ h : cases) {
        SCOPED_TRACE(::testing::Message() << "handle " << h);
        EXPECT_FAILS_WITH(DeleteObject(h), FALSE, ERROR_INVALID_HANDLE);
        EXPECT_FAILS_WITH(SelectObject(dc, h), nullptr, ERROR_INVALID_HANDLE);
        EXPECT_FAILS_WITH(GetObjectType(h), 0u, ERROR_INVALID_HANDLE);
        LOGBRUSH record{kSentinel, kSentinel, 0};
        EXPECT_FAILS_WITH(GetObjectW(h, sizeof record, &record), 0, ERROR_INVALID_HANDLE);
        EXPECT_EQ(record.lbStyle, kSentinel);
        RECT r{0, 0, 4, 4};
        EXPECT_FAILS_WITH(FillRect(dc, &r, static_cast<HBRUSH>(h)), 0, ERROR_INVALID_HANDLE);
    }
    DeleteDC(dc);
}

TEST(GdiObjects, WrongKindIsRefused) {
    HRGN region = CreateRectRgn(0, 0, 4, 4);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HDC dc = CreateCompatibleDC(nullptr);
    RECT r{0, 0, 2, 2};
    EXPECT_FAILS_WITH(FillRect(dc, &r, reinterpret_cast<HBRUSH>(region)), 0, ERROR_INVALID_HANDLE);
    EXPECT_FAILS_WITH(CombineRgn(region, region, reinterpret_cast<HRGN>(brush), RGN_OR), ERROR, ERROR_INVALID_HANDLE);
    EXPECT_FAILS_WITH(DeleteObject(dc), FALSE, ERROR_INVALID_HANDLE);  // DeleteDC deletes DCs
    EXPECT_FAILS_WITH(DeleteDC(reinterpret_cast<HDC>(brush)), FALSE, ERROR_INVALID_HANDLE);
    EXPECT_FAILS_WITH(SelectObject(dc, dc), nullptr, ERROR_INVALID_HANDLE);
    EXPECT_FAILS_WITH(SetBkColor(reinterpret_cast<HDC>(brush), 0), CLR_INVALID, ERROR_INVALID_HANDLE);
    // A kernel handle is no GDI object, and a GDI object no kernel object.
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_FAILS_WITH(DeleteObject(event), FALSE, ERROR_INVALID_HANDLE);
    EXPECT_FAILS_WITH(CloseHandle(brush), FALSE, ERROR_INVALID_HANDLE);
    EXPECT_EQ(GetObjectType(brush), (DWORD)OBJ_BRUSH) << "CloseHandle left the brush alone";
    CloseHandle(event);

    const struct {
        HGDIOBJ object;
        DWORD type;
    } kinds[] = {{brush, OBJ_BRUSH},        {region, OBJ_REGION},
                 {dc, OBJ_MEMDC},           {GetStockObject(BLACK_PEN), OBJ_PEN},
                 {GetStockObject(SYSTEM_FONT), OBJ_FONT}, {GetCurrentObject(dc, OBJ_BITMAP), OBJ_BITMAP}};
    for (const auto& k : kinds) EXPECT_EQ(GetObjectType(k.object), k.type);
    {
        WindowDC window(4, 4);
        EXPECT_EQ(GetObjectType(window.hdc), (DWORD)OBJ_DC);
        EXPECT_FAILS_WITH(DeleteDC(window.hdc), FALSE, ERROR_INVALID_HANDLE);  // ReleaseDC gives it back
        EXPECT_EQ(GetObjectType(window.hdc), (DWORD)OBJ_DC);
    }
    DeleteObject(region);
    DeleteObject(brush);
    DeleteDC(dc);
}

TEST(GdiObjects, SelectedObjectsCannotBeDeletedUntilDeselected) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(0, 255, 0));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 1, 1));
    LOGFONTW lf{};
    lf.lfHeight = -14;
    HFONT font = CreateFontIndirectW(&lf);
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 16, nullptr);
    const HGDIOBJ objects[] = {brush, pen, font, bitmap};
    std::vector<HGDIOBJ> previous;
    for (HGDIOBJ object : objects) previous.push_back(SelectObject(dc, object));
    for (HGDIOBJ object : objects) {
        SCOPED_TRACE(::testing::Message() << "type " << GetObjectType(object));
        EXPECT_FAILS_WITH(DeleteObject(object), FALSE, ERROR_BUSY);
        EXPECT_NE(GetObjectType(object), 0u) << "the handle stays valid";
    }
    // Selecting the first objects back returns the program's objects.
    for (size_t i = 0; i < previous.size(); ++i) EXPECT_EQ(SelectObject(dc, previous[i]), objects[i]);
    for (HGDIOBJ object : objects) EXPECT_TRUE(DeleteObject(object));

    // A device context that goes lets go of what it held.
    HBRUSH held = CreateSolidBrush(RGB(9, 9, 9));
    SelectObject(dc, held);
    EXPECT_FALSE(DeleteObject(held));
    ASSERT_TRUE(DeleteDC(dc));
    EXPECT_TRUE(DeleteObject(held));
}

TEST(GdiObjects, NewMemoryDCHoldsTheStockObjectsAndAOnePixelMonochromeBitmap) {
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
    BITMAP bm;
    std::memset(&bm, 0xAB, sizeof bm);
    ASSERT_EQ(GetObjectW(GetCurrentObject(dc, OBJ_BITMAP), sizeof bm, &bm), (int)sizeof(BITMAP));
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmHeight, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 1);

    // The classic mistake: a bitmap compatible with that DC is monochrome.
    HBITMAP mono = CreateCompatibleBitmap(dc, 8, 8);
    ASSERT_EQ(GetObjectW(mono, sizeof bm, &bm), (int)sizeof(BITMAP));
    EXPECT_EQ(bm.bmBitsPixel, 1);
    WindowDC window(4, 4);
    HBITMAP colour = CreateCompatibleBitmap(window.hdc, 8, 8);
    ASSERT_EQ(GetObjectW(colour, sizeof bm, &bm), (int)sizeof(BITMAP));
    EXPECT_EQ(bm.bmBitsPixel, 16);
    EXPECT_EQ(bm.bmWidthBytes, 16);
    EXPECT_EQ(bm.bmBits, nullptr);
    SelectObject(dc, colour);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 16);
    DeleteDC(dc);
    DeleteObject(mono);
    DeleteObject(colour);
}

TEST(GdiObjects, ABitmapGoesIntoOneMemoryDCAtATime) {
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 16, nullptr);
    HDC first = CreateCompatibleDC(nullptr), second = CreateCompatibleDC(nullptr);
    HGDIOBJ original = SelectObject(first, bitmap);
    ASSERT_NE(original, nullptr);
    EXPECT_FAILS_WITH(SelectObject(second, bitmap), nullptr, ERROR_INVALID_PARAMETER);
    EXPECT_NE(SelectObject(first, bitmap), nullptr) << "selecting it again into its own DC is fine";
    WindowDC window(4, 4);
    SelectObject(first, original);
    EXPECT_FAILS_WITH(SelectObject(window.hdc, bitmap), nullptr, ERROR_INVALID_PARAMETER);
    EXPECT_NE(SelectObject(second, bitmap), nullptr);
    DeleteDC(first);
    DeleteDC(second);
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(GdiObjects, StockObjects) {
    const struct {
        int index;
        DWORD type;
        COLORREF colour;
        UINT style;
    } stock[] = {
        {WHITE_BRUSH, OBJ_BRUSH, RGB(255, 255, 255), BS_SOLID}, {LTGRAY_BRUSH, OBJ_BRUSH, RGB(192, 192, 192), BS_SOLID},
        {GRAY_BRUSH, OBJ_BRUSH, RGB(128, 128, 128), BS_SOLID},   {DKGRAY_BRUSH, OBJ_BRUSH, RGB(64, 64, 64), BS_SOLID},
        {BLACK_BRUSH, OBJ_BRUSH, RGB(0, 0, 0), BS_SOLID},        {NULL_BRUSH, OBJ_BRUSH, 0, BS_NULL},
        {WHITE_PEN, OBJ_PEN, RGB(255, 255, 255), PS_SOLID},      {BLACK_PEN, OBJ_PEN, RGB(0, 0, 0), PS_SOLID},
        {NULL_PEN, OBJ_PEN, 0, PS_NULL},
    };
    for (const auto& s : stock) {
        SCOPED_TRACE(::testing::Message() << "stock object " << s.index);
        HGDIOBJ object = GetStockObject(s.index);
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(GetStockObject(s.index), object) << "the same object every time";
        EXPECT_EQ(GetObjectType(object), s.type);
        if (s.type == OBJ_BRUSH) {
            LOGBRUSH lb{kSentinel, kSentinel, 0};
            EXPECT_EQ(GetObjectW(object, sizeof lb, &lb), (int)sizeof lb);
            EXPECT_EQ(lb.lbStyle, s.style);
            if (s.style == BS_SOLID) {
                EXPECT_EQ(lb.lbColor, s.colour);
            }
        } else {
            LOGPEN lp{kSentinel, {0, 0}, kSentinel};
            EXPECT_EQ(GetObjectW(object, sizeof lp, &lp), (int)sizeof lp);
            EXPECT_EQ(lp.lopnStyle, s.style);
            if (s.style == PS_SOLID) {
                EXPECT_EQ(lp.lopnColor, s.colour);
            }
        }
        // Deleting a stock object is allowed and does nothing.
        EXPECT_TRUE(DeleteObject(object));
        EXPECT_EQ(GetObjectType(object), s.type);
    }
    for (int index : {-1, 9, 12, 14, 1000}) EXPECT_FAILS_WITH(GetStockObject(index), nullptr, ERROR_INVALID_PARAMETER);
}

TEST(GdiObjects, GetObjectCopiesNoMoreThanItsRecord) {
    LOGFONTW lf{};
    lf.lfHeight = -20;
    lf.lfWeight = FW_BOLD;
    std::memcpy(lf.lfFaceName, u"Anything", sizeof(u"Anything"));
    HFONT font = CreateFontIndirectW(&lf);
    unsigned char buffer[sizeof(LOGFONTW) + 16];
    std::memset(buffer, 0xAB, sizeof buffer);
    EXPECT_EQ(GetObjectW(font, sizeof buffer, buffer), (int)sizeof(LOGFONTW));
    LOGFONTW back;
    std::memcpy(&back, buffer, sizeof back);
    EXPECT_EQ(back.lfHeight, -20);
    EXPECT_EQ(back.lfWeight, FW_BOLD);
    EXPECT_EQ(std::u16string(back.lfFaceName), u"Anything");
    for (size_t i = sizeof(LOGFONTW); i < sizeof buffer; ++i) ASSERT_EQ(buffer[i], 0xAB) << "guard byte " << i;
    EXPECT_EQ(GetObjectW(font, 0, nullptr), (int)sizeof(LOGFONTW));
    EXPECT_EQ(GetObjectW(font, 4, buffer), 4);

    HBITMAP bitmap = CreateBitmap(3, 2, 1, 16, nullptr);
    unsigned char small[sizeof(BITMAP) - 1];
    std::memset(small, 0xAB, sizeof small);
    EXPECT_FAILS_WITH(GetObjectW(bitmap, sizeof small, small), 0, ERROR_INVALID_PARAMETER);
    for (unsigned char b : small) ASSERT_EQ(b, 0xAB);
    EXPECT_EQ(GetObjectW(bitmap, 0, nullptr), (int)sizeof(BITMAP));
    EXPECT_FAILS_WITH(GetObjectW(bitmap, -1, small), 0, ERROR_INVALID_PARAMETER);

    // A face name that fills its array without a terminator is cut short.
    for (WCHAR& c : lf.lfFaceName) c = u'x';
    HFONT unterminated = CreateFontIndirectW(&lf);
    ASSERT_EQ(GetObjectW(unterminated, sizeof back, &back), (int)sizeof back);
    EXPECT_EQ(std::u16string(back.lfFaceName).size(), size_t{LF_FACESIZE - 1});
    EXPECT_FAILS_WITH(CreateFontIndirectW(nullptr), nullptr, ERROR_INVALID_PARAMETER);
    for (HGDIOBJ h : {static_cast<HGDIOBJ>(font), static_cast<HGDIOBJ>(unterminated), static_cast<HGDIOBJ>(bitmap)})
        DeleteObject(h);
}

TEST(DeviceContexts, SettersReturnThePreviousValue) {
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetBkMode(dc, OPAQUE), TRANSPARENT);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_FAILS_WITH(SetBkMode(dc, 3), 0, ERROR_INVALID_PARAMETER);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);

    EXPECT_EQ(SetBkColor(dc, RGB(1, 2, 3)), RGB(255, 255, 255));
    EXPECT_EQ(SetBkColor(dc, RGB(4, 5, 6)), RGB(1, 2, 3));
    EXPECT_EQ(GetBkColor(dc), RGB(4, 5, 6));
    EXPECT_EQ(SetTextColor(dc, RGB(7, 8, 9)), RGB(0, 0, 0));
    EXPECT_EQ(SetTextColor(dc, RGB(0, 0, 0)), RGB(7, 8, 9));
    EXPECT_EQ(SetTextAlign(dc, TA_BASELINE | TA_CENTER), (UINT)(TA_TOP | TA_LEFT));
    EXPECT_EQ(GetTextAlign(dc), (UINT)(TA_BASELINE | TA_CENTER));
    DeleteDC(dc);

    EXPECT_FAILS_WITH(SetBkMode(dc, OPAQUE), 0, ERROR_INVALID_HANDLE);
    EXPECT_FAILS_WITH(SetTextColor(dc, 0), CLR_INVALID, ERROR_INVALID_HANDLE);
    EXPECT_FAILS_WITH(GetBkColor(dc), CLR_INVALID, ERROR_INVALID_HANDLE);
    EXPECT_FAILS_WITH(SetTextAlign(dc, TA_LEFT), (UINT)GDI_ERROR, ERROR_INVALID_HANDLE);
    EXPECT_FAILS_WITH(GetDeviceCaps(dc, BITSPIXEL), 0, ERROR_INVALID_HANDLE);
    EXPECT_FAILS_WITH(CreateCompatibleDC(dc), nullptr, ERROR_INVALID_HANDLE);
    EXPECT_FAILS_WITH(DeleteDC(dc), FALSE, ERROR_INVALID_HANDLE);
}

TEST(DeviceContexts, DeviceCapsFollowTheDisplay) {
    WindowDC window(8, 8);
    const SIZE before = platform::gdi::displaySize();
    EXPECT_EQ(GetDeviceCaps(window.hdc, BITSPIXEL), 16);
    EXPECT_EQ(GetDeviceCaps(window.hdc, PLANES), 1);
    EXPECT_EQ(GetDeviceCaps(window.hdc, LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(window.hdc, TECHNOLOGY), DT_RASDISPLAY);
    platform::gdi::setDisplaySize({320, 240});  // the screen turned
    EXPECT_EQ(GetDeviceCaps(window.hdc, HORZRES), 320);
    EXPECT_EQ(GetDeviceCaps(window.hdc, VERTRES), 240);
    HDC memory = CreateCompatibleDC(window.hdc);
    EXPECT_EQ(GetDeviceCaps(memory, HORZRES), 320) << "a memory DC reports its display";
    DeleteDC(memory);
    platform::gdi::setDisplaySize(before);
    EXPECT_EQ(GetDeviceCaps(window.hdc, HORZRES), before.cx);
}

TEST(DeviceContexts, ClipFunctionsNarrowWhatIsDrawn) {
    WindowDC window(10, 4, {1, 0}, platform::gdi::Region(RECT{0, 0, 9, 4}));
    gdi_test::fillSurface(*window.surface, RGB(255, 255, 255));
    RECT box{};
    EXPECT_EQ(GetClipBox(window.hdc, &box), SIMPLEREGION);
    EXPECT_EQ(gdi_test::describe(box), gdi_test::describe({-1, 0, 8, 4})) << "DC coordinates";

    EXPECT_EQ(IntersectClipRect(window.hdc, 0, 0, 6, 4), SIMPLEREGION);
    EXPECT_EQ(ExcludeClipRect(window.hdc, 2, 1, 4, 3), COMPLEXREGION);
    RECT all{-5, -5, 50, 50};
    FillRect(window.hdc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_PICTURE(*window.surface, 0, 0,
                   {".######...",
                    ".##..##...",
                    ".##..##...",
                    ".######..."});
    HRGN region = CreateRectRgn(7, 0, 20, 2);
    EXPECT_EQ(SelectObject(window.hdc, region), reinterpret_cast<HGDIOBJ>(SIMPLEREGION)) << "a region selects as the clip";
    DeleteObject(region);  // the DC keeps its own copy
    FillRect(window.hdc, &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    EXPECT_PICTURE(*window.surface, 0, 0,
                   {".######.g.",
                    ".##..##.g.",
                    ".##..##...",
                    ".######..."});
    EXPECT_EQ(SelectClipRgn(window.hdc, nullptr), SIMPLEREGION);
    EXPECT_EQ(GetClipBox(window.hdc, &box), SIMPLEREGION);
    EXPECT_EQ(gdi_test::describe(box), gdi_test::describe({-1, 0, 8, 4}));
    RECT untouched{1, 2, 3, 4};
    EXPECT_FAILS_WITH(GetClipBox(nullptr, &untouched), ERROR, ERROR_INVALID_HANDLE);
    EXPECT_EQ(gdi_test::describe(untouched), gdi_test::describe({1, 2, 3, 4}));
}

TEST(WindowRegions, ARegionGivenToAWindowIsTheSystemsFromThenOn) {
    HRGN region = CreateRectRgn(0, 0, 10, 10);
    HRGN hole = CreateRectRgn(2, 2, 4, 4);
    CombineRgn(region, region, hole, RGN_DIFF);
    std::optional<platform::gdi::Region> taken = platform::gdi::takeRegion(region);
    ASSERT_TRUE(taken.has_value());
    EXPECT_TRUE(taken->contains(0, 0));
    EXPECT_FALSE(taken->contains(3, 3));

    // The program's later calls with the handle change nothing and fail.
    EXPECT_FAILS_WITH(DeleteObject(region), FALSE, ERROR_INVALID_HANDLE);
    EXPECT_FAILS_WITH(CombineRgn(region, hole, nullptr, RGN_COPY), ERROR, ERROR_INVALID_HANDLE);
    EXPECT_FALSE(taken->contains(3, 3));
    SetLastError(kSentinel);
    EXPECT_FALSE(platform::gdi::takeRegion(region).has_value()) << "a region has one owner";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
    EXPECT_FALSE(platform::gdi::takeRegion(reinterpret_cast<HRGN>(GetStockObject(BLACK_BRUSH))).has_value());

    // GetWindowRgn's copy into a program's region.
    ASSERT_TRUE(platform::gdi::setRegion(hole, *taken));
    EXPECT_TRUE(PtInRegion(hole, 9, 9));
    EXPECT_FALSE(PtInRegion(hole, 3, 3));
    DeleteObject(hole);
}

// Any thread may draw: a camera preview draws from its own thread while the
// screen is composed on another.
TEST(DeviceContexts, DrawingFromManyThreadsAtOnce) {
    auto screen = std::make_shared<gdi_test::Surface>(64, 64);
    WindowDC window(64, 64);
    std::atomic<bool> stop{false};
    std::thread composer([&] {
        while (!stop)
            platform::gdi::composeScreen(*screen, {{window.surface, {0, 0}, platform::gdi::Region(RECT{0, 0, 64, 64})}});
    });
    std::vector<std::thread> painters;
    for (int t = 0; t < 3; ++t)
        painters.emplace_back([&, t] {
            std::vector<uint16_t> frame(32 * 24, static_cast<uint16_t>(0x1111 * (t + 1)));
            for (int i = 0; i < 50; ++i) {
                HDC memory = CreateCompatibleDC(window.hdc);
                HBITMAP bitmap = CreateBitmap(32, 24, 1, 16, frame.data());
                HGDIOBJ old = SelectObject(memory, bitmap);
                StretchBlt(window.hdc, 0, 0, 64, 64, memory, 0, 0, 32, 24, SRCCOPY);
                SelectObject(memory, old);
                DeleteObject(bitmap);
                DeleteDC(memory);
            }
        });
    for (auto& p : painters) p.join();
    stop = true;
    composer.join();
    const uint16_t last = window.surface->row(0)[0];
    EXPECT_TRUE(last == 0x1111 || last == 0x2222 || last == 0x3333);
}

}  // namespace
