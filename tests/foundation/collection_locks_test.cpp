// Which lock each collection operation takes, seen from outside: while this thread reads a
// collection, as a thread inside one of its read-only operations does, another thread runs the
// operation. An operation that reads shares the collection and finishes; one that takes the write
// (or exclusive) lock waits, and, writers going first, holds back new readers, which is how the
// test sees it wait. No sleeps.
//
// KLArray is no lockable object (it derives from KLObject only), so its lock
// calls exclude nothing and have nothing to show here.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include <tessel/foundation/KLList.h>
#include <tessel/foundation/KLListIterator.h>
#include <tessel/foundation/KLVector.h>
#include <tessel/foundation/KLVectorIterator.h>

#include "lock_probe.h"

using namespace kelp;
using kelp_test::newReaderGetsIn;
using kelp_test::spinUntil;

namespace {

// Runs `operation` on another thread while this thread holds a read lock of
// `object`; true when the operation had to wait for that read to end.
template <class Operation>
bool waitsForAReader(const KLObject& object, Operation operation) {
    EXPECT_TRUE(object.lockForReading(-1));
    std::atomic<bool> done{false};
    std::thread other([&] {
        try {
            operation();
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
        }
        done = true;
    });
    bool waited = false;
    spinUntil([&] {
        if (done) return true;
        waited = !newReaderGetsIn(object);  // only a waiting writer stops a new reader
        return waited;
    });
    if (waited) {
        EXPECT_FALSE(done) << "it finished while another thread still read";
    }
    EXPECT_TRUE(object.unlock());
    other.join();
    EXPECT_TRUE(done);
    return waited;
}

void filled(KLVector<int>& v) {
    for (int i = 0; i < 3; ++i)
        v.insert(i, i);
}

void filled(KLList<int>& list) {
    for (int i = 0; i < 3; ++i)
        list.add(i, KLCollection::kAddLast);
}

template <class Iterator, class Collection>
std::unique_ptr<Iterator> stepped(Collection& c, int steps) {
    std::unique_ptr<Iterator> it(static_cast<Iterator*>(c.iterator(false)));
    for (int i = 0; i < steps; ++i)
        it->next();
    return it;
}

TEST(CollectionLocks, VectorReadsShareTheVectorAndChangesWaitForReaders) {
    KLVector<int> v;
    filled(v);
    EXPECT_FALSE(waitsForAReader(v, [&] { EXPECT_EQ(v.get(1), 1); })) << "get";
    EXPECT_FALSE(waitsForAReader(v, [&] { delete v.listIterator(1); })) << "listIterator";
    EXPECT_FALSE(waitsForAReader(v, [&] { delete v.iterator(false); })) << "iterator";

    EXPECT_TRUE(waitsForAReader(v, [&] { v.insert(9, 0); })) << "insert";
    EXPECT_TRUE(waitsForAReader(v, [&] { v.set(8, 0, nullptr); })) << "set";
    EXPECT_TRUE(waitsForAReader(v, [&] { v.removeRange(0, 1); })) << "removeRange";
    EXPECT_TRUE(waitsForAReader(v, [&] { v.ensureCapacity(1000); })) << "ensureCapacity";
    EXPECT_TRUE(waitsForAReader(v, [&] { v.setSize(10); })) << "setSize";
    EXPECT_TRUE(waitsForAReader(v, [&] { v.clear(); })) << "clear";
    EXPECT_TRUE(v.isEmpty());
}

// Every vector iterator step takes the write lock; list iterator queries
// only read. Each runs on an iterator after one step.
TEST(CollectionLocks, IteratorStepsTakeTheLockTheirCollectionNeeds) {
    KLVector<int> v;
    filled(v);
    KLList<int> list;
    filled(list);
    auto vit = stepped<KLVectorIterator<int>>(v, 1);
    auto lit = stepped<KLListIterator<int>>(list, 1);
    int value = 0;
    const auto query = [](auto& it, int which) {
        if (which == 0) it.hasCurrent();
        if (which == 1) it.hasNext();
        if (which == 2) it.hasPrevious();
        if (which == 3) it.current();
        if (which == 4) it.next();
        if (which == 5) it.previous();
    };
    for (int which = 0; which < 6; ++which) {
        EXPECT_TRUE(waitsForAReader(v, [&] { query(*vit, which); })) << "vector query " << which;
        EXPECT_FALSE(waitsForAReader(list, [&] { query(*lit, which); })) << "list query " << which;
    }
    EXPECT_TRUE(waitsForAReader(v, [&] { vit->set(7, &value); })) << "set";
    EXPECT_TRUE(waitsForAReader(v, [&] { vit->remove(&value); })) << "remove";
    EXPECT_TRUE(waitsForAReader(v, [&] { vit->add(5, KLCollection::kAddAsNext); })) << "add";
    EXPECT_TRUE(waitsForAReader(list, [&] { lit->set(7, &value); })) << "set";
    EXPECT_TRUE(waitsForAReader(list, [&] { lit->remove(&value); })) << "remove";
    EXPECT_TRUE(waitsForAReader(list, [&] { lit->add(5, KLCollection::kAddAsNext); })) << "add";
    EXPECT_TRUE(waitsForAReader(list, [&] { list.add(4, KLCollection::kAddLast); })) << "list add";
    EXPECT_TRUE(waitsForAReader(list, [&] { list.clear(); })) << "list clear";
}

}  // namespace
