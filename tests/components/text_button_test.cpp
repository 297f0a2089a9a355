// The text button and the text component: what each state draws, and the
// sizes measured from the installed font.
#include <gtest/gtest.h>

#include <tessel/components/YBText.h>
#include <tessel/components/YBTextButton.h>
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

    TestHost host{kBackground};
    GFont font{"Arial", 9.0, 0, RGB(0, 0, 0)};
};

// Disabled wins, then pressed, then over; selected adds four, but disabled
// and selected is never style 4. Styles are told apart by fill, border width
// and text colour.
TEST_F(TextButtonTest, EachStateDrawsItsOwnStyleAndItsTextColour) {
    auto* b = new YBTextButton(5, L"Go", font, 100, 40, &host);
    host.addComponent(b, true, true);
    for (int i = 0; i < 8; ++i)
        b->setStyle(i, {.font = font,
                        .fgColor = RGB(0, 255, i),
                        .bgColor = 0x101010u * (i + 1),
                        .bdColor = RGB(255, 255, 0),
                        .bdWidth = 1 + i % 3});
    b->invalidate();  // setters do not repaint
    const std::vector<std::pair<std::function<void()>, int>> steps{
        {[] {}, 1},
        {[&] { moveTo(host, CPoint(50, 20)); }, 2},
        {press, 3},
        {[&] { release(), b->select(true, true); }, 6},
        {press, 7},
        {[&] { release(), moveTo(host, CPoint(200, 150)); }, 5},
        {[&] { b->disable(true, true); }, 0}};
    for (const auto& [act, style] : steps) {
        act();
        SCOPED_TRACE(style);
        const int border = 1 + style % 3;
        EXPECT_EQ(pixel(host, border - 1, 20), RGB(255, 255, 0));
        EXPECT_EQ(pixel(host, border, 3), 0x101010u * (style + 1));
        EXPECT_TRUE(shows(host, CRect(30, 5, 70, 35), RGB(0, 255, 0)));
    }
    EXPECT_SEQ(app.commands, {5, 5});
}

// The largest text of all style fonts (style 4 keeps the default font) plus
// the padding and the widest border twice; out-of-range styles are ignored.
// The initial styles draw a grey box with the text centred.
TEST_F(TextButtonTest, SizeIsTheLargestTextPlusPaddingAndTheWidestBorderTwice) {
    const GFont small("Arial", 6.0, 0, 0);
    const CSize large = screenExtent(GFont(), L"Hello");
    auto* measured = new YBTextButton(1, L"Hello", small, 0, 0, &host);
    host.addComponent(measured, true, true);
    EXPECT_EQ(measured->size(), large + CSize(16, 16));
    EXPECT_TRUE(shows(host, {0, large.cy / 2 + 8, 1, large.cy / 2 + 9}, 0x969696, 8));
    EXPECT_TRUE(shows(host, {3, large.cy / 2 + 8, 4, large.cy / 2 + 9}, 0xF0F0F0, 8));
    EXPECT_TRUE(shows(host, CRect(8, 8, 8 + large.cx, 8 + large.cy), RGB(0, 0, 0)));
    EXPECT_EQ(pixel(host, large.cx + 17, 4), kBackground);
    EXPECT_EQ(YBTextButton(1, L"Hello", small, 80, 0, nullptr).size(), CSize(80, large.cy + 16));
    YBTextButtonStyle thick, out;
    thick.bdWidth = 6;
    out.bgColor = 1;
    measured->setStyle(2, thick);
    measured->setPadding(GPadding(1, 2, 3, 4));
    for (int outOfRange : {8, -1})
        measured->setStyle(outOfRange, {}), measured->getStyle(outOfRange, out);
    EXPECT_EQ(out.bgColor, 1u);
    EXPECT_EQ(measured->size(), large + CSize(15, 19));
}

// No fill or frame unless given; wrapped text is measured for the minimum
// size only, and only when asked.
TEST_F(TextButtonTest, TextComponentFillsFramesAndMeasuresWrappedTextWhenAsked) {
    auto* text = new YBText(L"Label", font, DT_LEFT | DT_TOP, 0, &host);
    host.addComponent(text, true, true);
    EXPECT_EQ(text->size(), screenExtent(font, L"Label"));
    EXPECT_EQ(pixel(host, 1, 1), kBackground);
    text->bgColor(RGB(255, 255, 255));
    text->bdColor(RGB(255, 0, 0));
    text->invalidate();
    const CRect r = text->rect();  // "Label" has no descender over the frame's bottom row
    EXPECT_EQ(pixel(host, r.right - 1, r.bottom - 1), RGB(255, 0, 0));
    EXPECT_EQ(pixel(host, r.left + 1, r.bottom - 2), RGB(255, 255, 255));
    EXPECT_EQ(pixel(host, r.right, r.bottom - 1), kBackground);

    const wchar_t* words = L"one two three four five six";
    YBText wrapping(words, font, DT_WORDBREAK, 0, nullptr);
    CClientDC client(&host);
    XDC dc(&client);
    wrapping.calcSizes(dc, 80);
    HGDIOBJ old = SelectObject(client.m_hDC, font.handle());
    CRect calc(0, 0, 80, 0);
    DrawTextW(client.m_hDC, words, -1, &calc, DT_WORDBREAK | DT_CALCRECT);
    SelectObject(client.m_hDC, old);
    EXPECT_EQ(wrapping.getMinSize(), calc.Size());
    EXPECT_GT(calc.Height(), wrapping.size().cy);
    wrapping.calcSizes(dc, 0);
    EXPECT_EQ(wrapping.getMinSize(), wrapping.size());
}

}  // namespace
