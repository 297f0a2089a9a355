// One KLLockableObject under eight threads: seven read without pause while
// one writes, each 1,000,000 times. Reported: the writer's wait for the
// lock, median and 99th percentile, in microseconds.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <latch>
#include <thread>
#include <vector>

#include <tessel/foundation/KLLockableObject.h>

namespace {

void BM_WriterWaitAmongSevenReaders(benchmark::State& state) {
    const int operations = static_cast<int>(state.range(0));
    for (auto _ : state) {
        kelp::KLLockableObject lock;
        std::atomic<bool> writing{true};
        std::latch start(8);
        std::vector<std::thread> readers;
        for (int r = 0; r < 7; ++r) {
            readers.emplace_back([&] {
                start.arrive_and_wait();
                for (int i = 0; i < operations && writing.load(std::memory_order_relaxed); ++i) {
                    lock.lockForReading();
                    lock.unlock();
                }
            });
        }
        std::vector<double> waits;
        waits.reserve(static_cast<std::size_t>(operations));
        start.arrive_and_wait();
        for (int i = 0; i < operations; ++i) {
            const auto asked = std::chrono::steady_clock::now();
            lock.lockForWriting();
            waits.push_back(std::chrono::duration<double, std::micro>(
                                std::chrono::steady_clock::now() - asked)
                                .count());
            lock.unlock();
        }
        writing = false;
        for (std::thread& t : readers)
            t.join();
        std::sort(waits.begin(), waits.end());
        state.counters["writer_wait_median_us"] = waits[waits.size() / 2];
        state.counters["writer_wait_p99_us"] = waits[waits.size() * 99 / 100];
        state.counters["writer_wait_max_us"] = waits.back();
    }
}
BENCHMARK(BM_WriterWaitAmongSevenReaders)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
