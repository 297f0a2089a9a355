// Lists of child windows: labelled text button windows in a frame or in a
// manager, moved, scrolled, repainted and hovered, and the heap each holds.
// Every label is distinct, as in a real list.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include <tessel/layout/YBManagerWnd.h>
#include <tessel/platform/testing.h>
#include <tessel/windows/YBTextButtonWnd.h>

namespace {

const GFont& font() {
    static const GFont f("Arial", 9.0, 0, 0);
    return f;
}

kelp::KLString label(int i) {
    return kelp::KLString(std::to_wstring(i).c_str());
}

class Frame : public YBChildWnd {
public:
    void getCreateStyle(DWORD& style, DWORD& exStyle, CSize& size) override {
        YBChildWnd::getCreateStyle(style, exStyle, size);
        style = WS_POPUP | WS_VISIBLE;
    }
};

// n labelled 12x8 windows in rows of 100 in a 1200x800 frame.
struct Grid {
    static constexpr int kColumns = 100, kWidth = 12, kHeight = 8;
    Frame frame;
    std::vector<std::unique_ptr<YBTextButtonWnd>> cells;
    explicit Grid(int n) {
        tessel::testing::useVirtualClock();
        frame.setInitialSize(kColumns * kWidth, 800);
        frame.createAt(0, 0, nullptr);
        add(n);
        tessel::testing::pump();
    }
    void add(int n) {
        cells.reserve(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            cells.push_back(std::make_unique<YBTextButtonWnd>(i, label(i), font(), kWidth, kHeight));
            cells.back()->createAt(x(i, 0), y(i), &frame);
        }
    }
    static int x(int i, int shift) { return i % kColumns * kWidth + shift; }
    static int y(int i) { return i / kColumns * kHeight; }
    void moveAll(int shift) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const int n = static_cast<int>(i);
            ::SetWindowPos(cells[i]->m_hWnd, nullptr, x(n, shift), y(n), 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
};

class Manager : public YBManagerWnd {
public:
    void fill(int count, int width, int height) {
        for (int i = 0; i < count; ++i)
            createChildWnd(new YBTextButtonWnd(i, label(i), font(), width, height), 0, 0);
    }
};

// n labelled buttons flowed into a manager filling a 1280x800 frame.
struct ManagerScene {
    Frame frame;
    Manager manager;
    ManagerScene(int n, int width, int height) {
        tessel::testing::useVirtualClock();
        frame.setInitialSize(1280, 800);
        frame.createAt(0, 0, nullptr);
        manager.setFlag(YBBaseWnd::verticalScrollBar, true);
        manager.setInitialSize(1280, 800);
        manager.createAt(0, 0, &frame);
        manager.fill(n, width, height);
        manager.onLayoutChildren();
        tessel::testing::pump();
    }
};

void sized(benchmark::internal::Benchmark* b, int base) {
    b->Arg(base)->Arg(base * 10)->Arg(base * 100)->Unit(benchmark::kMicrosecond);
}

void elements(benchmark::State& state) {
    state.counters["elements"] = static_cast<double>(state.range(0));
}

void fullRepaintButtonsWindows(benchmark::State& state) {
    ManagerScene scene(static_cast<int>(state.range(0)), 64, 16);
    for (auto _ : state) {
        ::InvalidateRect(scene.manager.m_hWnd, nullptr, TRUE);
        ::RedrawWindow(scene.manager.m_hWnd, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        tessel::testing::pump();
    }
    elements(state);
}
BENCHMARK(fullRepaintButtonsWindows)
    ->Name("scene:full_repaint_buttons_windows")
    ->Apply([](auto* b) { sized(b, 10); });

void pointerMoveWindows(benchmark::State& state) {
    Grid grid(static_cast<int>(state.range(0)));
    const int rows = (static_cast<int>(state.range(0)) + Grid::kColumns - 1) / Grid::kColumns;
    std::mt19937 random(42);
    std::uniform_int_distribution<int> x(0, Grid::kColumns * Grid::kWidth - 1),
        y(0, rows * Grid::kHeight - 1);
    std::vector<POINT> points(4096);
    for (POINT& p : points)
        p = {x(random), y(random)};
    std::size_t next = 0;
    for (auto _ : state) {
        const POINT& p = points[next++ % points.size()];
        ::SetCursorPos(p.x, p.y);
        tessel::testing::pump();  // routing, leave and enter, the two repaints
    }
    elements(state);
}
BENCHMARK(pointerMoveWindows)->Name("scene:pointer_move_windows")->Apply([](auto* b) {
    sized(b, 100);
});

void moveWindows(benchmark::State& state) {
    Grid grid(static_cast<int>(state.range(0)));
    int shift = 1;
    for (auto _ : state) {
        grid.moveAll(shift);
        shift = 1 - shift;
        state.PauseTiming();
        tessel::testing::pump();
        state.ResumeTiming();
    }
    elements(state);
}
BENCHMARK(moveWindows)->Name("scene:move_windows")->Apply([](auto* b) { sized(b, 100); });

void moveRepaintWindows(benchmark::State& state) {
    Grid grid(static_cast<int>(state.range(0)));
    int shift = 1;
    for (auto _ : state) {
        grid.moveAll(shift);
        shift = 1 - shift;
        tessel::testing::pump();
    }
    elements(state);
}
BENCHMARK(moveRepaintWindows)->Name("scene:move_repaint_windows")->Apply([](auto* b) {
    sized(b, 100);
});

void managerLineScroll(benchmark::State& state) {
    ManagerScene scene(static_cast<int>(state.range(0)), 64, 16);
    bool down = true;
    for (auto _ : state) {
        down ? scene.manager.onScrollDown() : scene.manager.onScrollUp();
        down = !down;
        tessel::testing::pump();
    }
    elements(state);
}
BENCHMARK(managerLineScroll)->Name("scene:manager_line_scroll")->Apply([](auto* b) {
    sized(b, 100);
});

void scrollPixel(benchmark::State& state) {
    ManagerScene scene(static_cast<int>(state.range(0)), 64, 16);
    bool down = true;
    for (auto _ : state) {
        scene.manager.onVScroll(down ? 1 : 0);
        down = !down;
        tessel::testing::pump();
    }
    elements(state);
}
BENCHMARK(scrollPixel)->Name("scene:scroll_pixel")->Apply([](auto* b) { sized(b, 100); });

long long heapInUse() {
    return static_cast<long long>(mallinfo2().uordblks);
}

void heapPerWindow(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    double before = 0, after = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // The frame's surface, the classes and the fonts are made beforehand.
        auto grid = std::make_unique<Grid>(1);
        state.ResumeTiming();
        const long long start = heapInUse();
        grid->add(n);
        before = static_cast<double>(heapInUse() - start) / n;
        tessel::testing::pump();
        after = static_cast<double>(heapInUse() - start) / n;
        state.PauseTiming();
        grid.reset();
        state.ResumeTiming();
    }
    state.counters["bytes_per_element"] = before;
    state.counters["bytes_per_element_painted"] = after;
    elements(state);
}
BENCHMARK(heapPerWindow)->Name("scene:heap_per_window")->Apply([](auto* b) {
    sized(b, 100);
    b->Iterations(3);
});

}  // namespace
