#include <gtest/gtest.h>

#include <cwchar>

#include <tessel/platform/gdi.h>

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

    EXPECT_EQ(GetPixel(c.dc(), -1, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(c.dc(), 10, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(c.dc(), 0, 10), CLR_INVALID);
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
    EXPECT_EQ(c.at(2, 2), RGB(0, 0, 0));
    EXPECT_EQ(c.at(7, 7), RGB(0, 0, 0));
    EXPECT_EQ(c.at(5, 5), kWhite);
    EXPECT_EQ(c.at(8, 8), kWhite);
    c.clear(kWhite);

    RECT huge{-2000000000, -2000000000, 2000000000, 2000000000};
    EXPECT_TRUE(FillRect(c.dc(), &huge, red));
    EXPECT_EQ(c.at(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(c.at(9, 9), RGB(255, 0, 0));
    c.clear(kWhite);
    RECT farAway{2000000000, 5, 2000000010, 8};
    FillRect(c.dc(), &farAway, red);
    MoveToEx(c.dc(), -2000000000, 5, nullptr);
    LineTo(c.dc(), 2000000000, 5);
    EXPECT_EQ(c.at(0, 5), RGB(0, 0, 0));
    EXPECT_EQ(c.at(9, 5), RGB(0, 0, 0));
    EXPECT_EQ(c.at(5, 2), kWhite);
    EXPECT_EQ(c.at(5, 6), kWhite);
    DeleteObject(red);
    c.clear(kWhite);

    RECT r{0, 0, 10, 10};
    EXPECT_EQ(DrawTextW(c.dc(), L"", -1, &r, DT_SINGLELINE), 0);
    EXPECT_EQ(DrawTextW(c.dc(), nullptr, -1, &r, DT_SINGLELINE), 0);
    EXPECT_EQ(DrawTextW(c.dc(), L"x", 1, nullptr, DT_SINGLELINE), 0);
    EXPECT_TRUE(TextOutW(c.dc(), 0, 0, L"", 0));
    SIZE s{5, 5};
    EXPECT_TRUE(GetTextExtentPoint32W(c.dc(), L"", 0, &s));
    EXPECT_EQ(s.cx, 0);
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

}  // namespace
