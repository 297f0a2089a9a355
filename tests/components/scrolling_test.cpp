// Scrolling the host with its bars as a user does: the components, and what
// is drawn, stand at their layout position minus the bar position times the
// bar's scale; and the arithmetic of each bar's scale, range, page and steps.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include <tessel/components/YBScrollPlan.h>

#include "components_test.h"

void PrintTo(const YBScrollPlan::Bar& bar, std::ostream* out) {
    *out << "{scale " << bar.scale << ", nMax " << bar.nMax << ", nPage " << bar.nPage << '}';
}

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
    }
    // Every component at its place in the column less the bar's offset, and
    // the pixel at the client's top left showing the component that is there.
    void expectFollowsBar() {
        const int offset = bar(host).nPos * host.vScale(), cy = host.getComponent(0)->size().cy;
        int misplaced = 0;
        for (int i = 0; i < host.getComponentCount(); ++i)
            misplaced += host.getComponent(i)->rect().top != i * cy - offset;
        EXPECT_EQ(misplaced, 0) << "offset " << offset;
        EXPECT_EQ(pixel(host, 2, 2), colourOf((offset + 2) / cy)) << "offset " << offset;
    }
    // A bar's code as the bar sends it, with the thumb's position in bar units.
    void code(UINT message, WORD code, int position = 0) {
        host.SendMessage(message, MAKEWPARAM(code, position));
    }

    TestHost host;
};

// A wheel notch or an arrow steps the tallest component, a line up at the top
// does not even repaint, a resize keeps the bar's offset; steps stop at the
// bar's nMax - nPage whatever setContentsSize says; a bar takes its strip only
// while flagged and needed.
TEST_F(ScrollTest, TheWheelArrowsAndResizesMoveTheComponentsWithTheBar) {
    fill({200, 100}, 10, {150, 30});
    EXPECT_EQ(clientRect(host), CRect(0, 0, 200 - kBar, 100));
    moveTo(host, {100, 50});
    for (const auto& [delta, pos] : {std::pair{-120, 30}, {-240, 90}, {120, 60}, {-119, 60}}) {
        wheel(delta);
        EXPECT_EQ(bar(host).nPos, pos);
        expectFollowsBar();
    }
    code(WM_VSCROLL, SB_TOP);
    expectFollowsBar();
    code(WM_VSCROLL, SB_LINEUP);
    EXPECT_TRUE(updateRect(host).IsRectEmpty());
    const CPoint down{200 - 8, 100 - 8}, up{200 - 8, 8};
    clickAt(host, down), clickAt(host, down), clickAt(host, up);
    EXPECT_EQ(bar(host).nPos, 30);
    expectFollowsBar();

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
    code(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(bar(host).nPos, 200);
    code(WM_VSCROLL, SB_PAGEUP);  // the client less a line
    EXPECT_EQ(bar(host).nPos, 130);
    code(WM_VSCROLL, SB_THUMBTRACK, 45);
    expectFollowsBar();

    host.clearComponents();
    host.setSize(210, 100, true);
    EXPECT_EQ(clientRect(host), CRect(0, 0, 210, 100));  // the bar's strip is client again
    TestHost unflagged;  // contents too wide, but no horizontal flag: no bar
    makeHost(unflagged, 220, 0, 150, 100, true);
    unflagged.addComponent(new Probe(1, &unflagged, {300, 60}), true, true);
    EXPECT_EQ(clientRect(unflagged), CRect(0, 0, 150, 100));
}

// The horizontal bar: columns of 32 pixels, pages of the client less a
// column, the thumb, home and end that keep the vertical position, and units
// of 2 pixels past 32767.
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
    code(WM_HSCROLL, SB_THUMBTRACK, 5001);
    expectShows(5001, 10002);
    code(WM_HSCROLL, SB_THUMBTRACK,
         30000);  // past the end: the components follow what the bar kept
    expectShows(bar(host, SB_HORZ).nPos, 2 * bar(host, SB_HORZ).nPos);
    code(WM_HSCROLL, SB_RIGHT);
    expectShows(19900, 39800);
    code(WM_HSCROLL, SB_LEFT);
    expectShows(0, 0);
    EXPECT_EQ(bar(host).nPos, 200);
}

// Past a bar's 16-bit range it counts in units of several pixels; a step of
// less than a unit still moves one, and stops within the bar; a page is the
// client less a line, or a line when the client is smaller.
TEST(ScrollPlanTest, ScalesStepsAndPages) {
    struct Row {
        const char* name;
        int contents, client;
        YBScrollPlan::Bar expected;  // {scale, nMax, nPage}
    };
    const Row rows[] = {{"ContentsEqualClient", 200, 200, {1, 200, 200}},
                        {"Largest16BitRange", 32767, 100, {1, 32767, 100}},
                        {"FirstScaleOfTwo", 32768, 100, {2, 16384, 50}},
                        {"ClientUnderOneUnit", 80000, 2, {3, 26666, 0}},
                        {"ManyPixelsAUnit", 1000000, 300, {31, 32258, 9}}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const YBScrollPlan plan = YBScrollPlan::compute({row.contents, 7}, {row.client, 9});
        EXPECT_EQ(plan.horizontal, row.expected);
        EXPECT_EQ(plan.vertical, (YBScrollPlan::Bar{1, 7, 9}));
    }
    EXPECT_EQ(YBScrollPlan::stepUnits(0, 1, 26566, 3), 1);
    EXPECT_EQ(YBScrollPlan::stepUnits(10, -2, 26566, 3), 9);
    EXPECT_EQ(YBScrollPlan::stepUnits(201, 30, 200, 1), 200);  // from past the last step
    EXPECT_EQ(YBScrollPlan::stepUnits(0, 50, -40, 1), 0);      // the contents fit
    EXPECT_EQ(YBScrollPlan::pageStep(100, 30), 70);
    EXPECT_EQ(YBScrollPlan::pageStep(20, 30), 30);
}

}  // namespace
