// Scrolling the host with its vertical bar, used as a user uses it (wheel,
// arrows, track, thumb): the components, and what is drawn, always stand at
// their layout position minus the bar position times the bar's scale. The
// arithmetic (scale, range, page, where steps stop) is YBScrollPlan's table
// in scroll_plan_test.cpp; these are the cases only a window shows.
#include <gtest/gtest.h>

#include <vector>

#include <tessel/components/YBScrollPlan.h>

#include "components_test.h"

namespace {

using namespace components_test;
using tessel::testing::pump;

constexpr int kBar = 17;  // bar width, and each arrow's length

COLORREF colourOf(int i) {
    return RGB(10 + (i * 37) % 200, 120, 250 - (i * 23) % 200);
}

std::vector<int> tops(const YBComponentWnd& host) {
    std::vector<int> out;
    for (int i = 0; i < host.getComponentCount(); ++i)
        out.push_back(host.getComponent(i)->rect().top);
    return out;
}

// The thumb's extent along the vertical bar, read off the screen (window
// coordinates); {0, 0} when none is drawn.
std::pair<int, int> thumbSpan(CWnd& host) {
    const CRect client = clientRect(host);
    HDC dc = GetWindowDC(host);
    const COLORREF thumb = GetSysColor(COLOR_BTNSHADOW);
    int first = 0, last = 0;
    for (int y = kBar; y < client.bottom - kBar; ++y) {
        if (GetPixel(dc, client.right + kBar / 2, y) != thumb) continue;
        if (!first) first = y;
        last = y + 1;
    }
    ReleaseDC(host, dc);
    return {first, last};
}

class ScrollTest : public HostTest {
protected:
    // `count` components of `size` in a host of `hostSize` with a vertical bar.
    void fill(CSize hostSize, int count, CSize size) {
        makeHost(host, 0, 0, hostSize.cx, hostSize.cy, true);
        for (int i = 0; i < count; ++i)
            host.addComponent(new Probe(i + 1, &host, size, colourOf(i)), true, false);
        pump();
        layoutTops = tops(host);
    }
    // Every component at its layout top minus the bar position times the scale,
    // and the pixel at the client's top left showing the component that is there.
    void expectFollowsBar(int scale) {
        const int offset = vbar(host).nPos * scale;
        std::vector<int> expected;
        for (int top : layoutTops)
            expected.push_back(top - offset);
        EXPECT_SEQ(tops(host), expected);
        pump();
        const int rowHeight = host.getComponent(0)->size().cy;
        const int index = (offset + 2) / rowHeight;
        if (index < host.getComponentCount()) {
            EXPECT_EQ(pixel(host, 2, 2), colourOf(index)) << "offset " << offset;
        }
    }
    // The vertical bar holds what YBScrollPlan gives for the contents in the client.
    void expectBarHoldsThePlan() {
        const YBScrollPlan::Bar plan =
            YBScrollPlan::compute(host.getContentsSize(), clientRect(host).Size()).vertical;
        const SCROLLINFO bar = vbar(host);
        EXPECT_EQ(bar.nMin, 0);
        EXPECT_EQ(bar.nMax, plan.nMax);
        EXPECT_EQ(bar.nPage, plan.nPage);
        EXPECT_EQ(host.vScale(), plan.scale);
    }
    void dragThumbBy(int dy) {
        const auto [first, last] = thumbSpan(host);
        ASSERT_LT(first, last) << "no thumb drawn";
        const int x = clientRect(host).right + kBar / 2, y = (first + last) / 2;
        moveTo(host, {x, y});
        press();
        moveTo(host, {x, y + dy});
        release();
    }
    CPoint downArrow() { return {clientRect(host).right + 8, clientRect(host).bottom - 8}; }
    CPoint upArrow() { return {clientRect(host).right + 8, 8}; }

    TestHost host;
    std::vector<int> layoutTops;
};

// Ten 150x30 components in one column: 300 pixels of contents in a 100-pixel client.
class SmallScrollTest : public ScrollTest {
protected:
    void SetUp() override {
        ScrollTest::SetUp();
        fill({200, 100}, 10, {150, 30});
    }
};

// The bar holds the plan for the contents in the client it leaves, and goes
// when the contents go.
TEST_F(SmallScrollTest, TheBarAppearsForTallerContentsAndGoesWithThem) {
    EXPECT_EQ(clientRect(host), CRect(0, 0, 200 - kBar, 100));
    expectBarHoldsThePlan();
    const auto [first, last] = thumbSpan(host);
    EXPECT_EQ(first, kBar);  // at the top of the track
    EXPECT_GT(last, first);

    host.clearComponents();
    host.setSize(210, 100, true);                        // a layout with nothing in it
    EXPECT_EQ(clientRect(host), CRect(0, 0, 210, 100));  // the bar's strip is client again
    EXPECT_EQ(vbar(host).nMax, 0);

    TestHost low;  // contents that fit: no bar, the whole width
    makeHost(low, 220, 0, 150, 100, true);
    low.addComponent(new Probe(1, &low, {100, 60}), true, true);
    EXPECT_EQ(clientRect(low), CRect(0, 0, 150, 100));
}

TEST_F(SmallScrollTest, TheWheelScrollsByTheTallestComponent) {
    moveTo(host, {100, 50});
    wheel(-120);
    EXPECT_EQ(vbar(host).nPos, 30);
    expectFollowsBar(1);
    wheel(-240);
    EXPECT_EQ(vbar(host).nPos, 90);
    expectFollowsBar(1);
    wheel(120);
    EXPECT_EQ(vbar(host).nPos, 60);
    expectFollowsBar(1);
}

TEST_F(SmallScrollTest, ArrowsScrollALineAndLineUpAtTheTopChangesNothing) {
    clickAt(host, upArrow());
    EXPECT_EQ(vbar(host).nPos, 0);
    EXPECT_SEQ(tops(host), layoutTops);
    host.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEUP, 0));
    EXPECT_TRUE(updateRect(host).IsRectEmpty());  // not even a repaint

    clickAt(host, downArrow());
    EXPECT_EQ(vbar(host).nPos, 30);
    expectFollowsBar(1);
    clickAt(host, downArrow());
    clickAt(host, upArrow());
    EXPECT_EQ(vbar(host).nPos, 30);
    expectFollowsBar(1);
}

TEST_F(SmallScrollTest, DraggingTheThumbMovesTheComponentsWithIt) {
    dragThumbBy(15);
    const int afterDown = vbar(host).nPos;
    EXPECT_GT(afterDown, 30);
    expectFollowsBar(1);
    dragThumbBy(-5);
    EXPECT_LT(vbar(host).nPos, afterDown);
    EXPECT_GT(vbar(host).nPos, 0);
    expectFollowsBar(1);
}

TEST_F(SmallScrollTest, PageHomeReturnsEverythingToItsLayoutPosition) {
    moveTo(host, {100, 50});
    wheel(-360);
    ASSERT_NE(tops(host), layoutTops);
    host.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_TOP, 0));
    EXPECT_EQ(vbar(host).nPos, 0);
    EXPECT_SEQ(tops(host), layoutTops);
    pump();
    EXPECT_EQ(pixel(host, 2, 2), colourOf(0));
}

// After a resize the flow changes, and the components still stand where the
// bar says (rows of two once the client is 300 wide).
TEST_F(SmallScrollTest, AScrolledHostResizedKeepsTheComponentsWithTheBar) {
    moveTo(host, {100, 50});
    wheel(-240);
    ASSERT_EQ(vbar(host).nPos, 60);

    host.setSize(320, 100, true);
    const SCROLLINFO wide = vbar(host);
    EXPECT_EQ(wide.nMax, 150);
    std::vector<CRect> expected;
    for (int i = 0; i < 10; ++i)
        expected.emplace_back(150 * (i % 2), 30 * (i / 2) - wide.nPos, 150 * (i % 2) + 150,
                              30 * (i / 2) + 30 - wide.nPos);
    std::vector<CRect> actual;
    for (int i = 0; i < 10; ++i)
        actual.push_back(host.getComponent(i)->rect());
    EXPECT_SEQ(actual, expected);

    host.setPositionAndSize(0, 0, 200, 150, true);  // back to one column
    expectFollowsBar(1);
    EXPECT_EQ(vbar(host).nMax, 300);
}

// 400 components of 200x200: 80,000 pixels, more than a bar's 16-bit range,
// so the bar counts in units of 3 pixels.
class LargeScrollTest : public ScrollTest {
protected:
    void SetUp() override {
        ScrollTest::SetUp();
        fill({200 + kBar, 300}, 400, {200, 200});
    }
};

TEST_F(LargeScrollTest, TheBarCountsInUnitsAndTheComponentsFollowItExactly) {
    EXPECT_EQ(clientRect(host), CRect(0, 0, 200, 300));
    expectBarHoldsThePlan();
    ASSERT_EQ(host.vScale(), 3);

    for (int page = 1; page <= 3; ++page) {  // clicks on the track below the thumb
        clickAt(host, {200 + 8, 250});
        EXPECT_EQ(vbar(host).nPos, page * (100 / 3)) << "page " << page;  // 300 - 200 pixels
        expectFollowsBar(3);
    }
    for (int position : {1, 2, 12345, 26566, 7, 30000, 0}) {
        host.onVScroll(position);
        expectFollowsBar(3);
    }
    host.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 20001));
    EXPECT_EQ(vbar(host).nPos, 20001);
    expectFollowsBar(3);
}

TEST_F(LargeScrollTest, DraggingTheThumbToTheEndShowsTheLastComponent) {
    dragThumbBy(1000);
    EXPECT_GE(vbar(host).nPos, 26566);
    expectFollowsBar(3);
    const CRect last = host.getComponent(399)->rect();
    EXPECT_GE(last.top, 0);
    EXPECT_LE(last.bottom, 300);
    pump();
    EXPECT_EQ(pixel(host, 100, (last.top + last.bottom) / 2), colourOf(399));
    clickAt(host, {200 + 8, 300 - kBar - 3});  // a page further: still at the end
    EXPECT_GE(vbar(host).nPos, 26566);
    expectFollowsBar(3);
}

}  // namespace
