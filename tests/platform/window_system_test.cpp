#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <string>
#include <vector>

#include <tessel/platform/gdi.h>
#include <tessel/platform/input_events.h>
#include <tessel/platform/testing.h>
#include <tessel/platform/win_user.h>

#include "message_recorder.h"

namespace {

using namespace recording;
using tessel::testing::pump;
using WindowSystemTest = RecorderTest;

TEST_F(WindowSystemTest, CreationAndDestructionSendWin32Sequences) {
    HWND c = child(10, 10, 50, 40);
    EXPECT_SEQ(messagesOf(c), {"WM_NCCREATE", "WM_NCCALCSIZE", "WM_CREATE", "WM_SIZE", "WM_MOVE",
                               "WM_SHOWWINDOW", "WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED"});
    HWND grandchild = child(0, 0, 5, 5, WS_CHILD, c);
    DestroyWindow(c);  // the order of the messages: window_sequences_test
    EXPECT_FALSE(IsWindow(c) || IsWindow(grandchild));
    RECT r;
    EXPECT_FALSE(GetWindowRect(c, &r));
    EXPECT_FALSE(SetWindowPos(c, nullptr, 0, 0, 1, 1, 0));
    EXPECT_EQ(SendMessageW(c, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(CreateWindowExW(0, L"Recorder", L"", WS_CHILD, 0, 0, 5, 5, nullptr, nullptr,
                                 nullptr, nullptr));
}

// In client coordinates, with WM_SETCURSOR to the child first (its
// DefWindowProc then asks the parent); double clicks; the capture's owner
// gets the pointer far outside.
TEST_F(WindowSystemTest, ClicksGoToTheChildUnderThePointerAndCaptureHoldsThem) {
    HWND a = child(10, 10, 100, 100);
    HWND b = child(150, 20, 100, 100, WS_CHILD | WS_VISIBLE | WS_BORDER);
    pump();
    g_log.clear();
    SetCursorPos(100 + 150 + 1 + 5, 100 + 20 + 1 + 7);  // 5,7 inside b's client area
    for (int i = 0; i < 2; ++i) {
        mouse(MOUSEEVENTF_LEFTDOWN);
        mouse(MOUSEEVENTF_LEFTUP);
        tessel::testing::advanceClock(100);
    }
    EXPECT_SEQ(messagesOf(a), {});
    EXPECT_SEQ(messagesOf(b), {"WM_MOUSEMOVE", "WM_LBUTTONDOWN", "WM_LBUTTONUP", "WM_LBUTTONDBLCLK",
                               "WM_LBUTTONUP"});
    EXPECT_EQ(calls(WM_LBUTTONDOWN).at(0), (Record{b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(5, 7)}));
    const Records cursorAsked = calls(WM_SETCURSOR);
    ASSERT_GE(cursorAsked.size(), 2u);
    EXPECT_EQ(cursorAsked[0].window, b);
    EXPECT_EQ(cursorAsked[1].window, top);

    g_log.clear();
    SetCapture(a);
    SetCursorPos(600, 600);
    pump();
    ASSERT_SEQ(messagesOf(a), {"WM_MOUSEMOVE"});
    EXPECT_EQ(GET_X_LPARAM(g_log.back().lParam), 600 - 100 - 10);
    ReleaseCapture();
    EXPECT_EQ(g_log.back().message, static_cast<UINT>(WM_CAPTURECHANGED));
}

// With enough children for the spatial index, hits and clipping stay those
// of a plain scan (sibling repaints on moves: window_move_bits_test).
TEST_F(WindowSystemTest, PaintingAndHitsFollowTheStackingOfManySiblings) {
    std::vector<HWND> grid;
    for (int row = 0; row < 10; ++row) {
        for (int column = 0; column < 10; ++column)
            grid.push_back(child(column * 30, row * 20, 30, 20));
    }
    HWND cover = child(0, 0, 60, 40);  // on top of the first four cells
    pump();
    auto under = [](int x, int y) { return WindowFromPoint(POINT{100 + x, 100 + y}); };
    EXPECT_EQ(under(5, 5), cover);
    EXPECT_EQ(under(95, 65), grid[3 * 10 + 3]);
    MoveWindow(grid[33], 320, 150, 30, 20, TRUE);
    EXPECT_EQ(under(95, 65), top);  // the hole it left shows the parent
    EXPECT_EQ(under(325, 155), grid[33]);
    SetWindowPos(grid[0], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(under(5, 5), grid[0]);
    ShowWindow(grid[0], SW_HIDE);
    EXPECT_EQ(under(5, 5), cover);
    DestroyWindow(cover);
    EXPECT_EQ(under(35, 5), grid[1]);
    paintWith(grid[1], RGB(255, 0, 0));
    HWND lid = child(40, 0, 30, 10);
    pump();
    InvalidateRect(grid[1], nullptr, TRUE);
    pump();
    EXPECT_EQ(pixelAt(top, 35, 15), RGB(255, 0, 0));
    EXPECT_NE(pixelAt(top, 45, 5), RGB(255, 0, 0));  // under the lid
    DestroyWindow(lid);
}

// A range shows the bar and narrows the client, a page covering everything
// hides it; a held arrow scrolls a line, repeats and ends; the window
// destroyed while its arrow is held ends the repeat and input goes on.
TEST_F(WindowSystemTest, ScrollBarsAppearWithRangeAndTheirArrowsRepeat) {
    HWND a = child(0, 0, 200, 100);
    RECT client;
    g_log.clear();
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE, 0, 99, 10, 0, 0};
    SetScrollInfo(a, SB_VERT, &info, TRUE);
    GetClientRect(a, &client);
    EXPECT_EQ(client.right, 200 - GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_SEQ(messagesOf(a, {WM_SETCURSOR, WM_NCHITTEST, WM_NCCALCSIZE, WM_WINDOWPOSCHANGING,
                              WM_WINDOWPOSCHANGED, WM_MOVE}),
               {"WM_SIZE"});
    info = {sizeof info, SIF_POS, 0, 0, 0, 500, 0};
    EXPECT_EQ(SetScrollInfo(a, SB_VERT, &info, TRUE), 90);  // clamped to max - page + 1
    info = {sizeof info, SIF_PAGE, 0, 0, 100, 0, 0};
    SetScrollInfo(a, SB_VERT, &info, TRUE);
    GetClientRect(a, &client);
    EXPECT_EQ(client.right, 200);

    info = {sizeof info, SIF_PAGE, 0, 0, 10, 0, 0};
    SetScrollInfo(a, SB_VERT, &info, TRUE);
    g_log.clear();
    SetCursorPos(100 + 200 - 5, 100 + 100 - 5);  // the lower arrow
    mouse(MOUSEEVENTF_LEFTDOWN);
    tessel::testing::advanceClock(400 + 50);
    mouse(MOUSEEVENTF_LEFTUP);
    pump();
    std::vector<int> codes;
    for (const Record& r : calls(WM_VSCROLL))
        codes.push_back(LOWORD(r.wParam));
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(codes.front(), SB_LINEDOWN);
    EXPECT_EQ(codes[1], SB_LINEDOWN);
    EXPECT_EQ(codes.back(), SB_ENDSCROLL);

    g_log.clear();
    mouse(MOUSEEVENTF_LEFTDOWN);
    pump();
    ASSERT_GE(count(a, WM_VSCROLL), 1);
    DestroyWindow(a);
    g_log.clear();
    tessel::testing::advanceClock(2000);  // a repeat would have fired many times
    mouse(MOUSEEVENTF_LEFTUP);
    mouse(MOUSEEVENTF_LEFTDOWN);
    mouse(MOUSEEVENTF_LEFTUP);
    pump();
    EXPECT_EQ(count(top, WM_LBUTTONUP), 2);
    EXPECT_EQ(count(top, WM_LBUTTONDOWN), 1);
}

// A child that, while being destroyed, destroys a sibling and its parent and
// creates a child under the dying parent: no window is touched after it is
// gone (AddressSanitizer), the new one is refused, and input still flows.
TEST_F(WindowSystemTest, DestructionFromInsideDestructionIsSafe) {
    HWND parent = child(0, 0, 200, 200);
    std::vector<HWND> kids;
    for (int i = 0; i < 30; ++i)
        kids.push_back(child(i * 5, 0, 5, 5, WS_CHILD | WS_VISIBLE, parent));
    HWND madeDuringDestroy = reinterpret_cast<HWND>(1);
    g_hooks[kids[3]] = [&](UINT m, WPARAM, LPARAM, LRESULT*) {
        if (m == WM_DESTROY) DestroyWindow(kids[20]), DestroyWindow(parent);
        return false;
    };
    g_hooks[kids[10]] = [&](UINT m, WPARAM, LPARAM, LRESULT*) {
        if (m == WM_DESTROY) madeDuringDestroy = child(0, 0, 10, 10, WS_CHILD | WS_VISIBLE, parent);
        return false;
    };
    DestroyWindow(kids[3]);
    EXPECT_EQ(madeDuringDestroy, nullptr);
    EXPECT_FALSE(IsWindow(parent));
    for (HWND k : kids)
        EXPECT_FALSE(IsWindow(k));
    g_hooks.clear();
    click(100 + 50, 100 + 50);
    EXPECT_EQ(count(top, WM_LBUTTONDOWN), 1);
}

// A child whose class cursor is the hand keeps it inside a parent whose class
// cursor is the arrow, although the parent's DefWindowProc is asked first.
TEST(WindowCursor, ClientAreaShowsTheClassCursorOfTheWindowUnderThePointer) {
    tessel::testing::useVirtualClock();
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW), hand = LoadCursorW(nullptr, IDC_HAND);
    static const bool registered = [&] {
        WNDCLASSW parentClass{0,       DefWindowProcW, 0,       0,       nullptr,
                              nullptr, arrow,          nullptr, nullptr, L"ArrowParent"};
        WNDCLASSW childClass = parentClass;
        childClass.hCursor = hand;
        childClass.lpszClassName = L"HandChild";
        return RegisterClassW(&parentClass) && RegisterClassW(&childClass);
    }();
    ASSERT_TRUE(registered);
    HWND parent = CreateWindowExW(0, L"ArrowParent", L"", WS_POPUP | WS_VISIBLE, 100, 100, 200, 200,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(CreateWindowExW(0, L"HandChild", L"", WS_CHILD | WS_VISIBLE, 20, 20, 50, 50, parent,
                                nullptr, nullptr, nullptr));
    pump();
    auto pointerAt = [](int x, int y) {
        SetCursorPos(x, y);
        tessel::sendMouseInput(MOUSEEVENTF_MOVE);
        pump();
        return GetCursor();
    };
    EXPECT_EQ(pointerAt(130, 130), hand);
    EXPECT_EQ(pointerAt(250, 250), arrow);
    EXPECT_EQ(pointerAt(135, 140), hand);
    DestroyWindow(parent);
}

// The thumb stays inside the track for any range, page and position,
// including ranges that span the whole of int and pages of 2^31 and more.
TEST(ScrollBarThumb, StaysInsideTheTrackForHostileRanges) {
    tessel::testing::useVirtualClock();
    ASSERT_TRUE(registerRecorder());
    HWND w = CreateWindowExW(0, L"Recorder", L"", WS_POPUP | WS_VISIBLE | WS_VSCROLL, 0, 0, 200,
                             500, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(w);
    struct Row {
        int min, max;
        UINT page;
        int pos;
    };
    // The last: the middle of a 10,000,000 range puts the thumb in the middle of the track.
    const Row rows[] = {{0, 9'999'999, 500, 9'999'999},  {INT_MIN, INT_MAX, 0x80000000u, 0},
                        {INT_MIN, INT_MAX, 0, INT_MAX},  {INT_MIN, INT_MAX, 0, INT_MIN},
                        {INT_MIN, INT_MAX, 1, 0},        {INT_MIN, INT_MAX, 0xFFFFFFFFu, 0},
                        {-5, INT_MAX, 100, INT_MAX - 7}, {0, 9'999'999, 500, 5'000'000 - 250}};
    for (const Row& row : rows) {
        SCROLLINFO si{sizeof si, SIF_ALL | SIF_DISABLENOSCROLL, row.min, row.max, row.page, row.pos,
                      0};
        SetScrollInfo(w, SB_VERT, &si, TRUE);
        SCROLLBARINFO info{};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetScrollBarInfo(w, OBJID_VSCROLL, &info));
        const int length = info.rcScrollBar.bottom - info.rcScrollBar.top;
        SCOPED_TRACE(std::to_string(row.min) + ".." + std::to_string(row.max) + " page " +
                     std::to_string(row.page) + " pos " + std::to_string(row.pos));
        if (info.xyThumbBottom == 0) continue;  // no thumb: nothing to scroll
        EXPECT_GE(info.xyThumbTop, info.dxyLineButton);
        EXPECT_LT(info.xyThumbTop, info.xyThumbBottom);
        EXPECT_LE(info.xyThumbBottom, length - info.dxyLineButton);
        if (&row == &rows[std::size(rows) - 1]) {
            EXPECT_NEAR((info.xyThumbTop + info.xyThumbBottom) / 2, length / 2, 2);
        }
    }
    DestroyWindow(w);
}

// A window that invalidates itself in every WM_PAINT never lets the queue
// drain: pump gives up loudly instead of hanging the test.
TEST_F(WindowSystemTest, PumpFailsLoudlyOnAQueueThatNeverDrains) {
    HWND restless = child(10, 10, 50, 50);
    g_hooks[restless] = [restless](UINT m, WPARAM, LPARAM, LRESULT*) {
        if (m != WM_PAINT) return false;
        PAINTSTRUCT ps;
        BeginPaint(restless, &ps);
        EndPaint(restless, &ps);
        InvalidateRect(restless, nullptr, FALSE);
        return true;
    };
    InvalidateRect(restless, nullptr, FALSE);
    ::testing::internal::CaptureStderr();
    EXPECT_THROW(pump(), std::runtime_error);
    const std::string report = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(report.find("0x000f"), std::string::npos) << report;  // WM_PAINT
    EXPECT_NE(report.find("Recorder"), std::string::npos) << report;
    g_hooks.erase(restless);  // once the window behaves, the same pump drains as usual
    EXPECT_LT(pump(), 10);
}

// Top-level windows only, topmost first; the walk stops when asked and
// skips what the procedure destroyed before its turn.
TEST_F(WindowSystemTest, EnumWindowsListsTopLevelWindowsInZOrder) {
    const HWND a = topLevel(0, 0, 20, 20);
    const HWND b = topLevel(0, 0, 20, 20);
    const HWND inner = child(0, 0, 10, 10);
    SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    struct Walk {
        std::vector<HWND> seen;
        std::function<BOOL(HWND)> visit;
    } walk;
    const WNDENUMPROC each = [](HWND w, LPARAM param) {
        auto* state = reinterpret_cast<Walk*>(param);
        state->seen.push_back(w);
        return state->visit(w);
    };
    const auto ours = [&] {
        std::vector<HWND> mine;
        for (const HWND w : walk.seen)
            if (w == a || w == b || w == top || w == inner) mine.push_back(w);
        return mine;
    };
    walk.visit = [](HWND) { return TRUE; };
    EXPECT_TRUE(EnumWindows(each, reinterpret_cast<LPARAM>(&walk)));
    EXPECT_EQ(ours(), (std::vector<HWND>{a, b, top}));

    walk.seen.clear();
    walk.visit = [&](HWND w) { return w != b; };
    EXPECT_FALSE(EnumWindows(each, reinterpret_cast<LPARAM>(&walk)));
    EXPECT_EQ(ours(), (std::vector<HWND>{a, b}));

    // Destroying itself and the next one mid-walk.
    walk.seen.clear();
    walk.visit = [&](HWND w) {
        if (w == a) DestroyWindow(b), DestroyWindow(a);
        return TRUE;
    };
    EXPECT_TRUE(EnumWindows(each, reinterpret_cast<LPARAM>(&walk)));
    EXPECT_EQ(ours(), (std::vector<HWND>{a, top}));
    EXPECT_FALSE(IsWindow(a) || IsWindow(b));
    EXPECT_FALSE(EnumWindows(nullptr, 0));
}

}  // namespace
