// Components and their host: repaint requests, the process-wide registry
// that enableAllWithID walks (also across threads), placing components,
// routing a real mouse to them as a walk over all of them would, painting
// them, buttons sending commands, closing, clearing, and hosts deleted by the
// command handler they triggered.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <tessel/components/YBFlowLayout.h>
#include <tessel/foundation/KLConcurrentModificationException.h>

#include "components_test.h"

namespace {

using namespace components_test;
using tessel::testing::advanceClock;

class ButtonTest : public HostTest {
protected:
    Probe* add(unsigned id, CSize size, COLORREF colour = RGB(200, 0, 0), bool layout = true,
               YBComponentWnd* to = nullptr) {
        YBComponentWnd& owner = to ? *to : host;
        auto* p = new Probe(id, &owner, size, colour, &log);
        owner.addComponent(p, layout, layout);
        return p;
    }
    Probe* at(int index) { return static_cast<Probe*>(host.getComponent(index)); }
    Probe* addNext(CSize size, bool layout = true) {
        const auto id = static_cast<unsigned>(host.getComponentCount());
        return add(id, size, RGB(40 + 7 * id % 200, 255 - id % 250, 3 * id % 256), layout);
    }
    int roll(int below) { return static_cast<int>(dice() % static_cast<unsigned>(below)); }
    Strings take() { return std::exchange(log, {}); }

    // Moves the real pointer and checks the calls against what a walk over
    // every component, from the rectangles and bits before it, would make.
    void pointTo(CPoint p) {
        SCOPED_TRACE(testing::Message() << "pointer at " << p.x << "," << p.y);
        Strings expected;
        int hit = -1;
        for (int i = 0; i < host.getComponentCount(); ++i) {
            const std::string id = std::to_string(at(i)->id());
            if (at(i)->rect().PtInRect(p)) {
                if (hit < 0) hit = i;
                if (!at(i)->isMouseOver()) expected.push_back(id + " enter");
                expected.push_back(id + " move " + std::to_string(p.x) + "," + std::to_string(p.y));
            } else if (at(i)->isMouseOver()) {
                expected.push_back(id + " leave");
            }
        }
        log.clear();
        moveTo(host, p);
        EXPECT_EQ(log, expected);
        EXPECT_EQ(host.getComponentIndexAt(p), hit);
    }
    // Pixels of `area` that differ from painting every visible component, in order.
    int wrongPixels(CRect area) {
        const std::vector<COLORREF> shown = pixelsOf(host, area);
        int wrong = 0;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const CPoint p(area.left + static_cast<int>(i) % area.Width(),
                           area.top + static_cast<int>(i) / area.Width());
            COLORREF colour = host.bgColor();
            for (int c = 0; c < host.getComponentCount(); ++c)
                if (at(c)->isVisible() && at(c)->rect().PtInRect(p)) colour = at(c)->colour;
            wrong += shown[i] != colour;
        }
        return wrong;
    }

    Strings log;  // outlives the host's probes
    TestHost host;
    std::minstd_rand dice{12345};  // a fixed sequence, so a failure repeats
};

// Rows wrap before the right edge (one ending on it stays), one wider than
// the client stands alone, the tallest of a row sets the line height.
TEST_F(ButtonTest, ComponentsFlowIntoRows) {
    makeHost(host, 0, 0, 250, 200);
    const CSize sizes[] = {{100, 20}, {150, 10}, {100, 10}, {151, 40}, {300, 25}, {10, 5}};
    const CPoint expected[] = {{0, 0}, {100, 0}, {0, 20}, {0, 30}, {0, 70}, {0, 95}};
    for (unsigned i = 0; i < 6; ++i)
        EXPECT_EQ(add(i + 1, sizes[i])->rect(), CRect(expected[i], sizes[i]));
    EXPECT_EQ(host.getContentsSize(), CSize(300, 100));
    const YBFlowLayout column = YBFlowLayout::compute({{10, 10}, {20, 5}}, 0);  // no client
    EXPECT_SEQ(column.positions, {CPoint(0, 0), CPoint(0, 10)});
}

// Rows, overlaps, components placed off the rows, resized, empty and tall
// ones, ones added without a layout, hidden ones and scrolling in between:
// every move goes to the components the full walk would reach, and the
// client shows what painting every component shows, also where only part of
// it is repainted.
TEST_F(ButtonTest, EveryMoveAndPaintMatchesTheFullWalk) {
    makeHost(host, 0, 0, 240, 150, true);
    for (int i = 0; i < 60; ++i)
        addNext(CSize(20 + roll(50), 10 + roll(25)));
    const CRect client = clientRect(host);
    for (int round = 0; round < 300 && !HasFailure(); ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        Probe* some = at(roll(host.getComponentCount()));
        const std::function<void()> changes[] = {
            [&] { some->setPosition(roll(260) - 20, roll(180) - 20, false); },
            [&] { some->setSize(roll(80) - 5, roll(40) - 5, false); },
            [&] { some->setPositionAndSize(roll(200), roll(120), 30, 140, false); },
            [&] { wheel(roll(2) ? -WHEEL_DELTA : WHEEL_DELTA); },
            [&] { addNext(CSize(10 + roll(60), 10 + roll(30)), roll(2) == 0); },
            [&] { some->forceMouseOver(); },
            [&] { some->hide(false); },
            [] {},
            [] {}};
        changes[roll(9)]();
        pointTo(CPoint(roll(client.Width()), roll(client.Height())));
        if (round % 50 == 49) {
            host.Invalidate();
            EXPECT_EQ(wrongPixels(client), 0);
        }
    }
    for (int i = 0; i < host.getComponentCount(); ++i)
        at(i)->colour = RGB(255 - i, i, 128);
    const CRect part(33, 17, 101, 61);
    InvalidateRect(host, &part, TRUE);
    EXPECT_EQ(wrongPixels(part), 0);
}

// A handler may make a later component mouseOver or move one under the
// pointer: the rest of the same walk sees it.
TEST_F(ButtonTest, HandlersChangingOtherComponentsMidWalkAreFollowed) {
    makeHost(host, 0, 0, 240, 150, true);
    for (int i = 0; i < 40; ++i)
        addNext(CSize(40, 20));  // six to a row
    at(0)->onEnter = [this] { at(35)->forceMouseOver(); };
    moveTo(host, {10, 10});
    EXPECT_SEQ(take(), {"0 enter", "0 move 10,10", "35 leave"});
    at(0)->onEnter = [this] { at(30)->setPosition(0, 0, false); };
    moveTo(host, {230, 145});
    log.clear();
    moveTo(host, {10, 10});
    EXPECT_SEQ(log, {"0 enter", "0 move 10,10", "30 enter", "30 move 10,10"});
}

// Hover repaints once on entering. A command goes out, after the button is
// up, for a press and a release on the enabled button, to the first of
// overlapping ones; a double click is a second command, leaving while
// pressed cancels for good, and a disabled button shows pressed but sends nothing.
TEST_F(ButtonTest, OnlyAPressAndReleaseOnTheEnabledButtonSendsACommand) {
    makeHost(host, 10, 10, 300, 100);
    Probe* button = add(7, {50, 20});
    add(8, {50, 20})->setPosition(30, 0, false);
    EXPECT_EQ(host.getComponentAt(CPoint(90, 50)), nullptr);
    std::vector<bool> pressedAtCommand;
    app.onCommandHook = [&](int) { pressedAtCommand.push_back(button->isPressed()); };
    pump();
    const int draws = host.draws;
    moveTo(host, {20, 10});
    moveTo(host, {25, 10});
    EXPECT_EQ(host.draws, draws + 1);
    moveTo(host, {35, 10});  // over both
    press(), release(), advanceClock(100);
    press(), release();  // a double click in place of the second press
    EXPECT_SEQ(app.commands, {7, 7});
    EXPECT_SEQ(pressedAtCommand, {false, false});
    advanceClock(1000);
    press();
    moveTo(host, {200, 50});
    EXPECT_FALSE(button->isMouseOver());
    moveTo(host, {20, 10});  // coming back does not bring the press back
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
// A command handler may clear or delete the host of the button it came from.
TEST_F(ButtonTest, ClosingClearingAndDeletingTheHostFromACommand) {
    {
        TestHost closing;
        makeHost(closing, 0, 0, 200, 100);
        for (unsigned id = 1; id <= 3; ++id)
            add(id, {40, 20}, 0, true, &closing);
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

    add(5, {40, 20});
    add(6, {40, 20});
    app.onCommandHook = [&](int) { host.clearComponents(); };
    clickAt(host, {10, 10});
    EXPECT_SEQ(take(), {"5 enter", "5 move 10,10", "5 left 1", "5 left 0", "5 delete", "6 delete"});
    clickAt(host, {15, 10});
    auto doomed = std::make_unique<TestHost>();
    makeHost(*doomed, 0, 120, 200, 100);
    add(8, {40, 20}, 0, true, doomed.get());
    const HWND window = doomed->m_hWnd;
    app.onCommandHook = [&](int) { doomed.reset(); };
    clickAt(app, {10, 130});
    EXPECT_FALSE(IsWindow(window));
    clickAt(app, {10, 130});  // the application window is underneath now
    EXPECT_SEQ(app.commands, {5, 8});
}

// With repaint the whole owner is invalidated, even when the bit is already
// as asked; without repaint nothing. Without an owner window nothing crashes.
TEST_F(HostTest, StateChangesRepaintTheWholeOwnerOnlyWhenAsked) {
    TestHost host;
    makeHost(host, 10, 10, 120, 80);
    auto* c = new YBComponent(1, &host);
    host.addComponent(c, true, false);
    const std::function<void(bool)> steps[] = {
        [&](bool r) { c->enable(true, r); }, [&](bool r) { c->disable(true, r); },
        [&](bool r) { c->select(true, r); }, [&](bool r) { c->hide(r); },
        [&](bool r) { c->show(r); }};
    for (const auto& step : steps)
        for (bool repaint : {false, true}) {
            pump();
            step(repaint);
            EXPECT_EQ(updateRect(host), repaint ? CRect(0, 0, 120, 80) : CRect(0, 0, 0, 0));
        }
    CWnd windowless;  // an owner object whose window was never made
    for (CWnd* owner : {static_cast<CWnd*>(nullptr), &windowless}) {
        YBButton b(3, owner);
        b.setPositionAndSize(0, 0, 5, 5, true);
        b.onMouseEnter();
        b.onLeftMouseButton(1, CPoint(1, 1));
        b.onLeftMouseButton(0, CPoint(1, 1));  // a command with nobody to send it to
        YBComponent::disableAllWithID(3, true);
        EXPECT_TRUE(b.isDisabled());
    }
}

// Across a registry much longer than one run of the walk every match
// changes and exactly the owners of matches repaint, once; components whose
// owner is gone are reached without touching it, one added before its host
// had a window repaints that window once laid out, and a copy is not listed.
TEST_F(HostTest, EveryMatchAcrossALongRegistryChangesAndOnlyLiveOwnersRepaint) {
    TestHost first, untouched, later;
    makeHost(first, 0, 0, 100, 100);
    makeHost(untouched, 120, 0, 100, 100);
    auto* early = new Probe(77, &later, {20, 20});
    later.addComponent(early, false, false);
    makeHost(later, 240, 0, 100, 100);
    auto gone = std::make_unique<TestHost>();
    makeHost(*gone, 0, 120, 100, 100);
    std::vector<std::unique_ptr<YBButton>> all;
    YBComponentWnd* owners[] = {&first, &untouched, gone.get()};
    for (int i = 0; i < 2000; ++i)
        all.push_back(
            std::make_unique<YBButton>(i % 3 == 1 ? 79 : (i % 7 == 3 ? 77 : 78), owners[i % 3]));
    gone.reset();
    const YBButton copy(*all[3]);
    pump();

    YBComponent::disableAllWithID(77, true);
    for (std::size_t i = 0; i < all.size(); ++i)
        EXPECT_EQ(all[i]->isDisabled(), i % 7 == 3 && i % 3 != 1) << "component " << i;
    EXPECT_TRUE(early->isDisabled());
    EXPECT_FALSE(copy.isDisabled());
    EXPECT_EQ(updateRect(first), CRect(0, 0, 100, 100));
    EXPECT_EQ(updateRect(later), CRect(0, 0, 100, 100));
    EXPECT_TRUE(updateRect(untouched).IsRectEmpty());
    const int paintsBefore = first.draws;
    pump();
    EXPECT_EQ(first.draws, paintsBefore + 1);
    YBComponent::enableAllWithID(77, true, true);
    EXPECT_TRUE(all[3]->isEnabled());
    pump();
    YBComponent::enableAllWithID(77, false, false);  // disables, and repaints nothing
    EXPECT_TRUE(all[3]->isDisabled() && all[1403]->isDisabled());
    EXPECT_FALSE(all[4]->isDisabled());
    EXPECT_TRUE(updateRect(first).IsRectEmpty());
}

// Components come and go on several threads while another walks the
// registry: a walk may end with KLConcurrentModificationException, and
// nothing else may happen.
TEST(ComponentTest, TheRegistryIsWalkedWhileOtherThreadsChangeIt) {
    const auto before = YBComponent::m_componentList.size();
    std::atomic<int> making{3}, otherFailures{0};
    std::vector<std::jthread> makers;
    for (int t = 0; t < 3; ++t)
        makers.emplace_back([&, t] {
            std::vector<std::unique_ptr<YBButton>> alive;
            for (int i = 0; i < 5000; ++i) {
                alive.push_back(std::make_unique<YBButton>(i % 2 ? 9 : 10 + t, nullptr));
                if (alive.size() > 4) alive.erase(alive.begin() + (i % 3));
            }
            --making;
        });
    for (int walk = 0; making > 0; ++walk) {
        try {
            YBComponent::disableAllWithID(9, walk % 2 == 0);
            YBComponent::enableAllWithID(9, walk % 3 == 0, true);
        } catch (const kelp::KLConcurrentModificationException&) {
        } catch (...) {
            ++otherFailures;
        }
    }
    makers.clear();
    EXPECT_EQ(otherFailures.load(), 0);
    EXPECT_EQ(YBComponent::m_componentList.size(), before);
}

}  // namespace
