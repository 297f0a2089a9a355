#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include <tessel/platform/testing.h>
#include <tessel/platform/win_user.h>

#include "message_recorder.h"

namespace {
using namespace recording;
using tessel::testing::pump;
using WindowSequenceTest = RecorderTest;

std::vector<LONG> updateEdges(HWND w) {
    RECT r{};
    GetUpdateRect(w, &r, FALSE);
    return {r.left, r.top, r.right, r.bottom};
}
Record down(HWND w, int x, int y) {
    return {w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(x, y)};
}

TEST_F(WindowSequenceTest, PlacementAndStackingReportOnlyWhatChanged) {
    HWND c = child(10, 10, 50, 40, WS_CHILD | WS_VISIBLE | WS_BORDER);
    HWND over = child(60, 50, 100, 100);  // created later: on top
    auto placed = [](HWND w, HWND after, int x, int y, int cx, int cy, UINT flags) {
        g_log.clear();
        SetWindowPos(w, after, x, y, cx, cy, flags);
        return messagesOf(w);
    };
    EXPECT_SEQ(placed(c, nullptr, 30, 20, 50, 40, SWP_NOZORDER),
               {"WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED", "WM_MOVE"});
    EXPECT_EQ(calls(WM_MOVE).back().lParam, MAKELONG(31, 21));  // the client origin
    EXPECT_SEQ(placed(c, nullptr, 30, 20, 80, 60, SWP_NOZORDER),
               {"WM_WINDOWPOSCHANGING", "WM_NCCALCSIZE", "WM_WINDOWPOSCHANGED", "WM_SIZE"});
    EXPECT_EQ(calls(WM_SIZE).back().lParam, MAKELONG(78, 58));
    EXPECT_SEQ(
        placed(c, nullptr, 50, 40, 60, 60, SWP_NOZORDER),
        {"WM_WINDOWPOSCHANGING", "WM_NCCALCSIZE", "WM_WINDOWPOSCHANGED", "WM_MOVE", "WM_SIZE"});
    EXPECT_SEQ(placed(c, nullptr, 55, 45, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOSENDCHANGING),
               {"WM_WINDOWPOSCHANGED", "WM_MOVE"});

    EXPECT_EQ(GetWindow(top, GW_CHILD), over);
    EXPECT_SEQ(placed(over, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE),
               {"WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED"});
    EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), over);
    click(170, 170);
    SetWindowPos(over, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    click(170, 170);
    EXPECT_SEQ(calls(WM_LBUTTONDOWN), {down(c, 14, 24), down(over, 10, 20)});
}

TEST_F(WindowSequenceTest, ShowingHidingPaintingMinimisingAndClosing) {
    HWND c = child(10, 10, 50, 50);
    pump();
    g_log.clear();
    EXPECT_TRUE(ShowWindow(c, SW_HIDE));
    EXPECT_EQ(updateEdges(top), (std::vector<LONG>{10, 10, 60, 60}));  // what the child covered
    EXPECT_FALSE(ShowWindow(c, SW_HIDE) || ShowWindow(c, SW_SHOW));
    EXPECT_SEQ(messagesOf(c), {"WM_SHOWWINDOW", "WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED",
                               "WM_SHOWWINDOW", "WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED"});
    EXPECT_SEQ(calls(WM_SHOWWINDOW), {{c, WM_SHOWWINDOW, FALSE, 0}, {c, WM_SHOWWINDOW, TRUE, 0}});

    // Update regions add up; painting waits for the queue unless asked for.
    pump();
    g_log.clear();
    for (RECT r : {RECT{5, 5, 20, 30}, RECT{40, 40, 200, 200}})
        InvalidateRect(c, &r, FALSE);
    EXPECT_EQ(updateEdges(c), (std::vector<LONG>{5, 5, 50, 50}));  // clipped to the client area
    ValidateRect(c, nullptr);
    EXPECT_FALSE(GetUpdateRect(c, nullptr, FALSE));
    pump();
    EXPECT_TRUE(g_log.empty());

    InvalidateRect(c, nullptr, FALSE);
    UpdateWindow(c);
    EXPECT_SEQ(g_log, {{c, WM_PAINT, 0, 0}});  // at once, without erasing
    EXPECT_EQ(pump(), 0);
    g_log.clear();
    InvalidateRect(c, nullptr, TRUE);
    pump();
    EXPECT_SEQ(namesOf(g_log), {"WM_PAINT", "WM_ERASEBKGND"});  // BeginPaint erases

    // A handler that neither paints nor validates is not asked again and again.
    g_hooks[c] = [](UINT m, WPARAM, LPARAM, LRESULT*) { return m == WM_PAINT; };
    InvalidateRect(c, nullptr, TRUE);
    EXPECT_EQ(pump(), 1);
    EXPECT_FALSE(GetUpdateRect(c, nullptr, FALSE));

    g_log.clear();
    EXPECT_TRUE(ShowWindow(top, SW_MINIMIZE) && IsIconic(top));
    RECT r;
    GetClientRect(top, &r);
    EXPECT_EQ(r.right | r.bottom, 0);
    click(200, 200);  // nothing is there any more
    ShowWindow(top, SW_RESTORE);
    EXPECT_FALSE(IsIconic(top));
    EXPECT_SEQ(calls(WM_SIZE), {{top, WM_SIZE, SIZE_MINIMIZED, 0},
                                {top, WM_SIZE, SIZE_RESTORED, MAKELONG(400, 300)}});
    EXPECT_EQ(count(top, WM_LBUTTONDOWN), 0);

    EXPECT_TRUE(CloseWindow(top));
    EXPECT_TRUE(IsIconic(top) && IsWindow(top));
    ShowWindow(top, SW_RESTORE);
    g_log.clear();
    EXPECT_FALSE(CloseWindow(c));
    EXPECT_SEQ(messagesOf(c), {});
    EXPECT_EQ(SendMessageW(c, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(IsWindow(c));
}

// Clicks skip hidden, disabled and see-through windows; keys go to the focus,
// which a disabled or destroyed window loses. Autorepeat bits and timer
// cadence: tests/windows/base_window_test.cpp.
TEST_F(WindowSequenceTest, InputSkipsHiddenDisabledAndTransparentWindows) {
    HWND hidden = child(10, 10, 50, 50, WS_CHILD);
    HWND d = child(100, 10, 50, 50);
    HWND below = child(10, 100, 100, 100);
    HWND cover = child(50, 150, 100, 100);  // a group box over a control, say
    g_hooks[cover] = [](UINT m, WPARAM, LPARAM, LRESULT* result) {
        *result = HTTRANSPARENT;
        return m == WM_NCHITTEST;
    };
    SetFocus(below);
    pump();
    g_log.clear();
    EXPECT_EQ(SetFocus(d), below);
    input(INPUT_KEYBOARD, 0, VK_SHIFT);
    input(INPUT_KEYBOARD, 0, 'A');
    input(INPUT_KEYBOARD, KEYEVENTF_KEYUP, 'A');
    input(INPUT_KEYBOARD, KEYEVENTF_KEYUP, VK_SHIFT);
    pump();
    const LPARAM once = 1 | (LPARAM{0x1E} << 16), up = LPARAM{3} << 30;
    EXPECT_SEQ(calls({WM_KILLFOCUS, WM_SETFOCUS, WM_KEYDOWN, WM_KEYUP, WM_CHAR}),
               {{below, WM_KILLFOCUS, reinterpret_cast<WPARAM>(d), 0},
                {d, WM_SETFOCUS, reinterpret_cast<WPARAM>(below), 0},
                {d, WM_KEYDOWN, VK_SHIFT, once},
                {d, WM_KEYDOWN, 'A', once},
                {d, WM_CHAR, 'A', once},
                {d, WM_KEYUP, 'A', once | up},
                {d, WM_KEYUP, VK_SHIFT, once | up}});

    g_log.clear();
    EXPECT_FALSE(EnableWindow(d, FALSE));
    EXPECT_EQ(GetFocus(), nullptr);  // a disabled window cannot keep the keyboard
    EXPECT_EQ(WindowFromPoint({110, 110}), top);
    EXPECT_EQ(ChildWindowFromPoint(top, {10, 10}), hidden);  // this one skips nothing
    EXPECT_EQ(ChildWindowFromPoint(top, {300, 10}), top);
    EXPECT_EQ(ChildWindowFromPoint(top, {400, 10}), nullptr);
    // Hidden, disabled, under the cover over `below`, the cover alone, enabled again.
    for (const auto& [x, y] :
         {std::pair(20, 25), std::pair(120, 25), std::pair(70, 170), std::pair(130, 230)})
        click(100 + x, 100 + y);
    EXPECT_TRUE(EnableWindow(d, TRUE));
    click(100 + 120, 100 + 25);
    SetFocus(d);
    DestroyWindow(d);
    EXPECT_SEQ(calls({WM_ENABLE, WM_LBUTTONDOWN, WM_KILLFOCUS}), {{d, WM_KILLFOCUS, 0, 0},
                                                                  {d, WM_ENABLE, FALSE, 0},
                                                                  down(top, 20, 25),
                                                                  down(top, 120, 25),
                                                                  down(below, 60, 70),
                                                                  down(top, 130, 230),
                                                                  {d, WM_ENABLE, TRUE, 0},
                                                                  down(d, 20, 15),
                                                                  {d, WM_KILLFOCUS, 0, 0}});
    EXPECT_EQ(GetFocus(), nullptr);
}

// Leaving ends tracking with one WM_MOUSELEAVE; the wheel goes to the window
// under the pointer and climbs to its parent.
TEST_F(WindowSequenceTest, LeaveTrackingAndTheWheelFollowThePointer) {
    HWND a = child(10, 10, 100, 100);
    auto track = [a](DWORD flags) {
        TRACKMOUSEEVENT t{sizeof t, flags, a, 0};
        EXPECT_TRUE(TrackMouseEvent(&t));
        return t.hwndTrack;
    };
    auto moveTo = [](int xy) {
        SetCursorPos(xy, xy);
        pump();
    };
    moveTo(150);
    track(TME_LEAVE);
    EXPECT_EQ(track(TME_QUERY), a);
    moveTo(160);
    EXPECT_EQ(count(a, WM_MOUSELEAVE), 0);
    for (int xy : {300, 150, 310})
        SetCursorPos(xy, xy);
    pump();
    EXPECT_EQ(count(a, WM_MOUSELEAVE), 1);
    EXPECT_EQ(track(TME_QUERY), nullptr);  // tracking ended
    track(TME_LEAVE);                      // already outside: at once
    pump();
    EXPECT_EQ(count(a, WM_MOUSELEAVE), 2);
    moveTo(150);
    track(TME_LEAVE);
    track(TME_LEAVE | TME_CANCEL);
    moveTo(300);
    EXPECT_EQ(count(a, WM_MOUSELEAVE), 2);

    SetCursorPos(150, 160);
    input(INPUT_MOUSE, MOUSEEVENTF_WHEEL, static_cast<DWORD>(-240));
    pump();
    const WPARAM wParam = WPARAM{static_cast<WORD>(-240)} << 16;
    EXPECT_SEQ(calls(WM_MOUSEWHEEL), {{a, WM_MOUSEWHEEL, wParam, MAKELONG(150, 160)},
                                      {top, WM_MOUSEWHEEL, wParam, MAKELONG(150, 160)}});
}

// Dragging the thumb tracks and ends at the last page; the track pages; a bar
// with nothing to scroll stays disabled; an inverted range is refused.
TEST_F(WindowSequenceTest, ScrollBarThumbDragTrackPressesAndRanges) {
    HWND a = child(0, 0, 200, 100);
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE, 0, 99, 10, 0, 0};
    SetScrollInfo(a, SB_VERT, &info, TRUE);
    auto scrolls = [a] {
        std::vector<std::pair<int, int>> out;
        for (const Record& r : calls(WM_VSCROLL))
            out.push_back({LOWORD(r.wParam), static_cast<SHORT>(HIWORD(r.wParam))});
        return out;
    };
    pump();
    g_log.clear();
    // The bar is x 183..199 of a; the thumb starts below the 17 px arrow.
    const int x = 100 + 190, y = 100;
    SetCursorPos(x, y + 20);
    input(INPUT_MOUSE, MOUSEEVENTF_LEFTDOWN);
    SetCursorPos(x, y + 40);
    SetCursorPos(x, y + 60);
    pump();
    SCROLLINFO track{sizeof track, SIF_TRACKPOS | SIF_POS, 0, 0, 0, 0, 0};
    GetScrollInfo(a, SB_VERT, &track);
    SetCursorPos(x, y + 250);  // far past the end
    input(INPUT_MOUSE, MOUSEEVENTF_LEFTUP);
    pump();
    auto s = scrolls();
    ASSERT_EQ(s.size(), 5u);
    EXPECT_SEQ(s, {{SB_THUMBTRACK, s[0].second},
                   {SB_THUMBTRACK, s[1].second},
                   {SB_THUMBTRACK, 90},  // max - page + 1
                   {SB_THUMBPOSITION, 90},
                   {SB_ENDSCROLL, 0}});
    EXPECT_TRUE(0 < s[0].second && s[0].second < s[1].second && s[1].second < 90);
    EXPECT_EQ(track.nTrackPos, s[1].second);
    EXPECT_EQ(track.nPos, 0);              // the application moves the bar itself
    EXPECT_EQ(count(a, WM_MOUSEMOVE), 0);  // the bar had the pointer

    g_log.clear();
    click(x, y + 60);
    SetScrollPos(a, SB_VERT, 50, TRUE);
    click(x, y + 20);
    info = {sizeof info, SIF_PAGE | SIF_DISABLENOSCROLL, 0, 0, 100, 0, 0};
    SetScrollInfo(a, SB_VERT, &info, TRUE);
    click(x, y + 95);  // the lower arrow of a bar that stays, disabled
    EXPECT_SEQ(scrolls(), {{SB_PAGEDOWN, 0}, {SB_ENDSCROLL, 0}, {SB_PAGEUP, 0}, {SB_ENDSCROLL, 0}});
    RECT client;
    GetClientRect(a, &client);
    EXPECT_EQ(client.right, 200 - GetSystemMetrics(SM_CXVSCROLL));

    info = {sizeof info, SIF_RANGE, 50, 10, 0, 0, 0};
    EXPECT_EQ(SetScrollInfo(a, SB_VERT, &info, TRUE), 0);
    info = {sizeof info, SIF_ALL, -1, -1, 0, -1, 0};
    GetScrollInfo(a, SB_VERT, &info);
    EXPECT_EQ(std::vector<int>({info.nMin, info.nMax, info.nPos}), std::vector<int>({0, 0, 0}));
    GetClientRect(a, &client);
    EXPECT_EQ(client.right, 200);
}

TEST_F(WindowSequenceTest, DestructionFromInsideHandlers) {
    // A child's click handler destroys its own top-level parent; destroying
    // again from WM_DESTROY and WM_NCDESTROY does nothing.
    HWND frame = topLevel(700, 100, 200, 200);
    HWND c = child(10, 10, 50, 50, WS_CHILD | WS_VISIBLE, frame);
    std::vector<BOOL> again;
    g_hooks[c] = [frame, c, &again](UINT m, WPARAM, LPARAM, LRESULT*) {
        if (m == WM_DESTROY || m == WM_NCDESTROY) again.push_back(DestroyWindow(c));
        if (m != WM_LBUTTONDOWN) return false;
        DestroyWindow(frame);
        SendMessageW(c, WM_USER, 0, 0);  // to a dead window: dropped
        return true;
    };
    g_log.clear();
    click(700 + 20, 100 + 20);
    EXPECT_FALSE(IsWindow(frame) || IsWindow(c));
    EXPECT_SEQ(calls({WM_DESTROY, WM_NCDESTROY}), {{frame, WM_DESTROY, 0, 0},
                                                   {c, WM_DESTROY, 0, 0},
                                                   {c, WM_NCDESTROY, 0, 0},
                                                   {frame, WM_NCDESTROY, 0, 0}});
    EXPECT_SEQ(again, {FALSE, FALSE});
    EXPECT_EQ(count(c, WM_USER) + count(c, WM_LBUTTONUP), 0);

    // Mail and timers for a window that is gone are dropped, even if its slot is reused.
    HWND f = child(10, 10, 50, 50);
    EXPECT_TRUE(PostMessageW(f, WM_USER, 1, 2));
    EXPECT_EQ(SetTimer(f, 7, 100, nullptr), 7u);
    DestroyWindow(f);
    EXPECT_FALSE(PostMessageW(f, WM_USER, 3, 4) || KillTimer(f, 7));
    HWND reused = child(10, 10, 50, 50);
    EXPECT_NE(reused, f);
    SetTimer(reused, 1, 100, nullptr);
    tessel::testing::advanceClock(150);
    EXPECT_TRUE(KillTimer(reused, 1));
    tessel::testing::advanceClock(500);
    EXPECT_SEQ(calls({WM_USER, WM_TIMER}), {{reused, WM_TIMER, 1, 0}});
}

}  // namespace
