// FLTK: heap bytes per labelled button added to a shown window, once created
// and again once painted. The window, its back buffer and the fonts exist
// before counting starts; what the X server holds is not in this process.
#include <benchmark/benchmark.h>

#include <FL/Fl_Double_Window.H>

#include <memory>

#include "../../support/heap.h"
#include "../../support/table.h"
#include "FltkScenes.h"

namespace {

using namespace tessel::bench::fltk;

void heapPerWindow(benchmark::State& state) {
    const int n = tessel::bench::elements(state);
    double created = 0, painted = 0;
    for (auto _ : state) {
        auto window = std::make_unique<Fl_Double_Window>(0, 0, kWidth, kHeight);
        addButtons(0, 1);
        window->end();
        window->show();
        settle();
        const long long before = tessel::bench::heapInUse();
        window->begin();
        addButtons(1, n);
        window->end();
        created = tessel::bench::perElement(before, n);
        window->redraw();
        repaint();
        painted = tessel::bench::perElement(before, n);
        state.PauseTiming();
        window->hide();
        window.reset();
        settle();
        state.ResumeTiming();
    }
    state.counters["bytes_per_element"] = created;
    state.counters["bytes_per_element_painted"] = painted;
}
BENCHMARK(heapPerWindow)
    ->Name("scene:heap_per_window")
    ->Apply(tessel::bench::scaled<100>)
    ->Iterations(1);

}  // namespace
