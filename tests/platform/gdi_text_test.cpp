#include <gtest/gtest.h>

#include <cwchar>

#include <tessel/platform/gdi.h>

#include "text_canvas.h"

namespace {

TEST(GdiText, MetricsAndExtents) {
    TextCanvas c(10, 10);
    EXPECT_EQ(c.tm().tmHeight, c.tm().tmAscent + c.tm().tmDescent);
    // A negative height asks for the character height (the em) in pixels.
    EXPECT_EQ(c.tm().tmHeight - c.tm().tmInternalLeading, 13);

    const SIZE one = c.extent(L"W"), two = c.extent(L"WW"), more = c.extent(L"WW and more");
    EXPECT_GT(one.cx, 0);
    EXPECT_GT(two.cx, one.cx);
    EXPECT_GT(more.cx, two.cx);
    EXPECT_EQ(one.cy, c.tm().tmHeight);
    SIZE partial{};
    EXPECT_TRUE(GetTextExtentPoint32W(c.dc(), L"WW and more", 2, &partial));
    EXPECT_EQ(partial.cx, two.cx);
    EXPECT_EQ(c.extent(L"").cx, 0);
}

TEST(GdiText, DrawTextCentresSingleLine) {
    TextCanvas c(200, 60);
    RECT r{10, 10, 190, 50};
    const int height = DrawTextW(c.dc(), L"Hello", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    const int cellTop = r.top + (r.bottom - r.top) / 2 - c.tm().tmHeight / 2;
    EXPECT_EQ(height, cellTop - r.top + c.tm().tmHeight);

    const RECT ink = c.ink();
    ASSERT_GT(ink.right, ink.left);
    EXPECT_NEAR((ink.left + ink.right) / 2.0, (r.left + r.right) / 2.0, 1.0);
    EXPECT_NEAR(ink.right - ink.left, c.extent(L"Hello").cx, 2);
    // No descenders: the ink sits on the baseline of the computed cell.
    EXPECT_NEAR(ink.bottom, cellTop + c.tm().tmAscent, 1);
    EXPECT_GE(ink.top, cellTop);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, (r.top + r.bottom) / 2.0, 2.5);
}

TEST(GdiText, CalcRectMeasuresWithoutDrawing) {
    TextCanvas c(200, 100);
    SetBkMode(c.dc(), OPAQUE);
    SetBkColor(c.dc(), RGB(0, 0, 0));

    RECT one{5, 5, 5, 5};
    EXPECT_EQ(DrawTextW(c.dc(), L"Measure me", -1, &one, DT_SINGLELINE | DT_CALCRECT),
              c.tm().tmHeight);
    EXPECT_EQ(one.left, 5);
    EXPECT_EQ(one.top, 5);
    EXPECT_EQ(one.right - one.left, c.extent(L"Measure me").cx);
    EXPECT_EQ(one.bottom - one.top, c.tm().tmHeight);

    // Wrapped text: exact lines and widths in text_load_test.
    // A word longer than the line is not split.
    RECT longWord{0, 0, 30, 0};
    EXPECT_EQ(DrawTextW(c.dc(), L"Extraordinarily", -1, &longWord, DT_WORDBREAK | DT_CALCRECT),
              c.tm().tmHeight);
    EXPECT_EQ(longWord.right, c.extent(L"Extraordinarily").cx);

    // Wrapped text narrower than the rectangle shrinks it to the widest line.
    RECT wide{10, 0, 10000, 0};
    EXPECT_EQ(DrawTextW(c.dc(), L"short", -1, &wide, DT_WORDBREAK | DT_CALCRECT), c.tm().tmHeight);
    EXPECT_EQ(wide.right - wide.left, c.extent(L"short").cx);

    EXPECT_EQ(c.inkCount(), 0);
}

TEST(GdiText, WordBreakClipsLongWordUnlessNoClip) {
    TextCanvas c(200, 60);
    RECT r{20, 10, 60, 50};
    const int width = c.extent(L"Extraordinarily").cx;
    ASSERT_GT(width, 60);
    EXPECT_GT(DrawTextW(c.dc(), L"Extraordinarily", -1, &r, DT_WORDBREAK), 0);
    RECT ink = c.ink();
    EXPECT_GE(ink.left, r.left);
    EXPECT_GE(ink.right, r.right - 2);
    EXPECT_LE(ink.right, r.right);
    EXPECT_LE(ink.bottom, r.top + c.tm().tmHeight);

    c.clear(kWhite);
    DrawTextW(c.dc(), L"Extraordinarily", -1, &r, DT_WORDBREAK | DT_NOCLIP);
    ink = c.ink();
    EXPECT_NEAR(ink.right - r.left, width, 2);
    EXPECT_LE(ink.bottom, r.top + c.tm().tmHeight);
}

TEST(GdiText, PrefixUnderlinesAndNoPrefixShowsAmpersand) {
    TextCanvas c(200, 40);
    RECT r{10, 5, 190, 35};
    const int baseline = r.top + c.tm().tmAscent;
    const int fWidth = c.extent(L"F").cx;

    DrawTextW(c.dc(), L"&File", -1, &r, DT_SINGLELINE);
    EXPECT_GT(c.inkIn(r.left, baseline, r.left + fWidth, r.top + c.tm().tmHeight), 0);
    EXPECT_EQ(c.inkIn(r.left + fWidth + 1, baseline, r.right, r.bottom), 0);
    const RECT prefixed = c.ink();
    EXPECT_NEAR(prefixed.right - prefixed.left, c.extent(L"File").cx, 2);

    c.clear(kWhite);
    DrawTextW(c.dc(), L"&File", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(c.inkIn(r.left, baseline + 1, r.right, r.bottom), 0);
    const RECT plain = c.ink();
    EXPECT_NEAR(plain.right - plain.left, c.extent(L"&File").cx, 2);
    EXPECT_GT(plain.right, prefixed.right + 4);

    // A doubled ampersand is a literal one, without an underline.
    c.clear(kWhite);
    DrawTextW(c.dc(), L"A&&B", -1, &r, DT_SINGLELINE);
    EXPECT_NEAR(c.ink().right - c.ink().left, c.extent(L"A&B").cx, 2);
    EXPECT_EQ(c.inkIn(r.left, baseline + 1, r.right, r.bottom), 0);
}

// Keyboard cues hidden: the prefixes are taken out as usual, nothing is underlined.
TEST(GdiText, HiddenPrefixDrawsTheTextWithoutUnderline) {
    TextCanvas hidden(200, 40), plain(200, 40), underlined(200, 40);
    RECT r{10, 5, 190, 35};
    DrawTextW(hidden.dc(), L"A&bc&&d", -1, &r, DT_SINGLELINE | DT_HIDEPREFIX);
    DrawTextW(plain.dc(), L"Abc&d", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
    DrawTextW(underlined.dc(), L"A&bc&&d", -1, &r, DT_SINGLELINE);
    int differences = 0, underline = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 200; ++x) {
            differences += hidden.at(x, y) != plain.at(x, y);
            underline += hidden.at(x, y) != underlined.at(x, y);
        }
    }
    EXPECT_EQ(differences, 0);
    EXPECT_GT(underline, 2);
}

TEST(GdiText, EllipsisFitsAndBaselineAlignment) {
    TextCanvas c(200, 40);
    const wchar_t* text = L"A rather long caption that cannot fit";
    RECT r{10, 5, 80, 25};
    DrawTextW(c.dc(), text, -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP);
    const RECT ink = c.ink();
    EXPECT_GT(ink.right, r.left + 30);
    EXPECT_LE(ink.right, r.right);
    EXPECT_GE(ink.left, r.left);

    // TA_BASELINE at y draws what TA_TOP draws at y - ascent.
    TextCanvas top(100, 40), base(100, 40);
    SetTextAlign(top.dc(), TA_TOP | TA_LEFT);
    EXPECT_TRUE(TextOutW(top.dc(), 10, 30 - top.tm().tmAscent, L"Hxy", 3));
    SetTextAlign(base.dc(), TA_BASELINE | TA_LEFT);
    EXPECT_TRUE(TextOutW(base.dc(), 10, 30, L"Hxy", 3));
    const RECT a = top.ink(), b = base.ink();
    EXPECT_GT(a.right, a.left);
    EXPECT_TRUE(b.left == a.left && b.top == a.top && b.right == a.right && b.bottom == a.bottom);
    // "H" ends at the baseline and "y" descends below it.
    EXPECT_GT(base.inkIn(0, 30, 100, 40), 0);
    EXPECT_EQ(base.inkIn(0, 30, 10 + base.extent(L"H").cx - 1, 40), 0);
    EXPECT_GT(base.inkIn(0, 28, 10 + base.extent(L"H").cx, 30), 0);
}

}  // namespace
