// The text component and the text button: what each state draws, the sizes
// measured from the installed font, and the derived state styles.
#include <gtest/gtest.h>

#include <tuple>

#include <tessel/components/YBText.h>
#include <tessel/components/YBTextButton.h>
#include <tessel/drawing/Shades.h>
#include <tessel/platform/afx_window_dc.h>

#include "components_test.h"
#include "toolkit_windows.h"

namespace {

using namespace components_test;
using tessel::testing::pump;

constexpr COLORREF kBackground = RGB(0, 0, 128);

using test_support::screenExtent;

// Whether some pixel of `area` is close to `colour`.
bool shows(HWND w, const CRect& area, COLORREF colour) {
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (near(pixel(w, x, y), colour, 40)) return true;
    return false;
}

class TextButtonTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        makeHost(host, 0, 0, 300, 200);
    }
    template <class T>
    T* add(T* component) {
        host.addComponent(component, true, true);
        pump();
        return component;
    }
    COLORREF at(int x, int y) {
        pump();
        return pixel(host, x, y);
    }

    TestHost host{kBackground};
    GFont font{"Arial", 9.0, 0, RGB(0, 0, 0)};
};

TEST_F(TextButtonTest, EachStateDrawsItsOwnStyleAndItsTextColour) {
    auto* b = add(new YBTextButton(5, L"Go", font, 100, 40, &host));
    // Eight styles told apart by fill, border width and text colour.
    const COLORREF fills[8] = {0x101010, 0x202020, 0x303030, 0x404040,
                               0x505050, 0x606060, 0x707070, 0x808080};
    for (int i = 0; i < 8; ++i) {
        YBTextButtonStyle style;
        style.font = font;
        style.bgColor = fills[i];
        style.bdColor = RGB(255, 255, 0);
        style.bdWidth = 1 + i % 3;
        style.fgColor = RGB(0, 255, 0) + static_cast<COLORREF>(i);
        b->setStyle(i, style);
    }
    b->invalidate();  // setters do not repaint
    const auto expectStyle = [&](int index) {
        const int border = 1 + index % 3;
        EXPECT_EQ(at(border - 1, 20), RGB(255, 255, 0)) << "style " << index;
        EXPECT_EQ(at(border, 3), fills[index]) << "style " << index;
        EXPECT_TRUE(shows(host, CRect(30, 5, 70, 35), RGB(0, 255, 0))) << "style " << index;
    };
    // Disabled wins, then pressed, then over; selected adds four.
    const std::vector<std::pair<std::function<void()>, int>> steps{
        {[] {}, 1},
        {[&] { moveTo(host, {50, 20}); }, 2},
        {press, 3},
        {[&] { release(), b->select(true, true); }, 6},
        {press, 7},
        {[&] { release(), moveTo(host, {200, 150}); }, 5},
        {[&] { b->disable(true, true); }, 0}};  // disabled and selected: never style 4
    for (const auto& [act, style] : steps) {
        act();
        expectStyle(style);
    }
    EXPECT_EQ(app.commands, (std::vector<int>{5, 5}));
}

// The size is the largest text of all style fonts (style 4 keeps the default
// font) plus the padding and the widest border twice; the initial styles
// draw a grey box with the text centred.
TEST_F(TextButtonTest, SizeIsTheLargestTextOfAllStyleFontsPlusPaddingAndTheWidestBorderTwice) {
    const GFont small("Arial", 6.0, 0, 0);
    const CSize large = screenExtent(GFont(), L"Hello");
    auto* measured = add(new YBTextButton(1, L"Hello", small, 0, 0, &host));
    EXPECT_EQ(measured->size(), large + CSize(16, 16));
    EXPECT_TRUE(near(at(0, large.cy / 2 + 8), 0x969696, 8));
    EXPECT_TRUE(near(at(3, large.cy / 2 + 8), 0xF0F0F0, 8));
    EXPECT_TRUE(shows(host, CRect(8, 8, 8 + large.cx, 8 + large.cy), RGB(0, 0, 0)));
    EXPECT_EQ(at(large.cx + 17, 4), kBackground);

    EXPECT_EQ(YBTextButton(1, L"", small, 0, 0, nullptr).size(), CSize(16, 16));
    EXPECT_EQ(YBTextButton(1, L"Hello", small, 80, 0, nullptr).size(), CSize(80, large.cy + 16));
    YBTextButtonStyle thick;
    thick.bdWidth = 6;
    measured->setStyle(2, thick);
    measured->setPadding(GPadding(1, 2, 3, 4));
    EXPECT_EQ(measured->size(), large + CSize(15, 19));
    const CSize before = measured->size();
    measured->setStyle(8, YBTextButtonStyle());  // out of range: ignored
    measured->setStyle(-1, YBTextButtonStyle());
    YBTextButtonStyle out;
    out.bgColor = 1;
    measured->getStyle(8, out);
    EXPECT_EQ(out.bgColor, 1u);
    EXPECT_EQ(measured->size(), before);
}

// setAllStyles derives the others from one: disabled ones grey, mouse-over a
// shade lighter, pressed a shade darker, every colour alike. Setting only the
// unselected ones keeps each colour but greys the disabled one, and leaves
// the selected ones as they were.
TEST_F(TextButtonTest, DerivedStylesShadeGreyOrKeepEachColour) {
    YBTextButton b(1, L"x", font, 50, 20, nullptr);
    YBTextButtonStyle grey;
    grey.bdColor = grey.bgColor = grey.fgColor = 0x808080;
    grey.bdWidth = 4;
    b.setAllStyles(grey, false);
    const COLORREF expected[8] = {GetGrayscale(0x808080), 0x808080, GetShade(0x808080, 1.1),
                                  GetShade(0x808080, 0.9), GetGrayscale(0x808080), 0x808080,
                                  GetShade(0x808080, 1.1), GetShade(0x808080, 0.9)};
    YBTextButtonStyle s;
    for (int i = 0; i < 8; ++i) {
        b.getStyle(i, s);
        EXPECT_EQ(std::tuple(s.bgColor, s.fgColor, s.bdColor, s.bdWidth),
                  std::tuple(expected[i], expected[i], expected[i], 4))
            << i;
    }
    YBTextButtonStyle red;
    red.bdColor = red.bgColor = red.fgColor = RGB(200, 0, 0);
    b.setAllUnselectedStyles(red, false);
    b.getStyle(0, s);
    EXPECT_EQ(s.bgColor, GetGrayscale(RGB(200, 0, 0)));
    b.getStyle(3, s);
    EXPECT_EQ(s.bgColor, RGB(200, 0, 0));
    b.getStyle(6, s);
    EXPECT_EQ(s.bgColor, GetShade(0x808080, 1.1));
}

TEST_F(TextButtonTest, TextComponentFillsFramesAndDrawsInTheFontsColour) {
    const GFont green("Arial", 9.0, 0, RGB(0, 160, 0));
    auto* text = add(new YBText(L"Label", green, DT_LEFT | DT_TOP, 0, &host));
    const CSize size = screenExtent(green, L"Label");
    EXPECT_EQ(text->size(), size);
    EXPECT_TRUE(shows(host, text->rect(), RGB(0, 160, 0)));
    EXPECT_EQ(at(1, 1), kBackground);  // no fill, no frame: only the text

    text->bgColor(RGB(255, 255, 255));
    text->bdColor(RGB(255, 0, 0));
    text->invalidate();
    const CRect r = text->rect();
    // Below the baseline: "Label" has no descender over the frame's bottom row.
    EXPECT_EQ(at(r.left, r.bottom - 1), RGB(255, 0, 0));
    EXPECT_EQ(at(r.right - 1, r.bottom - 1), RGB(255, 0, 0));
    EXPECT_EQ(at(r.left + 1, r.bottom - 2), RGB(255, 255, 255));
    EXPECT_EQ(at(r.right, r.bottom - 1), kBackground);
}

TEST_F(TextButtonTest, TextComponentMeasuresWrappedTextOnlyWhenAsked) {
    const wchar_t* words = L"one two three four five six";
    YBText text(words, font, DT_WORDBREAK, 0, nullptr);
    const CSize oneLine = text.size();

    CClientDC client(&host);
    XDC dc(&client);
    text.calcSizes(dc, 80);
    const CSize wrapped = text.getMinSize();
    HGDIOBJ old = SelectObject(client.m_hDC, font.handle());
    CRect calc(0, 0, 80, 0);
    DrawTextW(client.m_hDC, words, -1, &calc, DT_WORDBREAK | DT_CALCRECT);
    SelectObject(client.m_hDC, old);
    EXPECT_EQ(wrapped, calc.Size());
    EXPECT_LE(wrapped.cx, 80);
    EXPECT_GT(wrapped.cy, oneLine.cy);
    EXPECT_EQ(text.size(), oneLine);  // only the minimum size follows

    text.text(L"x");
    EXPECT_EQ(text.getMinSize(), wrapped);
    text.calcSizes(dc, 0);
    EXPECT_EQ(text.getMinSize(), screenExtent(font, L"x"));
}

}  // namespace
