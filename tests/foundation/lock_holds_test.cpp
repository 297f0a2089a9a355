// KLLockableObject keeps per-thread hold records: who reads and how often, who
// writes and how deep. These tests synchronise their threads with latches and
// atomics and wait for events, never for time.
#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

#include <tessel/foundation/KLLockGuard.h>
#include <tessel/foundation/KLLockableObject.h>
#include <tessel/foundation/kl_status.h>

#include "lock_probe.h"
#include "throw_check.h"

using namespace kelp;
using kelp_test::newReaderGetsIn;
using kelp_test::spinUntil;
using kelp_test::writerGetsIn;

namespace {

TEST(KLLockHolds, AStrayUnlockFromAThreadHoldingNothingReleasesNoReadersHold) {
    KLLockableObject object, other;
    std::latch reading(1), finish(1);
    std::thread reader([&] {
        EXPECT_TRUE(object.lockForReading(-1));
        EXPECT_TRUE(object.lockForReading(-1));  // two holds, both this thread's
        reading.count_down();
        finish.wait();
        EXPECT_TRUE(object.unlock());
        EXPECT_TRUE(object.unlock());
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

    // The reader still reads: a writer cannot get in, readers still can.
    EXPECT_FALSE(writerGetsIn(object));
    EXPECT_TRUE(newReaderGetsIn(object));
    finish.count_down();
    reader.join();
    EXPECT_TRUE(writerGetsIn(object));
}

TEST(KLLockHolds, AWaitingWriterHoldsBackNewReadersButNotTheNestedReadOfAReader) {
    KLLockableObject object;
    ASSERT_TRUE(object.lockForReading(-1));  // the first reader: this thread
    std::atomic<bool> writerIn{false}, lateReaderIn{false};
    std::thread writer([&] {
        EXPECT_TRUE(object.lockForWriting(-1));
        writerIn = true;  // before its unlock: the late reader must see it
        EXPECT_FALSE(lateReaderIn) << "a reader that came while the writer waited went first";
        EXPECT_TRUE(object.unlock());
    });
    // The writer is waiting once a thread that holds nothing can no longer read.
    spinUntil([&] { return !newReaderGetsIn(object); });
    EXPECT_FALSE(writerIn);

    std::thread lateReader([&] {
        EXPECT_TRUE(object.lockForReading(-1));
        lateReaderIn = true;
        EXPECT_TRUE(writerIn) << "the late reader did not wait for the waiting writer";
        EXPECT_TRUE(object.unlock());
    });
    // The first reader may read again at once (0: no waiting), or it would
    // wait for a writer that waits for it.
    EXPECT_TRUE(object.lockForReading(0));
    EXPECT_TRUE(object.unlock());
    {
        KLLockGuard nested(object, KLLockGuard::Reading);
        EXPECT_TRUE(nested.owns());
    }
    EXPECT_FALSE(writerIn);
    EXPECT_FALSE(lateReaderIn);
    EXPECT_TRUE(object.unlock());  // the last read hold: the writer goes, then the late reader
    writer.join();
    lateReader.join();
    EXPECT_TRUE(lateReaderIn);
    kelp_test::expectLockFree(object);
}

TEST(KLLockHolds, AReaderAskingForTheWriteLockFailsAtOnceAndKeepsItsReads) {
    KLLockableObject object;
    ASSERT_TRUE(object.lockForReading(-1));
    ASSERT_TRUE(object.lockForReading(-1));
    kl_status_setLastError(KL_STATUS_OK);
    // Whatever the time-out: waiting would be waiting for itself.
    EXPECT_FALSE(object.lockForWriting(-1));
    EXPECT_EQ(kl_status_getLastError(), KL_STATUS_WOULD_DEADLOCK);
    kl_status_setLastError(KL_STATUS_OK);
    EXPECT_FALSE(object.lock(60000));
    EXPECT_EQ(kl_status_getLastError(), KL_STATUS_WOULD_DEADLOCK);
    EXPECT_FALSE(object.lockForWriting(0));
    {
        // A guard that could not take the lock gives back nothing of the caller's.
        KLLockGuard guard(object, KLLockGuard::Writing);
        EXPECT_FALSE(guard.owns());
    }
    kl_status_setLastError(KL_STATUS_OK);

    // Nothing changed: still two read holds of this thread's.
    EXPECT_FALSE(writerGetsIn(object));
    EXPECT_TRUE(newReaderGetsIn(object));
    EXPECT_TRUE(object.unlock());
    EXPECT_FALSE(writerGetsIn(object));
    EXPECT_TRUE(object.unlock());
    EXPECT_FALSE(object.unlock());
    kelp_test::expectLockFree(object);

    // Once it reads no more, the same thread writes, and reads and writes inside that.
    ASSERT_TRUE(object.lockForWriting(0));
    EXPECT_TRUE(object.lockForReading(0));
    EXPECT_TRUE(object.lockForWriting(0));
    EXPECT_FALSE(newReaderGetsIn(object));
    EXPECT_TRUE(object.unlock() && object.unlock());
    EXPECT_FALSE(writerGetsIn(object));  // the outermost hold still stands
    EXPECT_TRUE(object.unlock());
    EXPECT_FALSE(object.unlock());
    kelp_test::expectLockFree(object);
}

// More objects read at once than the records a thread keeps inline.
TEST(KLLockHolds, AThreadReadingManyObjectsAtOnceKeepsEachHoldApart) {
    constexpr int kObjects = 40;
    std::vector<std::unique_ptr<KLLockableObject>> objects;
    for (int i = 0; i < kObjects; ++i) {
        objects.push_back(std::make_unique<KLLockableObject>());
        ASSERT_TRUE(objects.back()->lockForReading(-1));
        if (i % 3 == 0) {
            ASSERT_TRUE(objects.back()->lockForReading(-1));
        }
    }
    for (int i = 0; i < kObjects; ++i)
        EXPECT_FALSE(writerGetsIn(*objects[i])) << i;
    // Released from the middle out; each object gives back exactly its own holds.
    for (int step = 0; step < kObjects; ++step) {
        const int i = (step * 7) % kObjects;  // 7 and 40 coprime: every index once
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

// Time-outs end a wait with false; releasing wakes every kind of waiter,
// and a time-out longer than the clock can count still means waiting.
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
    EXPECT_EQ(kl_status_getLastError(), KL_STATUS_TIMEOUT);
    kl_status_setLastError(KL_STATUS_OK);
    EXPECT_FALSE(object.lockForWriting(30));
    EXPECT_EQ(kl_status_getLastError(), KL_STATUS_TIMEOUT);
    kl_status_setLastError(KL_STATUS_OK);
    EXPECT_FALSE(object.lockForWriting(0));
    EXPECT_FALSE(object.unlock());  // a stray unlock releases no writer's hold
    EXPECT_FALSE(newReaderGetsIn(object));
    EXPECT_EQ(acquired, 0);
    finish.count_down();
    holder.join();
    unlimited.join();
    longest.join();
    EXPECT_EQ(acquired, 2);

    // A writer that times out behind a reader withdraws: new readers get in again.
    ASSERT_TRUE(object.lockForReading(-1));
    bool writerIn = true;
    std::thread([&] { writerIn = object.lockForWriting(30); }).join();
    EXPECT_FALSE(writerIn);
    EXPECT_TRUE(newReaderGetsIn(object));

    // And a reader that queued behind it is woken when it gives up (the reader
    // gets in even if the writer gave up before the reader came).
    std::atomic<bool> writerDone{false};
    std::thread timedWriter([&] {
        EXPECT_FALSE(object.lockForWriting(200));
        writerDone = true;
    });
    spinUntil([&] { return writerDone || !newReaderGetsIn(object); });
    std::thread lateReader([&] { EXPECT_TRUE(object.lockForReading(-1) && object.unlock()); });
    lateReader.join();  // while this thread still reads
    timedWriter.join();
    EXPECT_TRUE(object.unlock());
    kelp_test::expectLockFree(object);
}

}  // namespace
