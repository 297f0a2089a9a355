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
using kelp_test::newReaderGetsIn;
using kelp_test::spinUntil;
using kelp_test::takeStatus;
using kelp_test::writerGetsIn;

namespace {

TEST(KLLockHolds, AStrayUnlockFromAThreadHoldingNothingReleasesNoReadersHold) {
    KLLockableObject object, other;
    std::latch reading(1), finish(1);
    std::thread reader([&] {
        EXPECT_TRUE(object.lockForReading(-1) && object.lockForReading(-1));
        reading.count_down();
        finish.wait();
        EXPECT_TRUE(object.unlock() && object.unlock());
        EXPECT_FALSE(object.unlock());
    });
    reading.wait();
    // Strays: a thread with no hold at all, and one whose holds are on another object.
    bool strayReleased = true;
    std::thread([&] { strayReleased = object.unlock() || object.unlock(); }).join();
    EXPECT_FALSE(strayReleased);
    std::thread([&] {
        ASSERT_TRUE(other.lockForReading(-1));
        strayReleased = object.unlock();
        EXPECT_TRUE(other.unlock());
    }).join();
    EXPECT_FALSE(strayReleased);
    EXPECT_FALSE(object.unlock());
    EXPECT_FALSE(writerGetsIn(object));  // the reader still reads
    EXPECT_TRUE(newReaderGetsIn(object));
    finish.count_down();
    reader.join();
    EXPECT_TRUE(writerGetsIn(object));
}

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
        EXPECT_TRUE(object.lockForReading(-1));
        lateReaderIn = true;
        EXPECT_TRUE(writerIn) << "the late reader did not wait for the waiting writer";
        EXPECT_TRUE(object.unlock());
    });
    // Reading again must not wait, or it would wait for a writer that waits for it.
    EXPECT_TRUE(object.lockForReading(0) && object.unlock());
    EXPECT_TRUE(KLLockGuard(object, KLLockGuard::Reading).owns());
    EXPECT_FALSE(writerIn || lateReaderIn);
    EXPECT_TRUE(object.unlock());  // the last read hold: the writer goes, then the late reader
    writer.join();
    lateReader.join();
    EXPECT_TRUE(lateReaderIn);
    kelp_test::expectLockFree(object);
}

TEST(KLLockHolds, AReaderAskingForTheWriteLockFailsAtOnceAndKeepsItsReads) {
    KLLockableObject object;
    ASSERT_TRUE(object.lockForReading(-1) && object.lockForReading(-1));
    takeStatus();
    // Whatever the time-out: waiting would be waiting for itself.
    EXPECT_FALSE(object.lockForWriting(-1));
    EXPECT_EQ(takeStatus(), KL_STATUS_WOULD_DEADLOCK);
    EXPECT_FALSE(object.lock(60000));
    EXPECT_EQ(takeStatus(), KL_STATUS_WOULD_DEADLOCK);
    // A guard that could not take the lock gives back nothing of the caller's.
    EXPECT_FALSE(KLLockGuard(object, KLLockGuard::Writing).owns());
    takeStatus();
    EXPECT_FALSE(writerGetsIn(object));  // still two read holds of this thread's
    EXPECT_TRUE(newReaderGetsIn(object));
    EXPECT_TRUE(object.unlock());
    EXPECT_FALSE(writerGetsIn(object));
    EXPECT_TRUE(object.unlock());
    EXPECT_FALSE(object.unlock());

    // Once it reads no more, the same thread writes, and reads and writes inside that.
    ASSERT_TRUE(object.lockForWriting(0));
    EXPECT_TRUE(object.lockForReading(0) && object.lockForWriting(0));
    EXPECT_FALSE(newReaderGetsIn(object));
    EXPECT_TRUE(object.unlock() && object.unlock());
    EXPECT_FALSE(writerGetsIn(object));  // the outermost hold still stands
    EXPECT_TRUE(object.unlock());
    EXPECT_FALSE(object.unlock());
    kelp_test::expectLockFree(object);
}

// More objects read at once than the records a thread keeps inline, released
// from the middle out: each gives back exactly its own holds.
TEST(KLLockHolds, AThreadReadingManyObjectsAtOnceKeepsEachHoldApart) {
    constexpr int kObjects = 40;
    std::vector<std::unique_ptr<KLLockableObject>> objects;
    for (int i = 0; i < kObjects; ++i) {
        objects.push_back(std::make_unique<KLLockableObject>());
        for (int hold = 0; hold < (i % 3 == 0 ? 2 : 1); ++hold)
            ASSERT_TRUE(objects.back()->lockForReading(-1));
    }
    for (int step = 0; step < kObjects; ++step) {
        const int i = (step * 7) % kObjects;  // 7 and 40 coprime: every index once
        EXPECT_FALSE(writerGetsIn(*objects[i])) << i;
        EXPECT_TRUE(objects[i]->unlock()) << i;
        if (i % 3 == 0) {
            EXPECT_FALSE(writerGetsIn(*objects[i])) << i;
            EXPECT_TRUE(objects[i]->unlock()) << i;
        }
        EXPECT_FALSE(objects[i]->unlock()) << i;
        EXPECT_TRUE(writerGetsIn(*objects[i])) << i;
    }
    // Destroyed while read: the thread's record goes with the object.
    auto doomed = std::make_unique<KLLockableObject>();
    ASSERT_TRUE(doomed->lockForReading(-1));
    doomed.reset();
    KLLockableObject fresh;
    EXPECT_FALSE(fresh.unlock());
    EXPECT_TRUE(fresh.lockForWriting(0) && fresh.unlock());
}

// Time-outs end a wait with false; releasing wakes every kind of waiter, and
// a time-out longer than the clock can count still means waiting.
TEST(KLLockHolds, TimeOutsReturnFalseAndAWriterThatGivesUpLetsReadersIn) {
    KLLockableObject object;
    std::latch writing(1), finish(1);
    std::thread holder([&] {
        EXPECT_TRUE(object.lockForWriting(-1));
        writing.count_down();
        finish.wait();
        EXPECT_TRUE(object.unlock());
    });
    writing.wait();
    std::atomic<int> acquired{0};
    std::thread unlimited([&] { acquired += object.lockForWriting(-1) && object.unlock(); });
    std::thread longest([&] {
        acquired += object.lockForReading(std::numeric_limits<long>::max()) && object.unlock();
    });
    EXPECT_FALSE(object.lockForReading(30));
    EXPECT_EQ(takeStatus(), KL_STATUS_TIMEOUT);
    EXPECT_FALSE(object.lockForWriting(30));
    EXPECT_EQ(takeStatus(), KL_STATUS_TIMEOUT);
    EXPECT_FALSE(object.unlock());  // a stray unlock releases no writer's hold
    EXPECT_FALSE(newReaderGetsIn(object));
    EXPECT_EQ(acquired, 0);
    finish.count_down();
    for (std::thread* t : {&holder, &unlimited, &longest})
        t->join();
    EXPECT_EQ(acquired, 2);

    // A writer that times out behind a reader withdraws: new readers get in
    // again, and one that queued behind it is woken when it gives up.
    ASSERT_TRUE(object.lockForReading(-1));
    bool writerIn = true;
    std::thread([&] { writerIn = object.lockForWriting(30); }).join();
    EXPECT_FALSE(writerIn);
    EXPECT_TRUE(newReaderGetsIn(object));
    std::atomic<bool> writerDone{false};
    std::thread timedWriter([&] {
        EXPECT_FALSE(object.lockForWriting(200));
        writerDone = true;
    });
    spinUntil([&] { return writerDone || !newReaderGetsIn(object); });
    std::thread([&] { EXPECT_TRUE(object.lockForReading(-1) && object.unlock()); }).join();
    timedWriter.join();
    EXPECT_TRUE(object.unlock());
    kelp_test::expectLockFree(object);
}

}  // namespace
