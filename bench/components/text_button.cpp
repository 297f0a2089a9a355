// A text button's cost: the heap it holds with its eight styles (malloc's
// own count, so the style array, the strings, the fonts and the registry's
// node all show), how long constructing one takes (eight fonts measured on
// the screen), and one draw (a box and a centred text) into a memory DC.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include <tessel/components/YBTextButton.h>
#include <tessel/platform/afx_dc.h>

#include "../support/heap.h"

namespace {

const GFont& font() {
    static const GFont f("Arial", 9.0, 0, 0);
    return f;
}

void BM_TextButtonHeapBytes(benchmark::State& state) {
    constexpr int kButtons = 1000;
    std::vector<std::unique_ptr<YBTextButton>> buttons;
    buttons.reserve(kButtons);
    YBTextButton warm(1, L"Save", font(), 0, 0, nullptr);  // shared fonts and caches made once
    double perButton = 0;
    for (auto _ : state) {
        const long long before = tessel::bench::heapInUse();
        for (int i = 0; i < kButtons; ++i)
            buttons.push_back(std::make_unique<YBTextButton>(1, L"Save", font(), 0, 0, nullptr));
        perButton = tessel::bench::perElement(before, kButtons);
        state.PauseTiming();
        buttons.clear();
        state.ResumeTiming();
    }
    state.counters["heap_bytes"] = perButton;
    state.counters["object_bytes"] = sizeof(YBTextButton);
}
BENCHMARK(BM_TextButtonHeapBytes)->Unit(benchmark::kMillisecond);

void BM_TextButtonConstruct(benchmark::State& state) {
    for (auto _ : state) {
        YBTextButton button(1, L"Save", font(), 0, 0, nullptr);
        benchmark::DoNotOptimize(button.size());
    }
}
BENCHMARK(BM_TextButtonConstruct)->Unit(benchmark::kMicrosecond);

void BM_TextButtonDraw(benchmark::State& state) {
    CDC memory;
    memory.CreateCompatibleDC(nullptr);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&memory, 200, 60);
    memory.SelectObject(&bitmap);
    YBTextButton button(1, L"Save", font(), 0, 0, nullptr);
    button.setPositionAndSize(10, 10, 120, 30, false);
    XDC dc(&memory);
    for (auto _ : state)
        button.onDraw(dc);
}
BENCHMARK(BM_TextButtonDraw)->Unit(benchmark::kMicrosecond);

}  // namespace
