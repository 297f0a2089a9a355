// Scrolling the host with its bars as a user does (wheel, arrows, track,
// thumb): the components, and what is drawn, stand at their layout position
// minus the bar position times the bar's scale. The arithmetic itself is in
// host_arithmetic_test.cpp.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "components_test.h"

namespace {

using namespace components_test;

constexpr int kBar = 17;  // bar width, and each arrow's length

COLORREF colourOf(int i) {
    return RGB(10 + (i * 37) % 200, 120, 250 - (i * 23) % 200);
}

class ScrollTest : public HostTest {
protected:
    // `count` components of `size` in a host of `hostSize` with a vertical bar.
    void fill(CSize hostSize, int count, CSize size, bool horizontal = false) {
        host.setFlag(YBBaseWnd::horizontalScrollBar, horizontal);
        makeHost(host, 0, 0, hostSize.cx, hostSize.cy, true);
        for (int i = 0; i < count; ++i)
            host.addComponent(new Probe(i + 1, &host, size, colourOf(i)), true, false);
        pump();
        layoutTops = tops();
    }
    std::vector<int> tops() const {
        std::vector<int> out;
        for (int i = 0; i < host.getComponentCount(); ++i)
            out.push_back(host.getComponent(i)->rect().top);
        return out;
    }
    // Every component at its layout top minus the bar's offset, and the pixel
    // at the client's top left showing the component that is there.
    void expectFollowsBar() {
        const int offset = bar(host).nPos * host.vScale();
        std::vector<int> expected;
        for (int top : layoutTops)
            expected.push_back(top - offset);
        EXPECT_SEQ(tops(), expected);
        const int index = (offset + 2) / host.getComponent(0)->size().cy;
        if (index < host.getComponentCount()) {
            EXPECT_EQ(pixel(host, 2, 2), colourOf(index)) << "offset " << offset;
        }
    }
    // Drags the thumb, found on the screen, by `by` pixels along `which` bar.
    void dragThumbBy(int by, int which = SB_VERT) {
        const CRect client = clientRect(host);
        const bool vertical = which == SB_VERT;
        HDC dc = GetWindowDC(host);
        int first = 0, last = 0;
        for (int along = kBar; along < (vertical ? client.bottom : client.right) - kBar; ++along) {
            const COLORREF c = vertical ? GetPixel(dc, client.right + kBar / 2, along)
                                        : GetPixel(dc, along, client.bottom + kBar / 2);
            if (c != GetSysColor(COLOR_BTNSHADOW)) continue;
            if (!first) first = along;
            last = along + 1;
        }
        ReleaseDC(host, dc);
        ASSERT_LT(first, last) << "no thumb drawn";
        const CPoint thumb = vertical ? CPoint(client.right + kBar / 2, (first + last) / 2)
                                      : CPoint((first + last) / 2, client.bottom + kBar / 2);
        moveTo(host, thumb);
        press();
        moveTo(host, thumb + (vertical ? CPoint(0, by) : CPoint(by, 0)));
        release();
    }
    void scrollTo(WORD code, int expectedPos) {
        host.SendMessage(WM_VSCROLL, MAKEWPARAM(code, 0));
        EXPECT_EQ(bar(host).nPos, expectedPos) << "code " << code;
        expectFollowsBar();
    }

    TestHost host;
    std::vector<int> layoutTops;
};

// Ten 150x30 components in one column: 300 pixels of contents in a
// 100-pixel client. A wheel notch is the tallest component, less than a
// notch nothing; arrows step a line, and a line up at the top does not even
// repaint. After a resize the flow changes and the components still stand
// where the bar says. Steps stop at the bar's last page (nMax - nPage)
// whatever setContentsSize says since; the bar takes its strip only while
// flagged and needed.
TEST_F(ScrollTest, TheWheelArrowsAndResizesMoveTheComponentsWithTheBar) {
    fill({200, 100}, 10, {150, 30});
    EXPECT_EQ(clientRect(host), CRect(0, 0, 200 - kBar, 100));
    moveTo(host, {100, 50});
    for (const auto& [delta, pos] : {std::pair{-120, 30}, {-240, 90}, {120, 60}, {-119, 60}}) {
        wheel(delta);
        EXPECT_EQ(bar(host).nPos, pos);
        expectFollowsBar();
    }
    scrollTo(SB_TOP, 0);
    host.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEUP, 0));
    EXPECT_TRUE(updateRect(host).IsRectEmpty());
    const CPoint down{200 - 8, 100 - 8}, up{200 - 8, 8};
    clickAt(host, down);
    clickAt(host, down);
    clickAt(host, up);
    EXPECT_EQ(bar(host).nPos, 30);
    expectFollowsBar();

    moveTo(host, {100, 50});
    wheel(-120);
    host.setSize(320, 100, true);  // rows of two
    EXPECT_EQ(bar(host).nMax, 150);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(host.getComponent(i)->rect().TopLeft(),
                  CPoint(150 * (i % 2), 30 * (i / 2) - bar(host).nPos));
    host.setPositionAndSize(0, 0, 200, 100, true);  // back to one column
    expectFollowsBar();

    host.setContentsSize(150, 150);
    moveTo(host, {100, 50});
    for (int i = 0; i < 10; ++i)
        wheel(-120);
    EXPECT_EQ(bar(host).nPos, 200);
    host.setContentsSize(150, 1000);
    clickAt(host, down);
    EXPECT_EQ(bar(host).nPos, 200);
    scrollTo(SB_PAGEDOWN, 200);

    host.clearComponents();
    host.setSize(210, 100, true);
    EXPECT_EQ(clientRect(host), CRect(0, 0, 210, 100));  // the bar's strip is client again
    TestHost unflagged;  // contents too wide, but no flag: no bar
    makeHost(unflagged, 220, 0, 150, 100, true);
    unflagged.addComponent(new Probe(1, &unflagged, {300, 60}), true, true);
    EXPECT_EQ(clientRect(unflagged), CRect(0, 0, 150, 100));
}

// 400 components of 200x200: 80,000 pixels, more than a bar's 16-bit range,
// so the bar counts in units of 3 pixels.
TEST_F(ScrollTest, LargeContentsCountInUnitsAndTheComponentsFollowExactly) {
    fill({200 + kBar, 300}, 400, {200, 200});
    ASSERT_EQ(host.vScale(), 3);
    for (int page = 1; page <= 2; ++page) {  // the track below the thumb
        clickAt(host, {200 + 8, 250});
        EXPECT_EQ(bar(host).nPos, page * (100 / 3));
        expectFollowsBar();
    }
    for (int position : {1, 2, 26566, 30000, 0}) {
        host.onVScroll(position);
        expectFollowsBar();
    }
    dragThumbBy(20);
    EXPECT_GT(bar(host).nPos, 0);
    expectFollowsBar();
    dragThumbBy(1000);
    EXPECT_GE(bar(host).nPos, 26566);
    expectFollowsBar();
    const CRect last = host.getComponent(399)->rect();
    EXPECT_GE(last.top, 0);
    EXPECT_LE(last.bottom, 300);
    EXPECT_EQ(pixel(host, 100, (last.top + last.bottom) / 2), colourOf(399));
}

// The horizontal bar: columns of 32 pixels, pages of the client less a
// column, home and end that keep the vertical position, and units of 2
// pixels past 32767.
TEST_F(ScrollTest, TheHorizontalBarStepsColumnsAndPagesAndKeepsTheVertical) {
    fill({200 + kBar, 100 + kBar}, 1, {40000, 300}, true);
    ASSERT_EQ(clientRect(host), CRect(0, 0, 200, 100));
    const auto expectShows = [&](int hPos, int x) {
        EXPECT_EQ(bar(host, SB_HORZ).nPos, hPos);
        EXPECT_EQ(host.getComponent(0)->rect().TopLeft(), CPoint(-x, -bar(host).nPos));
    };
    moveTo(host, {100, 50});
    wheel(-120);  // a line is the component's height: down to the last page
    ASSERT_EQ(bar(host).nPos, 200);
    clickAt(host, {8, 100 + 8});  // left arrow at the start: nothing
    expectShows(0, 0);
    clickAt(host, {200 - 8, 100 + 8});
    expectShows(16, 32);
    clickAt(host, {150, 100 + 8});  // the track right of the thumb
    expectShows(100, 200);
    dragThumbBy(60, SB_HORZ);
    EXPECT_GT(bar(host, SB_HORZ).nPos, 100);
    expectShows(bar(host, SB_HORZ).nPos, bar(host, SB_HORZ).nPos * 2);
    host.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_RIGHT, 0));
    expectShows(19900, 39800);
    host.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_LEFT, 0));
    expectShows(0, 0);
    EXPECT_EQ(bar(host).nPos, 200);
}

}  // namespace
