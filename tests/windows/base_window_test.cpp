// The base window's message decoding, driven through the window system as a
// user (SendInput) or a program (SendMessage, PostMessage) would drive it.
#include <gtest/gtest.h>

#include <utility>

#include "recording_window.h"

namespace {

using namespace windows_test;
using tessel::testing::advanceClock;
using tessel::testing::pump;

// Child at (10, 10) in the top window: its client origin is at screen (110, 110).
class BaseWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        makeChild(child, top, 10, 10, 100, 50);
    }
    void TearDown() override {
        EXPECT_EQ(child.handlersOutsideModule, 0);
        WindowTest::TearDown();
    }
    static void over(int x, int y) { moveTo(110 + x, 110 + y); }
    // A framed top-level recording window at (x, 100), 200x150.
    static void makeFramed(RecordingWnd& w, int x) {
        w.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
        w.setInitialSize(200, 150);
        ASSERT_TRUE(w.createAt(x, 100, nullptr));
        pump();
        w.calls.clear();
    }
    RecordingWnd child;
};

// Erasing answers one, the default draw reads the background colour at every
// paint, and a border asked for in the style is taken away. Minimising
// changes no size; a maximised one is reported with its type.
TEST_F(BaseWindowTest, PaintingDrawsInTheUpdateRegionAndSizesArriveWithTheirType) {
    CRect part(10, 5, 40, 25);
    child.InvalidateRect(&part, FALSE);
    pump();
    EXPECT_SEQ(child.take(), {"onDraw()"});
    EXPECT_EQ(child.lastClip, part);
    HDC dc = GetDC(child);
    EXPECT_EQ(child.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc)), 1);
    EXPECT_SEQ(child.take(), {"onEraseBackground()"});
    const COLORREF saved = std::exchange(YBBaseWnd::m_defaultBgColor, RGB(10, 20, 30));
    child.Invalidate();
    pump();
    EXPECT_SEQ(child.take(), {"onEraseBackground()", "onDraw()"});
    EXPECT_EQ(GetPixel(dc, 99, 49), RGB(10, 20, 30));
    YBBaseWnd::m_defaultBgColor = saved;
    ReleaseDC(child, dc);
    RecordingWnd bordered;
    bordered.style = WS_CHILD | WS_VISIBLE | WS_BORDER;
    makeChild(bordered, top, 200, 10, 60, 40);
    EXPECT_EQ(bordered.size(), CSize(60, 40));

    child.setSize(120, 70, false);
    EXPECT_SEQ(child.take("onSize"), {"onSize(0,120,70)"});
    top.ShowWindow(SW_MINIMIZE);
    pump();
    EXPECT_SEQ(top.take("onSize"), {});
    EXPECT_EQ(top.size(), CSize(400, 300));
    top.SendMessage(WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(640, 480));
    EXPECT_SEQ(top.take("onSize"), {"onSize(2,640,480)"});
    EXPECT_EQ(top.size(), CSize(640, 480));
}

// The arrow over the client area, and the parent is not asked; over a
// sizing border the default sizing cursor.
TEST_F(BaseWindowTest, TheCursorIsTheArrowOverTheClientAreaElseDefaultProcessingDecides) {
    SetCursor(LoadCursor(nullptr, IDC_HAND));
    over(20, 20);
    EXPECT_SEQ(child.take("onSetCursor"), {call("onSetCursor", HTCLIENT, WM_MOUSEMOVE, true)});
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));
    EXPECT_SEQ(top.take("onSetCursor"), {});
    RecordingWnd framed;
    makeFramed(framed, 700);
    moveTo(701, 180);
    EXPECT_SEQ(framed.take("onSetCursor"), {call("onSetCursor", HTLEFT, WM_MOUSEMOVE, false)});
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_SIZEWE));
}

// A held key's second press is an auto-repeat (bit 30, 0x4000 in the flags);
// repeat counts above one only come from a program. Timers fire when due.
TEST_F(BaseWindowTest, KeysCharactersAndTimersArriveWithTheirArguments) {
    child.SetFocus();
    key('A', 0x1E);
    key('A', 0x1E);
    key('A', 0x1E, KEYEVENTF_KEYUP);
    pump();
    EXPECT_SEQ(child.take(), {"onKey(1,65,1,30)", "onChar(97,1)", "onKey(1,65,1,16414)",
                              "onChar(97,1)", "onKey(0,65,1,49182)"});
    child.SendMessage(WM_KEYDOWN, VK_RIGHT, MAKELPARAM(3, 0x14D));
    child.SendMessage(WM_CHAR, 'x', MAKELPARAM(2, 0x2D));
    EXPECT_SEQ(child.take(), {"onKey(1,39,3,333)", "onChar(120,2)"});
    child.SetTimer(7, 100, nullptr);
    advanceClock(99);
    EXPECT_SEQ(child.take(), {});
    advanceClock(201);
    EXPECT_SEQ(child.take(), {"onTimer(7)", "onTimer(7)", "onTimer(7)"});
    child.KillTimer(7);
}

// Only code 0 and identifiers 1..60000 are commands; they climb to the first
// toolkit parent that handles them, and a plain CWnd on the way ends it.
// Posted application-range messages go to the loop's pre-translation, also
// from a plain child to its toolkit parent; sent ones reach the procedure.
TEST_F(BaseWindowTest, CommandsAndApplicationMessagesReachTheFirstToolkitWindowUp) {
    for (WPARAM wParam : {MAKEWPARAM(1, 0), MAKEWPARAM(60000, 0), MAKEWPARAM(0, 0),
                          MAKEWPARAM(60001, 0), MAKEWPARAM(7, 1)})
        child.SendMessage(WM_COMMAND, wParam, 0);
    EXPECT_SEQ(child.take(), {"onCommand(1)", "onCommand(60000)"});
    YBChildWnd middle, leaf, orphan;  // plain toolkit windows
    ASSERT_TRUE(middle.createAt(0, 0, &top));
    ASSERT_TRUE(leaf.createAt(0, 0, &middle));
    leaf.SendMessage(WM_COMMAND, MAKEWPARAM(5, 0), 0);
    EXPECT_SEQ(top.take("onCommand"), {"onCommand(5)"});
    CWnd plain;
    ASSERT_TRUE(
        plain.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, 250, 0, 50, 50, top, nullptr));
    ASSERT_TRUE(orphan.createAt(0, 0, &plain));
    orphan.SendMessage(WM_COMMAND, MAKEWPARAM(8, 0), 0);
    EXPECT_SEQ(top.take("onCommand"), {});

    for (UINT message : {0x7FFFu, 0x8000u, 0xBFFFu, 0xC000u})
        child.PostMessage(message, 1, 2);
    pump();
    EXPECT_SEQ(child.take(), {"onAppMessage(32768,1,2)", "onAppMessage(49151,1,2)"});
    EXPECT_SEQ(child.dispatched, {0x7FFF, 0xC000});
    plain.PostMessage(0x8001, 3, 4);
    pump();
    EXPECT_SEQ(top.take("onAppMessage"), {"onAppMessage(32769,3,4)"});
    child.SendMessage(0x8000, 0, 0);
    EXPECT_SEQ(child.take(), {});
    EXPECT_SEQ(child.dispatched, {0x7FFF, 0xC000, 0x8000});
}

// Codes 0..8 and two unknown ones; 40000 checks the position is not sign-extended.
TEST_F(BaseWindowTest, ScrollCodesWalkTheTableForBothBars) {
    for (UINT bar : {WM_VSCROLL, WM_HSCROLL})
        for (int code : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0xFFFF})
            child.SendMessage(bar, MAKEWPARAM(code, bar == WM_VSCROLL ? 40000 : 123), 0);
    EXPECT_SEQ(child.take(),
               {"onScrollUp()", "onScrollDown()", "onScrollPageUp()", "onScrollPageDown()",
                "onVScroll(40000)", "onVScroll(40000)", "onScrollPageHome()", "onScrollPageEnd()",
                "onScrollLeft()", "onScrollRight()", "onScrollPageLeft()", "onScrollPageRight()",
                "onHScroll(123)", "onHScroll(123)", "onScrollHome()", "onScrollEnd()"});
}

// A quick second press is a double click (action 2); the wheel's -120 keeps
// its sign and its point stays in screen coordinates. A mouse leave is the
// button window's test.
TEST_F(BaseWindowTest, MouseButtonsMovesAndTheWheelArriveInTheirCoordinates) {
    over(20, 15);
    for (DWORD flags : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN,
                        MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_MIDDLEUP})
        input(flags);
    EXPECT_SEQ(child.take({"onLeft", "onRight", "onMiddle"}),
               {"onLeftMouseButton(1,20,15)", "onLeftMouseButton(0,20,15)",
                "onLeftMouseButton(2,20,15)", "onRightMouseButton(1,20,15)",
                "onMiddleMouseButton(0,20,15)"});
    over(25, 30);
    input(MOUSEEVENTF_LEFTUP);
    input(MOUSEEVENTF_RIGHTUP);
    over(26, 31);
    EXPECT_SEQ(child.take("onMouseMove"), {call("onMouseMove", MK_LBUTTON | MK_RBUTTON, 25, 30),
                                           call("onMouseMove", 0, 26, 31)});
    input(MOUSEEVENTF_WHEEL, static_cast<DWORD>(-120));
    EXPECT_SEQ(child.take("onMouseWheel"), {call("onMouseWheel", 0, -120, 136, 141)});
    EXPECT_EQ(child.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, 240), MAKELPARAM(5, 6)), 1);
    EXPECT_SEQ(top.take("onMouseWheel"), {});  // handled: it goes no further
}

// The tracking limits are the client limits grown by the window's frame; a
// zero minimum still sets the frame alone, no maximum leaves the prefilled
// one, and the virtual getMinSize is what counts.
TEST_F(BaseWindowTest, MinMaxInfoAddsTheFrameOfTheWindowsStyle) {
    RecordingWnd w;
    makeFramed(w, 600);
    CRect frame(0, 0, 0, 0);
    AdjustWindowRectEx(&frame, w.GetStyle(), FALSE, w.GetExStyle());
    const auto limits = [&](int minX, int minY, int maxX, int maxY) {
        MINMAXINFO info{};
        info.ptMaxTrackSize = {1111, 2222};
        w.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(CRect(CPoint(info.ptMinTrackSize), CPoint(info.ptMaxTrackSize)),
                  CRect(minX + frame.Width(), minY + frame.Height(), maxX, maxY));
    };
    w.setMinSize(100, 80);
    w.setMaxSize(300, 0);  // limits the width only
    limits(100, 80, 300 + frame.Width(), 2222);
    w.setMinSize(0, 0);
    w.setMaxSize(0, 0);
    limits(0, 0, 1111, 2222);
    w.minSize = CSize(50, 40);
    limits(50, 40, 1111, 2222);
}

}  // namespace
