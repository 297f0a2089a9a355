// Finding a component by its accessible id, as assistive technology does for
// every component of a host after each scroll step: per lookup, among n
// registered components.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include <tessel/components/YBComponent.h>

namespace {

void BM_FindAccessible(benchmark::State& state) {
    std::vector<std::unique_ptr<YBComponent>> components;
    const auto n = static_cast<std::size_t>(state.range(0));
    for (std::size_t i = 0; i < n; ++i) components.push_back(std::make_unique<YBComponent>(1, nullptr));
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(YBComponent::findAccessible(components[next]->accessibleId()));
        next = (next + 1) % n;
    }
}
BENCHMARK(BM_FindAccessible)->Arg(1000)->Arg(10000)->Arg(100000);

}  // namespace
