// Keyboard operation is the top-level window's choice: without it the layout
// windows get only the key messages the platform delivers; with it nothing
// looks different until a key is pressed.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include <tessel/layout/YBManagerWnd.h>
#include <tessel/layout/YBSplitterWnd.h>
#include <tessel/layout/YBToolBarWnd.h>

#include "keyboard_windows.h"

namespace {

using namespace keyboard_test;

using Log = std::vector<std::pair<HWND, UINT>>;

// Notes every message its window gets, before the window handles it.
template <class Base>
class Recorded : public Base {
public:
    template <class... Args>
    explicit Recorded(Log* log, Args&&... args) : Base(std::forward<Args>(args)...), m_log(log) {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        m_log->emplace_back(this->m_hWnd, message);
        return Base::WindowProc(message, wParam, lParam);
    }

private:
    Log* m_log;
};

class Manager : public Recorded<YBManagerWnd> {
public:
    using Recorded<YBManagerWnd>::Recorded;
    using YBManagerWnd::createChildWnd;
};

// A toolbar over a scrolling manager of stops beside a splitter of two.
struct Tree {
    explicit Tree(bool keyboard) {
        frame.setInitialSize(600, 340);
        if (keyboard) frame.enableKeyboard();
        frame.createAt(0, 0, nullptr);
        toolbar.addButton(11, "", "A");
        toolbar.addButton(12, "", "B");
        toolbar.setInitialSize(300, 70);
        toolbar.createAt(0, 0, &frame);
        manager.setFlag(YBBaseWnd::verticalScrollBar, true);
        manager.setInitialSize(250, 200);
        manager.createAt(0, 90, &frame);
        for (int i = 0; i < 10; ++i) {
            stops.push_back(new Recorded<Stop>(&log, 200, 30));
            manager.createChildWnd(stops.back(), 0, 0);
        }
        manager.onLayoutChildren();
        split.setInitialSize(250, 100);
        split.createAt(300, 90, &frame);
        for (int i = 0; i < 2; ++i) {
            stops.push_back(new Recorded<Stop>(&log, 50, 50));
            split.addPane(stops.back(), 120, 2, 2, 0xC8C8C8, XDC::kNoColor, false);
        }
        frame.SetFocus();  // the active window, where the keys go
        pump();
        log.clear();
    }

    Log log;
    Frame frame;
    Recorded<YBToolBarWnd> toolbar{&log};
    Manager manager{&log};
    Recorded<YBSplitterWnd> split{&log, 0, L""};
    std::vector<Stop*> stops;  // owned by the manager and the splitter
};

TEST(KeyboardOptInTest, WithoutItKeysReachOnlyTheFocusWithItNoPixelDiffersUntilAKeyIsPressed) {
    tessel::testing::useVirtualClock();
    std::vector<COLORREF> plain;
    {
        Tree tree(false);
        plain = pixelsOf(tree.frame);
        for (HWND focus : {tree.stops[0]->m_hWnd, tree.toolbar.m_hWnd, tree.stops[10]->m_hWnd}) {
            ::SetFocus(focus);
            pump();
            tree.log.clear();
            for (WORD vk : {VK_DOWN, VK_NEXT, VK_END, VK_TAB, VK_F6, VK_F8, VK_RIGHT, VK_HOME,
                            VK_RETURN, VK_SPACE, VK_ESCAPE})
                tapKey(vk);
            int downs = 0;
            for (const auto& [window, message] : tree.log) {
                if (message == WM_PAINT || message == WM_ERASEBKGND || message == WM_NCPAINT)
                    continue;
                EXPECT_TRUE(window == focus && (message == WM_KEYDOWN || message == WM_KEYUP ||
                                                message == WM_CHAR))
                    << std::hex << message;
                downs += message == WM_KEYDOWN;
            }
            EXPECT_EQ(downs, 11);
            EXPECT_EQ(::GetFocus(), focus);
        }
        EXPECT_TRUE(tree.frame.commands.empty());
        EXPECT_EQ(pixelsOf(tree.frame), plain);  // nothing scrolled, moved or ringed
    }
    Tree tree(true);
    EXPECT_EQ(pixelsOf(tree.frame), plain);
    ::SetFocus(tree.toolbar);  // the focus alone shows no ring
    EXPECT_EQ(pixelsOf(tree.frame), plain);
    tapKey(VK_RIGHT);
    EXPECT_EQ(tree.toolbar.focusedEntry(), 1);
    EXPECT_NE(pixelsOf(tree.frame), plain);  // the ring, on the second button
    tessel::testing::advanceClock(1000);
}

}  // namespace
