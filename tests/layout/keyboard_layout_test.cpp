// The layout windows driven from the keyboard under a top-level window that
// turned keyboard operation on: the manager's scroll keys and the focus kept
// in view, the splitter's F6, F8 and bar keys with their limits, Escape and
// the stored layout, and the toolbar's focused button and its commands.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <tessel/layout/YBManagerWnd.h>
#include <tessel/layout/YBSplitterWnd.h>
#include <tessel/layout/YBToolBarWnd.h>

#include "image_files.h"
#include "keyboard_windows.h"

namespace {

using namespace keyboard_test;

class Manager : public YBManagerWnd {
public:
    using YBManagerWnd::createChildWnd;
    Stop* stop(int i) const { return static_cast<Stop*>(getChild(i)); }
};

std::vector<int> sizes(YBSplitterWnd& split) {
    std::vector<int> out;
    for (int i = 0; i < split.getPaneCount(); ++i)
        out.push_back(split.getPane(i)->currentSize());
    return out;
}

std::vector<int> preferred(YBSplitterWnd& split) {
    std::vector<int> out;
    for (int i = 0; i < split.getPaneCount(); ++i)
        out.push_back(split.getPane(i)->preferredSize());
    return out;
}

class KeyboardLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", config.file("").c_str(), 1);
        tessel::testing::useVirtualClock();
        frame.setInitialSize(600, 400);
        frame.enableKeyboard();
        ASSERT_TRUE(frame.createAt(0, 0, nullptr));
        frame.SetFocus();  // the active window, where the keys go
        pump();
    }
    void TearDown() override { tessel::testing::advanceClock(1000); }

    // Two panes of 200 and 206 (bar 0 at 200..206) in a splitter 406 wide:
    // a tab stop, then a manager holding two.
    void makeSplitter(YBSplitterWnd& split) {
        split.setInitialSize(406, 100);
        ASSERT_TRUE(split.createAt(0, 0, &frame));
        first = new Stop(50, 50);
        split.addPane(first, 200, 2, 2, 0xC8C8C8, XDC::kNoColor, false);
        auto* right = new Manager;
        split.addPane(right, 200, 2, 2, 0xC8C8C8, XDC::kNoColor, false);
        inner = new Stop(40, 40);
        right->createChildWnd(inner, 0, 0);
        right->createChildWnd(new Stop(40, 40), 40, 0);
        pump();
    }
    std::string settings() const {
        std::ifstream in(config.file("tessel/layouts"));
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    image_files::TempDir config;
    Frame frame;
    Stop* first = nullptr;
    Stop* inner = nullptr;
};

TEST_F(KeyboardLayoutTest, ManagerScrollKeysMoveItsBarAndAFocusTabbedOutOfViewIsBroughtIn) {
    Manager manager;
    manager.setFlag(YBBaseWnd::verticalScrollBar, true);
    manager.setInitialSize(250, 300);
    ASSERT_TRUE(manager.createAt(0, 0, &frame));
    for (int i = 0; i < 20; ++i)
        manager.createChildWnd(new Stop(200, 30), 0, 0);
    manager.onLayoutChildren();
    pump();
    ASSERT_EQ(bar(manager, SB_VERT).nMax, 600);
    ASSERT_EQ(bar(manager, SB_VERT).nPage, 300u);
    const auto expectAt = [&](int pos) {
        EXPECT_EQ(bar(manager, SB_VERT).nPos, pos);
        EXPECT_EQ(manager.stop(0)->at(), CPoint(0, -pos));
    };

    press(VK_TAB);
    ASSERT_EQ(::GetFocus(), manager.stop(0)->m_hWnd);
    press(VK_DOWN);
    expectAt(30);  // a line: the tallest child
    press(VK_NEXT);
    expectAt(300);  // the client less a line, stopped at nMax - nPage
    press(VK_HOME);
    expectAt(0);
    press(VK_NEXT);
    expectAt(270);
    press(VK_PRIOR);
    expectAt(0);
    press(VK_END);
    expectAt(300);  // the last row of the contents at the client's bottom
    press(VK_UP);
    expectAt(270);
    EXPECT_EQ(::GetFocus(), manager.stop(0)->m_hWnd);  // scrolling leaves the focus
    EXPECT_TRUE(manager.stop(0)->keys.empty());        // the manager took the keys

    // Tab brings each stop into view: the sixteenth's bottom on the client's.
    press(VK_HOME);
    press(VK_TAB, 15);
    ASSERT_EQ(::GetFocus(), manager.stop(15)->m_hWnd);
    expectAt(180);
    EXPECT_EQ(manager.stop(15)->at(), CPoint(0, 270));
    pressShifted(VK_TAB, 15);
    ASSERT_EQ(::GetFocus(), manager.stop(0)->m_hWnd);
    expectAt(0);

    // A child that keeps the arrows gets every scroll key itself.
    manager.stop(0)->dlgCode = DLGC_WANTARROWS;
    press(VK_DOWN);
    press(VK_NEXT);
    expectAt(0);
    EXPECT_EQ(manager.stop(0)->keys, (std::vector<int>{VK_DOWN, VK_NEXT}));
}

TEST_F(KeyboardLayoutTest, AFocusedBarMovesByTheStepWithinTheLimitsAndEscapeRestoresTheStart) {
    YBSplitterWnd split(0, L"");
    makeSplitter(split);
    press(VK_TAB);
    ASSERT_EQ(::GetFocus(), first->m_hWnd);
    // The bar's line, two pixels in the middle of its six.
    const auto lineIsPlain = [&] {
        for (COLORREF c : pixels(split, CRect(202, 0, 204, 100)))
            if (c != 0xC8C8C8) return false;
        return true;
    };
    EXPECT_TRUE(lineIsPlain());

    press(VK_F8);
    EXPECT_EQ(::GetFocus(), split.m_hWnd);
    EXPECT_FALSE(lineIsPlain());  // the focus ring crosses it
    press(VK_RIGHT);
    EXPECT_EQ(sizes(split), (std::vector<int>{208, 198}));
    EXPECT_EQ(split.getBar(0)->m_rect.left, 208);
    press(VK_LEFT, 3);
    EXPECT_EQ(sizes(split), (std::vector<int>{184, 222}));
    press(VK_UP);  // across the bar: nothing
    press(VK_DOWN);
    EXPECT_EQ(sizes(split), (std::vector<int>{184, 222}));
    press(VK_HOME);
    EXPECT_EQ(sizes(split), (std::vector<int>{8, 398}));  // pane 0 at its least
    press(VK_LEFT);
    EXPECT_EQ(sizes(split), (std::vector<int>{8, 398}));
    press(VK_RIGHT);
    EXPECT_EQ(sizes(split), (std::vector<int>{16, 390}));
    press(VK_END);
    EXPECT_EQ(sizes(split), (std::vector<int>{398, 8}));  // pane 1 at its least
    press(VK_RIGHT);
    EXPECT_EQ(sizes(split), (std::vector<int>{398, 8}));
    EXPECT_EQ(::GetFocus(), split.m_hWnd);

    press(VK_ESCAPE);
    EXPECT_EQ(sizes(split), (std::vector<int>{200, 206}));
    EXPECT_EQ(preferred(split), (std::vector<int>{200, 200}));
    EXPECT_EQ(split.getBar(0)->m_rect.left, 200);
    EXPECT_EQ(::GetFocus(), first->m_hWnd);
    EXPECT_TRUE(lineIsPlain());
    EXPECT_TRUE(first->keys.empty());  // no key of the bar's reached the focus before
}

TEST_F(KeyboardLayoutTest, EnterKeepsTheMovedBarAndTheSplitterStoresItLikeADrag) {
    {
        YBSplitterWnd split(0, L"keys");
        makeSplitter(split);
        press(VK_TAB, 2);
        ASSERT_EQ(::GetFocus(), inner->m_hWnd);
        press(VK_F8);
        press(VK_RIGHT, 2);
        press(VK_RETURN);
        EXPECT_EQ(sizes(split), (std::vector<int>{216, 190}));
        EXPECT_EQ(preferred(split), (std::vector<int>{216, 190}));
        EXPECT_EQ(::GetFocus(), inner->m_hWnd);
        EXPECT_TRUE(frame.commands.empty());  // Enter was the bar's, not the frame's IDOK
        press(VK_RIGHT);  // the bar is no longer focused
        EXPECT_EQ(sizes(split), (std::vector<int>{216, 190}));
        split.SendMessage(WM_CLOSE);
    }
    EXPECT_EQ(settings(), "windows/keys=216,190\n");
}

TEST_F(KeyboardLayoutTest, F6CyclesThePanesAndF8TheBarsOfAVerticalSplit) {
    YBSplitterWnd split(YBSplitterWnd::verticalSplit, L"");
    split.setInitialSize(100, 406);
    ASSERT_TRUE(split.createAt(0, 0, &frame));
    std::vector<Stop*> stops;
    for (int i = 0; i < 3; ++i) {
        stops.push_back(new Stop(100, 100));
        split.addPane(stops.back(), 130, 2, 2, 0xC8C8C8, XDC::kNoColor, false);
    }
    pump();
    const std::vector<int> start = sizes(split);
    press(VK_TAB);
    ASSERT_EQ(::GetFocus(), stops[0]->m_hWnd);
    press(VK_F6);
    EXPECT_EQ(::GetFocus(), stops[1]->m_hWnd);
    press(VK_F6, 2);
    EXPECT_EQ(::GetFocus(), stops[0]->m_hWnd);  // wrapped
    pressShifted(VK_F6);
    EXPECT_EQ(::GetFocus(), stops[2]->m_hWnd);

    press(VK_F8, 2);  // bar 1, between panes 1 and 2
    press(VK_LEFT);   // along the bar: nothing
    EXPECT_EQ(sizes(split), start);
    press(VK_UP);
    EXPECT_EQ(sizes(split), (std::vector<int>{start[0], start[1] - 8, start[2] + 8}));
    press(VK_F8);  // bar 0 now; Escape still undoes everything since the first F8
    press(VK_DOWN);
    EXPECT_EQ(sizes(split), (std::vector<int>{start[0] + 8, start[1] - 16, start[2] + 8}));
    press(VK_ESCAPE);
    EXPECT_EQ(sizes(split), start);
    EXPECT_EQ(::GetFocus(), stops[2]->m_hWnd);
    EXPECT_TRUE(stops[2]->keys.empty());
}

TEST_F(KeyboardLayoutTest, F6InANestedSplitterGoesOnToTheOuterPanesBothWays) {
    // Outer, stacked: a toolbar, a side-by-side splitter of two stops, a pane
    // without any tab stop.
    YBSplitterWnd outer(YBSplitterWnd::verticalSplit, L"");
    outer.setInitialSize(400, 300);
    ASSERT_TRUE(outer.createAt(0, 0, &frame));
    auto* toolbar = new YBToolBarWnd;
    toolbar->addButton(21, "", "A");
    outer.addPane(toolbar, 74, 2, 2, 0xC8C8C8, XDC::kNoColor, true);
    auto* nested = new YBSplitterWnd(0, L"");
    outer.addPane(nested, 150, 2, 2, 0xC8C8C8, XDC::kNoColor, false);
    auto* left = new Stop(50, 50);
    auto* right = new Stop(50, 50);
    nested->addPane(left, 200, 2, 2, 0xC8C8C8, XDC::kNoColor, false);
    nested->addPane(right, 190, 2, 2, 0xC8C8C8, XDC::kNoColor, false);
    outer.addPane(new YBChildWnd, 50, 2, 2, 0xC8C8C8, XDC::kNoColor, false);
    pump();

    press(VK_TAB);
    ASSERT_EQ(::GetFocus(), toolbar->m_hWnd);
    std::vector<HWND> forth, back;
    for (int i = 0; i < 3; ++i) {
        press(VK_F6);
        forth.push_back(::GetFocus());
    }
    for (int i = 0; i < 3; ++i) {
        pressShifted(VK_F6);
        back.push_back(::GetFocus());
    }
    EXPECT_EQ(forth, (std::vector<HWND>{left->m_hWnd, right->m_hWnd, toolbar->m_hWnd}));
    EXPECT_EQ(back, (std::vector<HWND>{right->m_hWnd, left->m_hWnd, toolbar->m_hWnd}));
}

class ToolBar : public YBToolBarWnd {
public:
    CRect rect(int i) const { return entry(i) ? entry(i)->m_rect : CRect(); }
};

TEST_F(KeyboardLayoutTest, ToolbarArrowsMoveBetweenButtonsAndEachActivationSendsOneCommand) {
    ToolBar toolbar;
    toolbar.setInitialSize(300, 70);
    toolbar.addButton(11, "", "A");
    toolbar.addSeparator();
    toolbar.addButton(12, "", "B");
    toolbar.addButton(13, "", "C");
    ASSERT_TRUE(toolbar.createAt(0, 0, &frame));
    EXPECT_EQ(toolbar.focusedEntry(), 0);
    const std::vector<COLORREF> plainA = pixels(toolbar, toolbar.rect(0));

    press(VK_TAB);
    ASSERT_EQ(::GetFocus(), toolbar.m_hWnd);
    const std::vector<COLORREF> ringOnA = pixels(toolbar, toolbar.rect(0));
    EXPECT_NE(ringOnA, plainA);
    press(VK_RETURN);
    EXPECT_EQ(frame.commands, std::vector<int>{11});

    press(VK_RIGHT);
    EXPECT_EQ(toolbar.focusedEntry(), 2);  // over the separator
    EXPECT_EQ(pixels(toolbar, toolbar.rect(0)), plainA);  // the ring moved on
    press(VK_DOWN, 3);
    EXPECT_EQ(toolbar.focusedEntry(), 3);  // stays on the last
    frame.commands.clear();
    down(VK_SPACE);
    EXPECT_TRUE(frame.commands.empty());
    up(VK_SPACE);
    EXPECT_EQ(frame.commands, std::vector<int>{13});

    frame.commands.clear();
    down(VK_SPACE);
    for (int i = 0; i < 10; ++i)
        down(VK_SPACE);  // auto-repeat
    up(VK_SPACE);
    down(VK_RETURN);
    down(VK_RETURN);
    up(VK_RETURN);
    EXPECT_EQ(frame.commands, (std::vector<int>{13, 13}));

    frame.commands.clear();
    down(VK_SPACE);
    press(VK_ESCAPE);
    up(VK_SPACE);
    down(VK_SPACE);
    press(VK_LEFT);
    up(VK_SPACE);
    EXPECT_TRUE(frame.commands.empty());
    EXPECT_EQ(toolbar.focusedEntry(), 2);
    press(VK_UP, 5);
    EXPECT_EQ(toolbar.focusedEntry(), 0);  // stays on the first
    press(VK_RETURN);
    EXPECT_EQ(frame.commands, std::vector<int>{11});
    EXPECT_EQ(pixels(toolbar, toolbar.rect(0)), ringOnA);
}

}  // namespace
