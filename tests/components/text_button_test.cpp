// The text component and the text button: what each state draws, the sizes
// measured from the installed font, and the derived state styles.
#include <gtest/gtest.h>

#include <tuple>

#include <tessel/components/YBText.h>
#include <tessel/components/YBTextButton.h>
#include <tessel/drawing/Shades.h>
#include <tessel/platform/afx_window_dc.h>

#include "components_test.h"

namespace {

using namespace components_test;
using test_support::screenExtent;

constexpr COLORREF kBackground = RGB(0, 0, 128);

class TextButtonTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        makeHost(host, 0, 0, 300, 200);
    }
    template <class T>
    T* add(T* component) {
        host.addComponent(component, true, true);
        return component;
    }

    TestHost host{kBackground};
    GFont font{"Arial", 9.0, 0, RGB(0, 0, 0)};
};

// Disabled wins, then pressed, then over; selected adds four, but disabled
// and selected is never style 4.
TEST_F(TextButtonTest, EachStateDrawsItsOwnStyleAndItsTextColour) {
    auto* b = add(new YBTextButton(5, L"Go", font, 100, 40, &host));
    for (int i = 0; i < 8; ++i) {  // told apart by fill, border width and text colour
        YBTextButtonStyle style;
        style.font = font;
        style.bgColor = 0x101010 * (i + 1);
        style.bdColor = RGB(255, 255, 0);
        style.bdWidth = 1 + i % 3;
        style.fgColor = RGB(0, 255, 0) + static_cast<COLORREF>(i);
        b->setStyle(i, style);
    }
    b->invalidate();  // setters do not repaint
    const std::vector<std::pair<std::function<void()>, int>> steps{
        {[] {}, 1},
        {[&] { moveTo(host, {50, 20}); }, 2},
        {press, 3},
        {[&] { release(), b->select(true, true); }, 6},
        {press, 7},
        {[&] { release(), moveTo(host, {200, 150}); }, 5},
        {[&] { b->disable(true, true); }, 0}};
    for (const auto& [act, style] : steps) {
        act();
        const int border = 1 + style % 3;
        EXPECT_EQ(pixel(host, border - 1, 20), RGB(255, 255, 0)) << "style " << style;
        EXPECT_EQ(pixel(host, border, 3), 0x101010u * (style + 1)) << "style " << style;
        EXPECT_TRUE(shows(host, CRect(30, 5, 70, 35), RGB(0, 255, 0))) << "style " << style;
    }
    EXPECT_SEQ(app.commands, {5, 5});
}

// The size is the largest text of all style fonts (style 4 keeps the default
// font) plus the padding and the widest border twice; the initial styles
// draw a grey box with the text centred.
TEST_F(TextButtonTest, SizeIsTheLargestTextOfAllStyleFontsPlusPaddingAndTheWidestBorderTwice) {
    const GFont small("Arial", 6.0, 0, 0);
    const CSize large = screenExtent(GFont(), L"Hello");
    auto* measured = add(new YBTextButton(1, L"Hello", small, 0, 0, &host));
    EXPECT_EQ(measured->size(), large + CSize(16, 16));
    EXPECT_TRUE(near(pixel(host, 0, large.cy / 2 + 8), 0x969696, 8));
    EXPECT_TRUE(near(pixel(host, 3, large.cy / 2 + 8), 0xF0F0F0, 8));
    EXPECT_TRUE(shows(host, CRect(8, 8, 8 + large.cx, 8 + large.cy), RGB(0, 0, 0)));
    EXPECT_EQ(pixel(host, large.cx + 17, 4), kBackground);

    EXPECT_EQ(YBTextButton(1, L"", small, 0, 0, nullptr).size(), CSize(16, 16));
    EXPECT_EQ(YBTextButton(1, L"Hello", small, 80, 0, nullptr).size(), CSize(80, large.cy + 16));
    YBTextButtonStyle thick;
    thick.bdWidth = 6;
    measured->setStyle(2, thick);
    measured->setPadding(GPadding(1, 2, 3, 4));
    EXPECT_EQ(measured->size(), large + CSize(15, 19));
    measured->setStyle(8, YBTextButtonStyle());  // out of range: ignored
    measured->setStyle(-1, YBTextButtonStyle());
    YBTextButtonStyle out;
    out.bgColor = 1;
    measured->getStyle(8, out);
    EXPECT_EQ(out.bgColor, 1u);
    EXPECT_EQ(measured->size(), large + CSize(15, 19));
}

// setAllStyles derives the others from one: disabled ones grey, mouse-over a
// shade lighter, pressed a shade darker, every colour alike. Setting only the
// unselected ones keeps each colour but greys the disabled one, and leaves
// the selected ones as they were.
TEST_F(TextButtonTest, DerivedStylesShadeGreyOrKeepEachColour) {
    YBTextButton b(1, L"x", font, 50, 20, nullptr);
    YBTextButtonStyle s;
    s.bdColor = s.bgColor = s.fgColor = 0x808080;
    s.bdWidth = 4;
    b.setAllStyles(s, false);
    const COLORREF derived[4] = {GetGrayscale(0x808080), 0x808080, GetShade(0x808080, 1.1),
                                 GetShade(0x808080, 0.9)};
    for (int i = 0; i < 8; ++i) {
        b.getStyle(i, s);
        const COLORREF c = derived[i % 4];
        EXPECT_EQ(std::tuple(s.bgColor, s.fgColor, s.bdColor, s.bdWidth), std::tuple(c, c, c, 4))
            << i;
    }
    s.bdColor = s.bgColor = s.fgColor = RGB(200, 0, 0);
    b.setAllUnselectedStyles(s, false);
    const COLORREF expected[] = {GetGrayscale(RGB(200, 0, 0)), RGB(200, 0, 0),
                                 GetShade(0x808080, 1.1)};
    for (const auto& [i, colour] : {std::pair{0, expected[0]}, {3, expected[1]}, {6, expected[2]}}) {
        b.getStyle(i, s);
        EXPECT_EQ(s.bgColor, colour) << i;
    }
}

// No fill or frame unless given; wrapped text is measured for the minimum
// size only, and only when asked.
TEST_F(TextButtonTest, TextComponentFillsFramesAndMeasuresWrappedTextWhenAsked) {
    const GFont green("Arial", 9.0, 0, RGB(0, 160, 0));
    auto* text = add(new YBText(L"Label", green, DT_LEFT | DT_TOP, 0, &host));
    EXPECT_EQ(text->size(), screenExtent(green, L"Label"));
    EXPECT_TRUE(shows(host, text->rect(), RGB(0, 160, 0)));
    EXPECT_EQ(pixel(host, 1, 1), kBackground);
    text->bgColor(RGB(255, 255, 255));
    text->bdColor(RGB(255, 0, 0));
    text->invalidate();
    const CRect r = text->rect();
    // Below the baseline: "Label" has no descender over the frame's bottom row.
    EXPECT_EQ(pixel(host, r.left, r.bottom - 1), RGB(255, 0, 0));
    EXPECT_EQ(pixel(host, r.right - 1, r.bottom - 1), RGB(255, 0, 0));
    EXPECT_EQ(pixel(host, r.left + 1, r.bottom - 2), RGB(255, 255, 255));
    EXPECT_EQ(pixel(host, r.right, r.bottom - 1), kBackground);

    const wchar_t* words = L"one two three four five six";
    YBText wrapping(words, font, DT_WORDBREAK, 0, nullptr);
    const CSize oneLine = wrapping.size();
    CClientDC client(&host);
    XDC dc(&client);
    wrapping.calcSizes(dc, 80);
    HGDIOBJ old = SelectObject(client.m_hDC, font.handle());
    CRect calc(0, 0, 80, 0);
    DrawTextW(client.m_hDC, words, -1, &calc, DT_WORDBREAK | DT_CALCRECT);
    SelectObject(client.m_hDC, old);
    EXPECT_EQ(wrapping.getMinSize(), calc.Size());
    EXPECT_GT(calc.Height(), oneLine.cy);
    EXPECT_EQ(wrapping.size(), oneLine);
    wrapping.text(L"x");
    EXPECT_EQ(wrapping.getMinSize(), calc.Size());
    wrapping.calcSizes(dc, 0);
    EXPECT_EQ(wrapping.getMinSize(), screenExtent(font, L"x"));
}

}  // namespace
