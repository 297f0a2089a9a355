// The component host: placing components, routing a real mouse to them,
// buttons sending commands, closing, clearing, and hosts or components
// deleted by the command handler they triggered.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <tessel/components/YBFlowLayout.h>

#include "components_test.h"

namespace {

using namespace components_test;
using tessel::testing::advanceClock;

class ButtonTest : public HostTest {
protected:
    Probe* add(unsigned id, CSize size, COLORREF colour = RGB(200, 0, 0)) {
        auto* p = new Probe(id, &host, size, colour, &log);
        host.addComponent(p, true, true);
        return p;
    }
    Strings take() { return std::exchange(log, {}); }
    Strings log;  // outlives the host's probes
    TestHost host;
};

// Rows wrap before the right edge (one ending on it stays), one wider than
// the client stands alone, the tallest of a row sets the line height; a
// hidden component keeps its place and hears the mouse, but is not drawn.
TEST_F(ButtonTest, ComponentsFlowIntoRowsAndHiddenOnesAreNotDrawn) {
    makeHost(host, 0, 0, 250, 200);
    const std::vector<CSize> sizes{{100, 20}, {150, 10}, {100, 10}, {151, 40}, {300, 25}, {10, 5}};
    for (unsigned id = 1; id <= sizes.size(); ++id)
        add(id, sizes[id - 1], RGB(0, 40 * id, 0));
    const std::vector<CPoint> expected{{0, 0}, {100, 0}, {0, 20}, {0, 30}, {0, 70}, {0, 95}};
    for (std::size_t i = 0; i < sizes.size(); ++i)
        EXPECT_EQ(host.getComponent(static_cast<int>(i))->rect(), CRect(expected[i], sizes[i]));
    EXPECT_EQ(host.getContentsSize(), CSize(300, 100));
    const YBFlowLayout column = YBFlowLayout::compute({{10, 10}, {20, 5}}, 0);  // no client
    EXPECT_SEQ(column.positions, {CPoint(0, 0), CPoint(0, 10)});

    host.getComponent(0)->hide(true);
    host.setSize(260, 200, false);  // a layout with it hidden
    EXPECT_EQ(host.getComponent(1)->rect().TopLeft(), CPoint(100, 0));
    EXPECT_EQ(pixel(host, 10, 10), RGB(0, 0, 128));
    EXPECT_EQ(pixel(host, 110, 5), RGB(0, 80, 0));
    moveTo(host, {10, 10});
    EXPECT_SEQ(take(), {"1 enter", "1 move 10,10"});
}

// Hover repaints once on entering. A command goes out, after the button is
// up, for a press and a release on the enabled button, to the first of
// overlapping ones; a double click is a second command, leaving while
// pressed cancels for good, and a disabled button shows pressed but sends nothing.
TEST_F(ButtonTest, OnlyAPressAndReleaseOnTheEnabledButtonSendsACommand) {
    makeHost(host, 10, 10, 300, 100);
    Probe* button = add(7, {50, 20});
    add(8, {50, 20})->setPosition(30, 0, false);
    pump();
    EXPECT_EQ(host.getComponentAt(CPoint(90, 50)), nullptr);
    std::vector<bool> pressedAtCommand;
    app.onCommandHook = [&](int) { pressedAtCommand.push_back(button->isPressed()); };
    const CPoint on{20, 10}, off{200, 50};
    const int draws = host.draws;
    moveTo(host, on);
    moveTo(host, on + CPoint(5, 0));
    EXPECT_EQ(host.draws, draws + 1);
    moveTo(host, on + CPoint(15, 0));  // over both
    press();
    release();
    advanceClock(100);
    press();  // a double click in place of the second press
    release();
    EXPECT_SEQ(app.commands, {7, 7});
    EXPECT_SEQ(pressedAtCommand, {false, false});
    EXPECT_SEQ(take(), {"7 enter", "7 move 20,10", "7 move 25,10", "7 move 35,10", "8 enter",
                        "8 move 35,10",
                        "7 left 1", "7 left 0", "7 left 2", "7 left 0"});
    advanceClock(1000);

    press();
    moveTo(host, off);
    EXPECT_FALSE(button->isMouseOver());
    moveTo(host, on);  // coming back does not bring the press back
    EXPECT_FALSE(button->isPressed());
    release();
    button->disable(true, false);
    press();
    EXPECT_TRUE(button->isPressed());
    release();
    EXPECT_SEQ(app.commands, {7, 7});
}

// Closing closes only the open components, once; clearing closes and
// deletes one after the other; the host object deletes what it still holds.
TEST_F(ButtonTest, ClosingAndClearingCloseTheOpenComponentsOnce) {
    {
        TestHost closing;
        makeHost(closing, 0, 0, 200, 100);
        for (unsigned id = 1; id <= 3; ++id)
            closing.addComponent(new Probe(id, &closing, {40, 20}, 0, &log), true, false);
        closing.getComponent(0)->onCreate();
        closing.SendMessage(WM_CLOSE);
        EXPECT_FALSE(IsWindow(closing.m_hWnd));
        EXPECT_SEQ(take(), {"1 close"});
    }
    EXPECT_SEQ(take(), {"1 delete", "2 delete", "3 delete"});

    makeHost(host, 0, 0, 200, 100);
    for (unsigned id = 1; id <= 3; ++id)
        add(id, {40, 20});
    host.getComponent(1)->onCreate();
    host.getComponent(2)->onCreate();
    host.clearComponents();
    EXPECT_SEQ(take(), {"1 delete", "2 close", "2 delete", "3 close", "3 delete"});
    host.Invalidate();
    moveTo(host, {10, 10});  // painting and moving over the empty host are fine
}

// The button's release is still on the stack when its command empties or
// deletes the host.
TEST_F(ButtonTest, TheCommandHandlerMayClearOrDeleteTheHost) {
    makeHost(host, 0, 0, 200, 100);
    add(5, {40, 20});
    add(6, {40, 20});
    app.onCommandHook = [&](int) { host.clearComponents(); };
    clickAt(host, {10, 10});
    EXPECT_SEQ(take(), {"5 enter", "5 move 10,10", "5 left 1", "5 left 0", "5 delete", "6 delete"});
    clickAt(host, {15, 10});  // the mouse goes on over the empty host

    auto doomed = std::make_unique<TestHost>();
    makeHost(*doomed, 0, 120, 200, 100);
    doomed->addComponent(new Probe(8, doomed.get(), {40, 20}), true, false);
    const HWND window = doomed->m_hWnd;
    app.onCommandHook = [&](int) { doomed.reset(); };
    clickAt(app, {10, 130});
    EXPECT_FALSE(IsWindow(window));
    clickAt(app, {10, 130});  // the application window is underneath now
    EXPECT_SEQ(app.commands, {5, 8});
}

}  // namespace
