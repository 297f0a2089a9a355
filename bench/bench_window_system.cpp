// Input dispatch and scrolling over 10,000 child windows (a 100x100 grid of
// 12x8 pixels): one pointer move routed through hit testing, WM_SETCURSOR and
// WM_MOUSEMOVE; and every child moved by one pixel, which is what one
// scroll step of a window-based list costs.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include <tessel/platform/testing.h>
#include <tessel/platform/win_user.h>

namespace {

constexpr int kColumns = 100, kRows = 100, kCellWidth = 12, kCellHeight = 8;
long g_messages = 0;

LRESULT CALLBACK counting(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ++g_messages;
    return DefWindowProcW(window, message, wParam, lParam);
}

struct Grid {
    HWND top;
    std::vector<HWND> children;
    Grid() {
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
                            kRows * kCellHeight, nullptr, nullptr, nullptr, nullptr);
        for (int row = 0; row < kRows; ++row) {
            for (int column = 0; column < kColumns; ++column) {
                children.push_back(CreateWindowExW(
                    0, L"Cell", L"", WS_CHILD | WS_VISIBLE, column * kCellWidth, row * kCellHeight,
                    kCellWidth, kCellHeight, top, nullptr, nullptr, nullptr));
            }
        }
        tessel::testing::pump();
    }
    ~Grid() { DestroyWindow(top); }
};

void BM_RoutedPointerMove(benchmark::State& state) {
    Grid grid;
    std::mt19937 random(42);
    std::uniform_int_distribution<int> x(0, kColumns * kCellWidth - 1),
        y(0, kRows * kCellHeight - 1);
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
BENCHMARK(BM_RoutedPointerMove)->Unit(benchmark::kMicrosecond);

void BM_MoveAllChildrenOnePixel(benchmark::State& state) {
    Grid grid;
    int shift = 1;
    for (auto _ : state) {
        for (int i = 0; i < kColumns * kRows; ++i) {
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
BENCHMARK(BM_MoveAllChildrenOnePixel)->Unit(benchmark::kMillisecond);

}  // namespace
