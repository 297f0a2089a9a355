// One lock under a crowd: seven threads reading without pause and one
// writing, each hundreds of thousands of times. Readers never see the writer
// inside, the writer never sees a reader, and the writer always gets its
// turn (a waiting writer holds back new readers), so every thread finishes.
#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <thread>
#include <vector>

#include <tessel/foundation/KLLockableObject.h>

#include "lock_probe.h"

namespace {

constexpr int kReaders = 7;
constexpr int kOperations = 200'000;  // per thread: lock and unlock

TEST(KLLockUnderLoad, SevenReadersAndAWriterExcludeEachOtherAndAllFinish) {
    kelp::KLLockableObject lock;
    std::atomic<int> readersInside{0};
    std::atomic<int> writersInside{0};
    std::atomic<long> violations{0};
    std::atomic<int> writerTurns{0};
    std::latch start(kReaders + 1);

    std::vector<std::thread> threads;
    for (int r = 0; r < kReaders; ++r) {
        threads.emplace_back([&] {
            start.arrive_and_wait();
            for (int i = 0; i < kOperations; ++i) {
                if (!lock.lockForReading()) {
                    ++violations;
                    continue;
                }
                ++readersInside;
                if (writersInside.load() != 0) ++violations;
                --readersInside;
                if (!lock.unlock()) ++violations;
            }
        });
    }
    threads.emplace_back([&] {
        start.arrive_and_wait();
        for (int i = 0; i < kOperations; ++i) {
            if (!lock.lockForWriting()) {
                ++violations;
                continue;
            }
            if (writersInside.fetch_add(1) != 0 || readersInside.load() != 0) ++violations;
            writersInside.fetch_sub(1);
            ++writerTurns;
            if (!lock.unlock()) ++violations;
        }
    });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(violations.load(), 0);
    EXPECT_EQ(writerTurns.load(), kOperations);
    EXPECT_TRUE(kelp_test::writerGetsIn(lock));  // nothing is left held
}

}  // namespace
