// Creating child windows, and their geometry in the parent's client coordinates.
#include <gtest/gtest.h>

#include <array>

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

// The window is shown only after onCreate. Without a parent creation fails,
// shows nothing, and can be tried again. Centred over another window, it is
// centred over that window's client area, or without WS_CHILD on the screen.
TEST_F(ChildWindowTest, CreationRunsItsStepsInOrderAndCentresOverTheClientArea) {
    RecordingWnd w;
    w.setInitialSize(100, 50);
    EXPECT_FALSE(w.createAt(10, 20, nullptr));
    EXPECT_SEQ(w.take("on"), {"onPreCreate()"});
    EXPECT_EQ(WindowFromPoint(POINT{15, 25}), nullptr);
    ASSERT_TRUE(w.createAt(10, 20, &top));
    EXPECT_SEQ(w.take(), {"onPreCreate()", "getCreateStyle()", "onCreate()", "onSize(0,100,50)"});
    EXPECT_FALSE(w.visibleInOnCreate);
    EXPECT_TRUE(w.IsWindowVisible());
    top.SetFocus();  // focus counts when the window or an ancestor has it
    EXPECT_TRUE(w.HasFocus());
    w.SetFocus();
    EXPECT_FALSE(top.HasFocus());

    CWnd over;  // a 301x200 client area behind a 2-pixel edge
    ASSERT_TRUE(over.CreateEx(WS_EX_CLIENTEDGE, nullptr, L"", WS_CHILD | WS_VISIBLE, 20, 30, 305,
                              204, top, nullptr));
    RecordingWnd centred, popup;
    centred.setInitialSize(100, 50);
    ASSERT_TRUE(centred.createCenteredOver(&over));
    EXPECT_EQ(positionAndSize(centred), (std::array{100, 75, 100, 50}));
    popup.style = WS_POPUP | WS_VISIBLE;
    popup.setInitialSize(100, 50);
    ASSERT_TRUE(popup.createCenteredOver(&over));
    CRect screenRect;
    popup.GetWindowRect(&screenRect);
    EXPECT_EQ(screenRect.TopLeft(), CPoint(kTopX + 122, kTopY + 107));
}

// Positions are in the parent's client coordinates and sizes include the
// frame; setPosition keeps the last client size a WM_SIZE reported. A repaint
// is asked for the next pump, and without one an unchanged rectangle is left
// alone.
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
    framed.setPositionAndSize(1, 2, 80, 40, true);
    EXPECT_SEQ(framed.take("onDraw"), {});  // nothing before the pump
    pump();
    EXPECT_SEQ(framed.take("onDraw"), {"onDraw()"});
    framed.setSize(80, 40, false);
    pump();
    EXPECT_SEQ(framed.take("onDraw"), {});

    RecordingWnd window;  // a top-level frame: its outer size is larger than its client
    window.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    window.setInitialSize(200, 150);
    ASSERT_TRUE(window.createAt(600, 100, nullptr));
    EXPECT_EQ(positionAndSize(window), (std::array{600, 100, 200, 150}));
    EXPECT_EQ(window.size(), CSize(192, 119));
}

}  // namespace
