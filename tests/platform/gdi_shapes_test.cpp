#include <gtest/gtest.h>

#include <cstdlib>

#include <tessel/platform/gdi.h>

#include "canvas.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 128, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);

void fill(HDC dc, RECT r, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

TEST(GdiShapes, FillAndFrameCoverExactPixels) {
    Canvas c(20, 20);
    fill(c.dc(), {5, 6, 12, 15}, kRed);
    EXPECT_EQ(c.at(5, 6), kRed);
    EXPECT_EQ(c.at(11, 14), kRed);
    EXPECT_EQ(c.at(4, 10), kWhite);
    EXPECT_EQ(c.at(8, 5), kWhite);
    EXPECT_EQ(c.at(12, 10), kWhite);
    EXPECT_EQ(c.at(8, 15), kWhite);
    EXPECT_EQ(GetPixel(c.dc(), 11, 14), kRed);
    EXPECT_EQ(GetPixel(c.dc(), 12, 14), kWhite);

    c.clear(kWhite);
    HBRUSH blue = CreateSolidBrush(kBlue);
    RECT frame{2, 3, 10, 9};
    EXPECT_TRUE(FrameRect(c.dc(), &frame, blue));
    DeleteObject(blue);
    for (POINT p : {POINT{2, 3}, POINT{9, 3}, POINT{2, 8}, POINT{9, 8}, POINT{5, 3}, POINT{9, 6}})
        EXPECT_EQ(c.at(p.x, p.y), kBlue) << p.x << "," << p.y;
    for (POINT p : {POINT{3, 4}, POINT{8, 7}, POINT{10, 3}, POINT{2, 9}, POINT{1, 3}, POINT{2, 2}})
        EXPECT_EQ(c.at(p.x, p.y), kWhite) << p.x << "," << p.y;
}

TEST(GdiShapes, RectangleWithPenBrushAndNullPen) {
    Canvas c(20, 20);
    HPEN pen = CreatePen(PS_SOLID, 1, kBlack);
    HBRUSH brush = CreateSolidBrush(kRed);
    HGDIOBJ oldPen = SelectObject(c.dc(), pen);
    HGDIOBJ oldBrush = SelectObject(c.dc(), brush);
    EXPECT_TRUE(Rectangle(c.dc(), 2, 2, 12, 10));
    for (POINT p :
         {POINT{2, 2}, POINT{11, 2}, POINT{2, 9}, POINT{11, 9}, POINT{6, 2}, POINT{11, 5}})
        EXPECT_EQ(c.at(p.x, p.y), kBlack) << p.x << "," << p.y;
    EXPECT_EQ(c.at(3, 3), kRed);
    EXPECT_EQ(c.at(10, 8), kRed);
    EXPECT_EQ(c.at(12, 5), kWhite);
    EXPECT_EQ(c.at(6, 10), kWhite);

    c.clear(kWhite);
    SelectObject(c.dc(), GetStockObject(NULL_PEN));
    EXPECT_TRUE(Rectangle(c.dc(), 2, 2, 12, 10));
    EXPECT_EQ(c.at(2, 2), kRed);
    EXPECT_EQ(c.at(10, 8), kRed);
    EXPECT_EQ(c.at(11, 5), kWhite);
    EXPECT_EQ(c.at(5, 9), kWhite);

    SelectObject(c.dc(), oldPen);
    SelectObject(c.dc(), oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

TEST(GdiShapes, LineToLeavesEndPoint) {
    Canvas c(20, 20);
    HPEN pen = CreatePen(PS_SOLID, 1, kBlue);
    HGDIOBJ old = SelectObject(c.dc(), pen);
    MoveToEx(c.dc(), 2, 5, nullptr);
    EXPECT_TRUE(LineTo(c.dc(), 10, 5));
    for (int x = 2; x < 10; ++x)
        EXPECT_EQ(c.at(x, 5), kBlue) << x;
    EXPECT_EQ(c.at(10, 5), kWhite);
    EXPECT_EQ(c.at(1, 5), kWhite);
    EXPECT_EQ(c.at(5, 4), kWhite);
    EXPECT_EQ(c.at(5, 6), kWhite);

    // The current position moved to the end point.
    POINT previous{};
    EXPECT_TRUE(LineTo(c.dc(), 10, 12));
    for (int y = 5; y < 12; ++y)
        EXPECT_EQ(c.at(10, y), kBlue) << y;
    EXPECT_EQ(c.at(10, 12), kWhite);
    EXPECT_TRUE(MoveToEx(c.dc(), 0, 0, &previous));
    EXPECT_EQ(previous.x, 10);
    EXPECT_EQ(previous.y, 12);
    SelectObject(c.dc(), old);
    DeleteObject(pen);
}

TEST(GdiShapes, ClippingSaveRestoreAndViewport) {
    Canvas c(20, 20);
    RECT box{};
    EXPECT_EQ(GetClipBox(c.dc(), &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 20);
    EXPECT_EQ(box.bottom, 20);

    const int level = SaveDC(c.dc());
    ASSERT_GT(level, 0);
    SetTextColor(c.dc(), kRed);
    SetBkColor(c.dc(), kBlue);
    EXPECT_EQ(IntersectClipRect(c.dc(), 5, 5, 15, 15), SIMPLEREGION);
    EXPECT_EQ(GetClipBox(c.dc(), &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 5);
    EXPECT_EQ(box.top, 5);
    EXPECT_EQ(box.right, 15);
    EXPECT_EQ(box.bottom, 15);
    EXPECT_EQ(ExcludeClipRect(c.dc(), 5, 5, 8, 15), SIMPLEREGION);
    GetClipBox(c.dc(), &box);
    EXPECT_EQ(box.left, 8);
    EXPECT_EQ(box.right, 15);
    EXPECT_EQ(ExcludeClipRect(c.dc(), 10, 10, 12, 12), COMPLEXREGION);

    fill(c.dc(), {0, 0, 20, 20}, kGreen);
    EXPECT_EQ(c.at(7, 10), kWhite);
    EXPECT_EQ(c.at(8, 10), kGreen);
    EXPECT_EQ(c.at(14, 14), kGreen);
    EXPECT_EQ(c.at(15, 14), kWhite);
    EXPECT_EQ(c.at(10, 4), kWhite);
    EXPECT_EQ(c.at(10, 15), kWhite);
    EXPECT_EQ(c.at(10, 10), kWhite);
    EXPECT_EQ(c.at(11, 11), kWhite);
    EXPECT_EQ(c.at(12, 12), kGreen);

    EXPECT_TRUE(RestoreDC(c.dc(), -1));
    EXPECT_EQ(GetTextColor(c.dc()), kBlack);
    EXPECT_EQ(GetBkColor(c.dc()), kWhite);
    GetClipBox(c.dc(), &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, 20);
    fill(c.dc(), {0, 0, 20, 20}, kRed);
    EXPECT_EQ(c.at(0, 0), kRed);
    EXPECT_EQ(c.at(10, 10), kRed);

    // Drawing and clipping both follow the viewport origin.
    c.clear(kWhite);
    SaveDC(c.dc());
    POINT old{1, 1};
    EXPECT_TRUE(SetViewportOrgEx(c.dc(), 10, 5, &old));
    EXPECT_EQ(old.x, 0);
    EXPECT_EQ(old.y, 0);
    fill(c.dc(), {0, 0, 3, 3}, kBlue);
    EXPECT_EQ(c.at(10, 5), kBlue);
    EXPECT_EQ(c.at(12, 7), kBlue);
    EXPECT_EQ(c.at(9, 5), kWhite);
    EXPECT_EQ(c.at(13, 7), kWhite);
    EXPECT_EQ(c.at(0, 0), kWhite);
    EXPECT_EQ(GetPixel(c.dc(), 0, 0), kBlue);
    GetClipBox(c.dc(), &box);
    EXPECT_EQ(box.left, -10);
    EXPECT_EQ(box.top, -5);
    IntersectClipRect(c.dc(), 0, 0, 2, 2);
    fill(c.dc(), {0, 0, 5, 5}, kRed);
    EXPECT_EQ(c.at(11, 6), kRed);
    EXPECT_EQ(c.at(12, 6), kBlue);
    RestoreDC(c.dc(), -1);
    POINT org{};
    GetViewportOrgEx(c.dc(), &org);
    EXPECT_EQ(org.x, 0);
    EXPECT_EQ(org.y, 0);
}

void paintPattern(Canvas& c) {
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            SetPixel(c.dc(), x, y, RGB(x * 13, y * 17, (x * y) & 0xFF));
}

TEST(GdiShapes, BlitsCopyPixelsExactly) {
    Canvas source(12, 10);
    paintPattern(source);
    EXPECT_EQ(source.at(3, 4), RGB(39, 68, 12));

    Canvas target(20, 20);
    EXPECT_TRUE(BitBlt(target.dc(), 4, 6, 12, 10, source.dc(), 0, 0, SRCCOPY));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(target.at(x + 4, y + 6), source.at(x, y)) << x << "," << y;
    EXPECT_EQ(target.at(3, 6), kWhite);
    EXPECT_EQ(target.at(16, 15), kWhite);
    EXPECT_EQ(target.at(4, 16), kWhite);

    // Scrolling within one bitmap must read each row before it is overwritten.
    Canvas scroll(12, 10);
    paintPattern(scroll);
    EXPECT_TRUE(BitBlt(scroll.dc(), 0, 3, 12, 7, scroll.dc(), 0, 0, SRCCOPY));
    for (int y = 3; y < 10; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(scroll.at(x, y), source.at(x, y - 3)) << x << "," << y;
    paintPattern(scroll);
    EXPECT_TRUE(BitBlt(scroll.dc(), 0, 0, 10, 10, scroll.dc(), 2, 0, SRCCOPY));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(scroll.at(x, y), source.at(x + 2, y)) << x << "," << y;

    Canvas doubled(24, 20);
    SetStretchBltMode(doubled.dc(), COLORONCOLOR);
    EXPECT_TRUE(StretchBlt(doubled.dc(), 0, 0, 24, 20, source.dc(), 0, 0, 12, 10, SRCCOPY));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 24; ++x)
            ASSERT_EQ(doubled.at(x, y), source.at(x / 2, y / 2)) << x << "," << y;
}

TEST(GdiShapes, AlphaBlendConstantAlpha) {
    Canvas source(8, 8);
    source.clear(RGB(200, 0, 100));
    Canvas target(8, 8);
    target.clear(RGB(0, 100, 50));
    BLENDFUNCTION half{AC_SRC_OVER, 0, 128, 0};
    EXPECT_TRUE(AlphaBlend(target.dc(), 2, 2, 4, 4, source.dc(), 0, 0, 4, 4, half));
    const COLORREF mixed = target.at(3, 3);
    EXPECT_LE(std::abs(GetRValue(mixed) - 100), 1);
    EXPECT_LE(std::abs(GetGValue(mixed) - 50), 1);
    EXPECT_LE(std::abs(GetBValue(mixed) - 75), 1);
    EXPECT_EQ(target.at(1, 3), RGB(0, 100, 50));
    EXPECT_EQ(target.at(6, 3), RGB(0, 100, 50));
}

}  // namespace
