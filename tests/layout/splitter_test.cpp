// The splitter with the mouse and from the program: panes sized and shared
// out, bars dragged within the minimums, nesting, ownership, stored layouts.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include <tessel/layout/YBSplitterWnd.h>
#include <tessel/platform/input_events.h>
#include <tessel/platform/testing.h>

#include "image_files.h"
#include "splitter_sizes.h"
#include "toolkit_windows.h"

namespace {

using tessel::testing::pump;

using Frame = test_support::PopupFrame;

// A pane window with optional limits that notes its deletion.
class Pane : public YBChildWnd {
public:
    explicit Pane(std::vector<std::string>* log = nullptr, CSize least = {0, 0},
                  CSize most = {0, 0})
        : m_log(log) {
        m_minSize = least;
        m_maxSize = most;
    }
    ~Pane() override {
        if (m_log) m_log->push_back("deleted");
    }

private:
    std::vector<std::string>* m_log;
};

class SplitterTest : public ::testing::Test {
protected:
    static constexpr int kX = 10, kY = 10;  // the splitter's place on the screen

    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", config.file("").c_str(), 1);
        tessel::testing::useVirtualClock();
        ::SetCursorPos(0, 0);
        frame.setInitialSize(800, 600);
        ASSERT_TRUE(frame.createAt(0, 0, nullptr));
    }
    void TearDown() override { tessel::testing::advanceClock(1000); }
    // A splitter 406 wide with two panes of preferred size 200.
    void makeTwoPanes(YBSplitterWnd& split, std::vector<std::string>* log = nullptr) {
        split.setInitialSize(406, 100);
        ASSERT_TRUE(split.createAt(kX, kY, &frame));
        add(split, new Pane(log), 200);
        EXPECT_EQ(sizes(split), std::vector<int>{406});
        add(split, new Pane(log), 200);
        pump();
    }
    static void add(YBSplitterWnd& split, YBChildWnd* pane, int size) {
        split.addPane(pane, size, 2, 2, 0xC8C8C8, XDC::kNoColor, false);
    }
    static void mouse(DWORD flags) {
        tessel::sendMouseInput(flags);
        pump();
    }
    static void moveTo(int clientX, int clientY) {
        ::SetCursorPos(kX + clientX, kY + clientY);
        pump();
    }

    std::string settings() const {
        std::ifstream in(config.file("tessel/layouts"));
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    image_files::TempDir config;
    Frame frame;
};

// The bar draws its line in the middle of its six pixels; a resize spreads
// the change over the panes, never below their minimums. Hostile bar values
// saturate instead of wrapping, and draw no line.
TEST_F(SplitterTest, AddedPanesShareTheWidthAndResizingSpreadsTheChange) {
    YBSplitterWnd split(0, L"");
    makeTwoPanes(split);
    EXPECT_EQ(sizes(split), (std::vector<int>{200, 206}));
    CRect pane1;
    split.getPane(1)->getWnd()->GetWindowRect(&pane1);
    EXPECT_EQ(pane1, CRect(kX + 206, kY, kX + 412, kY + 100));
    HDC dc = GetDC(split);
    EXPECT_EQ(GetPixel(dc, 203, 50), COLORREF{0xC8C8C8});
    const auto resize = [&](int width) {
        split.SetWindowPos(nullptr, 0, 0, width, 100, SWP_NOMOVE | SWP_NOZORDER);
        return sizes(split);
    };
    split.getPane(1)->currentSize(200);
    split.getPane(1)->preferredSize(200);
    EXPECT_EQ(resize(506), (std::vector<int>{250, 250}));
    split.getPane(0)->currentSize(200);
    split.getPane(1)->currentSize(200);
    EXPECT_EQ(resize(300), (std::vector<int>{147, 147}));
    EXPECT_EQ(resize(10), (std::vector<int>{8, 8}));
    EXPECT_EQ(split.getMinSize(), CSize(22, 0));

    YBSplitterBar& bar = *split.getBar(0);
    bar.m_width = bar.m_margin = INT_MAX;
    EXPECT_EQ(bar.size(), INT_MAX);
    bar.m_margin = INT_MIN;
    EXPECT_EQ(bar.size(), INT_MIN);
    bar.m_rect = CRect(8, 0, 10, 100);  // between pane 0 and the client's edge
    ReleaseDC(split, dc);
    dc = GetDC(split);  // one for the window's new size
    XDC xdc(CDC::FromHandle(dc));
    const COLORREF before = GetPixel(dc, 9, 50);
    ASSERT_NE(before, COLORREF{0xC8C8C8});
    bar.m_margin = INT_MAX;
    bar.draw(xdc);
    EXPECT_EQ(GetPixel(dc, 9, 50), before);
    ReleaseDC(split, dc);
}

TEST_F(SplitterTest, DraggingABarMovesSpaceUntilAMinimumRefusesIt) {
    YBSplitterWnd split(0, L"");
    makeTwoPanes(split);
    moveTo(203, 50);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_SIZEWE));
    mouse(MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(split.dragging());
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
    moveTo(253, 50);
    EXPECT_EQ(sizes(split), (std::vector<int>{250, 156}));
    EXPECT_EQ(split.getBar(0)->m_rect.left, 250);
    moveTo(700, 50);  // outside, still captured: pane 1 would fall below 8
    EXPECT_EQ(sizes(split), (std::vector<int>{250, 156}));
    moveTo(-300, 50);  // nothing before pane 0 can give
    EXPECT_EQ(sizes(split), (std::vector<int>{250, 156}));
    moveTo(103, 50);
    EXPECT_EQ(sizes(split), (std::vector<int>{100, 306}));
    mouse(MOUSEEVENTF_LEFTUP);
    EXPECT_FALSE(split.dragging());
    EXPECT_EQ(split.getPane(0)->preferredSize(), 100);  // a later resize starts from here
    moveTo(150, 50);
    mouse(MOUSEEVENTF_LEFTDOWN);  // off the bars: no drag
    EXPECT_FALSE(split.dragging());
    mouse(MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_ARROW));
}

// A change passes through fixed panes and along every pane at its preferred
// size; the last pane takes it from the previous ones. Nested splitters
// report their minimum outward.
TEST_F(SplitterTest, SetPaneSizePassesChangesOnAndNestedMinimumsReachOutward) {
    YBSplitterWnd split(YBSplitterWnd::verticalSplit, L"");
    split.setInitialSize(100, 400);
    ASSERT_TRUE(split.createAt(kX, kY, &frame));
    add(split, new Pane, 100);
    add(split, new Pane(nullptr, {0, 50}, {0, 50}), 50);
    add(split, new Pane, 100);
    ASSERT_TRUE(split.getPane(1)->fixed());
    split.setPaneSize(0, 150);  // through the fixed pane to the last one
    const int last = sizes(split)[2];
    EXPECT_EQ(sizes(split), (std::vector<int>{150, 50, last}));
    split.setPaneSize(2, 10);  // the last pane has no next neighbour
    split.setPaneSize(2, last + 20, true);  // the previous panes give it
    EXPECT_EQ(sizes(split), (std::vector<int>{130, 50, last + 20}));
    EXPECT_TRUE(split.getPane(2)->fixed());
    EXPECT_EQ(split.getBar(0)->m_rect, CRect(0, 130, 100, 136));

    YBSplitterWnd outer(YBSplitterWnd::verticalSplit, L"");
    outer.setInitialSize(300, 300);
    ASSERT_TRUE(outer.createAt(0, 0, &frame));
    auto* inner = new YBSplitterWnd(0, L"");
    add(outer, inner, 150);
    add(*inner, new Pane(nullptr, {40, 30}), 100);
    add(*inner, new Pane(nullptr, {60, 70}), 100);
    EXPECT_EQ(inner->getMinSize(), CSize(106, 70));
    add(outer, new Pane, 100);
    EXPECT_EQ(outer.getPane(0)->minSize(), 70);
    EXPECT_EQ(outer.getMinSize(), CSize(106, 84));  // 70 + bar 6 + 8
}

TEST_F(SplitterTest, EveryPaneWindowIsDeletedOnceWhicheverOwnerGoesFirst) {
    std::vector<std::string> log;
    {
        YBSplitterWnd split(0, L"");
        makeTwoPanes(split, &log);
        split.clearPanes();
        EXPECT_EQ(log.size(), 2u);
        EXPECT_EQ(split.getChildCount(), 0);
        EXPECT_EQ(split.barIndex(CPoint(203, 50)), -1);  // the bars went with the panes
        add(split, new Pane(&log), 100);
        split.setPane(0, new Pane(&log));  // the record owns this one; the list the first
    }
    EXPECT_EQ(log.size(), 4u);
    log.clear();
    {
        YBSplitterWnd split(0, L"");
        makeTwoPanes(split, &log);
        split.clear();  // the manager deletes the windows first
        EXPECT_EQ(log.size(), 2u);
        split.SetWindowPos(nullptr, 0, 0, 300, 100, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(split.getPane(0)->getWnd(), nullptr);
    }
    EXPECT_EQ(log.size(), 2u);
}

// Closing stores the layout, replacing the old record and keeping the others.
TEST_F(SplitterTest, ANamedSplitterKeepsItsLayoutAcrossRunsAndIgnoresACorruptRecord) {
    std::filesystem::create_directories(config.file("tessel"));
    for (const char* record : {"windows/main=120,286\n", "windows/main=abc,1\n",
                               "windows/main=-5,10\n", "windows/main=99999999,1\n", "garbage"}) {
        std::ofstream(config.file("tessel/layouts")) << "other=1\n" << record;
        YBSplitterWnd split(0, L"main");
        makeTwoPanes(split);
        EXPECT_EQ(sizes(split), (std::vector<int>{200, 206}));  // adding alone restores nothing
        const bool good = std::string_view(record).starts_with("windows/main=1");
        EXPECT_EQ(split.restoreLayout(), good) << record;
        EXPECT_EQ(sizes(split), (good ? std::vector<int>{120, 286} : std::vector<int>{200, 206}));
        EXPECT_EQ(split.getBar(0)->m_rect.left, good ? 120 : 200);
        split.SendMessage(WM_CLOSE);
        const std::string after = settings();
        EXPECT_TRUE(after.starts_with("other=1\n")) << after;
        EXPECT_TRUE(after.ends_with(good ? "\nwindows/main=120,286\n" : "\nwindows/main=200,200\n"))
            << after;
        EXPECT_EQ(after.find("windows/main="), after.rfind("windows/main=")) << after;
    }
    YBSplitterWnd split(0, L"main");
    makeTwoPanes(split);
    add(split, new Pane, 50);
    EXPECT_FALSE(split.restoreLayout());  // three panes, a record of two
}

}  // namespace
