// FLTK: the whole 1280x800 window of n labelled buttons in a scroll group
// redrawn (the toolkit's host and its manager of windows are the same thing
// here: FLTK's widgets are all windowless), and the list scrolled by one
// pixel, which Fl_Scroll does by copying the window's area and drawing the
// strip that comes into view.
#include <benchmark/benchmark.h>

#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Scroll.H>

#include <memory>

#include "../../support/table.h"
#include "FltkScenes.h"

namespace {

using namespace tessel::bench::fltk;

struct ScrollScene {
    std::unique_ptr<Fl_Double_Window> window;
    Fl_Scroll* scroll;
    template <class Fill>
    explicit ScrollScene(Fill fill) {
        window = std::make_unique<Fl_Double_Window>(0, 0, kWidth, kHeight);
        scroll = new Fl_Scroll(0, 0, kWidth, kHeight);
        scroll->type(Fl_Scroll::VERTICAL_ALWAYS);
        fill();
        scroll->end();
        window->end();
        window->show();
        settle();
    }
    ~ScrollScene() {
        window->hide();
        settle();
    }
};

void fullRepaint(benchmark::State& state) {
    const int n = tessel::bench::elements(state);
    ScrollScene scene([n] { addButtons(0, n); });
    for (auto _ : state) {
        scene.window->redraw();
        repaint();
    }
}
BENCHMARK(fullRepaint)->Name("scene:full_repaint_buttons_host")->Apply(tessel::bench::scaled<100>);
BENCHMARK(fullRepaint)
    ->Name("scene:full_repaint_buttons_windows")
    ->Apply(tessel::bench::scaled<100>);

long g_rowPaints = 0;

// A list row that counts its paints, to tell a copy and a strip from a full repaint.
class Row : public Fl_Button {
public:
    using Fl_Button::Fl_Button;
    void draw() override {
        ++g_rowPaints;
        Fl_Button::draw();
    }
};

// A list of n labelled rows of 16 pixels, scrolled down and back by one pixel.
void scrollPixel(benchmark::State& state) {
    const int n = tessel::bench::elements(state);
    ScrollScene scene([n] {
        const int width = kWidth - Fl::scrollbar_size();
        for (int i = 0; i < n; ++i) {
            auto* row = new Row(0, i * kButtonHeight, width, kButtonHeight);
            row->copy_label(("Item " + std::to_string(i + 1)).c_str());
        }
    });
    const int top = (n * kButtonHeight - kHeight) / 2;
    if (top < 1) {
        state.SkipWithError("the list does not scroll");
        return;
    }
    scene.scroll->scroll_to(0, top);
    repaint();
    bool down = true;
    const long before = g_rowPaints;
    for (auto _ : state) {
        scene.scroll->scroll_to(0, down ? top + 1 : top);
        down = !down;
        repaint();
    }
    state.counters["rows_painted"] =
        static_cast<double>(g_rowPaints - before) / static_cast<double>(state.iterations());
}
BENCHMARK(scrollPixel)->Name("scene:scroll_pixel")->Apply(tessel::bench::scaled<100>);

}  // namespace
