// Moving and scrolling windows reuse the pixels that are already right: what
// shows afterwards must equal a full repaint of the same state, only what was
// uncovered is painted, and the messages stay those of Windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include <tessel/platform/gdi.h>
#include <tessel/platform/testing.h>
#include <tessel/platform/win_user.h>

#include "key_strokes.h"
#include "message_recorder.h"

namespace {
using namespace recording;
using tessel::testing::pump;
using Edges = std::vector<LONG>;
const Names kMoved{"WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED", "WM_MOVE"};

void fill(HDC dc, const RECT& r, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

// Stripes that change with every column and every fourth row, in a tone of
// the window's own: a copy that lands one pixel off, or in the wrong window,
// shows.
void paintStripes(HWND w) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    const int tone = static_cast<int>(GetWindowLongPtrW(w, GWLP_USERDATA));
    RECT client;
    GetClientRect(w, &client);
    for (int x = 0; x < client.right; ++x)
        fill(dc, {x, 0, x + 1, client.bottom},
             RGB((x * 37 + tone * 71) & 0xFF, (tone * 53) & 0xFF, 40));
    for (int y = 0; y < client.bottom; y += 4)
        fill(dc, {0, y, client.right, y + 1}, RGB(tone * 19 & 0xFF, (y * 29) & 0xFF, 200));
    EndPaint(w, &ps);
}

class MoveBitsTest : public RecorderTest {
protected:
    static HWND stripe(HWND window, int tone) {
        SetWindowLongPtrW(window, GWLP_USERDATA, tone);
        g_hooks[window] = [window](UINT m, WPARAM, LPARAM, LRESULT*) {
            return m == WM_PAINT && (paintStripes(window), true);
        };
        InvalidateRect(window, nullptr, TRUE);
        return window;
    }
    HWND striped(int x, int y, int w, int h, int tone, DWORD style = WS_CHILD | WS_VISIBLE,
                 HWND parent = {}) {
        return stripe(child(x, y, w, h, style, parent), tone);
    }
    // What the screen shows now against everything painted afresh.
    void expectSameAsFullRepaint() {
        const std::vector<COLORREF> kept = test_support::pixelsOf(top);
        RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        const std::vector<COLORREF> fresh = test_support::pixelsOf(top);
        ASSERT_EQ(kept.size(), fresh.size());
        const auto first = std::ranges::mismatch(kept, fresh).in1 - kept.begin();
        EXPECT_EQ(first, std::ssize(kept)) << "first at x " << first % 400 << ", y " << first / 400;
    }
    static Edges dirty(HWND w) {
        RECT r{};
        GetUpdateRect(w, &r, FALSE);
        return {r.left, r.top, r.right, r.bottom};
    }
};

TEST_F(MoveBitsTest, MovedWindowsShowWhatAFullRepaintShows) {
    stripe(top, 1);
    HWND a = striped(10, 10, 40, 30, 2);
    HWND b = striped(40, 20, 30, 30, 3);    // above a, covering part of it
    HWND c = striped(380, 100, 40, 30, 4);  // half outside the client
    HWND d = striped(100, 60, 30, 24, 5, WS_CHILD | WS_VISIBLE | WS_BORDER);
    striped(3, 3, 10, 8, 6, WS_CHILD | WS_VISIBLE, d);  // moves with d
    pump();

    MoveWindow(a, 13, 11, 40, 30, TRUE);    // further under b
    MoveWindow(c, 370, 100, 40, 30, TRUE);  // more of it comes into view
    // d waits for a repaint in a new tone when it moves: its old pixels are stale.
    stripe(d, 7);
    MoveWindow(d, 102, 61, 30, 24, TRUE);
    MoveWindow(b, 37, 22, 30, 30, TRUE);  // a shows where b was
    SetWindowPos(a, nullptr, 14, 12, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    pump();
    expectSameAsFullRepaint();
}

TEST_F(MoveBitsTest, AMoveRepaintsOnlyWhatItUncoversAndBatchesMoveAtTheirEnd) {
    HWND p = striped(10, 10, 40, 30, 2);
    HWND q = striped(60, 10, 40, 30, 3);  // above p
    HWND far = striped(200, 200, 20, 20, 4);
    pump();
    g_log.clear();

    MoveWindow(p, 11, 10, 40, 30, TRUE);
    EXPECT_EQ(dirty(p), (Edges{0, 0, 0, 0}));  // all of it carried along
    EXPECT_EQ(dirty(top), (Edges{10, 10, 11, 40}));
    pump();
    EXPECT_EQ(count(p, WM_PAINT) + count(q, WM_PAINT) + count(far, WM_PAINT), 0);

    MoveWindow(p, 26, 10, 40, 30, TRUE);  // its right end goes under q
    MoveWindow(q, 70, 10, 40, 30, TRUE);  // and shows again
    EXPECT_EQ(dirty(p), (Edges{34, 0, 40, 30}));
    EXPECT_EQ(dirty(q), (Edges{0, 0, 0, 0}));
    pump();
    EXPECT_EQ(count(far, WM_PAINT), 0);
    expectSameAsFullRepaint();

    // Asked not to, it takes nothing along.
    SetWindowPos(p, nullptr, 27, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOCOPYBITS);
    EXPECT_EQ(dirty(p), (Edges{0, 0, 40, 30}));
    // Entirely outside the parent's client area: nothing to paint at all.
    MoveWindow(far, 500, 200, 20, 20, TRUE);
    pump();
    g_log.clear();
    MoveWindow(far, 501, 200, 20, 20, TRUE);
    pump();
    EXPECT_EQ(count(far, WM_PAINT), 0);

    // A deferred batch moves nothing before its end, then each window as alone.
    g_log.clear();
    HDWP batch = BeginDeferWindowPos(2);
    batch = DeferWindowPos(batch, p, nullptr, 28, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    batch = DeferWindowPos(batch, q, nullptr, 72, 10, 40, 35, SWP_NOZORDER);
    ASSERT_NE(batch, nullptr);
    EXPECT_TRUE(g_log.empty());
    EXPECT_TRUE(EndDeferWindowPos(batch));
    EXPECT_SEQ(messagesOf(p), kMoved);
    EXPECT_SEQ(messagesOf(q), {"WM_WINDOWPOSCHANGING", "WM_NCCALCSIZE", "WM_WINDOWPOSCHANGED",
                               "WM_MOVE", "WM_SIZE"});
    EXPECT_FALSE(EndDeferWindowPos(batch));  // a batch ends once
    pump();
    expectSameAsFullRepaint();

    // A window that is gone drops the batch and scrolls nothing.
    DestroyWindow(far);
    batch = BeginDeferWindowPos(1);
    EXPECT_EQ(DeferWindowPos(batch, far, nullptr, 1, 1, 1, 1, SWP_NOZORDER), nullptr);
    EXPECT_FALSE(EndDeferWindowPos(batch));
    EXPECT_EQ(BeginDeferWindowPos(-1), nullptr);
    EXPECT_EQ(ScrollWindowEx(far, 0, 1, nullptr, nullptr, nullptr, nullptr, 0), ERROR);
}

TEST_F(MoveBitsTest, OverlappingRowsMovedEveryWayShowWhatAFullRepaintShows) {
    stripe(top, 1);
    // Enough windows for the parent to index them; each covers two columns of
    // the one before, on rows a pixel apart, so cuts come from every side.
    std::vector<HWND> row;
    for (int i = 0; i < 30; ++i)
        row.push_back(striped(10 + i * 12, 40 + i % 3, 14, 10, 2 + i % 5));
    striped(60, 30, 3, 40, 8);    // a bar over the middle of windows
    striped(200, 38, 60, 4, 9);   // a band across their tops
    striped(300, 48, 40, 6, 10);  // and one across their bottoms
    pump();
    auto moveRow = [&](int dx, int dy) {
        for (int i = 0; i < 30; ++i) {
            SetWindowPos(row[static_cast<std::size_t>(i)], nullptr, 10 + i * 12 + dx,
                         40 + i % 3 + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    };
    for (const POINT step : {POINT{1, 0}, POINT{0, 0}, POINT{-1, 0}, POINT{0, 2}, POINT{0, -3}}) {
        moveRow(step.x, step.y);
        pump();
        expectSameAsFullRepaint();
    }
    // Moved twice before painting: the second move carries what the first left invalid.
    moveRow(2, 1);
    moveRow(3, 1);
    pump();
    expectSameAsFullRepaint();
}

TEST_F(MoveBitsTest, ScrollingTheClientTakesChildrenAndPixelsAlong) {
    // The parent is one colour: its own drawing knows nothing of scrolling.
    paintWith(top, RGB(90, 140, 30));
    InvalidateRect(top, nullptr, TRUE);
    HWND inside = striped(20, 20, 50, 40, 2);
    HWND lower = striped(100, 280, 50, 40, 3);  // partly below the client
    HWND bordered = striped(200, 10, 30, 30, 4, WS_CHILD | WS_VISIBLE | WS_BORDER);
    pump();
    RECT part{0, 0, 10, 10};
    InvalidateRect(inside, &part, FALSE);  // invalid before the scroll: stays so, moved along
    g_log.clear();

    HRGN update = CreateRectRgn(0, 0, 0, 0);
    RECT strip{}, box{};
    EXPECT_EQ(ScrollWindowEx(top, 0, -15, nullptr, nullptr, update, &strip,
                             SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE),
              SIMPLEREGION);
    GetRgnBox(update, &box);
    DeleteObject(update);
    for (const RECT& r : {strip, box})
        EXPECT_EQ((Edges{r.left, r.top, r.right, r.bottom}), (Edges{0, 285, 400, 300}));
    EXPECT_SEQ(messagesOf(bordered), kMoved);
    EXPECT_EQ(dirty(inside), (Edges{0, 0, 10, 10}));
    EXPECT_EQ(dirty(lower), (Edges{0, 20, 50, 35}));  // what came into view
    EXPECT_EQ(dirty(bordered), (Edges{0, 0, 0, 0}));
    pump();
    expectSameAsFullRepaint();

    // Without SW_SCROLLCHILDREN the children stay and keep their pixels.
    g_log.clear();
    EXPECT_NE(ScrollWindowEx(top, 7, 0, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE), ERROR);
    EXPECT_TRUE(messagesOf(inside).empty());
    pump();
    EXPECT_EQ(count(inside, WM_PAINT) + count(bordered, WM_PAINT), 0);
    expectSameAsFullRepaint();

    // A child that refuses to move leaves no pixels of its own where it would have gone.
    HWND refusing = striped(300, 100, 40, 30, 6);
    pump();
    g_hooks[refusing] = [refusing](UINT m, WPARAM, LPARAM lp, LRESULT*) {
        if (m == WM_WINDOWPOSCHANGING) {
            auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
            pos->x = 300, pos->y = 100;
        } else if (m == WM_PAINT) {
            paintStripes(refusing);
        }
        return m == WM_WINDOWPOSCHANGING || m == WM_PAINT;
    };
    ScrollWindowEx(top, 0, 12, nullptr, nullptr, nullptr, nullptr,
                   SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    pump();
    expectSameAsFullRepaint();
}

}  // namespace
