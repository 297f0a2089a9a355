// What makes a benchmark a row of the printed table: the name `scene:<id>`,
// its element count as the argument, run at 1x, 10x and 100x of a base
// count, in microseconds, with the count reported as the counter `elements`.
// Runs are as long as the wall clock says, not this process's processor
// time: a peer's drawing happens in the X server, and the table compares
// elapsed times.
//
//   BENCHMARK(fn)->Name("scene:move_windows")->Apply(tessel::bench::scaled<100>);
//   ... in fn: const int n = tessel::bench::elements(state);
//
// Header-only and free of the toolkit, so the peer programs use it too.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

namespace tessel::bench {

template <std::int64_t Base>
void scaled(benchmark::internal::Benchmark* b) {
    static_assert(Base > 0 && Base <= 100'000'000 / 100, "100x the base must stay countable");
    b->Arg(Base)->Arg(Base * 10)->Arg(Base * 100)->Unit(benchmark::kMicrosecond)->UseRealTime();
}

// The scene's element count, reported alongside the time for the per-element cost.
inline int elements(benchmark::State& state) {
    state.counters["elements"] = static_cast<double>(state.range(0));
    return static_cast<int>(state.range(0));
}

}  // namespace tessel::bench
