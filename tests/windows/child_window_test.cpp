// Creating child windows, their geometry in the parent's client coordinates,
// and focus.
#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "recording_window.h"

namespace {

using namespace windows_test;
using tessel::testing::pump;

using ChildWindowTest = WindowTest;

std::array<int, 4> positionAndSize(YBBaseWnd& w) {
    std::array<int, 4> out{-1, -1, -1, -1};
    w.getPositionAndSize(out[0], out[1], out[2], out[3]);
    return out;
}
CPoint position(YBBaseWnd& w) {
    CPoint p(-1, -1);
    w.getPosition(p.x, p.y);
    return p;
}

TEST_F(ChildWindowTest, CreationRunsItsStepsInOrderAndShowsTheWindow) {
    RecordingWnd w;
    w.setInitialSize(100, 50);
    ASSERT_TRUE(w.createAt(10, 20, &top));
    EXPECT_SEQ(w.take(), {"onPreCreate()", "getCreateStyle()", "onCreate()", "onSize(0,100,50)"});
    EXPECT_FALSE(w.visibleInOnCreate);
    EXPECT_TRUE(w.IsWindowVisible());
    EXPECT_EQ(w.handlersOutsideModule, 0);

    // Without a parent it fails, shows nothing, and can be created again.
    RecordingWnd orphan;
    orphan.setInitialSize(100, 50);
    EXPECT_FALSE(orphan.createAt(10, 20, nullptr));
    EXPECT_EQ(orphan.m_hWnd, nullptr);
    EXPECT_SEQ(orphan.take("on"), {"onPreCreate()"});
    EXPECT_EQ(WindowFromPoint(POINT{15, 25}), nullptr);
    ASSERT_TRUE(orphan.createAt(10, 20, &top));
    EXPECT_TRUE(orphan.IsWindowVisible());
    EXPECT_SEQ(orphan.take("on"), {"onPreCreate()", "onCreate()", "onSize(0,100,50)"});
}

TEST_F(ChildWindowTest, CentredOverTheClientAreaOfAnotherWindow) {
    CWnd over;  // a 301x200 client area behind a 2-pixel edge
    ASSERT_TRUE(over.CreateEx(WS_EX_CLIENTEDGE, nullptr, L"", WS_CHILD | WS_VISIBLE, 20, 30, 305,
                              204, top, nullptr));
    RecordingWnd centred;
    centred.setInitialSize(100, 50);
    ASSERT_TRUE(centred.createCenteredOver(&over));
    EXPECT_EQ(position(centred), CPoint(100, 75));

    // Without WS_CHILD the same centre is computed on the screen.
    RecordingWnd popup;
    popup.style = WS_POPUP | WS_VISIBLE;
    popup.setInitialSize(100, 50);
    ASSERT_TRUE(popup.createCenteredOver(&over));
    CPoint overOrigin(0, 0);
    over.ClientToScreen(&overOrigin);
    EXPECT_EQ(overOrigin, CPoint(kTopX + 22, kTopY + 32));
    CRect screenRect;
    popup.GetWindowRect(&screenRect);
    EXPECT_EQ(screenRect,
              CRect(overOrigin.x + 100, overOrigin.y + 75, overOrigin.x + 200, overOrigin.y + 125));
}

// Positions are in the parent's client coordinates and sizes include the frame;
// setPosition keeps the last client size a WM_SIZE reported.
TEST_F(ChildWindowTest, GeometryIsReadAndWrittenInTheParentsClientCoordinates) {
    RecordingWnd framed;  // a 2-pixel client edge
    framed.exStyle = WS_EX_CLIENTEDGE;
    makeChild(framed, top, 20, 30, 100, 50);
    EXPECT_EQ(positionAndSize(framed), (std::array{20, 30, 100, 50}));
    EXPECT_EQ(framed.size(), CSize(96, 46));

    RecordingWnd inner;  // inside the frame: the frame does not shift its position
    makeChild(inner, framed, 5, 6, 10, 10);
    EXPECT_EQ(positionAndSize(inner), (std::array{5, 6, 10, 10}));

    framed.setSize(120, 60, false);
    framed.setPosition(7, 8, false);
    EXPECT_EQ(positionAndSize(framed), (std::array{7, 8, 116, 56}));

    framed.setPositionAndSize(1, 2, 80, 40, false);
    EXPECT_EQ(positionAndSize(framed), (std::array{1, 2, 80, 40}));
    EXPECT_SEQ(framed.take("onSize"), {"onSize(0,116,56)", "onSize(0,112,52)", "onSize(0,76,36)"});

    // A top-level frame: its outer size is larger than the client size it reports.
    RecordingWnd window;
    window.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    window.setInitialSize(200, 150);
    ASSERT_TRUE(window.createAt(600, 100, nullptr));
    EXPECT_EQ(positionAndSize(window), (std::array{600, 100, 200, 150}));
    EXPECT_EQ(window.size(), CSize(192, 119));
    window.setPosition(610, 120, false);
    EXPECT_EQ(positionAndSize(window), (std::array{610, 120, 192, 119}));
}

TEST_F(ChildWindowTest, RepaintingAsksForADrawAtTheNextPump) {
    RecordingWnd w;
    makeChild(w, top, 20, 30, 100, 50);
    const std::function<void()> repaints[] = {[&] { w.setSize(100, 50, true); },
                                              [&] { w.setPositionAndSize(25, 30, 100, 50, true); }};
    for (const auto& repaint : repaints) {
        repaint();
        EXPECT_SEQ(w.take("onDraw"), {});  // nothing before the pump
        pump();
        EXPECT_SEQ(w.take("onDraw"), {"onDraw()"});
    }

    // Without repaint an unchanged rectangle is left alone.
    w.setSize(100, 50, false);
    w.setPositionAndSize(25, 30, 100, 50, false);
    pump();
    EXPECT_SEQ(w.take("onDraw"), {});
}

TEST(ChildWindowWithoutWindow, ReadsGiveZeroAndWritesDoNothing) {
    RecordingWnd w;
    w.setInitialSize(30, 40);
    EXPECT_EQ(positionAndSize(w), (std::array{0, 0, 0, 0}));
    w.setPosition(1, 2, true);
    w.setSize(3, 4, true);
    w.setPositionAndSize(5, 6, 7, 8, true);
    EXPECT_EQ(w.m_hWnd, nullptr);
    EXPECT_FALSE(w.HasFocus());
}

TEST_F(ChildWindowTest, FocusCountsWhenTheWindowOrAnAncestorHasIt) {
    RecordingWnd child, grandchild;
    makeChild(child, top, 10, 10, 200, 200);
    makeChild(grandchild, child, 10, 10, 50, 50);
    const auto focus = [&] {
        return std::array{top.HasFocus(), child.HasFocus(), grandchild.HasFocus()};
    };
    top.SetFocus();
    EXPECT_EQ(focus(), (std::array{true, true, true}));
    child.SetFocus();
    EXPECT_EQ(focus(), (std::array{false, true, true}));
    grandchild.SetFocus();
    EXPECT_EQ(focus(), (std::array{false, false, true}));
    SetFocus(nullptr);
    EXPECT_EQ(focus(), (std::array{false, false, false}));
}

}  // namespace
