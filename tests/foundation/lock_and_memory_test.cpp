#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include <tessel/foundation/KLConcurrentModificationException.h>
#include <tessel/foundation/KLIterator.h>
#include <tessel/foundation/KLList.h>
#include <tessel/foundation/KLVector.h>

#include "kelp_checks.h"

using namespace kelp;

// Iterator steps and vector calls take the lock again inside the caller's.
TEST(KLLockableObject, CollectionCallsNestInsideTheCallersLock) {
    KLVector<int> v;
    v.insert(1, 0);
    ASSERT_TRUE(v.lock(-1));
    KLIterator<int> it;
    KLCollection::initIterator(it, v.iterator(false));
    it.next();
    it.remove();
    std::thread([&] { EXPECT_FALSE(v.lockForWriting(0)); }).join();
    EXPECT_TRUE(v.unlock());
    kelp_test::expectLockFree(v);
    EXPECT_TRUE(v.isEmpty());
}

TEST(KLListConcurrency, AddsAndIteratorRemovesFromSeveralThreadsBalance) {
    constexpr int kThreads = 4, kRounds = 100;
    KLList<int> list;
    std::atomic<bool> go{false};
    auto worker = [&](int id) {
        while (!go)
            std::this_thread::yield();  // start together, so the walks overlap
        for (int round = 0; round < kRounds; ++round) {
            list.add(id, KLCollection::kAddFirst);
            list.add(id, KLCollection::kAddLast);
            // Take one of ours out again. Each step holds the lock, as the element it
            // returns is only safe to read until another thread may remove it; changes
            // made between two steps still restart the walk.
            for (bool done = false; !done;) {
                try {
                    KLIterator<int> it;
                    KLCollection::initIterator(it, list.iterator(false));
                    while (!done && it.hasNext()) {
                        KLLockGuard step(list, KLLockGuard::Writing);
                        if (it.next() == id) it.remove(), done = true;
                    }
                } catch (const KLConcurrentModificationException&) {
                }
            }
        }
    };
    std::vector<std::thread> threads;
    for (int id = 0; id < kThreads; ++id)
        threads.emplace_back(worker, id);
    go = true;
    for (auto& thread : threads)
        thread.join();

    std::vector<int> perThread(kThreads, 0);
    KLIterator<int> it;
    KLCollection::initIterator(it, list.iterator(false));
    while (it.hasNext())
        ++perThread.at(it.next());
    EXPECT_EQ(perThread, std::vector<int>(kThreads, kRounds));
}

TEST(KLListConcurrency, AWalkSeesAnotherThreadsChangesAsAnException) {
    KLList<int> list;
    for (int i = 0; i < 16; ++i)
        list.add(i, KLCollection::kAddLast);
    std::atomic<bool> walking{false}, addsDone{false};
    bool sawChange = false;
    std::thread walker([&] {
        KLIterator<int> it;
        KLCollection::initIterator(it, list.iterator(false));
        walking = true;
        try {
            for (bool last = false; !last;) {
                last = addsDone;  // a step after all the adds must fail
                if (it.hasNext()) it.next();
            }
        } catch (const KLConcurrentModificationException&) {
            sawChange = true;
        }
    });
    while (!walking)
        std::this_thread::yield();
    for (int i = 0; i < 200; ++i)
        list.add(i, KLCollection::kAddLast);
    addsDone = true;
    walker.join();
    EXPECT_TRUE(sawChange);
}

// Elements never overlap across blocks, freed ones come back first, and
// refusals set the thread's status.
TEST(KLFixedSizeMemoryManager, ReusesFreedElementsAndGrowsByBlocks) {
    KLFixedSizeMemoryManager pool(24, 128, 1024);
    std::vector<unsigned char*> taken;
    for (int i = 0; i < 129; ++i) {
        taken.push_back(static_cast<unsigned char*>(pool.malloc(24)));
        std::memset(taken[i], i, 24);
    }
    for (int i = 0; i < 129; ++i)
        EXPECT_EQ(taken[i][0] + taken[i][23], 2 * i);
    pool.free(taken[5]);
    pool.free(taken[9]);
    EXPECT_EQ(pool.malloc(16), taken[9]);
    EXPECT_EQ(pool.malloc(24), taken[5]);

    EXPECT_EQ(pool.malloc(25), nullptr);
    EXPECT_EQ(kl_status_getLastError(), KL_STATUS_INVALID_ARGUMENT);
    pool.failNextAllocations(1);
    EXPECT_EQ(pool.malloc(8), nullptr);
    EXPECT_EQ(kl_status_getLastError(), KL_STATUS_OUT_OF_MEMORY);
    EXPECT_NE(pool.malloc(8), nullptr);
    kl_status_setLastError(KL_STATUS_OK);
}
