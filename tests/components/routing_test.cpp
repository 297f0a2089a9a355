// Pointer routing and painting of a host whose components were moved,
// resized, added and scrolled in every way an application can: each move
// must reach exactly the components, in exactly the order, of a walk over
// all of them, and each paint must show what painting all of them shows.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "components_test.h"

namespace {

using namespace components_test;

class RoutingTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        makeHost(host, 0, 0, 240, 150, true);
    }
    Probe* add(CSize size, bool layout = true) {
        const auto id = static_cast<unsigned>(host.getComponentCount());
        auto* c = new Probe(id, &host, size, RGB(40 + 7 * id % 200, 255 - id % 250, 3 * id % 256),
                            &log);
        host.addComponent(c, layout, layout);
        return c;
    }
    Probe* at(int index) { return static_cast<Probe*>(host.getComponent(index)); }
    int roll(int below) { return static_cast<int>(dice() % static_cast<unsigned>(below)); }

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
        pump();
        HDC dc = GetDC(host.m_hWnd);
        int wrong = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) {
                COLORREF colour = host.bgColor();
                for (int i = 0; i < host.getComponentCount(); ++i)
                    if (at(i)->isVisible() && at(i)->rect().PtInRect(CPoint(x, y)))
                        colour = at(i)->colour;
                wrong += GetPixel(dc, x, y) != colour;
            }
        ReleaseDC(host.m_hWnd, dc);
        return wrong;
    }

    Strings log;  // outlives the host's probes
    TestHost host{RGB(0, 0, 96)};
    std::minstd_rand dice{12345};  // a fixed sequence, so a failure repeats
};

// Rows, overlaps, components placed off the rows by the application, resized
// ones, empty and tall ones, ones added without a layout, and scrolling in
// between: every move goes to the components the full walk would reach.
TEST_F(RoutingTest, EveryMoveReachesWhatTheFullWalkReachesInItsOrder) {
    for (int i = 0; i < 60; ++i)
        add(CSize(20 + roll(50), 10 + roll(25)));
    const CRect client = clientRect(host);
    for (int round = 0; round < 300 && !HasFailure(); ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        Probe* some = at(roll(host.getComponentCount()));
        switch (roll(9)) {
            case 0: some->setPosition(roll(260) - 20, roll(180) - 20, false); break;
            case 1: some->setSize(roll(80) - 5, roll(40) - 5, false); break;
            case 2: some->setPositionAndSize(roll(200), roll(120), 30, 140, false); break;
            case 3: wheel(roll(2) ? -WHEEL_DELTA : WHEEL_DELTA); break;
            case 4: add(CSize(10 + roll(60), 10 + roll(30)), roll(2) == 0); break;
            case 5: some->forceMouseOver(); break;
            case 6: some->hide(false); break;
            default: break;
        }
        pointTo(CPoint(roll(client.Width()), roll(client.Height())));
    }
}

// A handler may move another component under the pointer, make a later one
// mouseOver or add one under the pointer: the rest of the same walk sees it.
TEST_F(RoutingTest, HandlersChangingOtherComponentsMidWalkAreFollowed) {
    for (int i = 0; i < 40; ++i)
        add(CSize(40, 20));
    const CPoint p(10, 10);          // on component 0 only
    const CPoint nowhere(230, 145);  // six to a row, seven rows: past the last one
    at(0)->onEnter = [this] { at(35)->forceMouseOver(); };
    moveTo(host, nowhere);
    log.clear();
    moveTo(host, p);
    EXPECT_SEQ(log, {"0 enter", "0 move 10,10", "35 leave"});

    at(0)->onEnter = [this] { at(30)->setPosition(0, 0, false); };
    moveTo(host, nowhere);
    log.clear();
    moveTo(host, p);
    EXPECT_SEQ(log, {"0 enter", "0 move 10,10", "30 enter", "30 move 10,10"});

    at(0)->onEnter = nullptr;
    at(1)->onEnter = [this] { add(CSize(10, 10), false)->setPosition(45, 5, false); };
    log.clear();
    moveTo(host, {45, 5});
    EXPECT_SEQ(log, {"0 leave", "1 enter", "1 move 45,5", "30 leave", "40 enter", "40 move 45,5"});
    pointTo({46, 6});
}

// After wheel steps the client shows exactly what painting every component
// shows, partly scrolled-off rows included; so does a repaint of only part
// of the client after every component changed colour.
TEST_F(RoutingTest, PaintingAfterAScrollEqualsPaintingEverything) {
    for (int i = 0; i < 120; ++i)
        add(CSize(15 + roll(40), 7 + roll(23)));
    at(5)->hide(false);
    for (const int delta : {-WHEEL_DELTA, -2 * WHEEL_DELTA, WHEEL_DELTA}) {
        wheel(delta);
        EXPECT_EQ(wrongPixels(clientRect(host)), 0) << "after a wheel of " << delta;
    }
    for (int i = 0; i < host.getComponentCount(); ++i)
        at(i)->colour = RGB(255 - i, i, 128);
    const CRect part(33, 17, 101, 61);
    InvalidateRect(host.m_hWnd, &part, TRUE);
    EXPECT_EQ(wrongPixels(part), 0);
}

}  // namespace
