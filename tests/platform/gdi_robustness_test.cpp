#include <gtest/gtest.h>

#include <climits>
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
HBRUSH stock(int brush) {
    return static_cast<HBRUSH>(GetStockObject(brush));
}

// Stale and null handles fail quietly and stock objects outlive DeleteObject.
TEST(GdiRobustness, StaleNullAndStockHandles) {
    const DWORD before = liveObjects();
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    RECT r{0, 0, 4, 4};
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(FillRect(dc, &r, brush) || FillRect(nullptr, &r, brush) || DeleteDC(dc) ||
                 TextOutW(dc, 0, 0, L"x", 1) || BitBlt(dc, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    {
        Canvas c(10, 10);
        EXPECT_TRUE(DeleteObject(brush));
        EXPECT_FALSE(DeleteObject(brush) || DeleteObject(nullptr));
        EXPECT_EQ(SelectObject(c.dc(), brush), nullptr);
        EXPECT_FALSE(FillRect(c.dc(), &r, brush) || FillRect(c.dc(), nullptr, stock(BLACK_BRUSH)));
        EXPECT_EQ(c.at(0, 0), kWhite);

        DeleteObject(stock(BLACK_BRUSH));
        FillRect(c.dc(), &r, stock(BLACK_BRUSH));
        EXPECT_EQ(c.at(3, 3), RGB(0, 0, 0));

        for (const auto& [x, y] : {std::pair(-1, 0), std::pair(10, 0), std::pair(0, 10)})
            EXPECT_EQ(GetPixel(c.dc(), x, y), CLR_INVALID) << x << "," << y;
        EXPECT_EQ(SetPixel(c.dc(), 50, 50, RGB(1, 2, 3)), CLR_INVALID);
    }
    EXPECT_EQ(liveObjects(), before);
}

TEST(GdiRobustness, DegenerateGeometryAndText) {
    Canvas c(10, 10);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT inverted{8, 8, 2, 2};
    FillRect(c.dc(), &inverted, red);
    FrameRect(c.dc(), &inverted, red);
    // Rectangle, unlike FillRect, orders the corners itself.
    Rectangle(c.dc(), 8, 8, 2, 2);
    c.expectPixels({{2, 2, RGB(0, 0, 0)}, {7, 7, RGB(0, 0, 0)}, {5, 5, kWhite}, {8, 8, kWhite}});

    c.clear(kWhite);
    const RECT farAway{2000000000, 5, 2000000010, 8},
        huge{-2000000000, -2000000000, 2000000000, 2000000000};
    FillRect(c.dc(), &farAway, red);
    MoveToEx(c.dc(), -2000000000, 5, nullptr);
    LineTo(c.dc(), 2000000000, 5);
    c.expectPixels({{0, 5, RGB(0, 0, 0)}, {9, 5, RGB(0, 0, 0)}, {5, 2, kWhite}, {5, 6, kWhite}});
    EXPECT_TRUE(FillRect(c.dc(), &huge, red));
    c.expectPixels({{0, 0, RGB(255, 0, 0)}, {9, 9, RGB(255, 0, 0)}});
    DeleteObject(red);
    c.clear(kWhite);

    RECT r{0, 0, 10, 10}, calc{0, 0, 0, 0};
    for (const wchar_t* text : {L"", static_cast<const wchar_t*>(nullptr)})
        EXPECT_EQ(DrawTextW(c.dc(), text, -1, &r, DT_SINGLELINE), 0);
    EXPECT_EQ(DrawTextW(c.dc(), L"x", 1, nullptr, DT_SINGLELINE), 0);
    DrawTextW(c.dc(), L"", -1, &calc, DT_CALCRECT | DT_SINGLELINE);
    SIZE s{5, 5};
    EXPECT_TRUE(TextOutW(c.dc(), 0, 0, L"", 0) && GetTextExtentPoint32W(c.dc(), L"", 0, &s));
    EXPECT_EQ(s.cx + calc.right + c.inkCount(), 0);
}

// A face that does not exist falls back at the size asked for, and the DC
// keeps drawing with a selected font even after DeleteObject.
TEST(GdiRobustness, FontFallbackAndDeletedSelectedFont) {
    Canvas c(120, 30);
    HFONT missing = CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                                L"No Such Face Anywhere");
    HGDIOBJ old = SelectObject(c.dc(), missing);
    TEXTMETRICW tm{};
    EXPECT_TRUE(GetTextMetricsW(c.dc(), &tm));
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 13);
    SIZE s{}, again{};
    GetTextExtentPoint32W(c.dc(), L"Fallback", 8, &s);
    EXPECT_EQ(s.cy, tm.tmHeight);
    DeleteObject(missing);
    EXPECT_TRUE(TextOutW(c.dc(), 2, 2, L"Still", -1));
    EXPECT_GT(c.inkCount(), 10);
    GetTextExtentPoint32W(c.dc(), L"Fallback", 8, &again);
    EXPECT_EQ(again.cx, s.cx);
    SelectObject(c.dc(), old);
}

// Sizes no surface can have give a null bitmap, as Windows does when it is
// out of memory, and leave nothing half made; the largest that fits works.
TEST(GdiRobustness, HostileBitmapSizesGiveNull) {
    const DWORD before = liveObjects();
    HDC dc = CreateCompatibleDC(nullptr);
    const int sizes[][2] = {{0, 10},      {10, 0},        {-1, 10},       {10, -5},
                            {40000, 1},   {1, 40000},     {40000, 40000}, {INT_MAX, INT_MAX},
                            {INT_MIN, 1}, {32767, 32767}, {32767, 16385}, {4, INT_MIN}};
    for (const auto& [width, height] : sizes) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        EXPECT_EQ(CreateCompatibleBitmap(dc, width, height), nullptr);
        EXPECT_EQ(CreateBitmap(width, height, 1, 32, nullptr), nullptr);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER),
                          width,
                          height == INT_MIN ? INT_MIN : -height,
                          1,
                          32,
                          BI_RGB,
                          0,
                          0,
                          0,
                          0,
                          0};
        void* bits = &info;
        EXPECT_EQ(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
        EXPECT_EQ(bits, nullptr);
    }
    EXPECT_EQ(liveObjects(), before + 1);

    // The memory DC keeps its own one-pixel bitmap and stays usable.
    EXPECT_EQ(SelectObject(dc, nullptr), nullptr);
    RECT r{0, 0, 40000, 40000};
    EXPECT_TRUE(FillRect(dc, &r, stock(BLACK_BRUSH)));
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));

    HBITMAP widest = CreateCompatibleBitmap(dc, 32767, 2);
    HGDIOBJ old = SelectObject(dc, widest);
    EXPECT_TRUE(FillRect(dc, &r, stock(GRAY_BRUSH)));
    EXPECT_EQ(GetPixel(dc, 32766, 1), RGB(128, 128, 128));
    EXPECT_EQ(GetPixel(dc, 32767, 1), CLR_INVALID);
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);
}

// Blits whose sizes reach int's limits copy what lies on the surfaces and no
// more, and so does a window wider than any surface can be.
TEST(GdiRobustness, BlitsWithExtremeSizesAndAWindowWiderThanAnySurface) {
    Canvas source(8, 8), target(8, 8);
    source.clear(RGB(255, 0, 0));
    EXPECT_TRUE(BitBlt(target.dc(), 0, 0, INT_MAX, INT_MAX, source.dc(), 0, 0, SRCCOPY));
    target.expectPixels({{0, 0, RGB(255, 0, 0)}, {7, 7, RGB(255, 0, 0)}});
    target.clear(kWhite);
    BitBlt(target.dc(), 4, 4, INT_MIN, INT_MIN, source.dc(), 0, 0, SRCCOPY);
    StretchBlt(target.dc(), INT_MAX, 0, INT_MAX, 8, source.dc(), 0, 0, INT_MIN, 8, SRCCOPY);
    AlphaBlend(target.dc(), INT_MIN, 0, INT_MAX, 8, source.dc(), 0, 0, 8, 8,
               BLENDFUNCTION{AC_SRC_OVER, 0, 255, 0});
    EXPECT_EQ(target.at(5, 5), kWhite);

    WNDCLASSW wide{0, DefWindowProcW, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, L"Wide"};
    RegisterClassW(&wide);
    HWND w = CreateWindowExW(0, L"Wide", L"", WS_POPUP | WS_VISIBLE, 0, 0, 40000, 50, nullptr,
                             nullptr, nullptr, nullptr);
    tessel::testing::pump();
    HDC dc = GetDC(w);
    ASSERT_NE(dc, nullptr);
    RECT r{0, 0, 40000, 50};
    FillRect(dc, &r, stock(BLACK_BRUSH));
    DrawTextW(dc, L"Text", -1, &r, DT_SINGLELINE);
    TextOutW(dc, 10, 10, L"Text", 4);
    target.clear(kWhite);
    BitBlt(dc, 0, 0, 4, 4, target.dc(), 0, 0, SRCCOPY);
    BitBlt(target.dc(), 0, 0, 4, 4, dc, 0, 0, SRCCOPY);
    EXPECT_EQ(target.at(0, 0), kWhite);
    ReleaseDC(w, dc);
    DestroyWindow(w);
}

}  // namespace
