// The component host: flowing components into rows, routing a real mouse to
// them, buttons sending commands, closing, clearing, and hosts or
// components deleted by the command handler they triggered.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <tessel/components/YBFlowLayout.h>

#include "components_test.h"

namespace {

using namespace components_test;
using tessel::testing::advanceClock;
using tessel::testing::pump;

std::vector<CRect> rects(const YBComponentWnd& host) {
    std::vector<CRect> out;
    for (int i = 0; i < host.getComponentCount(); ++i)
        out.push_back(host.getComponent(i)->rect());
    return out;
}

Probe* addProbe(YBComponentWnd& host, unsigned id, CSize size, COLORREF colour = RGB(200, 0, 0)) {
    auto* p = new Probe(id, &host, size, colour);
    host.addComponent(p, true, true);
    return p;
}

// Where the components go is YBFlowLayout's table (flow_layout_test.cpp);
// here the host applies it: every component at its flow position with its
// own size, and the contents size and line height the flow gave.
TEST_F(HostTest, TheHostPlacesItsComponentsWhereTheFlowSays) {
    TestHost host;
    makeHost(host, 0, 0, 250, 200);
    const std::vector<CSize> sizes{{100, 20}, {100, 30}, {100, 10}, {150, 10}, {300, 25}, {10, 5}};
    for (unsigned id = 1; id <= sizes.size(); ++id)
        addProbe(host, id, sizes[id - 1]);
    const YBFlowLayout flow = YBFlowLayout::compute(sizes, clientRect(host).Width());
    std::vector<CRect> expected;
    for (std::size_t i = 0; i < sizes.size(); ++i)
        expected.emplace_back(flow.positions[i], sizes[i]);
    EXPECT_SEQ(rects(host), expected);
    EXPECT_EQ(host.getContentsSize(), flow.contentsSize);
    EXPECT_EQ(host.lineHeight(), flow.lineHeight);

    // Emptied, then laid out again on a resize: no contents.
    host.clearComponents();
    host.setSize(240, 200, false);
    EXPECT_EQ(host.getContentsSize(), CSize(0, 0));
}

TEST_F(HostTest, AHiddenComponentKeepsItsPlaceAndItsMouseButIsNotDrawn) {
    TestHost host(RGB(0, 0, 128));
    makeHost(host, 0, 0, 250, 100);
    Probe* hidden = addProbe(host, 1, {50, 20}, RGB(200, 0, 0));
    Probe* next = addProbe(host, 2, {50, 20}, RGB(0, 200, 0));
    hidden->hide(true);
    host.setSize(260, 100, false);  // a layout with it hidden
    pump();
    EXPECT_EQ(next->rect(), CRect(50, 0, 100, 20));
    EXPECT_EQ(pixel(host, 10, 10), RGB(0, 0, 128));
    EXPECT_EQ(pixel(host, 60, 10), RGB(0, 200, 0));
    EXPECT_EQ(host.getComponentIndexAt(CPoint(10, 10)), 0);
    EXPECT_EQ(host.getComponentAt(CPoint(10, 10)), hidden);
    moveTo(host, {10, 10});
    EXPECT_SEQ(hidden->events, {"enter", "move 10,10"});
}

TEST_F(HostTest, OverlappingComponentsAllHearThePointerButTheLowestIndexIsHit) {
    TestHost host;
    makeHost(host, 0, 0, 250, 100);
    Probe* low = addProbe(host, 1, {50, 20});
    Probe* high = addProbe(host, 2, {50, 20});
    high->setPosition(30, 10, false);
    EXPECT_EQ(host.getComponentIndexAt(CPoint(35, 15)), 0);
    EXPECT_EQ(host.getComponentIndexAt(CPoint(60, 25)), 1);
    EXPECT_EQ(host.getComponentIndexAt(CPoint(90, 50)), -1);
    EXPECT_EQ(host.getComponentAt(CPoint(90, 50)), nullptr);
    // Both are under the pointer and both hear it; the button goes to the first one only.
    moveTo(host, {35, 15});
    EXPECT_SEQ(low->events, {"enter", "move 35,15"});
    EXPECT_SEQ(high->events, {"enter", "move 35,15"});
    press();
    EXPECT_TRUE(low->isPressed());
    EXPECT_FALSE(high->isPressed());
    release();
    EXPECT_SEQ(app.commands, {1});
    moveTo(host, {60, 25});  // off the first, still on the second
    EXPECT_SEQ(low->events, {"enter", "move 35,15", "left 1", "left 0", "leave"});
    EXPECT_SEQ(high->events, {"enter", "move 35,15", "move 60,25"});
}

class ButtonTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        makeHost(host, 10, 10, 300, 100);
        button = addProbe(host, 7, {50, 20});
        addProbe(host, 8, {50, 20});
        pump();
        // The command's arrival: the host received it and the button was already up.
        app.onCommandHook = [this](int) { pressedAtCommand.push_back(button->isPressed()); };
    }
    TestHost host;
    Probe* button = nullptr;
    std::vector<bool> pressedAtCommand;
    const CPoint onButton{20, 10}, offButton{200, 50};
};

TEST_F(ButtonTest, HoverSetsMouseOverAndRepaintsOnce) {
    const int draws = host.draws;
    moveTo(host, onButton);
    EXPECT_TRUE(button->isMouseOver());
    EXPECT_EQ(host.draws, draws + 1);
    moveTo(host, onButton + CPoint(5, 0));  // already over: nothing to repaint
    EXPECT_EQ(host.draws, draws + 1);
    moveTo(host, offButton);
    EXPECT_FALSE(button->isMouseOver());
    EXPECT_EQ(host.draws, draws + 2);
    EXPECT_SEQ(button->events, {"enter", "move 20,10", "move 25,10", "leave"});
}

// A command goes out for a press and a release on the enabled button, after
// it is up again; leaving while pressed cancels for good, a double click is
// a second command, and a disabled button shows pressed but sends nothing.
TEST_F(ButtonTest, OnlyAPressAndReleaseOnTheEnabledButtonSendsACommand) {
    moveTo(host, onButton);
    press();
    EXPECT_TRUE(button->isPressed());
    EXPECT_TRUE(app.commands.empty());
    release();
    EXPECT_SEQ(app.commands, {7});
    EXPECT_SEQ(host.commandMessages, {std::pair<WPARAM, LPARAM>(7, 0)});
    EXPECT_SEQ(pressedAtCommand, {false});
    advanceClock(100);
    press();  // a double click in place of the second press
    release();
    EXPECT_SEQ(app.commands, {7, 7});
    EXPECT_SEQ(button->events, {"enter", "move 20,10", "left 1", "left 0", "left 2", "left 0"});
    advanceClock(1000);

    press();
    moveTo(host, offButton);
    moveTo(host, onButton);  // coming back does not bring the press back
    EXPECT_FALSE(button->isPressed());
    release();
    EXPECT_SEQ(app.commands, {7, 7});

    button->disable(true, false);
    press();
    EXPECT_TRUE(button->isPressed());
    release();
    EXPECT_FALSE(button->isPressed());
    EXPECT_SEQ(app.commands, {7, 7});
}

TEST_F(ButtonTest, TheWheelScrollsALinePerNotch) {
    moveTo(host, offButton);
    wheel(240);
    EXPECT_EQ(host.scrollUps, 2);
    EXPECT_EQ(host.scrollDowns, 0);
    wheel(-360);
    wheel(119);
    wheel(-119);
    EXPECT_EQ(host.scrollUps, 2);
    EXPECT_EQ(host.scrollDowns, 3);
}

TEST_F(HostTest, ClosingClosesTheOpenComponentsOnce) {
    Strings log;
    {
        TestHost host;
        makeHost(host, 0, 0, 200, 100);
        std::vector<Probe*> probes;
        for (unsigned id = 1; id <= 4; ++id) {
            probes.push_back(new Probe(id, &host, {40, 20}, RGB(200, 0, 0), &log));
            host.addComponent(probes.back(), true, false);
        }
        probes[0]->onCreate();
        probes[2]->onCreate();
        host.SendMessage(WM_CLOSE);
        pump();
        EXPECT_FALSE(IsWindow(host.m_hWnd));
        EXPECT_SEQ(log, {"close 1", "close 3"});
        log.clear();
    }  // the host object goes: nothing is closed again, everything is deleted
    EXPECT_SEQ(log, {"delete 1", "delete 2", "delete 3", "delete 4"});
}

TEST_F(HostTest, ClearingClosesAndDeletesOneComponentAfterTheOther) {
    Strings log;
    TestHost host;
    makeHost(host, 0, 0, 200, 100);
    for (unsigned id = 1; id <= 3; ++id)
        host.addComponent(new Probe(id, &host, {40, 20}, RGB(200, 0, 0), &log), true, false);
    host.getComponent(1)->onCreate();
    host.getComponent(2)->onCreate();
    const CSize contents = host.getContentsSize();
    host.clearComponents();
    EXPECT_SEQ(log, {"delete 1", "close 2", "delete 2", "close 3", "delete 3"});
    EXPECT_EQ(host.getComponentCount(), 0);
    EXPECT_EQ(host.getComponent(0), nullptr);
    EXPECT_EQ(host.getContentsSize(), contents);
    host.Invalidate();
    pump();  // painting and moving over the empty host are fine
    moveTo(host, {10, 10});
}

// The button's release is still on the stack when its command empties the
// host: the button is gone by the time the handler returns.
TEST_F(HostTest, TheCommandHandlerMayClearTheHost) {
    Strings log;
    TestHost host;
    makeHost(host, 0, 0, 200, 100);
    host.addComponent(new Probe(5, &host, {40, 20}, RGB(200, 0, 0), &log), true, false);
    host.addComponent(new Probe(6, &host, {40, 20}, RGB(200, 0, 0), &log), true, false);
    app.onCommandHook = [&](int) { host.clearComponents(); };
    clickAt(host, {10, 10});
    EXPECT_SEQ(app.commands, {5});
    EXPECT_SEQ(log, {"delete 5", "delete 6"});
    EXPECT_EQ(host.getComponentCount(), 0);
    clickAt(host, {15, 10});  // the mouse goes on over the empty host
    EXPECT_SEQ(app.commands, {5});
}

TEST_F(HostTest, TheCommandHandlerMayDeleteTheHost) {
    Strings log;
    auto host = std::make_unique<TestHost>();
    makeHost(*host, 0, 0, 200, 100);
    host->addComponent(new Probe(5, host.get(), {40, 20}, RGB(200, 0, 0), &log), true, false);
    const HWND window = host->m_hWnd;
    app.onCommandHook = [&](int) { host.reset(); };
    clickAt(app, {10, 10});
    EXPECT_SEQ(app.commands, {5});
    EXPECT_EQ(host, nullptr);
    EXPECT_SEQ(log, {"delete 5"});
    EXPECT_FALSE(IsWindow(window));
    clickAt(app, {10, 10});  // the application window is underneath now
    EXPECT_SEQ(app.commands, {5});
}

}  // namespace
