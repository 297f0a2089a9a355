// FLTK: synthetic pointer moves handed to the window through Fl::handle,
// which finds the widget below the pointer and sends enter and leave, and
// the hover repaints they cause; and n labelled buttons moved by one pixel,
// with and without the repaint that follows.
#include <benchmark/benchmark.h>

#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_draw.H>

#include <memory>
#include <random>
#include <vector>

#include "../../support/table.h"
#include "FltkScenes.h"

namespace {

using namespace tessel::bench::fltk;

constexpr int kColumns = 100, kCellWidth = 12, kCellHeight = 8;
long g_paints = 0;

// A cell that shows whether the pointer is over it.
class Cell : public Fl_Box {
public:
    Cell(int x, int y) : Fl_Box(x, y, kCellWidth, kCellHeight) {}
    int handle(int event) override {
        if (event != FL_ENTER && event != FL_LEAVE) return Fl_Box::handle(event);
        m_hovered = event == FL_ENTER;
        redraw();
        return 1;
    }
    void draw() override {
        ++g_paints;
        fl_rectf(x(), y(), w(), h(),
                 m_hovered ? fl_rgb_color(220, 230, 250) : fl_rgb_color(245, 245, 248));
    }

private:
    bool m_hovered = false;
};

void pointerMove(benchmark::State& state) {
    const int n = tessel::bench::elements(state);
    const int rows = (n + kColumns - 1) / kColumns;
    Fl_Double_Window window(0, 0, kColumns * kCellWidth, rows * kCellHeight);
    for (int i = 0; i < n; ++i)
        new Cell((i % kColumns) * kCellWidth, (i / kColumns) * kCellHeight);
    window.end();
    window.show();
    settle();
    std::mt19937 random(42);
    std::uniform_int_distribution<int> x(0, kColumns * kCellWidth - 1),
        y(0, rows * kCellHeight - 1);
    std::vector<std::pair<int, int>> points(4096);
    for (auto& p : points)
        p = {x(random), y(random)};
    std::size_t next = 0;
    const long before = g_paints;
    for (auto _ : state) {
        const auto [px, py] = points[next++ % points.size()];
        Fl::e_x = px;
        Fl::e_y = py;
        Fl::e_x_root = window.x() + px;
        Fl::e_y_root = window.y() + py;
        Fl::handle(FL_MOVE, &window);
        repaint();
    }
    state.counters["paints_per_move"] =
        static_cast<double>(g_paints - before) / static_cast<double>(state.iterations());
    window.hide();
    settle();
}
BENCHMARK(pointerMove)->Name("scene:pointer_move_windows")->Apply(tessel::bench::scaled<100>);

struct MoveScene {
    Fl_Double_Window window{0, 0, kWidth, kHeight};
    explicit MoveScene(int n) {
        addButtons(0, n);
        window.end();
        window.show();
        settle();
    }
    ~MoveScene() {
        window.hide();
        settle();
    }
    // Moving damages nothing in FLTK: an application asks for the repaint itself.
    void moveAll(int shift) {
        for (int i = 0; i < window.children(); ++i)
            window.child(i)->position(buttonX(i) + shift, buttonY(i));
    }
};

void moveWindows(benchmark::State& state) {
    MoveScene scene(tessel::bench::elements(state));
    int shift = 1;
    for (auto _ : state) {
        scene.moveAll(shift);
        shift = 1 - shift;
    }
}
BENCHMARK(moveWindows)->Name("scene:move_windows")->Apply(tessel::bench::scaled<100>);

void moveRepaintWindows(benchmark::State& state) {
    MoveScene scene(tessel::bench::elements(state));
    int shift = 1;
    for (auto _ : state) {
        scene.moveAll(shift);
        shift = 1 - shift;
        scene.window.redraw();
        repaint();
    }
}
BENCHMARK(moveRepaintWindows)
    ->Name("scene:move_repaint_windows")
    ->Apply(tessel::bench::scaled<100>);

}  // namespace
