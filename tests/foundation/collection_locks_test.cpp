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

TEST(CollectionLocks, EveryVectorIteratorStepExcludesReaders) {
    using Iter = KLVectorIterator<int>;
    KLVector<int> v;
    filled(v);
    auto at = [&](int steps) { return stepped<Iter>(v, steps); };
    int value = 0;
    // Each on a fresh iterator, after its one step (the vector then unchanged).
    auto it = at(1);
    EXPECT_TRUE(waitsForAReader(v, [&] { it->hasCurrent(); })) << "hasCurrent";
    EXPECT_TRUE(waitsForAReader(v, [&] { it->hasNext(); })) << "hasNext";
    EXPECT_TRUE(waitsForAReader(v, [&] { it->hasPrevious(); })) << "hasPrevious";
    EXPECT_TRUE(waitsForAReader(v, [&] { it->current(); })) << "current";
    EXPECT_TRUE(waitsForAReader(v, [&] { it->next(); })) << "next";
    EXPECT_TRUE(waitsForAReader(v, [&] { it->previous(); })) << "previous";
    EXPECT_TRUE(waitsForAReader(v, [&] { it->set(7, &value); })) << "set";
    EXPECT_TRUE(waitsForAReader(v, [&] { it->remove(&value); })) << "remove";
    EXPECT_TRUE(waitsForAReader(v, [&] { it->add(5, KLCollection::kAddAsNext); })) << "add";
    EXPECT_EQ(v.size(), 3u);
}

TEST(CollectionLocks, ListIteratorQueriesShareTheListAndChangesWaitForReaders) {
    using Iter = KLListIterator<int>;
    KLList<int> list;
    filled(list);
    int value = 0;
    auto it = stepped<Iter>(list, 1);
    EXPECT_FALSE(waitsForAReader(list, [&] { it->hasCurrent(); })) << "hasCurrent";
    EXPECT_FALSE(waitsForAReader(list, [&] { it->hasNext(); })) << "hasNext";
    EXPECT_FALSE(waitsForAReader(list, [&] { it->hasPrevious(); })) << "hasPrevious";
    EXPECT_FALSE(waitsForAReader(list, [&] { it->current(); })) << "current";
    EXPECT_FALSE(waitsForAReader(list, [&] { it->next(); })) << "next";
    EXPECT_FALSE(waitsForAReader(list, [&] { it->previous(); })) << "previous";

    EXPECT_TRUE(waitsForAReader(list, [&] { it->set(7, &value); })) << "set";
    EXPECT_TRUE(waitsForAReader(list, [&] { it->remove(&value); })) << "remove";
    EXPECT_TRUE(waitsForAReader(list, [&] { it->add(5, KLCollection::kAddAsNext); })) << "add";
    EXPECT_TRUE(waitsForAReader(list, [&] { list.add(4, KLCollection::kAddLast); })) << "list add";
    EXPECT_TRUE(waitsForAReader(list, [&] { list.clear(); })) << "list clear";
    EXPECT_TRUE(list.isEmpty());
}

}  // namespace
