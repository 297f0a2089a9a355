// The manager window: scrolling at any scale with the children following the
// bars exactly, the wheel, and closing. Its flow is the component host's
// (the same layout); here the children land where the scrolled flow says.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include <tessel/layout/YBManagerWnd.h>
#include <tessel/platform/input_events.h>
#include <tessel/platform/testing.h>
#include <tessel/windows/YBTextButtonWnd.h>

#include "key_strokes.h"
#include "toolkit_windows.h"

namespace {

using tessel::testing::pump;

// A labelled button that counts its draws and notes its deletion.
class Tile : public YBTextButtonWnd {
public:
    Tile(int width, int height, std::vector<std::string>* log = nullptr)
        : YBTextButtonWnd(1, L"", GFont("Arial", 9.0, 0, 0), width, height), m_log(log) {}
    ~Tile() override {
        if (m_log) m_log->push_back(IsWindow(m_hWnd) ? "deleted with a window" : "deleted");
    }
    CPoint at() {
        CPoint p(-1, -1);
        getPosition(p.x, p.y);
        return p;
    }
    int draws = 0;

protected:
    void onDraw(XDC& dc) override {
        ++draws;
        YBTextButtonWnd::onDraw(dc);
    }

private:
    std::vector<std::string>* m_log;
};

class Manager : public YBManagerWnd {
public:
    using YBManagerWnd::createChildWnd;
    using YBManagerWnd::updateScrollBars;
    Tile* tile(int i) const { return static_cast<Tile*>(getChild(i)); }
    // Contents set by hand stay: no layout when the bars change the client.
    bool keepContents = false;
    void onLayoutChildren() override {
        if (!keepContents) YBManagerWnd::onLayoutChildren();
    }
};

class ManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        tessel::testing::useVirtualClock();
        frame.setInitialSize(600, 400);
        ASSERT_TRUE(frame.createAt(0, 0, nullptr));
    }
    void make(int width, int height, bool horizontal, bool vertical) {
        manager.setFlag(YBBaseWnd::horizontalScrollBar, horizontal);
        manager.setFlag(YBBaseWnd::verticalScrollBar, vertical);
        manager.setInitialSize(width, height);
        ASSERT_TRUE(manager.createAt(0, 0, &frame));
        pump();
    }
    SCROLLINFO bar(int which) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        ::GetScrollInfo(manager, which, &info);
        return info;
    }
    int pos(int which = SB_VERT) { return bar(which).nPos; }

    test_support::PopupFrame frame;
    Manager manager;
};

// Scrolling paints only the buttons coming into view and shows what a full
// repaint shows; a layout of a scrolled manager keeps showing what the bar says.
TEST_F(ManagerTest, TheWheelScrollingAndALayoutMoveTheChildrenWithTheBarAndPaintOnlyNewOnes) {
    make(217, 100, false, true);  // 200 wide inside the bar: four buttons a row
    for (int i = 0; i < 40; ++i)
        manager.createChildWnd(new Tile(50, 20), 0, 0);
    manager.onLayoutChildren();
    pump();
    const auto drawsOfRows = [&](int from, int to) {
        int sum = 0;
        for (int i = from * 4; i < to * 4 + 4; ++i)
            sum += std::exchange(manager.tile(i)->draws, 0);
        return sum;
    };
    EXPECT_EQ(drawsOfRows(0, 4), 20);
    EXPECT_EQ(drawsOfRows(5, 9), 0);  // out of view
    manager.onScrollDown();           // one row of 20 pixels
    manager.onScrollDown();
    pump();
    EXPECT_EQ(drawsOfRows(0, 4), 0);
    EXPECT_EQ(drawsOfRows(5, 6), 8);  // the two rows that came into view
    EXPECT_EQ(drawsOfRows(7, 9), 0);
    manager.tile(9)->select(true, true);  // invalid while it scrolls
    manager.onScrollUp();
    pump();
    EXPECT_EQ(drawsOfRows(1, 1), 4);  // back into view
    EXPECT_EQ(drawsOfRows(2, 2), 1);  // the selected one
    const std::vector<COLORREF> scrolled = test_support::pixelsOf(manager.m_hWnd);
    RedrawWindow(manager.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    EXPECT_EQ(scrolled, test_support::pixelsOf(manager.m_hWnd));

    manager.onScrollPageEnd();
    EXPECT_EQ(pos(), 100);
    ::SetCursorPos(210, 50);  // over the manager, right of the tiles
    // A notch up is a line up, less than a notch nothing.
    for (const auto& [delta, expected] : {std::pair{120, 80}, {-119, 80}, {-120, 100}}) {
        tessel::sendMouseInput(MOUSEEVENTF_WHEEL, delta);
        pump();
        EXPECT_EQ(pos(), expected);
    }
    manager.onScrollPageHome();
    manager.onScrollDown();
    manager.onLayoutChildren();
    EXPECT_EQ(pos(), 20);
    EXPECT_EQ(manager.tile(0)->at(), CPoint(0, -20));
    EXPECT_EQ(manager.tile(4)->at(), CPoint(0, 0));
}

TEST_F(ManagerTest, ContentsOf40000PixelsScrollWithAScaleAndTheChildrenFollowExactly) {
    manager.keepContents = true;
    make(300, 100, true, false);
    // No window is wider than 32,767 pixels: the contents are given directly.
    manager.createChildWnd(new Tile(200, 50), 0, 0);
    manager.setContentsSize(40000, 50);
    manager.updateScrollBars();
    EXPECT_EQ(bar(SB_HORZ).nMax, 20000);
    Tile* wide = manager.tile(0);
    manager.onScrollRight();
    EXPECT_EQ(pos(SB_HORZ), 16);
    EXPECT_EQ(wide->at(), CPoint(-32, 0));
    manager.onHScroll(1001);
    EXPECT_EQ(wide->at(), CPoint(-2002, 0));
    manager.onScrollEnd();  // the last pixel in view
    EXPECT_LE(40000 - pos(SB_HORZ) * 2, 300);
    EXPECT_GT(40000 - pos(SB_HORZ) * 2, 300 - 2);
    manager.onScrollHome();
    EXPECT_EQ(wide->at(), CPoint(0, 0));
}

// Windows are closed before their objects are deleted.
TEST_F(ManagerTest, CloseHidesWithTheFlagAndOtherwiseDeletesEveryChildOnce) {
    std::vector<std::string> log;
    make(200, 200, false, false);
    manager.createChildWnd(new Tile(10, 10, &log), 0, 0);
    manager.createChildWnd(new Tile(10, 10, &log), 0, 0);
    manager.setFlag(YBBaseWnd::closeHides, true);
    manager.SendMessage(WM_CLOSE);
    EXPECT_FALSE(manager.IsWindowVisible());
    EXPECT_TRUE(manager.display());
    manager.setFlag(YBBaseWnd::closeHides, false);
    manager.SendMessage(WM_CLOSE);
    EXPECT_FALSE(IsWindow(manager.m_hWnd));
    EXPECT_EQ(manager.getChildCount(), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"deleted", "deleted"}));
}

}  // namespace
