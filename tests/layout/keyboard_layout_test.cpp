// The layout windows from the keyboard, under a top-level window that turned
// keyboard operation on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <tessel/layout/YBManagerWnd.h>
#include <tessel/layout/YBSplitterWnd.h>
#include <tessel/layout/YBToolBarWnd.h>

#include "image_files.h"
#include "keyboard_windows.h"
#include "splitter_sizes.h"

namespace {

using namespace keyboard_test;

class Manager : public YBManagerWnd {
public:
    using YBManagerWnd::createChildWnd;
    Stop* stop(int i) const { return static_cast<Stop*>(getChild(i)); }
};

class KeyboardLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", config.file("").c_str(), 1);
        tessel::testing::useVirtualClock();
        frame.setInitialSize(600, 400);
        frame.enableKeyboard();
        ASSERT_TRUE(frame.createAt(0, 0, nullptr));
        frame.SetFocus();  // the active window, where the keys go
    }
    void TearDown() override { tessel::testing::advanceClock(1000); }

    image_files::TempDir config;
    Frame frame;
};

TEST_F(KeyboardLayoutTest, ManagerScrollKeysMoveItsBarAndAFocusTabbedOutOfViewIsBroughtIn) {
    Manager manager;
    manager.setFlag(YBBaseWnd::verticalScrollBar, true);
    manager.setInitialSize(250, 300);
    ASSERT_TRUE(manager.createAt(0, 0, &frame));
    for (int i = 0; i < 20; ++i)
        manager.createChildWnd(new Stop(200, 30), 0, 0);
    manager.onLayoutChildren();  // contents 600 high: nMax 600, nPage 300
    const auto expectAt = [&](int pos) {
        EXPECT_EQ(manager.GetScrollPos(SB_VERT), pos);
        int x = -1, y = -1;
        manager.stop(0)->getPosition(x, y);
        EXPECT_EQ(CPoint(x, y), CPoint(0, -pos));
    };

    tapKey(VK_TAB);
    // A line is the tallest child, a page the client less a line; the last
    // position shows the contents' last row at the client's bottom.
    const std::vector<std::pair<WORD, int>> steps{
        {VK_DOWN, 30}, {VK_NEXT, 300}, {VK_HOME, 0}, {VK_NEXT, 270},
        {VK_PRIOR, 0}, {VK_END, 300},  {VK_UP, 270}};
    for (const auto& [key, pos] : steps) {
        tapKey(key);
        expectAt(pos);
    }
    EXPECT_EQ(::GetFocus(), manager.stop(0)->m_hWnd);
    EXPECT_TRUE(manager.stop(0)->keys.empty());  // the manager took them

    tapKey(VK_HOME);
    tapKey(VK_TAB, 15);  // down to the sixteenth, 450 to 480: its bottom on the client's
    expectAt(180);
    for (int i = 0; i < 15; ++i)
        shiftTab();
    expectAt(0);

    manager.stop(0)->dlgCode = DLGC_WANTARROWS;  // keeps every scroll key
    tapKey(VK_DOWN);
    tapKey(VK_NEXT);
    expectAt(0);
    EXPECT_EQ(manager.stop(0)->keys, (std::vector<int>{VK_DOWN, VK_NEXT}));
}

TEST_F(KeyboardLayoutTest, AFocusedBarMovesByTheStepWithinTheLimitsEscapeRestoresAndEnterKeeps) {
    // Panes of 200 and 206 (bar 0 at 200..206, its line at 202..204): a tab
    // stop, then a manager holding one.
    YBSplitterWnd split(0, L"keys");
    split.setInitialSize(406, 100);
    ASSERT_TRUE(split.createAt(0, 0, &frame));
    auto* first = new Stop(50, 50);
    split.addPane(first, 200, 2, 2, 0xC8C8C8, XDC::kNoColor, false);
    auto* right = new Manager;
    split.addPane(right, 200, 2, 2, 0xC8C8C8, XDC::kNoColor, false);
    auto* inner = new Stop(40, 40);
    right->createChildWnd(inner, 0, 0);
    const auto lineIsPlain = [&] {
        const std::vector<COLORREF> line = pixelsOf(split, CRect(202, 0, 204, 100));
        return std::ranges::all_of(line, [](COLORREF c) { return c == 0xC8C8C8; });
    };
    tapKey(VK_TAB);
    ASSERT_EQ(::GetFocus(), first->m_hWnd);
    EXPECT_TRUE(lineIsPlain());

    tapKey(VK_F8);
    EXPECT_FALSE(lineIsPlain());  // the focus ring crosses it
    const std::vector<std::pair<WORD, std::vector<int>>> steps{
        {VK_RIGHT, {208, 198}}, {VK_LEFT, {200, 206}}, {VK_UP, {200, 206}},  // across: nothing
        {VK_HOME, {8, 398}},    {VK_LEFT, {8, 398}},   {VK_END, {398, 8}},   {VK_RIGHT, {398, 8}}};
    for (const auto& [key, expected] : steps) {
        tapKey(key);
        EXPECT_EQ(sizes(split), expected) << key;
    }
    tapKey(VK_ESCAPE);
    EXPECT_EQ(sizes(split), (std::vector<int>{200, 206}));
    EXPECT_EQ(::GetFocus(), first->m_hWnd);
    EXPECT_TRUE(lineIsPlain());
    EXPECT_TRUE(first->keys.empty());  // none of the bar's keys reached it

    tapKey(VK_TAB);
    tapKey(VK_F8);
    tapKey(VK_RIGHT, 2);
    tapKey(VK_RETURN);
    EXPECT_EQ(sizes(split), (std::vector<int>{216, 190}));
    EXPECT_EQ(::GetFocus(), inner->m_hWnd);
    EXPECT_TRUE(frame.commands.empty());  // Enter was the bar's, not the frame's IDOK
    split.SendMessage(WM_CLOSE);
    std::ifstream stored(config.file("tessel/layouts"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(stored), {}), "windows/keys=216,190\n");
}

TEST_F(KeyboardLayoutTest, F6CyclesThePanesThroughANestedSplitterAndF8TheBars) {
    // Stacked: a toolbar, a side-by-side splitter of two stops, a pane
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
    outer.addPane(new Stop(50, 50), 50, 2, 2, 0xC8C8C8, XDC::kNoColor, false);
    outer.getPane(2)->getWnd()->EnableWindow(FALSE);  // no tab item there

    tapKey(VK_TAB);
    std::vector<HWND> visited;
    for (int i = 0; i < 6; ++i) {
        i < 3 ? tapKey(VK_F6) : shifted(VK_F6);
        visited.push_back(::GetFocus());
    }
    EXPECT_EQ(visited, (std::vector<HWND>{left->m_hWnd, right->m_hWnd, toolbar->m_hWnd,
                                          right->m_hWnd, left->m_hWnd, toolbar->m_hWnd}));

    // F8 twice: bar 1, between the nested splitter and the last pane.
    const std::vector<int> start = sizes(outer);
    tapKey(VK_F8, 2);
    tapKey(VK_DOWN);
    EXPECT_EQ(sizes(outer), (std::vector<int>{start[0], start[1] + 8, start[2] - 8}));
    tapKey(VK_ESCAPE);  // everything since the first F8
    EXPECT_EQ(sizes(outer), start);
    EXPECT_EQ(::GetFocus(), toolbar->m_hWnd);
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
    const std::vector<COLORREF> plainA = pixelsOf(toolbar, toolbar.rect(0));
    tapKey(VK_TAB);
    const std::vector<COLORREF> ringOnA = pixelsOf(toolbar, toolbar.rect(0));
    EXPECT_NE(ringOnA, plainA);
    tapKey(VK_RETURN);
    EXPECT_EQ(frame.commands, std::vector<int>{11});

    tapKey(VK_RIGHT);
    EXPECT_EQ(toolbar.focusedEntry(), 2);  // over the separator
    EXPECT_EQ(pixelsOf(toolbar, toolbar.rect(0)), plainA);
    tapKey(VK_DOWN, 3);  // stays on the last, which Space below clicks
    pressKey(VK_SPACE);
    EXPECT_EQ(frame.commands, std::vector<int>{11});
    holdKey(VK_SPACE, 9);  // ten auto-repeats in all
    holdKey(VK_RETURN, 1);
    EXPECT_EQ(frame.commands, (std::vector<int>{11, 13, 13}));

    pressKey(VK_SPACE);
    tapKey(VK_ESCAPE);
    liftKey(VK_SPACE);
    pressKey(VK_SPACE);
    tapKey(VK_LEFT);
    liftKey(VK_SPACE);
    EXPECT_EQ(frame.commands.size(), 3u);  // cancelled, both
    tapKey(VK_UP, 5);
    EXPECT_EQ(toolbar.focusedEntry(), 0);  // stays on the first
    EXPECT_EQ(pixelsOf(toolbar, toolbar.rect(0)), ringOnA);
}

}  // namespace
