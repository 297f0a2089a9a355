// Input dispatch and scrolling over n child windows (rows of 100 cells of
// 12x8 pixels, up to 100x100): one pointer move routed through hit testing,
// WM_SETCURSOR and WM_MOUSEMOVE; and every child moved by one pixel, which is
// what one scroll step of a window-based list costs.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include <tessel/platform/testing.h>
#include <tessel/platform/win_user.h>

#include "../support/table.h"

namespace {

constexpr int kColumns = 100, kCellWidth = 12, kCellHeight = 8;
long g_messages = 0;

LRESULT CALLBACK counting(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ++g_messages;
    return DefWindowProcW(window, message, wParam, lParam);
}

struct Grid {
    HWND top;
    int rows;
    std::vector<HWND> children;
    explicit Grid(int count) : rows((count + kColumns - 1) / kColumns) {
        tessel::testing::useVirtualClock();
        static const bool registered = [] {
            WNDCLASSW c{
                0,       counting, 0,      0, nullptr, nullptr, LoadCursorW(nullptr, IDC_ARROW),
                nullptr, nullptr,  L"Cell"};
            return RegisterClassW(&c) != 0;
        }();
        (void)registered;
        top =
            CreateWindowExW(0, L"Cell", L"grid", WS_POPUP | WS_VISIBLE, 0, 0, kColumns * kCellWidth,
                            rows * kCellHeight, nullptr, nullptr, nullptr, nullptr);
        for (int i = 0; i < count; ++i) {
            const int column = i % kColumns, row = i / kColumns;
            children.push_back(CreateWindowExW(0, L"Cell", L"", WS_CHILD | WS_VISIBLE,
                                               column * kCellWidth, row * kCellHeight, kCellWidth,
                                               kCellHeight, top, nullptr, nullptr, nullptr));
        }
        tessel::testing::pump();
    }
    ~Grid() { DestroyWindow(top); }
};

void routedPointerMove(benchmark::State& state) {
    Grid grid(tessel::bench::elements(state));
    std::mt19937 random(42);
    std::uniform_int_distribution<int> x(0, kColumns * kCellWidth - 1),
        y(0, grid.rows * kCellHeight - 1);
    std::vector<POINT> points(4096);
    for (POINT& p : points)
        p = {x(random), y(random)};
    std::size_t next = 0;
    const long before = g_messages;
    for (auto _ : state) {
        const POINT& p = points[next++ % points.size()];
        SetCursorPos(p.x, p.y);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    state.counters["messages_per_move"] = benchmark::Counter(
        static_cast<double>(g_messages - before) / static_cast<double>(state.iterations()));
}
BENCHMARK(routedPointerMove)->Name("scene:pointer_move_windows")->Apply(tessel::bench::scaled<100>);

void moveAllChildrenOnePixel(benchmark::State& state) {
    Grid grid(tessel::bench::elements(state));
    int shift = 1;
    for (auto _ : state) {
        for (int i = 0; i < static_cast<int>(grid.children.size()); ++i) {
            const int column = i % kColumns, row = i / kColumns;
            SetWindowPos(grid.children[i], nullptr, column * kCellWidth + shift, row * kCellHeight,
                         0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        shift = 1 - shift;
        state.PauseTiming();
        tessel::testing::pump();  // painting is not part of the move
        state.ResumeTiming();
    }
}
BENCHMARK(moveAllChildrenOnePixel)->Name("scene:move_windows")->Apply(tessel::bench::scaled<100>);

}  // namespace
