#include <gtest/gtest.h>

#include <climits>
#include <cwchar>
#include <string>
#include <utility>

#include <tessel/platform/gdi.h>
#include <tessel/platform/testing.h>
#include <tessel/platform/win_user.h>

#include "canvas.h"

namespace {

DWORD liveObjects() {
    return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
}

TEST(GdiRobustness, StaleAndNullHandlesFailQuietly) {
    const DWORD before = liveObjects();
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    RECT r{0, 0, 4, 4};
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(FillRect(dc, &r, brush));
    EXPECT_FALSE(FillRect(nullptr, &r, brush));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    EXPECT_EQ(SaveDC(dc), 0);
    EXPECT_FALSE(TextOutW(dc, 0, 0, L"x", 1));
    EXPECT_EQ(DrawTextW(dc, L"x", 1, &r, 0), 0);
    EXPECT_FALSE(BitBlt(dc, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));

    Canvas c(10, 10);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(nullptr));
    EXPECT_EQ(SelectObject(c.dc(), brush), nullptr);
    EXPECT_EQ(SelectObject(c.dc(), nullptr), nullptr);
    EXPECT_FALSE(FillRect(c.dc(), &r, brush));
    EXPECT_FALSE(FillRect(c.dc(), nullptr, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_EQ(c.at(0, 0), kWhite);

    // Stock objects survive DeleteObject.
    HGDIOBJ black = GetStockObject(BLACK_BRUSH);
    DeleteObject(black);
    EXPECT_EQ(GetObjectType(black), static_cast<DWORD>(OBJ_BRUSH));
    FillRect(c.dc(), &r, static_cast<HBRUSH>(black));
    EXPECT_EQ(c.at(3, 3), RGB(0, 0, 0));

    for (const auto& [x, y] : {std::pair(-1, 0), std::pair(10, 0), std::pair(0, 10)})
        EXPECT_EQ(GetPixel(c.dc(), x, y), CLR_INVALID) << x << "," << y;
    EXPECT_EQ(GetPixel(c.dc(), 9, 9), kWhite);
    EXPECT_EQ(SetPixel(c.dc(), 50, 50, RGB(1, 2, 3)), CLR_INVALID);
    EXPECT_EQ(liveObjects(), before + 2);
}

TEST(GdiRobustness, DegenerateGeometryAndText) {
    Canvas c(10, 10);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT inverted{8, 8, 2, 2};
    FillRect(c.dc(), &inverted, red);
    FrameRect(c.dc(), &inverted, red);
    EXPECT_EQ(c.inkCount(), 0);
    // Rectangle, unlike FillRect, orders the corners itself.
    Rectangle(c.dc(), 8, 8, 2, 2);
    c.expectPixels({{2, 2, RGB(0, 0, 0)}, {7, 7, RGB(0, 0, 0)}, {5, 5, kWhite}, {8, 8, kWhite}});
    c.clear(kWhite);

    RECT huge{-2000000000, -2000000000, 2000000000, 2000000000};
    EXPECT_TRUE(FillRect(c.dc(), &huge, red));
    c.expectPixels({{0, 0, RGB(255, 0, 0)}, {9, 9, RGB(255, 0, 0)}});
    c.clear(kWhite);
    RECT farAway{2000000000, 5, 2000000010, 8};
    FillRect(c.dc(), &farAway, red);
    MoveToEx(c.dc(), -2000000000, 5, nullptr);
    LineTo(c.dc(), 2000000000, 5);
    c.expectPixels({{0, 5, RGB(0, 0, 0)}, {9, 5, RGB(0, 0, 0)}, {5, 2, kWhite}, {5, 6, kWhite}});
    DeleteObject(red);
    c.clear(kWhite);

    RECT r{0, 0, 10, 10};
    EXPECT_EQ(DrawTextW(c.dc(), L"", -1, &r, DT_SINGLELINE), 0);
    EXPECT_EQ(DrawTextW(c.dc(), nullptr, -1, &r, DT_SINGLELINE), 0);
    EXPECT_EQ(DrawTextW(c.dc(), L"x", 1, nullptr, DT_SINGLELINE), 0);
    EXPECT_TRUE(TextOutW(c.dc(), 0, 0, L"", 0));
    SIZE s{5, 5};
    EXPECT_TRUE(GetTextExtentPoint32W(c.dc(), L"", 0, &s) && s.cx == 0);
    RECT calc{0, 0, 0, 0};
    DrawTextW(c.dc(), L"", -1, &calc, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(calc.right, 0);
    EXPECT_EQ(c.inkCount(), 0);
}

TEST(GdiRobustness, FontFallbackAndDeletedSelectedFont) {
    Canvas c(120, 30);
    LOGFONTW lf{};
    lf.lfHeight = -13;
    wcscpy(lf.lfFaceName, L"No Such Face Anywhere");
    HFONT missing = CreateFontIndirectW(&lf);
    ASSERT_NE(missing, nullptr);
    HGDIOBJ old = SelectObject(c.dc(), missing);
    TEXTMETRICW tm{};
    EXPECT_TRUE(GetTextMetricsW(c.dc(), &tm));
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 13);  // the size asked for, in another face
    SIZE s{}, first{};
    EXPECT_TRUE(GetTextExtentPoint32W(c.dc(), L"Fallback", 8, &s));
    EXPECT_TRUE(GetTextExtentPoint32W(c.dc(), L"F", 1, &first));
    EXPECT_GT(s.cx, first.cx);
    EXPECT_EQ(s.cy, tm.tmHeight);

    // The DC holds on to the font it was given even after DeleteObject.
    DeleteObject(missing);
    SetBkMode(c.dc(), TRANSPARENT);
    EXPECT_TRUE(TextOutW(c.dc(), 2, 2, L"Still", -1));
    EXPECT_GT(c.inkCount(), 10);
    SIZE again{};
    GetTextExtentPoint32W(c.dc(), L"Fallback", 8, &again);
    EXPECT_EQ(again.cx, s.cx);
    SelectObject(c.dc(), old);
}

TEST(GdiRobustness, ObjectCountReturnsToStart) {
    const DWORD before = liveObjects();
    {
        Canvas c(16, 16);
        HPEN pen = CreatePen(PS_SOLID, 2, RGB(1, 2, 3));
        HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
        HRGN region = CreateRectRgn(0, 0, 5, 5);
        HFONT font =
            CreateFontW(-13, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
        EXPECT_EQ(liveObjects(), before + 6);
        HGDIOBJ oldPen = SelectObject(c.dc(), pen);
        HGDIOBJ oldBrush = SelectObject(c.dc(), brush);
        HGDIOBJ oldFont = SelectObject(c.dc(), font);
        Rectangle(c.dc(), 1, 1, 10, 10);
        TextOutW(c.dc(), 0, 0, L"ok", 2);
        FillRgn(c.dc(), region, brush);
        const int saved = SaveDC(c.dc());
        RestoreDC(c.dc(), saved);
        SelectObject(c.dc(), oldPen);
        SelectObject(c.dc(), oldBrush);
        SelectObject(c.dc(), oldFont);
        for (HGDIOBJ o : {static_cast<HGDIOBJ>(pen), static_cast<HGDIOBJ>(brush),
                          static_cast<HGDIOBJ>(region), static_cast<HGDIOBJ>(font)})
            EXPECT_TRUE(DeleteObject(o));
    }
    EXPECT_EQ(liveObjects(), before);
}

// Sizes no surface can have give a null bitmap, as Windows does when it is
// out of memory, and leave nothing half made; the largest that fits works.
TEST(GdiRobustness, HostileBitmapSizesGiveNull) {
    const DWORD before = liveObjects();
    HDC dc = CreateCompatibleDC(nullptr);
    const int sizes[][2] = {{0, 10},      {10, 0},        {-1, 10},       {10, -5},
                            {40000, 1},   {1, 40000},     {40000, 40000}, {INT_MAX, INT_MAX},
                            {INT_MIN, 1}, {32767, 32767}, {32767, 16385}};
    for (const auto& [width, height] : sizes) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        EXPECT_EQ(CreateCompatibleBitmap(dc, width, height), nullptr);
        EXPECT_EQ(CreateBitmap(width, height, 1, 32, nullptr), nullptr);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height == INT_MIN ? INT_MIN : -height,
                          1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = &info;
        EXPECT_EQ(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
        EXPECT_EQ(bits, nullptr);
    }
    BITMAPINFO lowest{};
    lowest.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, INT_MIN, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    EXPECT_EQ(CreateDIBSection(dc, &lowest, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(liveObjects(), before + 1);

    // The memory DC keeps its own one-pixel bitmap and stays usable.
    EXPECT_EQ(SelectObject(dc, nullptr), nullptr);
    RECT r{0, 0, 40000, 40000};
    EXPECT_TRUE(FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));

    HBITMAP widest = CreateCompatibleBitmap(dc, 32767, 2);
    ASSERT_NE(widest, nullptr);
    HGDIOBJ old = SelectObject(dc, widest);
    EXPECT_TRUE(FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH))));
    EXPECT_EQ(GetPixel(dc, 32766, 1), RGB(128, 128, 128));
    EXPECT_EQ(GetPixel(dc, 32767, 1), CLR_INVALID);
    SelectObject(dc, old);
    DeleteObject(widest);
    DeleteDC(dc);
}

// Blits whose sizes reach int's limits copy what lies on the surfaces and no more.
TEST(GdiRobustness, BlitsWithExtremeSizes) {
    Canvas source(8, 8), target(8, 8);
    source.clear(RGB(255, 0, 0));
    EXPECT_TRUE(BitBlt(target.dc(), 0, 0, INT_MAX, INT_MAX, source.dc(), 0, 0, SRCCOPY));
    target.expectPixels({{0, 0, RGB(255, 0, 0)}, {7, 7, RGB(255, 0, 0)}});
    target.clear(kWhite);
    BitBlt(target.dc(), 4, 4, INT_MIN, INT_MIN, source.dc(), 0, 0, SRCCOPY);
    StretchBlt(target.dc(), INT_MAX, 0, INT_MAX, 8, source.dc(), 0, 0, INT_MIN, 8, SRCCOPY);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, 0};
    AlphaBlend(target.dc(), INT_MIN, 0, INT_MAX, 8, source.dc(), 0, 0, 8, 8, blend);
    EXPECT_EQ(target.at(5, 5), kWhite);
    // Still drawing afterwards: no error state left behind.
    EXPECT_TRUE(BitBlt(target.dc(), 0, 0, 2, 2, source.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(target.at(1, 1), RGB(255, 0, 0));
}

// A window wider than any surface can be draws nothing and breaks nothing.
TEST(GdiRobustness, AWindowWiderThanAnySurfacePaintsNothing) {
    WNDCLASSW wide{0, DefWindowProcW, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, L"Wide"};
    RegisterClassW(&wide);
    HWND w = CreateWindowExW(0, L"Wide", L"", WS_POPUP | WS_VISIBLE, 0, 0, 40000, 50, nullptr,
                             nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    tessel::testing::pump();
    HDC dc = GetDC(w);
    ASSERT_NE(dc, nullptr);
    RECT r{0, 0, 40000, 50};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetBkMode(dc, OPAQUE);
    DrawTextW(dc, L"Text", -1, &r, DT_SINGLELINE);
    TextOutW(dc, 10, 10, L"Text", 4);
    Canvas c(4, 4);
    BitBlt(dc, 0, 0, 4, 4, c.dc(), 0, 0, SRCCOPY);
    BitBlt(c.dc(), 0, 0, 4, 4, dc, 0, 0, SRCCOPY);
    EXPECT_EQ(c.at(0, 0), kWhite);
    ReleaseDC(w, dc);
    DestroyWindow(w);
}

}  // namespace
