// The base window's message decoding, driven through the window system as a
// user (SendInput) or a program (SendMessage, PostMessage) would drive it.
#include <gtest/gtest.h>

#include <array>
#include <string>

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
    static constexpr int kChildX = 110, kChildY = 110;
    RecordingWnd child;
};

TEST_F(BaseWindowTest, PaintingDrawsOnceInTheUpdateRegionAndErasingAnswersOne) {
    CRect part(10, 5, 40, 25);
    child.InvalidateRect(&part, FALSE);
    pump();
    EXPECT_SEQ(child.take(), {"onDraw()"});
    EXPECT_EQ(child.lastClip, part);

    child.Invalidate(TRUE);
    pump();
    EXPECT_SEQ(child.take(), {"onEraseBackground()", "onDraw()"});
    EXPECT_EQ(child.lastClip, CRect(0, 0, 100, 50));

    HDC dc = GetDC(child);
    EXPECT_EQ(child.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc)), 1);
    EXPECT_SEQ(child.take(), {"onEraseBackground()"});

    // The default onDraw reads the background colour at every paint.
    const COLORREF saved = YBBaseWnd::m_defaultBgColor;
    YBBaseWnd::m_defaultBgColor = RGB(10, 20, 30);
    child.Invalidate();
    pump();
    EXPECT_EQ(GetPixel(dc, 5, 5), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(dc, 99, 49), RGB(10, 20, 30));
    YBBaseWnd::m_defaultBgColor = saved;
    ReleaseDC(child, dc);
}

TEST_F(BaseWindowTest, SizeMessagesUpdateTheSizeButMinimisingChangesNothing) {
    child.setSize(120, 70, false);
    EXPECT_SEQ(child.take("onSize"), {"onSize(0,120,70)"});

    top.ShowWindow(SW_MINIMIZE);
    pump();
    ASSERT_TRUE(top.IsIconic());
    EXPECT_SEQ(top.take("onSize"), {});
    EXPECT_EQ(top.size(), CSize(400, 300));

    // A maximised size is reported too, with its type.
    top.SendMessage(WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(640, 480));
    EXPECT_SEQ(top.take("onSize"), {"onSize(2,640,480)"});
    EXPECT_EQ(top.size(), CSize(640, 480));
}

TEST_F(BaseWindowTest, TheCursorIsTheArrowOverTheClientAreaElseDefaultProcessingDecides) {
    const HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    SetCursor(LoadCursor(nullptr, IDC_HAND));
    moveTo(kChildX + 20, kChildY + 20);
    EXPECT_SEQ(child.take("onSetCursor"), {call("onSetCursor", HTCLIENT, WM_MOUSEMOVE, true)});
    EXPECT_EQ(GetCursor(), arrow);
    // The child answered: its parent is not asked.
    EXPECT_SEQ(top.take("onSetCursor"), {});

    // Over the sizing border of a framed top-level window the default sizing cursor wins.
    RecordingWnd framed;
    framed.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    framed.setInitialSize(200, 150);
    ASSERT_TRUE(framed.createAt(700, 100, nullptr));
    pump();
    framed.calls.clear();
    moveTo(701, 180);
    EXPECT_SEQ(framed.take("onSetCursor"), {call("onSetCursor", HTLEFT, WM_MOUSEMOVE, false)});
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_SIZEWE));

    // Nowhere: the handler declines and so does the default processing.
    EXPECT_EQ(child.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(child.m_hWnd),
                                MAKELPARAM(HTNOWHERE, WM_MOUSEMOVE)),
              0);
    EXPECT_SEQ(child.take("onSetCursor"), {call("onSetCursor", HTNOWHERE, WM_MOUSEMOVE, false)});
    EXPECT_EQ(framed.handlersOutsideModule, 0);
}

TEST_F(BaseWindowTest, KeysAndCharactersArriveWithRepeatCountAndFlags) {
    child.SetFocus();
    key('A', 0x1E);
    key('A', 0x1E);  // held: the second press is an auto-repeat (bit 30, 0x4000 in the flags)
    key('A', 0x1E, KEYEVENTF_KEYUP);
    pump();
    EXPECT_SEQ(child.take(), {"onKey(1,65,1,30)", "onChar(97,1)", "onKey(1,65,1,16414)",
                              "onChar(97,1)", "onKey(0,65,1,49182)"});

    // Repeat counts above one only come from a program.
    child.SendMessage(WM_KEYDOWN, VK_RIGHT, MAKELPARAM(3, 0x14D));
    child.SendMessage(WM_KEYUP, VK_RIGHT, MAKELPARAM(1, 0xC14D));
    child.SendMessage(WM_CHAR, 'x', MAKELPARAM(2, 0x2D));
    EXPECT_SEQ(child.take(), {"onKey(1,39,3,333)", "onKey(0,39,1,49485)", "onChar(120,2)"});
}

TEST_F(BaseWindowTest, CommandsWithCodeZeroAndIdentifiersInRangeOnly) {
    for (WPARAM wParam : {MAKEWPARAM(1, 0), MAKEWPARAM(60000, 0), MAKEWPARAM(0, 0),
                          MAKEWPARAM(60001, 0), MAKEWPARAM(7, 1), MAKEWPARAM(42, 0)})
        child.SendMessage(WM_COMMAND, wParam, 0);
    EXPECT_SEQ(child.take(), {"onCommand(1)", "onCommand(60000)", "onCommand(42)"});
}

TEST_F(BaseWindowTest, CommandsClimbToTheFirstToolkitParentThatHandlesThem) {
    // top (records) <- middle (plain toolkit) <- leaf (plain toolkit)
    YBChildWnd middle, leaf;
    middle.setInitialSize(200, 100);
    ASSERT_TRUE(middle.createAt(0, 0, &top));
    leaf.setInitialSize(50, 50);
    ASSERT_TRUE(leaf.createAt(0, 0, &middle));
    leaf.SendMessage(WM_COMMAND, MAKEWPARAM(5, 0), 0);
    EXPECT_SEQ(top.take("onCommand"), {"onCommand(5)"});

    // A recording window on the way takes it first.
    RecordingWnd handler;
    makeChild(handler, top, 0, 120, 200, 100);
    YBChildWnd below;
    ASSERT_TRUE(below.createAt(0, 0, &handler));
    below.SendMessage(WM_COMMAND, MAKEWPARAM(6, 0), 0);
    EXPECT_SEQ(handler.take("onCommand"), {"onCommand(6)"});
    EXPECT_SEQ(top.take("onCommand"), {});

    // A plain CWnd in between ends the climb.
    CWnd plain;
    ASSERT_TRUE(
        plain.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, 250, 0, 100, 100, top, nullptr));
    YBChildWnd orphan;
    ASSERT_TRUE(orphan.createAt(0, 0, &plain));
    orphan.SendMessage(WM_COMMAND, MAKEWPARAM(8, 0), 0);
    EXPECT_SEQ(top.take("onCommand"), {});
}

TEST_F(BaseWindowTest, TimersReachOnTimerWhenDue) {
    child.SetTimer(7, 100, nullptr);
    advanceClock(99);
    EXPECT_SEQ(child.take(), {});
    advanceClock(201);
    EXPECT_SEQ(child.take(), {"onTimer(7)", "onTimer(7)", "onTimer(7)"});
    child.KillTimer(7);
}

TEST_F(BaseWindowTest, ScrollCodesWalkTheTableForBothBars) {
    // Codes 0..8 and two unknown ones; 40000 checks the position is not sign-extended.
    constexpr std::array codes{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0xFFFF};
    for (int code : codes)
        child.SendMessage(WM_VSCROLL, MAKEWPARAM(code, 40000), 0);
    EXPECT_SEQ(child.take(),
               {"onScrollUp()", "onScrollDown()", "onScrollPageUp()", "onScrollPageDown()",
                "onVScroll(40000)", "onVScroll(40000)", "onScrollPageHome()", "onScrollPageEnd()"});
    for (int code : codes)
        child.SendMessage(WM_HSCROLL, MAKEWPARAM(code, 123), 0);
    EXPECT_SEQ(child.take(),
               {"onScrollLeft()", "onScrollRight()", "onScrollPageLeft()", "onScrollPageRight()",
                "onHScroll(123)", "onHScroll(123)", "onScrollHome()", "onScrollEnd()"});

}

TEST_F(BaseWindowTest, MouseButtonsMovesAndTheWheelArriveInTheirCoordinates) {
    moveTo(kChildX + 20, kChildY + 15);
    child.calls.clear();
    input(MOUSEEVENTF_LEFTDOWN);
    input(MOUSEEVENTF_LEFTUP);
    advanceClock(50);
    input(MOUSEEVENTF_LEFTDOWN);
    input(MOUSEEVENTF_LEFTUP);
    input(MOUSEEVENTF_RIGHTDOWN);
    input(MOUSEEVENTF_RIGHTUP);
    input(MOUSEEVENTF_MIDDLEDOWN);
    input(MOUSEEVENTF_MIDDLEUP);
    pump();
    EXPECT_SEQ(
        child.take({"onLeft", "onRight", "onMiddle"}),
        {"onLeftMouseButton(1,20,15)", "onLeftMouseButton(0,20,15)", "onLeftMouseButton(2,20,15)",
         "onLeftMouseButton(0,20,15)", "onRightMouseButton(1,20,15)", "onRightMouseButton(0,20,15)",
         "onMiddleMouseButton(1,20,15)", "onMiddleMouseButton(0,20,15)"});
    advanceClock(600);

    input(MOUSEEVENTF_LEFTDOWN);
    moveTo(kChildX + 25, kChildY + 30);
    input(MOUSEEVENTF_LEFTUP);
    moveTo(kChildX + 26, kChildY + 31);
    EXPECT_SEQ(child.take("onMouseMove"),
               {call("onMouseMove", MK_LBUTTON, 25, 30), call("onMouseMove", 0, 26, 31)});

    // Upward, so -120 must keep its sign; the point stays in screen coordinates.
    input(MOUSEEVENTF_WHEEL, static_cast<DWORD>(-120));
    pump();
    EXPECT_SEQ(child.take("onMouseWheel"),
               {call("onMouseWheel", 0, -120, kChildX + 26, kChildY + 31)});
    EXPECT_EQ(child.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, 240), MAKELPARAM(5, 6)), 1);
    EXPECT_SEQ(child.take("onMouseWheel"), {call("onMouseWheel", MK_SHIFT, 240, 5, 6)});
    // Handled: nothing goes on to the parent.
    EXPECT_SEQ(top.take("onMouseWheel"), {});
}

TEST_F(BaseWindowTest, MouseLeaveIsReportedOnceAndCancellingStopsIt) {
    moveTo(kChildX + 20, kChildY + 20);
    child.trackMouseEvents(TME_LEAVE, 400);
    moveTo(kChildX + 30, kChildY + 20);
    EXPECT_SEQ(child.take("onMouseLeave"), {});
    moveTo(kChildX + 200, kChildY + 20);
    moveTo(kChildX + 210, kChildY + 20);
    moveTo(kChildX + 20, kChildY + 20);
    moveTo(kChildX + 200, kChildY + 20);
    EXPECT_SEQ(child.take("onMouseLeave"), {"onMouseLeave()"});

    moveTo(kChildX + 20, kChildY + 20);
    child.trackMouseEvents(TME_LEAVE, 400);
    child.trackMouseEvents(TME_CANCEL | TME_LEAVE, 400);
    moveTo(kChildX + 200, kChildY + 20);
    advanceClock(500);
    EXPECT_SEQ(child.take("onMouseLeave"), {});
}

TEST_F(BaseWindowTest, ApplicationRangeMessagesAreConsumedBeforeDispatch) {
    for (UINT message : {0x7FFFu, 0x8000u, 0xBFFFu, 0xC000u})
        child.PostMessage(message, 1, 2);
    pump();
    EXPECT_SEQ(child.take(), {"onAppMessage(32768,1,2)", "onAppMessage(49151,1,2)"});
    EXPECT_SEQ(child.dispatched, {0x7FFF, 0xC000});

    // The loop asks the target's ancestors too: a plain child's toolkit parent takes it.
    CWnd plain;
    ASSERT_TRUE(
        plain.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, 200, 0, 50, 50, top, nullptr));
    plain.PostMessage(0x8001, 3, 4);
    pump();
    EXPECT_SEQ(top.take("onAppMessage"), {"onAppMessage(32769,3,4)"});

    // Sent messages bypass the loop and reach the window procedure.
    child.dispatched.clear();
    child.SendMessage(0x8000, 0, 0);
    EXPECT_SEQ(child.take(), {});
    EXPECT_SEQ(child.dispatched, {0x8000});
}

// The tracking limits are the client limits grown by the window's frame; a
// zero minimum still sets the frame alone, no maximum leaves the prefilled
// one, and the virtual getMinSize is what counts.
TEST_F(BaseWindowTest, MinMaxInfoAddsTheFrameOfTheWindowsStyle) {
    RecordingWnd w;
    w.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    w.setInitialSize(200, 150);
    ASSERT_TRUE(w.createAt(600, 100, nullptr));
    CRect frame(0, 0, 0, 0);
    AdjustWindowRectEx(&frame, w.GetStyle(), FALSE, w.GetExStyle());
    const CSize border(frame.Width(), frame.Height());
    const auto ask = [&] {
        MINMAXINFO info{};
        info.ptMaxTrackSize = {1111, 2222};
        w.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        return std::pair(CPoint(info.ptMinTrackSize), CPoint(info.ptMaxTrackSize));
    };
    w.setMinSize(100, 80);
    w.setMaxSize(300, 0);  // limits the width only
    EXPECT_EQ(ask(),
              std::pair(CPoint(100 + border.cx, 80 + border.cy), CPoint(300 + border.cx, 2222)));
    w.setMinSize(0, 0);
    w.setMaxSize(0, 0);
    EXPECT_EQ(ask(), std::pair(CPoint(border.cx, border.cy), CPoint(1111, 2222)));
    w.minSize = CSize(50, 40);
    EXPECT_EQ(ask().first, CPoint(50 + border.cx, 40 + border.cy));
    EXPECT_EQ(w.handlersOutsideModule, 0);
}

// A border asked for in the style is taken away: the whole window is client.
TEST_F(BaseWindowTest, ABorderInTheStyleIsRemoved) {
    RecordingWnd bordered;
    bordered.style = WS_CHILD | WS_VISIBLE | WS_BORDER;
    makeChild(bordered, top, 200, 10, 60, 40);
    CRect client;
    bordered.GetClientRect(&client);
    EXPECT_EQ(client.Size(), CSize(60, 40));
}

}  // namespace
