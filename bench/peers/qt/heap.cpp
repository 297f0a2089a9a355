// Qt: heap bytes per labelled button added to a shown window, once created
// and again once painted. The window itself, its backing store and the
// style's shared caches exist before counting starts.
#include <benchmark/benchmark.h>

#include <memory>

#include "../../support/heap.h"
#include "../../support/table.h"
#include "ButtonGrid.h"

namespace {

using namespace tessel::bench::qt;

void heapPerWindow(benchmark::State& state) {
    const int n = tessel::bench::elements(state);
    double created = 0, painted = 0;
    for (auto _ : state) {
        auto top = std::make_unique<QWidget>();
        top->resize(kWidth, kHeight);
        addButtons(*top, 1);
        top->show();
        pump();
        const long long before = tessel::bench::heapInUse();
        for (int i = 0; i < n; ++i) {
            auto* button = new QPushButton(QStringLiteral("Button %1").arg(i + 1), top.get());
            button->setGeometry(QRect(buttonPosition(i + 1), QSize(kButtonWidth, kButtonHeight)));
            button->show();
        }
        created = tessel::bench::perElement(before, n);
        pump();
        painted = tessel::bench::perElement(before, n);
        state.PauseTiming();
        top.reset();
        pump();
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
