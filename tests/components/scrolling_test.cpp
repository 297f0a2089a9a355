// Scrolling the host with its bars, used as a user uses them (wheel,
// arrows, track, thumb): the components, and what is drawn, always stand at
// their layout position minus the bar position times the bar's scale. The
// arithmetic (scale, range, page, where steps stop) is YBScrollPlan's table
// in scroll_plan_test.cpp; these are the cases only a window shows.
#include <gtest/gtest.h>

#include <utility>
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

// The thumb's extent along a bar, read off the screen (window coordinates);
// {0, 0} when none is drawn.
std::pair<int, int> thumbSpan(CWnd& host, int bar) {
    const CRect client = clientRect(host);
    const bool vertical = bar == SB_VERT;
    HDC dc = GetWindowDC(host);
    const COLORREF thumb = GetSysColor(COLOR_BTNSHADOW);
    const int trackEnd = (vertical ? client.bottom : client.right) - kBar;
    int first = 0, last = 0;
    for (int along = kBar; along < trackEnd; ++along) {
        const COLORREF c = vertical ? GetPixel(dc, client.right + kBar / 2, along)
                                    : GetPixel(dc, along, client.bottom + kBar / 2);
        if (c != thumb) continue;
        if (!first) first = along;
        last = along + 1;
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
    void dragThumbBy(int by, int bar = SB_VERT) {
        const auto [first, last] = thumbSpan(host, bar);
        ASSERT_LT(first, last) << "no thumb drawn";
        const CRect client = clientRect(host);
        const bool vertical = bar == SB_VERT;
        const CPoint thumb = vertical ? CPoint(client.right + kBar / 2, (first + last) / 2)
                                      : CPoint((first + last) / 2, client.bottom + kBar / 2);
        moveTo(host, thumb);
        press();
        moveTo(host, thumb + (vertical ? CPoint(0, by) : CPoint(by, 0)));
        release();
    }
    // A code as the bar would send it: the bar then holds `expectedPos` and the
    // components follow it.
    void expectCodeScrollsTo(WORD code, int expectedPos) {
        host.SendMessage(WM_VSCROLL, MAKEWPARAM(code, 0));
        EXPECT_EQ(vbar(host).nPos, expectedPos) << "code " << code;
        expectFollowsBar(1);
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
    const auto [first, last] = thumbSpan(host, SB_VERT);
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

// A notch is the tallest component; SB_TOP brings everything back to its
// layout position.
TEST_F(SmallScrollTest, TheWheelScrollsByTheTallestComponentAndHomeReturns) {
    moveTo(host, {100, 50});
    for (const auto& [delta, pos] : {std::pair{-120, 30}, {-240, 90}, {120, 60}}) {
        wheel(delta);
        EXPECT_EQ(vbar(host).nPos, pos);
        expectFollowsBar(1);
    }
    host.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_TOP, 0));
    EXPECT_EQ(vbar(host).nPos, 0);
    EXPECT_SEQ(tops(host), layoutTops);
    pump();
    EXPECT_EQ(pixel(host, 2, 2), colourOf(0));
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

// setContentsSize leaves the bars as the last layout set them, and a step
// stops at the bar's last page (nMax - nPage) whatever the contents now say.
TEST_F(SmallScrollTest, StepsStopAtTheBarsLastPageNotAtTheContentsSize) {
    host.setContentsSize(150, 150);
    moveTo(host, {100, 50});
    for (int i = 0; i < 10; ++i)
        wheel(-120);
    EXPECT_EQ(vbar(host).nPos, 200);
    expectFollowsBar(1);

    host.setContentsSize(150, 1000);
    clickAt(host, downArrow());
    EXPECT_EQ(vbar(host).nPos, 200);
    expectFollowsBar(1);
    expectCodeScrollsTo(SB_PAGEDOWN, 200);
}

// A client shorter than a line pages by a line: with no track to click on,
// the page codes come as the bar would send them.
TEST_F(ScrollTest, AClientShorterThanALinePagesByALine) {
    fill({100 + kBar, 20}, 5, {100, 30});
    ASSERT_EQ(clientRect(host).Height(), 20);
    expectCodeScrollsTo(SB_PAGEDOWN, 30);
    expectCodeScrollsTo(SB_PAGEDOWN, 60);
    expectCodeScrollsTo(SB_PAGEUP, 30);
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

// A component whose colour changes every 50 pixels on each axis, so that the
// pixel at the client's corner tells which part of the contents is there.
class Grid : public YBComponent {
public:
    Grid(CWnd* owner, CSize size) : YBComponent(1, owner) { setInitialSize(size); }
    static COLORREF colourAt(CPoint contentsPt) {
        return RGB(10 + contentsPt.x / 50 % 24 * 10, 10 + contentsPt.y / 50 % 24 * 10, 77);
    }
    void onDraw(XDC& dc) override {
        for (int y = 0; y < m_size.cy; y += 50)
            for (int x = 0; x < m_size.cx; x += 50)
                dc.FillRect(CRect(CPoint(m_rect.left + x, m_rect.top + y), CSize(50, 50)),
                            colourAt(CPoint(x, y)));
    }
};

// The horizontal bar (flag 0): columns of 32 pixels, pages of the client
// less a column, home and end, and the thumb.
class HorizontalScrollTest : public ScrollTest {
protected:
    // A 200x100 client with a horizontal bar, a vertical one too when `both`.
    void fillGrid(CSize contents, bool both = false) {
        host.setFlag(YBBaseWnd::horizontalScrollBar, true);
        makeHost(host, 0, 0, 200 + (both ? kBar : 0), 100 + kBar, both);
        grid = new Grid(&host, contents);
        host.addComponent(grid, true, true);
        pump();
        ASSERT_EQ(clientRect(host), CRect(0, 0, 200, 100));
    }
    // The grid, and what is drawn, stand at minus the bars' positions times their scales.
    void expectShows(CPoint offset) {
        EXPECT_EQ(grid->rect().TopLeft(), CPoint(-offset.x, -offset.y));
        pump();
        EXPECT_EQ(pixel(host, 2, 2), Grid::colourAt(offset + CPoint(2, 2)))
            << "offset " << offset.x << "," << offset.y;
    }
    CPoint rightArrow() { return {200 - 8, 100 + 8}; }
    CPoint leftArrow() { return {8, 100 + 8}; }

    Grid* grid = nullptr;
};

TEST_F(HorizontalScrollTest, ArrowsStepAColumnTheTrackAPageUpToTheLastPage) {
    fillGrid({1000, 50});
    EXPECT_EQ(hbar(host).nMax, 1000);
    EXPECT_EQ(hbar(host).nPage, 200u);
    clickAt(host, leftArrow());
    EXPECT_EQ(hbar(host).nPos, 0);
    EXPECT_TRUE(updateRect(host).IsRectEmpty());
    TestHost unflagged;  // no flag 0: wide contents get no bar
    makeHost(unflagged, 220, 0, 100, 60);
    unflagged.addComponent(new Probe(1, &unflagged, {300, 20}), true, true);
    EXPECT_EQ(clientRect(unflagged), CRect(0, 0, 100, 60));
    EXPECT_EQ(hbar(unflagged).nMax, 0);

    clickAt(host, rightArrow());
    clickAt(host, rightArrow());
    EXPECT_EQ(hbar(host).nPos, 64);
    expectShows({64, 0});
    clickAt(host, leftArrow());
    EXPECT_EQ(hbar(host).nPos, 32);
    expectShows({32, 0});

    clickAt(host, {150, 100 + 8});  // the track right of the thumb
    EXPECT_EQ(hbar(host).nPos, 32 + 200 - 32);
    expectShows({200, 0});
    for (int i = 0; i < 5; ++i)
        clickAt(host, {180, 100 + 8});
    EXPECT_EQ(hbar(host).nPos, 800);
    expectShows({800, 0});
    clickAt(host, {25, 100 + 8});  // left of the thumb
    EXPECT_EQ(hbar(host).nPos, 800 - 168);
    expectShows({800 - 168, 0});

    dragThumbBy(-30, SB_HORZ);
    const int dragged = hbar(host).nPos;
    EXPECT_GT(dragged, 0);
    EXPECT_LT(dragged, 800 - 168);
    expectShows({dragged, 0});
    dragThumbBy(-1000, SB_HORZ);
    EXPECT_EQ(hbar(host).nPos, 0);
    expectShows({0, 0});
}

TEST_F(HorizontalScrollTest, HomeAndEndKeepTheVerticalPosition) {
    fillGrid({1000, 300}, true);
    moveTo(host, {100, 50});
    wheel(-120);  // a line is the grid's height: down to the last page
    ASSERT_EQ(vbar(host).nPos, 200);
    clickAt(host, rightArrow());
    expectShows({32, 200});

    host.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_RIGHT, 0));
    EXPECT_EQ(hbar(host).nPos, 800);
    EXPECT_EQ(vbar(host).nPos, 200);
    expectShows({800, 200});
    host.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_LEFT, 0));
    EXPECT_EQ(hbar(host).nPos, 0);
    EXPECT_EQ(vbar(host).nPos, 200);
    expectShows({0, 200});
}

// 40,000 pixels are more than a bar's 16-bit range: the bar counts in units of 2.
TEST_F(HorizontalScrollTest, WideContentsCountInUnitsOfTwoAndTheGridFollowsTheThumb) {
    fillGrid({40000, 50});
    EXPECT_EQ(hbar(host).nMax, 20000);
    EXPECT_EQ(hbar(host).nPage, 100u);
    clickAt(host, rightArrow());
    EXPECT_EQ(hbar(host).nPos, 16);
    expectShows({32, 0});

    dragThumbBy(60, SB_HORZ);
    const int dragged = hbar(host).nPos;
    EXPECT_GT(dragged, 16);
    expectShows({dragged * 2, 0});
    host.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 12345));
    EXPECT_EQ(hbar(host).nPos, 12345);
    expectShows({24690, 0});
    host.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_RIGHT, 0));
    EXPECT_EQ(hbar(host).nPos, 19900);
    expectShows({39800, 0});
}

}  // namespace
