#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <vector>

#include <tessel/platform/testing.h>
#include <tessel/platform/win_user.h>

#include "message_recorder.h"

namespace {
using namespace recording;
using WindowSequenceTest = RecorderTest;

TEST_F(WindowSequenceTest, MovingAndResizingReportOnlyWhatChanged) {
    HWND c = child(10, 10, 50, 40, WS_CHILD | WS_VISIBLE | WS_BORDER);
    g_log.clear();
    MoveWindow(c, 30, 20, 50, 40, TRUE);
    EXPECT_SEQ(messagesOf(c), {"WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED", "WM_MOVE"});
    EXPECT_EQ(calls(WM_MOVE).back().lParam, MAKELONG(31, 21));  // the client origin
    g_log.clear();
    MoveWindow(c, 30, 20, 80, 60, TRUE);
    EXPECT_SEQ(messagesOf(c),
               {"WM_WINDOWPOSCHANGING", "WM_NCCALCSIZE", "WM_WINDOWPOSCHANGED", "WM_SIZE"});
    EXPECT_EQ(calls(WM_SIZE).back().lParam, MAKELONG(78, 58));
    g_log.clear();
    SetWindowPos(c, nullptr, 0, 0, 10, 10, SWP_NOZORDER);
    EXPECT_SEQ(messagesOf(c), {"WM_WINDOWPOSCHANGING", "WM_NCCALCSIZE", "WM_WINDOWPOSCHANGED",
                               "WM_MOVE", "WM_SIZE"});
    g_log.clear();
    SetWindowPos(c, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOSENDCHANGING);
    EXPECT_SEQ(messagesOf(c), {"WM_WINDOWPOSCHANGED", "WM_MOVE"});
}

TEST_F(WindowSequenceTest, ZOrderDecidesSiblingOrderAndWhereAClickLands) {
    HWND a = child(10, 10, 100, 100);
    HWND b = child(50, 50, 100, 100);  // created later: on top
    EXPECT_EQ(GetWindow(top, GW_CHILD), b);
    EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), a);
    g_log.clear();
    SetWindowPos(b, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_SEQ(messagesOf(b), {"WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED"});
    EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
    EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), nullptr);
    click(170, 170);
    SetWindowPos(b, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    click(170, 170);
    EXPECT_SEQ(calls(WM_LBUTTONDOWN), {{a, WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(60, 60)},
                                       {b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(20, 20)}});
}

TEST_F(WindowSequenceTest, ShowingHidingMinimisingAndClosing) {
    HWND c = child(10, 10, 50, 50);
    tessel::testing::pump();
    g_log.clear();
    EXPECT_TRUE(ShowWindow(c, SW_HIDE));
    EXPECT_SEQ(messagesOf(c), {"WM_SHOWWINDOW", "WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED"});
    RECT r;
    ASSERT_TRUE(GetUpdateRect(top, &r, FALSE));  // what the child covered shows again
    EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}),
              std::vector<LONG>({10, 10, 60, 60}));
    EXPECT_FALSE(ShowWindow(c, SW_HIDE));
    EXPECT_FALSE(ShowWindow(c, SW_SHOW));
    EXPECT_SEQ(messagesOf(c), {"WM_SHOWWINDOW", "WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED",
                               "WM_SHOWWINDOW", "WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED"});
    EXPECT_SEQ(calls(WM_SHOWWINDOW), {{c, WM_SHOWWINDOW, FALSE, 0}, {c, WM_SHOWWINDOW, TRUE, 0}});

    g_log.clear();
    EXPECT_TRUE(ShowWindow(top, SW_MINIMIZE));
    EXPECT_TRUE(IsIconic(top));
    GetClientRect(top, &r);
    EXPECT_EQ(r.right | r.bottom, 0);
    click(200, 200);  // nothing is there any more
    ShowWindow(top, SW_RESTORE);
    EXPECT_FALSE(IsIconic(top));
    const Records sizes = calls(WM_SIZE);
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_EQ(sizes[0].wParam, static_cast<WPARAM>(SIZE_MINIMIZED));
    EXPECT_EQ(sizes[1], (Record{top, WM_SIZE, SIZE_RESTORED, MAKELONG(400, 300)}));
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

TEST_F(WindowSequenceTest, HitTestingSkipsHiddenDisabledAndTransparentWindows) {
    HWND hidden = child(10, 10, 50, 50, WS_CHILD);
    HWND d = child(100, 10, 50, 50);
    HWND below = child(10, 100, 100, 100);
    HWND cover = child(50, 150, 100, 100);  // a group box over a control, say
    g_hooks[cover] = [](UINT m, WPARAM, LPARAM, LRESULT* result) {
        if (m == WM_NCHITTEST) *result = HTTRANSPARENT;
        return m == WM_NCHITTEST;
    };
    SetFocus(d);
    g_log.clear();
    EXPECT_FALSE(EnableWindow(d, FALSE));
    EXPECT_SEQ(calls(WM_ENABLE), {{d, WM_ENABLE, FALSE, 0}});
    EXPECT_EQ(GetFocus(), nullptr);  // a disabled window cannot keep the keyboard
    EXPECT_EQ(WindowFromPoint({110, 110}), top);
    EXPECT_EQ(ChildWindowFromPoint(top, {10, 10}), hidden);  // this one skips nothing
    EXPECT_EQ(ChildWindowFromPoint(top, {300, 10}), top);
    EXPECT_EQ(ChildWindowFromPoint(top, {400, 10}), nullptr);
    g_log.clear();
    click(100 + 20, 100 + 25);
    click(100 + 120, 100 + 25);
    click(100 + 70, 100 + 170);   // under the cover, over `below`
    click(100 + 130, 100 + 230);  // the cover alone: its parent lies below
    EXPECT_SEQ(calls(WM_LBUTTONDOWN), {{top, WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(20, 25)},
                                       {top, WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(120, 25)},
                                       {below, WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(60, 70)},
                                       {top, WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(130, 230)}});
    EXPECT_SEQ(messagesOf(hidden), {});
    EXPECT_SEQ(messagesOf(d), {});

    EXPECT_TRUE(EnableWindow(d, TRUE));
    EXPECT_SEQ(calls(WM_ENABLE), {{d, WM_ENABLE, TRUE, 0}});
    click(100 + 120, 100 + 25);
    EXPECT_EQ(count(d, WM_LBUTTONDOWN), 1);
    EXPECT_EQ(WindowFromPoint({100 + 120, 100 + 25}), d);
}

TEST_F(WindowSequenceTest, LeaveTrackingPostsOneMouseLeave) {
    HWND a = child(10, 10, 100, 100);
    auto track = [a](DWORD flags) {
        TRACKMOUSEEVENT t{sizeof t, flags, a, 0};
        EXPECT_TRUE(TrackMouseEvent(&t));
        return t.hwndTrack;
    };
    SetCursorPos(150, 150);
    tessel::testing::pump();
    track(TME_LEAVE);
    EXPECT_EQ(track(TME_QUERY), a);
    SetCursorPos(160, 160);
    tessel::testing::pump();
    EXPECT_EQ(count(a, WM_MOUSELEAVE), 0);
    for (int xy : {300, 150, 310})
        SetCursorPos(xy, xy);
    tessel::testing::pump();
    EXPECT_EQ(count(a, WM_MOUSELEAVE), 1);
    EXPECT_EQ(track(TME_QUERY), nullptr);  // tracking ended

    track(TME_LEAVE);  // already outside: at once
    tessel::testing::pump();
    EXPECT_EQ(count(a, WM_MOUSELEAVE), 2);
    SetCursorPos(150, 150);
    tessel::testing::pump();
    track(TME_LEAVE);
    track(TME_LEAVE | TME_CANCEL);
    SetCursorPos(300, 300);
    tessel::testing::pump();
    EXPECT_EQ(count(a, WM_MOUSELEAVE), 2);
}

TEST_F(WindowSequenceTest, WheelGoesUnderThePointerAndClimbsToTheParent) {
    HWND a = child(10, 10, 100, 100);
    SetCursorPos(150, 160);
    for (int delta : {-240, 120}) {
        input(INPUT_MOUSE, MOUSEEVENTF_WHEEL, static_cast<DWORD>(delta));
        tessel::testing::pump();
        const WPARAM wParam = static_cast<WPARAM>(static_cast<WORD>(delta)) << 16;
        EXPECT_SEQ(calls(WM_MOUSEWHEEL), {{a, WM_MOUSEWHEEL, wParam, MAKELONG(150, 160)},
                                          {top, WM_MOUSEWHEEL, wParam, MAKELONG(150, 160)}});
        EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wParam), delta);
        g_log.clear();
    }
}

TEST_F(WindowSequenceTest, FocusChangesAndKeysGoToTheFocusWindow) {
    HWND a = child(10, 10, 50, 50);
    HWND b = child(100, 10, 50, 50);
    SetFocus(a);
    tessel::testing::pump();
    g_log.clear();
    EXPECT_EQ(SetFocus(b), a);
    EXPECT_SEQ(g_log, {{a, WM_KILLFOCUS, reinterpret_cast<WPARAM>(b), 0},
                       {b, WM_SETFOCUS, reinterpret_cast<WPARAM>(a), 0}});
    g_log.clear();
    input(INPUT_KEYBOARD, 0, 'A');
    input(INPUT_KEYBOARD, 0, 'A');  // held: an autorepeat
    input(INPUT_KEYBOARD, KEYEVENTF_KEYUP, 'A');
    input(INPUT_KEYBOARD, 0, VK_SHIFT);
    input(INPUT_KEYBOARD, 0, 'A');
    input(INPUT_KEYBOARD, KEYEVENTF_KEYUP, 'A');
    input(INPUT_KEYBOARD, KEYEVENTF_KEYUP, VK_SHIFT);
    tessel::testing::pump();
    Records keys;
    for (const Record& r : calls({WM_KEYDOWN, WM_KEYUP, WM_CHAR})) {
        if (r.wParam != VK_SHIFT) keys.push_back(r);
    }
    const LPARAM once = 1 | (LPARAM{0x1E} << 16), wasDown = LPARAM{1} << 30,
                 up = wasDown | LPARAM{1} << 31;
    EXPECT_SEQ(keys, {{b, WM_KEYDOWN, 'A', once},
                      {b, WM_CHAR, 'a', once},
                      {b, WM_KEYDOWN, 'A', once | wasDown},
                      {b, WM_CHAR, 'a', once | wasDown},
                      {b, WM_KEYUP, 'A', once | up},
                      {b, WM_KEYDOWN, 'A', once},
                      {b, WM_CHAR, 'A', once},
                      {b, WM_KEYUP, 'A', once | up}});
    DestroyWindow(b);
    EXPECT_EQ(count(b, WM_KILLFOCUS), 1);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WindowSequenceTest, TimersFireOnTimeAndStop) {
    HWND a = child(10, 10, 50, 50);
    HWND b = child(100, 10, 50, 50);
    std::vector<DWORD> times;
    g_hooks[a] = [&times](UINT m, WPARAM, LPARAM, LRESULT*) {
        if (m == WM_TIMER) times.push_back(GetTickCount());
        return false;
    };
    const DWORD start = GetTickCount();
    EXPECT_EQ(SetTimer(a, 7, 100, nullptr), 7u);
    SetTimer(b, 1, 50, nullptr);
    DestroyWindow(b);
    tessel::testing::advanceClock(350);
    EXPECT_SEQ(times, {start + 100, start + 200, start + 300});
    const Record tick{a, WM_TIMER, 7, 0};
    EXPECT_SEQ(calls(WM_TIMER), {tick, tick, tick});
    EXPECT_FALSE(KillTimer(b, 1));
    EXPECT_TRUE(KillTimer(a, 7));
    tessel::testing::advanceClock(500);
    EXPECT_EQ(times.size(), 3u);
}

TEST_F(WindowSequenceTest, ScrollBarThumbDragTrackPressesAndRanges) {
    HWND a = child(0, 0, 200, 100);
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE, 0, 99, 10, 0, 0};
    SetScrollInfo(a, SB_VERT, &info, TRUE);
    using Pairs = std::vector<std::pair<int, int>>;
    auto scrolls = [a] {
        Pairs out;
        for (const Record& r : calls(WM_VSCROLL)) {
            if (r.window == a)
                out.push_back({LOWORD(r.wParam), static_cast<SHORT>(HIWORD(r.wParam))});
        }
        return out;
    };
    tessel::testing::pump();
    g_log.clear();
    // The bar is x 183..199 of a; the thumb starts below the 17 px arrow.
    const int x = 100 + 190, y = 100;
    SetCursorPos(x, y + 20);
    input(INPUT_MOUSE, MOUSEEVENTF_LEFTDOWN);
    SetCursorPos(x, y + 40);
    SetCursorPos(x, y + 60);
    tessel::testing::pump();
    SCROLLINFO track{sizeof track, SIF_TRACKPOS | SIF_POS, 0, 0, 0, 0, 0};
    GetScrollInfo(a, SB_VERT, &track);
    SetCursorPos(x, y + 250);  // far past the end
    input(INPUT_MOUSE, MOUSEEVENTF_LEFTUP);
    tessel::testing::pump();
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
    EXPECT_SEQ(scrolls(), {{SB_PAGEDOWN, 0}, {SB_ENDSCROLL, 0}, {SB_PAGEUP, 0}, {SB_ENDSCROLL, 0}});

    // Nothing left to scroll: the bar stays, disabled.
    info = {sizeof info, SIF_PAGE | SIF_DISABLENOSCROLL, 0, 0, 100, 0, 0};
    SetScrollInfo(a, SB_VERT, &info, TRUE);
    RECT client;
    GetClientRect(a, &client);
    EXPECT_EQ(client.right, 200 - GetSystemMetrics(SM_CXVSCROLL));
    g_log.clear();
    click(x, y + 95);  // its lower arrow
    EXPECT_SEQ(scrolls(), {});

    info = {sizeof info, SIF_RANGE, 50, 10, 0, 0, 0};
    EXPECT_EQ(SetScrollInfo(a, SB_VERT, &info, TRUE), 0);
    info = {sizeof info, SIF_ALL, -1, -1, 0, -1, 0};
    GetScrollInfo(a, SB_VERT, &info);
    EXPECT_EQ(std::vector<int>({info.nMin, info.nMax, info.nPos}), std::vector<int>({0, 0, 0}));
    GetClientRect(a, &client);
    EXPECT_EQ(client.right, 200);
}

TEST_F(WindowSequenceTest, UpdateRegionsAndWhenPaintingHappens) {
    HWND a = child(10, 10, 100, 100);
    tessel::testing::pump();
    g_log.clear();
    RECT r{5, 5, 20, 30}, update;
    InvalidateRect(a, &r, FALSE);
    r = {90, 90, 200, 200};
    InvalidateRect(a, &r, FALSE);
    ASSERT_TRUE(GetUpdateRect(a, &update, FALSE));
    EXPECT_EQ(std::vector<LONG>({update.left, update.top, update.right, update.bottom}),
              std::vector<LONG>({5, 5, 100, 100}));  // clipped to the client area
    ValidateRect(a, nullptr);
    EXPECT_FALSE(GetUpdateRect(a, &update, FALSE));
    tessel::testing::pump();
    EXPECT_TRUE(g_log.empty());

    InvalidateRect(a, nullptr, FALSE);
    UpdateWindow(a);
    EXPECT_SEQ(g_log, {{a, WM_PAINT, 0, 0}});  // at once, without erasing
    EXPECT_EQ(tessel::testing::pump(), 0);
    g_log.clear();
    InvalidateRect(a, nullptr, TRUE);
    tessel::testing::pump();
    EXPECT_SEQ(namesOf(g_log), {"WM_PAINT", "WM_ERASEBKGND"});  // BeginPaint erases

    // A handler that neither paints nor validates is not asked again and again.
    g_hooks[a] = [](UINT m, WPARAM, LPARAM, LRESULT*) { return m == WM_PAINT; };
    InvalidateRect(a, nullptr, TRUE);
    EXPECT_EQ(tessel::testing::pump(), 1);
    EXPECT_FALSE(GetUpdateRect(a, &update, FALSE));
}

TEST_F(WindowSequenceTest, DestructionFromInsideHandlers) {
    // A child's click handler destroys its own top-level parent.
    HWND frame = topLevel(700, 100, 200, 200);
    HWND c = child(10, 10, 50, 50, WS_CHILD | WS_VISIBLE, frame);
    g_hooks[c] = [frame, c](UINT m, WPARAM, LPARAM, LRESULT*) {
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
    EXPECT_EQ(count(c, WM_USER) + count(c, WM_LBUTTONUP), 0);

    // DestroyWindow again from WM_DESTROY and WM_NCDESTROY does nothing.
    HWND d = child(10, 10, 50, 50);
    std::vector<BOOL> again;
    g_hooks[d] = [d, &again](UINT m, WPARAM, LPARAM, LRESULT*) {
        if (m == WM_DESTROY || m == WM_NCDESTROY) again.push_back(DestroyWindow(d));
        return false;
    };
    g_log.clear();
    EXPECT_TRUE(DestroyWindow(d));
    EXPECT_SEQ(again, {FALSE, FALSE});
    EXPECT_EQ(calls({WM_DESTROY, WM_NCDESTROY}).size(), 2u);

    // Mail for a window that is gone is dropped, even if its slot is reused.
    HWND f = child(10, 10, 50, 50);
    EXPECT_TRUE(PostMessageW(f, WM_USER, 1, 2));
    DestroyWindow(f);
    EXPECT_FALSE(PostMessageW(f, WM_USER, 3, 4));
    EXPECT_NE(child(10, 10, 50, 50), f);
    tessel::testing::pump();
    EXPECT_SEQ(calls(WM_USER), {});
}

}  // namespace
