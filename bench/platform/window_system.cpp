// Input dispatch and scrolling over n child windows (rows of 100 cells of
// 12x8 pixels, up to 100x100): one pointer move routed through hit testing,
// WM_SETCURSOR and WM_MOUSEMOVE, alone and with the cells showing the hover
// (leave tracking and the repaint); and every child moved by one pixel, which
// is what one scroll step of a window-based list costs.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include <tessel/platform/gdi.h>
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

// The cell under the pointer, the one cell that shows the hover.
HWND g_hovered = nullptr;
long g_paints = 0;

LRESULT CALLBACK hovering(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE:
            if (window != g_hovered) {
                g_hovered = window;
                TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, window, 0};
                TrackMouseEvent(&track);
                InvalidateRect(window, nullptr, FALSE);
            }
            return 0;
        case WM_MOUSELEAVE:
            if (window == g_hovered) g_hovered = nullptr;
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_PAINT: {
            static const HBRUSH over = CreateSolidBrush(RGB(220, 230, 250));
            static const HBRUSH normal = CreateSolidBrush(RGB(245, 245, 248));
            ++g_paints;
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            FillRect(dc, &ps.rcPaint, window == g_hovered ? over : normal);
            EndPaint(window, &ps);
            return 0;
        }
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool registerClass(WNDPROC procedure, const wchar_t* name) {
    WNDCLASSW c{0,       procedure, 0,   0, nullptr, nullptr, LoadCursorW(nullptr, IDC_ARROW),
                nullptr, nullptr,   name};
    return RegisterClassW(&c) != 0;
}

struct Grid {
    HWND top;
    int rows;
    std::vector<HWND> children;
    explicit Grid(int count, const wchar_t* cellClass = L"Cell")
        : rows((count + kColumns - 1) / kColumns) {
        tessel::testing::useVirtualClock();
        static const bool registered =
            registerClass(counting, L"Cell") && registerClass(hovering, L"HoverCell");
        (void)registered;
        top =
            CreateWindowExW(0, L"Cell", L"grid", WS_POPUP | WS_VISIBLE, 0, 0, kColumns * kCellWidth,
                            rows * kCellHeight, nullptr, nullptr, nullptr, nullptr);
        for (int i = 0; i < count; ++i) {
            const int column = i % kColumns, row = i / kColumns;
            children.push_back(CreateWindowExW(0, cellClass, L"", WS_CHILD | WS_VISIBLE,
                                               column * kCellWidth, row * kCellHeight, kCellWidth,
                                               kCellHeight, top, nullptr, nullptr, nullptr));
        }
        tessel::testing::pump();
    }
    ~Grid() { DestroyWindow(top); }
};

// Points over the grid, the same for every run.
std::vector<POINT> pointsOver(const Grid& grid) {
    std::mt19937 random(42);
    std::uniform_int_distribution<int> x(0, kColumns * kCellWidth - 1),
        y(0, grid.rows * kCellHeight - 1);
    std::vector<POINT> points(4096);
    for (POINT& p : points)
        p = {x(random), y(random)};
    return points;
}

void BM_RoutedPointerMove(benchmark::State& state) {
    Grid grid(100 * kColumns);
    const std::vector<POINT> points = pointsOver(grid);
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

void hoverPointerMove(benchmark::State& state) {
    Grid grid(tessel::bench::elements(state), L"HoverCell");
    const std::vector<POINT> points = pointsOver(grid);
    std::size_t next = 0;
    const long before = g_paints;
    for (auto _ : state) {
        const POINT& p = points[next++ % points.size()];
        SetCursorPos(p.x, p.y);
        tessel::testing::pump();
    }
    state.counters["paints_per_move"] =
        static_cast<double>(g_paints - before) / static_cast<double>(state.iterations());
}
BENCHMARK(hoverPointerMove)->Name("BM_CellsPointerMoveWithHover")->Apply(tessel::bench::scaled<100>);

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
BENCHMARK(moveAllChildrenOnePixel)->Name("BM_CellsMoveOnePixel")->Apply(tessel::bench::scaled<100>);

}  // namespace
