#include <gtest/gtest.h>

#include <atomic>
#include <initializer_list>
#include <memory>
#include <thread>
#include <vector>

#include <tessel/foundation/KLConcurrentModificationException.h>
#include <tessel/foundation/KLIterator.h>
#include <tessel/foundation/KLList.h>

#include "kelp_checks.h"

using namespace kelp;

namespace {

using Ints = std::vector<int>;
using ListIter = KLListIterator<int>;
constexpr const char* kIterFile = "KLListIterator.h";

std::unique_ptr<ListIter> walk(KLList<int>& list, bool fromEnd = false) {
    return std::unique_ptr<ListIter>(static_cast<ListIter*>(list.iterator(fromEnd)));
}

void append(KLList<int>& list, std::initializer_list<int> values) {
    for (int v : values)
        list.add(v, KLCollection::kAddLast);
}

// Both ways, so a broken back link or end pointer shows.
Ints contents(KLList<int>& list) {
    Ints forward, backward;
    for (auto it = walk(list); it->hasNext();)
        forward.push_back(*it->next());
    for (auto it = walk(list, true); it->hasPrevious();)
        backward.push_back(*it->previous());
    EXPECT_EQ(forward, Ints(backward.rbegin(), backward.rend()));
    return forward;
}

}  // namespace

// A failed node allocation changes nothing behind an iterator; removing
// through a KLIterator takes out the first and the last node too.
TEST(KLList, AddKeepsOrderFailsCleanlyAndRemovesAtBothEnds) {
    KLList<int> list;
    list.add(1, KLCollection::kAddFirst);  // into an empty list: first and last at once
    auto it = walk(list);
    list.getNodeAllocator().failNextAllocations(1);
    EXPECT_EQ(EXPECT_THROW_AT(list.add(2, 1), KLMemoryException, "KLList.h", 187),
              KL_STATUS_OUT_OF_MEMORY);
    list.getNodeAllocator().failNextAllocations(1);
    EXPECT_THROW_AT(it->add(2, 1), KLMemoryException, kIterFile, 606);
    kelp_test::takeStatus();
    kelp_test::expectLockFree(list);
    EXPECT_EQ(*it->next(), 1);
    it.reset();
    append(list, {2, 3, 4});
    list.add(0, KLCollection::kAddFirst);
    list.add(5, 7);  // any where but 0 appends
    EXPECT_EQ(contents(list), (Ints{0, 1, 2, 3, 4, 5}));

    KLIterator<int> all;
    EXPECT_THROW_AT(all.next(), KLNoSuchElementException, "KLIterator.h", 68);
    KLCollectionIterator* first = list.iterator(true);
    KLCollection::initIterator(all, first);
    KLCollection::initIterator(all, first);                 // binding the same one again keeps it
    KLCollection::initIterator(all, list.iterator(false));  // deletes the first
    while (all.hasNext())
        if (all.next() % 2 == 0) all.remove();
    EXPECT_EQ(contents(list), (Ints{1, 3, 5}));
    list.clear();
    EXPECT_TRUE(contents(list).empty());
    EXPECT_EQ(list.getNodeAllocator().getFreeCount(), list.getNodeAllocator().getCapacity());
}

// Its own changes do not fail the iterator; another iterator's fail its next step.
TEST(KLListIterator, StepsBothWaysEditsAroundThePositionAndOthersFailTheNextStep) {
    KLList<int> list;
    walk(list)->add(2, KLCollection::kAddAsPrevious);    // into an empty list
    walk(list)->add(1, KLCollection::kAddAsPrevious);    // no current, no previous: first
    walk(list, true)->add(4, KLCollection::kAddAsNext);  // no current, no next: last
    auto it = walk(list);
    EXPECT_THROW_AT(it->current(), KLNoSuchElementException, kIterFile, 521);
    EXPECT_THROW_AT(it->set(0, nullptr), KLIllegalStateException, kIterFile, 584);
    it->next();
    EXPECT_EQ(*it->next(), 2);
    EXPECT_EQ(*it->previous(), 1);  // a step leaves the position between the element's neighbours
    it->next();
    int old = 0;
    it->set(20, &old);
    EXPECT_EQ(old, 2);
    it->remove(&old);
    EXPECT_EQ(old, 20);
    it->add(5, KLCollection::kAddAsNext);  // no current: before the next node
    EXPECT_EQ(*it->next(), 5);
    it->add(6, KLCollection::kAddAsNext);  // after the current node
    EXPECT_EQ(*it->next(), 6);
    it->add(7, KLCollection::kAddAsPrevious);  // before the current node
    EXPECT_EQ(*it->previous(), 7);
    EXPECT_EQ(*it->next(), 6);
    EXPECT_EQ(contents(list), (Ints{1, 5, 7, 6, 4}));

    auto other = walk(list);
    it->set(60, nullptr);
    EXPECT_EQ(*other->next(), 1);  // a set changes no structure
    it->add(8, KLCollection::kAddAsNext);
    EXPECT_THROW_AT(other->next(), KLConcurrentModificationException, "KLCollectionIterator.h", 41);
    EXPECT_EQ(*it->next(), 8);
    EXPECT_EQ(*it->next(), 4);
    EXPECT_THROW_AT(it->next(), KLNoSuchElementException, kIterFile, 533);
    list.add(9, KLCollection::kAddLast);
    EXPECT_THROW(it->hasNext(), KLConcurrentModificationException);
    EXPECT_EQ(contents(list), (Ints{1, 5, 7, 60, 8, 4, 9}));
}

// Runs hold the list while they visit, not between runs.
TEST(KLListIterator, RunsStepLikeSingleStepsAndFailAfterAChange) {
    KLList<int> list;
    append(list, {0, 1, 2, 3, 4, 5, 6});
    ListIter it(&list, false);
    Ints seen;
    const auto note = [&](int value) {
        seen.push_back(value);
        EXPECT_FALSE(kelp_test::writerGetsIn(list));
    };
    EXPECT_TRUE(it.nextRun(3, note));
    kelp_test::expectLockFree(list);
    EXPECT_EQ(*it.current(), 2);
    EXPECT_FALSE(it.nextRun(4, note));
    EXPECT_FALSE(it.nextRun(4, note));  // at the end a run visits nothing
    EXPECT_EQ(seen, (Ints{0, 1, 2, 3, 4, 5, 6}));
    list.add(7, KLCollection::kAddLast);
    EXPECT_THROW(it.nextRun(2, note), KLConcurrentModificationException);
}

// Each step holds the lock: what it returns is only safe until another thread removes it.
TEST(KLListConcurrency, AddsAndIteratorRemovesFromSeveralThreadsBalance) {
    constexpr int kThreads = 4, kRounds = 100;
    KLList<int> list;
    std::atomic<bool> go{false};
    const auto takeOneOut = [&](int id) {
        KLIterator<int> it;
        KLCollection::initIterator(it, list.iterator(false));
        while (it.hasNext()) {
            KLLockGuard step(list, KLLockGuard::Writing);
            if (it.next() == id) return it.remove(), true;
        }
        return false;
    };
    std::vector<std::jthread> threads;
    for (int id = 0; id < kThreads; ++id)
        threads.emplace_back([&, id] {
            kelp_test::spinUntil([&] { return go.load(); });  // together, so the walks overlap
            for (int round = 0; round < kRounds; ++round) {
                list.add(id, KLCollection::kAddFirst);
                list.add(id, KLCollection::kAddLast);
                for (bool done = false; !done;)
                    try {
                        done = takeOneOut(id);
                    } catch (const KLConcurrentModificationException&) {
                    }
            }
        });
    go = true;
    threads.clear();
    Ints perThread(kThreads, 0);
    for (int id : contents(list))
        ++perThread.at(id);
    EXPECT_EQ(perThread, Ints(kThreads, kRounds));
}
