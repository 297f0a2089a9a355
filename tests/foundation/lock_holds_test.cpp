// KLLockableObject keeps per-thread hold records: who reads and how often, who
// writes and how deep. Threads meet at latches and atomics, never at times.
#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

#include <tessel/foundation/KLLockGuard.h>
#include <tessel/foundation/KLLockableObject.h>

#include "kelp_checks.h"

using namespace kelp;
using namespace kelp_test;

namespace {

// Strays: a thread with no hold at all, and one whose hold is on another object.
TEST(KLLockHolds, AStrayUnlockFromAThreadHoldingNothingReleasesNoReadersHold) {
    KLLockableObject object, other;
    std::latch reading(1), finish(1);
    std::thread reader([&] {
        EXPECT_TRUE(object.lockForReading(-1));
        reading.count_down();
        finish.wait();
        EXPECT_TRUE(object.unlock());
    });
    reading.wait();
    bool strayReleased = true;
    std::thread([&] { strayReleased = object.unlock(); }).join();
    EXPECT_FALSE(strayReleased);
    std::thread([&] {
        ASSERT_TRUE(other.lockForReading(-1));
        strayReleased = object.unlock();
        EXPECT_TRUE(other.unlock());
    }).join();
    EXPECT_FALSE(strayReleased);
    EXPECT_FALSE(writerGetsIn(object));  // the reader still reads
    finish.count_down();
    reader.join();
    EXPECT_TRUE(writerGetsIn(object));
}

// Releasing wakes both kinds of waiter, one with a time-out past the clock's range too.
TEST(KLLockHolds, AWaitingWriterHoldsBackNewReadersButNotTheNestedReadOfAReader) {
    KLLockableObject object;
    ASSERT_TRUE(object.lockForReading(-1));
    std::atomic<bool> writerIn{false}, lateReaderIn{false};
    std::thread writer([&] {
        EXPECT_TRUE(object.lockForWriting(-1));
        writerIn = true;  // before its unlock: the late reader must see it
        EXPECT_FALSE(lateReaderIn) << "a reader that came while the writer waited went first";
        EXPECT_TRUE(object.unlock());
    });
    spinUntil([&] { return !newReaderGetsIn(object); });  // the writer waits
    std::thread lateReader([&] {
        EXPECT_TRUE(object.lockForReading(std::numeric_limits<long>::max()));
        lateReaderIn = true;
        EXPECT_TRUE(object.unlock());
    });
    // Reading again must not wait, or it would wait for a writer that waits for it.
    EXPECT_TRUE(object.lockForReading(0) && object.unlock());
    EXPECT_FALSE(writerIn || lateReaderIn);
    EXPECT_TRUE(object.unlock());  // the last read hold: the writer goes, then the late reader
    writer.join();
    lateReader.join();
    expectLockFree(object);
}

// A writer that times out withdraws and wakes the readers queued behind it.
TEST(KLLockHolds, TimeOutsReturnFalseAndAWriterThatGivesUpLetsReadersIn) {
    KLLockableObject object;
    ASSERT_TRUE(object.lockForReading(-1));
    std::atomic<bool> writerDone{false};
    std::thread timedWriter([&] {
        EXPECT_FALSE(object.lockForWriting(200));
        EXPECT_EQ(takeStatus(), KL_STATUS_TIMEOUT);
        writerDone = true;
    });
    spinUntil([&] { return writerDone || !newReaderGetsIn(object); });
    std::thread([&] { EXPECT_TRUE(object.lockForReading(-1) && object.unlock()); }).join();
    timedWriter.join();
    EXPECT_TRUE(newReaderGetsIn(object));
    EXPECT_TRUE(object.unlock());
    expectLockFree(object);
}

// A reader asking to write fails at once; a writer nests reads and writes.
TEST(KLLockHolds, AReaderAskingForTheWriteLockFailsAtOnceAndAWriterNests) {
    KLLockableObject object;
    ASSERT_TRUE(object.lockForReading(-1) && object.lockForReading(-1));
    takeStatus();
    EXPECT_FALSE(object.lock(60000));  // whatever the time-out: waiting would be for itself
    EXPECT_EQ(takeStatus(), KL_STATUS_WOULD_DEADLOCK);
    EXPECT_FALSE(KLLockGuard(object, KLLockGuard::Writing).owns());  // gives back nothing
    takeStatus();
    EXPECT_TRUE(object.unlock());
    EXPECT_FALSE(writerGetsIn(object));  // one read hold left
    EXPECT_TRUE(object.unlock());
    EXPECT_FALSE(object.unlock());

    ASSERT_TRUE(object.lockForWriting(0));
    EXPECT_TRUE(object.lockForReading(0) && object.lockForWriting(0));
    EXPECT_FALSE(newReaderGetsIn(object));
    EXPECT_TRUE(object.unlock() && object.unlock());
    EXPECT_FALSE(writerGetsIn(object));  // the outermost hold still stands
    EXPECT_TRUE(object.unlock());
    expectLockFree(object);
}

// More objects read at once than a thread's inline records, released out of
// order; an object destroyed while read takes its record along.
TEST(KLLockHolds, AThreadReadingManyObjectsAtOnceKeepsEachHoldApart) {
    std::vector<std::unique_ptr<KLLockableObject>> objects(40);
    for (auto& object : objects)
        ASSERT_TRUE((object = std::make_unique<KLLockableObject>())->lockForReading(-1));
    for (int step = 0; step < 40; ++step) {
        const int i = (step * 7) % 40;  // 7 and 40 coprime: every index once
        EXPECT_FALSE(writerGetsIn(*objects[i])) << i;
        EXPECT_TRUE(objects[i]->unlock() && !objects[i]->unlock()) << i;
    }
    objects[0]->lockForReading(-1);
    objects.clear();
    const KLLockableObject fresh;
    EXPECT_FALSE(fresh.unlock());
}

// A crowd on one lock: seven threads reading without pause and one writing,
// each 200,000 times. No reader sees the writer inside nor the writer a
// reader, and the writer always gets its turn, so every thread finishes.
TEST(KLLockUnderLoad, SevenReadersAndAWriterExcludeEachOtherAndAllFinish) {
    constexpr int kReaders = 7, kOperations = 200'000;
    KLLockableObject lock;
    std::atomic<int> readersInside{0}, writersInside{0}, writerTurns{0};
    std::atomic<long> violations{0};
    std::latch start(kReaders + 1);
    const auto run = [&](bool writer) {
        start.arrive_and_wait();
        for (int i = 0; i < kOperations; ++i) {
            if (!(writer ? lock.lockForWriting() : lock.lockForReading())) {
                ++violations;
                continue;
            }
            std::atomic<int>& mine = writer ? writersInside : readersInside;
            if (mine.fetch_add(1) != 0 && writer) ++violations;
            if (writer ? readersInside.load() != 0 : writersInside.load() != 0) ++violations;
            mine.fetch_sub(1);
            writerTurns += writer;
            if (!lock.unlock()) ++violations;
        }
    };
    std::vector<std::thread> threads;
    for (int r = 0; r <= kReaders; ++r)
        threads.emplace_back(run, r == kReaders);
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(violations.load(), 0);
    EXPECT_EQ(writerTurns.load(), kOperations);
    EXPECT_TRUE(writerGetsIn(lock));  // nothing is left held
}

}  // namespace
