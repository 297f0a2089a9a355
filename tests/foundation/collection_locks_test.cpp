// Which lock each collection operation takes, seen from outside: while this
// thread reads the collection, another runs the operation. One that reads
// shares the collection and finishes; one that writes waits and, writers going
// first, holds back new readers, which is how the test sees it wait.
// (KLArray derives from KLObject only: its lock calls exclude nothing.)
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include <tessel/foundation/KLList.h>
#include <tessel/foundation/KLListIterator.h>
#include <tessel/foundation/KLVector.h>
#include <tessel/foundation/KLVectorIterator.h>

#include "kelp_checks.h"

using namespace kelp;

namespace {

// True when `operation`, run on another thread, had to wait for this thread's read.
bool waitsForAReader(const KLObject& object, const std::function<void()>& operation) {
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
    kelp_test::spinUntil([&] { return done || (waited = !kelp_test::newReaderGetsIn(object)); });
    EXPECT_FALSE(waited && done) << "it finished while another thread still read";
    EXPECT_TRUE(object.unlock());
    other.join();
    return waited;
}

struct Case {
    const char* name;
    const KLObject& object;
    std::function<void()> operation;
    bool writes;
};

void expectLocks(const std::initializer_list<Case>& cases) {
    for (const Case& c : cases)
        EXPECT_EQ(waitsForAReader(c.object, c.operation), c.writes) << c.name;
}

TEST(CollectionLocks, VectorReadsShareTheVectorAndChangesWaitForReaders) {
    KLVector<int> v;
    for (int i = 0; i < 3; ++i)
        v.insert(i, i);
    expectLocks({
        {"get", v, [&] { EXPECT_EQ(v.get(1), 1); }, false},
        {"listIterator", v, [&] { delete v.listIterator(1); }, false},
        {"iterator", v, [&] { delete v.iterator(false); }, false},
        {"insert", v, [&] { v.insert(9, 0); }, true},
        {"set", v, [&] { v.set(8, 0, nullptr); }, true},
        {"removeRange", v, [&] { v.removeRange(0, 1); }, true},
        {"ensureCapacity", v, [&] { v.ensureCapacity(1000); }, true},
        {"setSize", v, [&] { v.setSize(10); }, true},
        {"clear", v, [&] { v.clear(); }, true},
    });
    EXPECT_TRUE(v.isEmpty());
}

// Every vector iterator step takes the write lock; list iterator queries
// only read. Each runs on an iterator after one step.
TEST(CollectionLocks, IteratorStepsTakeTheLockTheirCollectionNeeds) {
    KLVector<int> v;
    KLList<int> list;
    for (int i = 0; i < 3; ++i) {
        v.insert(i, i);
        list.add(i, KLCollection::kAddLast);
    }
    std::unique_ptr<KLVectorIterator<int>> vit(static_cast<KLVectorIterator<int>*>(v.iterator(false)));
    std::unique_ptr<KLListIterator<int>> lit(static_cast<KLListIterator<int>*>(list.iterator(false)));
    vit->next();
    lit->next();
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
    int value = 0;
    expectLocks({
        {"vector set", v, [&] { vit->set(7, &value); }, true},
        {"vector remove", v, [&] { vit->remove(&value); }, true},
        {"vector add", v, [&] { vit->add(5, KLCollection::kAddAsNext); }, true},
        {"list set", list, [&] { lit->set(7, &value); }, true},
        {"list remove", list, [&] { lit->remove(&value); }, true},
        {"list add", list, [&] { lit->add(5, KLCollection::kAddAsNext); }, true},
        {"KLList::add", list, [&] { list.add(4, KLCollection::kAddLast); }, true},
        {"KLList::clear", list, [&] { list.clear(); }, true},
    });
}

}  // namespace
