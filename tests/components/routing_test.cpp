// Pointer routing and painting of a host whose components were moved,
// resized, added and scrolled in every way an application can: each move
// must reach exactly the components, in exactly the order, of a walk over
// all of them, and each paint must show what painting all of them shows.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "components_test.h"

namespace {

using namespace components_test;
using tessel::testing::pump;

// What the walk over every component calls for a move to `p`, from the
// rectangles and bits as they are before it.
Strings expectedWalk(const YBComponentWnd& host, CPoint p) {
    Strings calls;
    for (int i = 0; i < host.getComponentCount(); ++i) {
        const YBComponent* c = host.getComponent(i);
        const std::string id = std::to_string(c->id());
        if (c->rect().PtInRect(p)) {
            if (!c->isMouseOver()) calls.push_back(id + " enter");
            calls.push_back(id + " move");
        } else if (c->isMouseOver()) {
            calls.push_back(id + " leave");
        }
    }
    return calls;
}

int firstIndexAt(const YBComponentWnd& host, CPoint p) {
    for (int i = 0; i < host.getComponentCount(); ++i)
        if (host.getComponent(i)->rect().PtInRect(p)) return i;
    return -1;
}

// The colour painting every component shows at `p`: the last visible one
// holding it, over the background.
COLORREF expectedPixel(const YBComponentWnd& host, CPoint p) {
    COLORREF colour = host.bgColor();
    for (int i = 0; i < host.getComponentCount(); ++i) {
        const auto* c = static_cast<const Probe*>(host.getComponent(i));
        if (c->isVisible() && c->rect().PtInRect(p)) colour = c->colour;
    }
    return colour;
}

// Every pixel of the client (or of `area` in it) that differs from painting everything.
int wrongPixels(YBComponentWnd& host, CRect area) {
    HDC dc = GetDC(host.m_hWnd);
    int wrong = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            wrong += GetPixel(dc, x, y) != expectedPixel(host, CPoint(x, y));
    ReleaseDC(host.m_hWnd, dc);
    return wrong;
}

// A fixed pseudo-random sequence, so a failure repeats.
class Dice {
public:
    int roll(int below) { return static_cast<int>(m_engine() % static_cast<unsigned>(below)); }

private:
    std::minstd_rand m_engine{12345};
};

class RoutingTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        makeHost(host, 0, 0, 240, 150, true);
    }
    Probe* add(CSize size, bool layout = true) {
        const auto id = static_cast<unsigned>(host.getComponentCount());
        auto* c = new Probe(id, &host, size, RGB(40 + 7 * id % 200, 255 - id % 250, 3 * id % 256),
                            nullptr, &log);
        host.addComponent(c, layout, layout);
        return c;
    }
    Probe* at(int index) { return static_cast<Probe*>(host.getComponent(index)); }
    // Moves the real pointer and checks the calls against the full walk.
    void pointTo(CPoint p) {
        SCOPED_TRACE(testing::Message() << "pointer at " << p.x << "," << p.y);
        const Strings expected = expectedWalk(host, p);
        const int hit = firstIndexAt(host, p);
        log.clear();
        moveTo(host, p);
        EXPECT_EQ(log, expected);
        EXPECT_EQ(host.getComponentIndexAt(p), hit);
    }

    TestHost host{RGB(0, 0, 96)};
    Strings log;
};

// Rows, overlaps, components placed off the rows by the application, resized
// ones, empty and tall ones, ones added without a layout, and scrolling in
// between: every move goes to the components the full walk would reach.
TEST_F(RoutingTest, EveryMoveReachesWhatTheFullWalkReachesInItsOrder) {
    Dice dice;
    for (int i = 0; i < 60; ++i)
        add(CSize(20 + dice.roll(50), 10 + dice.roll(25)));
    const CRect client = clientRect(host);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        Probe* some = at(dice.roll(host.getComponentCount()));
        switch (dice.roll(9)) {
            case 0:
                some->setPosition(dice.roll(260) - 20, dice.roll(180) - 20, false);
                break;
            case 1:
                some->setSize(dice.roll(80) - 5, dice.roll(40) - 5, false);
                break;
            case 2:
                some->setPositionAndSize(dice.roll(200), dice.roll(120), 30, 140, false);
                break;
            case 3:
                wheel(dice.roll(2) ? -WHEEL_DELTA : WHEEL_DELTA);
                break;
            case 4:
                add(CSize(10 + dice.roll(60), 10 + dice.roll(30)), dice.roll(2) == 0);
                break;
            case 5:
                some->forceMouseOver();
                break;
            case 6:
                some->hide(false);
                break;
            default:
                break;
        }
        pointTo(CPoint(dice.roll(client.Width()), dice.roll(client.Height())));
        if (::testing::Test::HasFailure()) return;
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
    EXPECT_SEQ(log, {"0 enter", "0 move", "35 leave"});

    at(0)->onEnter = [this] { at(30)->setPosition(0, 0, false); };
    moveTo(host, nowhere);
    log.clear();
    moveTo(host, p);
    EXPECT_SEQ(log, {"0 enter", "0 move", "30 enter", "30 move"});

    at(0)->onEnter = nullptr;
    at(1)->onEnter = [this] {
        Probe* late = add(CSize(10, 10), false);
        late->setPosition(45, 5, false);
    };
    log.clear();
    moveTo(host, {45, 5});
    EXPECT_SEQ(log, {"0 leave", "1 enter", "1 move", "30 leave", "40 enter", "40 move"});
    pointTo({46, 6});
}

// After wheel steps the client shows exactly what painting every component
// shows, partly scrolled-off rows included; so does a repaint of only part
// of the client after every component changed colour.
TEST_F(RoutingTest, PaintingAfterAScrollEqualsPaintingEverything) {
    Dice dice;
    for (int i = 0; i < 120; ++i)
        add(CSize(15 + dice.roll(40), 7 + dice.roll(23)));
    at(5)->hide(false);
    pump();
    const CRect client = clientRect(host);
    for (const int delta : {-WHEEL_DELTA, -2 * WHEEL_DELTA, WHEEL_DELTA}) {
        wheel(delta);
        EXPECT_EQ(wrongPixels(host, client), 0) << "after a wheel of " << delta;
    }
    for (int i = 0; i < host.getComponentCount(); ++i)
        at(i)->colour = RGB(255 - i, i, 128);
    const CRect part(33, 17, 101, 61);
    InvalidateRect(host.m_hWnd, &part, TRUE);
    pump();
    EXPECT_EQ(wrongPixels(host, part), 0);
}

}  // namespace
