#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include <tessel/platform/gdi.h>

#include "canvas.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 128, 0),
                   kBlack = RGB(0, 0, 0);

void fill(HDC dc, RECT r, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

// Fills and frames take the right and bottom edges out; a rectangle frames
// with the pen (none with NULL_PEN) and fills with the brush; a line leaves
// its end point out and moves the current position there.
TEST(GdiShapes, FillsFramesRectanglesAndLinesCoverExactPixels) {
    Canvas c(20, 20);
    fill(c.dc(), {5, 6, 12, 15}, kRed);
    c.expectPixels({{5, 6, kRed}, {11, 14, kRed}, {4, 10, kWhite}, {8, 5, kWhite}, {12, 10, kWhite},
                    {8, 15, kWhite}});
    EXPECT_EQ(GetPixel(c.dc(), 11, 14), kRed);
    EXPECT_EQ(GetPixel(c.dc(), 12, 14), kWhite);

    c.clear(kWhite);
    HBRUSH blue = CreateSolidBrush(kBlue);
    RECT frame{2, 3, 10, 9};
    EXPECT_TRUE(FrameRect(c.dc(), &frame, blue));
    DeleteObject(blue);
    c.expectPixels({{2, 3, kBlue}, {9, 3, kBlue}, {2, 8, kBlue}, {9, 8, kBlue}, {5, 3, kBlue},
                    {9, 6, kBlue}, {3, 4, kWhite}, {8, 7, kWhite}, {10, 3, kWhite}, {2, 9, kWhite},
                    {1, 3, kWhite}, {2, 2, kWhite}});

    c.clear(kWhite);
    HPEN black = CreatePen(PS_SOLID, 1, kBlack), bluePen = CreatePen(PS_SOLID, 1, kBlue);
    HBRUSH red = CreateSolidBrush(kRed);
    HGDIOBJ oldPen = SelectObject(c.dc(), black);
    HGDIOBJ oldBrush = SelectObject(c.dc(), red);
    EXPECT_TRUE(Rectangle(c.dc(), 2, 2, 12, 10));
    c.expectPixels({{2, 2, kBlack}, {11, 2, kBlack}, {2, 9, kBlack}, {11, 9, kBlack}, {6, 2, kBlack},
                    {11, 5, kBlack}, {3, 3, kRed}, {10, 8, kRed}, {12, 5, kWhite}, {6, 10, kWhite}});
    c.clear(kWhite);
    SelectObject(c.dc(), GetStockObject(NULL_PEN));
    EXPECT_TRUE(Rectangle(c.dc(), 2, 2, 12, 10));
    c.expectPixels({{2, 2, kRed}, {10, 8, kRed}, {11, 5, kWhite}, {5, 9, kWhite}});

    c.clear(kWhite);
    SelectObject(c.dc(), bluePen);
    MoveToEx(c.dc(), 2, 5, nullptr);
    EXPECT_TRUE(LineTo(c.dc(), 10, 5));
    EXPECT_TRUE(LineTo(c.dc(), 10, 12));
    for (int x = 2; x < 10; ++x)
        EXPECT_EQ(c.at(x, 5), kBlue) << x;
    for (int y = 5; y < 12; ++y)
        EXPECT_EQ(c.at(10, y), kBlue) << y;
    c.expectPixels({{1, 5, kWhite}, {5, 4, kWhite}, {5, 6, kWhite}, {10, 12, kWhite}});
    POINT previous{};
    EXPECT_TRUE(MoveToEx(c.dc(), 0, 0, &previous));
    EXPECT_EQ((std::pair(previous.x, previous.y)), (std::pair<LONG, LONG>(10, 12)));
    SelectObject(c.dc(), oldPen);
    SelectObject(c.dc(), oldBrush);
    for (HGDIOBJ o : {HGDIOBJ(black), HGDIOBJ(bluePen), HGDIOBJ(red)})
        DeleteObject(o);
}

TEST(GdiShapes, ClippingSaveRestoreAndViewport) {
    Canvas c(20, 20);
    const auto clipBox = [&] {
        RECT box{};
        GetClipBox(c.dc(), &box);
        return std::vector<LONG>{box.left, box.top, box.right, box.bottom};
    };
    EXPECT_EQ(clipBox(), (std::vector<LONG>{0, 0, 20, 20}));
    const int level = SaveDC(c.dc());
    ASSERT_GT(level, 0);
    SetTextColor(c.dc(), kRed);
    SetBkColor(c.dc(), kBlue);
    EXPECT_EQ(IntersectClipRect(c.dc(), 5, 5, 15, 15), SIMPLEREGION);
    EXPECT_EQ(clipBox(), (std::vector<LONG>{5, 5, 15, 15}));
    EXPECT_EQ(ExcludeClipRect(c.dc(), 5, 5, 8, 15), SIMPLEREGION);
    EXPECT_EQ(clipBox(), (std::vector<LONG>{8, 5, 15, 15}));
    EXPECT_EQ(ExcludeClipRect(c.dc(), 10, 10, 12, 12), COMPLEXREGION);
    fill(c.dc(), {0, 0, 20, 20}, kGreen);
    c.expectPixels({{7, 10, kWhite}, {8, 10, kGreen}, {14, 14, kGreen}, {15, 14, kWhite},
                    {10, 4, kWhite}, {10, 15, kWhite}, {10, 10, kWhite}, {11, 11, kWhite},
                    {12, 12, kGreen}});

    EXPECT_TRUE(RestoreDC(c.dc(), -1));
    EXPECT_EQ(GetTextColor(c.dc()), kBlack);
    EXPECT_EQ(GetBkColor(c.dc()), kWhite);
    EXPECT_EQ(clipBox(), (std::vector<LONG>{0, 0, 20, 20}));
    fill(c.dc(), {0, 0, 20, 20}, kRed);
    c.expectPixels({{0, 0, kRed}, {10, 10, kRed}});

    // Drawing and clipping both follow the viewport origin.
    c.clear(kWhite);
    SaveDC(c.dc());
    POINT old{1, 1};
    EXPECT_TRUE(SetViewportOrgEx(c.dc(), 10, 5, &old));
    EXPECT_EQ(std::pair(old.x, old.y), (std::pair<LONG, LONG>(0, 0)));
    fill(c.dc(), {0, 0, 3, 3}, kBlue);
    c.expectPixels({{10, 5, kBlue}, {12, 7, kBlue}, {9, 5, kWhite}, {13, 7, kWhite}, {0, 0, kWhite}});
    EXPECT_EQ(GetPixel(c.dc(), 0, 0), kBlue);
    EXPECT_EQ(clipBox(), (std::vector<LONG>{-10, -5, 10, 15}));
    IntersectClipRect(c.dc(), 0, 0, 2, 2);
    fill(c.dc(), {0, 0, 5, 5}, kRed);
    c.expectPixels({{11, 6, kRed}, {12, 6, kBlue}});
    RestoreDC(c.dc(), -1);
    POINT org{};
    GetViewportOrgEx(c.dc(), &org);
    EXPECT_EQ(std::pair(org.x, org.y), (std::pair<LONG, LONG>(0, 0)));
}

void paintPattern(Canvas& c) {
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            SetPixel(c.dc(), x, y, RGB(x * 13, y * 17, (x * y) & 0xFF));
}

// Pixel for pixel: into another bitmap, within one bitmap both ways (each row
// read before it is overwritten), doubled, and blended at constant alpha.
TEST(GdiShapes, BlitsCopyPixelsExactly) {
    Canvas source(12, 10), target(20, 20), scroll(12, 10), doubled(24, 20);
    paintPattern(source);
    EXPECT_EQ(source.at(3, 4), RGB(39, 68, 12));
    EXPECT_TRUE(BitBlt(target.dc(), 4, 6, 12, 10, source.dc(), 0, 0, SRCCOPY));
    const auto expectCopy = [&](const Canvas& to, int dx, int dy, int w, int h, int scale = 1) {
        for (int y = 0; y < h; ++y)
            for (int x = dx < 0 ? -dx : 0; x < w; ++x)
                ASSERT_EQ(to.at(x + dx, y + dy), source.at(x / scale, y / scale)) << x << "," << y;
    };
    expectCopy(target, 4, 6, 12, 10);
    target.expectPixels({{3, 6, kWhite}, {16, 15, kWhite}, {4, 16, kWhite}});
    paintPattern(scroll);
    EXPECT_TRUE(BitBlt(scroll.dc(), 0, 3, 12, 7, scroll.dc(), 0, 0, SRCCOPY));
    expectCopy(scroll, 0, 3, 12, 7);
    paintPattern(scroll);
    EXPECT_TRUE(BitBlt(scroll.dc(), 0, 0, 10, 10, scroll.dc(), 2, 0, SRCCOPY));
    expectCopy(scroll, -2, 0, 12, 10);
    SetStretchBltMode(doubled.dc(), COLORONCOLOR);
    EXPECT_TRUE(StretchBlt(doubled.dc(), 0, 0, 24, 20, source.dc(), 0, 0, 12, 10, SRCCOPY));
    expectCopy(doubled, 0, 0, 24, 20, 2);

    source.clear(RGB(200, 0, 100));
    target.clear(RGB(0, 100, 50));
    BLENDFUNCTION half{AC_SRC_OVER, 0, 128, 0};
    EXPECT_TRUE(AlphaBlend(target.dc(), 2, 2, 4, 4, source.dc(), 0, 0, 4, 4, half));
    const COLORREF mixed = target.at(3, 3);
    EXPECT_LE(std::abs(GetRValue(mixed) - 100) + std::abs(GetGValue(mixed) - 50) +
                  std::abs(GetBValue(mixed) - 75), 2);
    target.expectPixels({{1, 3, RGB(0, 100, 50)}, {6, 3, RGB(0, 100, 50)}});
}

}  // namespace
