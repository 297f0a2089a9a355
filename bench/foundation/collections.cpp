// The foundation collections against their standard-library counterparts,
// registered side by side so one run compares them under the same load.
//
//   build/release/bench/bench_foundation --benchmark_repetitions=7
//       --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <list>
#include <vector>

#include <tessel/foundation/KLArray.h>
#include <tessel/foundation/KLCollection.h>
#include <tessel/foundation/KLIterator.h>
#include <tessel/foundation/KLList.h>
#include <tessel/foundation/KLLockGuard.h>
#include <tessel/foundation/KLVector.h>

namespace {

using kelp::KLArray;
using kelp::KLCollection;
using kelp::KLIterator;
using kelp::KLList;
using kelp::KLLockGuard;
using kelp::KLVector;

constexpr int kSmall = 1'000;
constexpr int kLarge = 100'000;
constexpr int kQueueLength = 1'000;

// Distinct, valid pointers to store, the same for every container.
std::array<char, kLarge> g_targets;
void* item(int i) {
    return &g_targets[static_cast<std::size_t>(i)];
}

// items_per_second, plus its inverse so per-element costs can be read directly.
void countItems(benchmark::State& state, std::int64_t perIteration) {
    state.SetItemsProcessed(state.iterations() * perIteration);
    state.counters["per_item"] = benchmark::Counter(
        static_cast<double>(perIteration),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Append: a container built from empty each iteration, growth and release included.

void appendKLVector(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        KLVector<void*> v;
        for (int i = 0; i < n; ++i)
            v.insert(item(i), static_cast<int>(v.size()));
        benchmark::DoNotOptimize(&v);
        benchmark::ClobberMemory();
    }
    countItems(state, n);
}

void appendKLArray(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        KLArray<void*> a;
        for (int i = 0; i < n; ++i)
            a[static_cast<int>(a.size())] = item(i);
        benchmark::DoNotOptimize(&a);
        benchmark::ClobberMemory();
    }
    countItems(state, n);
}

void appendStdVector(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::vector<void*> v;
        for (int i = 0; i < n; ++i)
            v.push_back(item(i));
        benchmark::DoNotOptimize(v.data());
        benchmark::ClobberMemory();
    }
    countItems(state, n);
}

// Indexed read: the sum of every element of a prebuilt container. The sum
// escapes each iteration, and the escape's memory clobber forces the reads
// to be redone rather than hoisted out of the loop.

void readKLVector(benchmark::State& state) {
    KLVector<void*> v;
    for (int i = 0; i < kLarge; ++i)
        v.insert(item(i), i);
    for (auto _ : state) {
        std::uintptr_t sum = 0;
        for (int i = 0; i < kLarge; ++i)
            sum += reinterpret_cast<std::uintptr_t>(v.get(i));
        benchmark::DoNotOptimize(sum);
    }
    countItems(state, kLarge);
}

void readKLArray(benchmark::State& state) {
    KLArray<void*> a;
    for (int i = 0; i < kLarge; ++i)
        a[i] = item(i);
    for (auto _ : state) {
        std::uintptr_t sum = 0;
        for (int i = 0; i < kLarge; ++i)
            sum += reinterpret_cast<std::uintptr_t>(a.get(i));
        benchmark::DoNotOptimize(sum);
    }
    countItems(state, kLarge);
}

void readStdVector(benchmark::State& state) {
    std::vector<void*> v;
    for (int i = 0; i < kLarge; ++i)
        v.push_back(item(i));
    for (auto _ : state) {
        std::uintptr_t sum = 0;
        for (int i = 0; i < kLarge; ++i) {
            sum += reinterpret_cast<std::uintptr_t>(v[static_cast<std::size_t>(i)]);
        }
        benchmark::DoNotOptimize(sum);
    }
    countItems(state, kLarge);
}

// List churn, fill then clear: the list lives across iterations, so after the
// first one the nodes come back from its pool (and from malloc's caches for std::list).

void fillClearKLList(benchmark::State& state) {
    KLList<void*> list;
    for (auto _ : state) {
        for (int i = 0; i < kSmall; ++i)
            list.add(item(i), KLCollection::kAddLast);
        benchmark::DoNotOptimize(&list);
        benchmark::ClobberMemory();
        list.clear();
    }
    countItems(state, kSmall);
}

void fillClearStdList(benchmark::State& state) {
    std::list<void*> list;
    for (auto _ : state) {
        for (int i = 0; i < kSmall; ++i)
            list.push_back(item(i));
        benchmark::DoNotOptimize(&list);
        benchmark::ClobberMemory();
        list.clear();
    }
    countItems(state, kSmall);
}

// List churn, steady-state queue: one item is one add at the end plus one
// removal of the first element. An iterator taken before the add would throw
// at its next step, so each removal needs a fresh one.

void queueKLList(benchmark::State& state) {
    KLList<void*> list;
    for (int i = 0; i < kQueueLength; ++i)
        list.add(item(i), KLCollection::kAddLast);
    int next = 0;
    for (auto _ : state) {
        list.add(item(next), KLCollection::kAddLast);
        if (++next == kQueueLength) next = 0;
        KLIterator<void*> it;
        KLCollection::initIterator(it, list.iterator(false));
        benchmark::DoNotOptimize(it.next());
        it.remove();
    }
    countItems(state, 1);
}

void queueStdList(benchmark::State& state) {
    std::list<void*> list;
    for (int i = 0; i < kQueueLength; ++i)
        list.push_back(item(i));
    int next = 0;
    for (auto _ : state) {
        list.push_back(item(next));
        if (++next == kQueueLength) next = 0;
        benchmark::DoNotOptimize(list.front());
        list.pop_front();
    }
    countItems(state, 1);
}

// Pieces of the above in isolation, to attribute the differences.

// The uncontended hold every KLVector change and KLList add takes.
void costWriteLock(benchmark::State& state) {
    KLVector<void*> v;
    for (auto _ : state) {
        KLLockGuard guard(v, KLLockGuard::Writing);
        benchmark::ClobberMemory();
    }
    countItems(state, 1);
}

// The uncontended hold every KLVector get and list-iterator step takes.
void costReadLock(benchmark::State& state) {
    KLVector<void*> v;
    for (auto _ : state) {
        KLLockGuard guard(v, KLLockGuard::Reading);
        benchmark::ClobberMemory();
    }
    countItems(state, 1);
}

// Creating, binding and deleting the iterator each queue removal needs.
void costListIterator(benchmark::State& state) {
    KLList<void*> list;
    list.add(item(0), KLCollection::kAddLast);
    for (auto _ : state) {
        KLIterator<void*> it;
        KLCollection::initIterator(it, list.iterator(false));
        benchmark::DoNotOptimize(it.getCollectionIterator());
    }
    countItems(state, 1);
}

// The same work inside one outer write hold: the per-call holds
// then take the reentrant path (no atomic read-modify-write), which isolates
// what the uncontended lock costs each call.
void appendKLVectorHeld(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        KLVector<void*> v;
        {
            KLLockGuard guard(v, KLLockGuard::Writing);
            for (int i = 0; i < n; ++i)
                v.insert(item(i), static_cast<int>(v.size()));
        }
        benchmark::DoNotOptimize(&v);
        benchmark::ClobberMemory();
    }
    countItems(state, n);
}

void readKLVectorHeld(benchmark::State& state) {
    KLVector<void*> v;
    for (int i = 0; i < kLarge; ++i)
        v.insert(item(i), i);
    KLLockGuard guard(v, KLLockGuard::Writing);
    for (auto _ : state) {
        std::uintptr_t sum = 0;
        for (int i = 0; i < kLarge; ++i)
            sum += reinterpret_cast<std::uintptr_t>(v.get(i));
        benchmark::DoNotOptimize(sum);
    }
    countItems(state, kLarge);
}

void fillClearKLListHeld(benchmark::State& state) {
    KLList<void*> list;
    KLLockGuard guard(list, KLLockGuard::Writing);
    for (auto _ : state) {
        for (int i = 0; i < kSmall; ++i)
            list.add(item(i), KLCollection::kAddLast);
        benchmark::DoNotOptimize(&list);
        benchmark::ClobberMemory();
        list.clear();
    }
    countItems(state, kSmall);
}

void queueKLListHeld(benchmark::State& state) {
    KLList<void*> list;
    for (int i = 0; i < kQueueLength; ++i)
        list.add(item(i), KLCollection::kAddLast);
    KLLockGuard guard(list, KLLockGuard::Writing);
    int next = 0;
    for (auto _ : state) {
        list.add(item(next), KLCollection::kAddLast);
        if (++next == kQueueLength) next = 0;
        KLIterator<void*> it;
        KLCollection::initIterator(it, list.iterator(false));
        benchmark::DoNotOptimize(it.next());
        it.remove();
    }
    countItems(state, 1);
}

BENCHMARK(appendKLVector)->Name("Append/KLVector")->Arg(kSmall);
BENCHMARK(appendKLArray)->Name("Append/KLArray")->Arg(kSmall);
BENCHMARK(appendStdVector)->Name("Append/StdVector")->Arg(kSmall);
BENCHMARK(appendKLVector)->Name("Append/KLVector")->Arg(kLarge);
BENCHMARK(appendKLArray)->Name("Append/KLArray")->Arg(kLarge);
BENCHMARK(appendStdVector)->Name("Append/StdVector")->Arg(kLarge);

BENCHMARK(readKLVector)->Name("Read/KLVector")->Arg(kLarge);
BENCHMARK(readKLArray)->Name("Read/KLArray")->Arg(kLarge);
BENCHMARK(readStdVector)->Name("Read/StdVector")->Arg(kLarge);

BENCHMARK(fillClearKLList)->Name("FillClear/KLList")->Arg(kSmall);
BENCHMARK(fillClearStdList)->Name("FillClear/StdList")->Arg(kSmall);
BENCHMARK(queueKLList)->Name("Queue/KLList")->Arg(kQueueLength);
BENCHMARK(queueStdList)->Name("Queue/StdList")->Arg(kQueueLength);

BENCHMARK(costWriteLock)->Name("Cost/WriteLockHold");
BENCHMARK(costReadLock)->Name("Cost/ReadLockHold");
BENCHMARK(costListIterator)->Name("Cost/ListIterator");
BENCHMARK(appendKLVectorHeld)->Name("Cost/AppendKLVectorHeld")->Arg(kSmall);
BENCHMARK(readKLVectorHeld)->Name("Cost/ReadKLVectorHeld")->Arg(kLarge);
BENCHMARK(fillClearKLListHeld)->Name("Cost/FillClearKLListHeld")->Arg(kSmall);
BENCHMARK(queueKLListHeld)->Name("Cost/QueueKLListHeld")->Arg(kQueueLength);

}  // namespace
