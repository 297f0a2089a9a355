// Which lock each operation takes: run on another thread while this one reads,
// a writer waits and, writers going first, holds back new readers.
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
        operation();
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
    std::function<void()> operation;
    bool writes;
};

void expectLocks(const KLObject& object, const std::initializer_list<Case>& cases) {
    for (const Case& c : cases)
        EXPECT_EQ(waitsForAReader(object, c.operation), c.writes) << c.name;
}

// Vector reads share the vector and every vector iterator step writes; list
// iterator queries only read. Changes wait for the reader.
TEST(CollectionLocks, EachOperationTakesTheLockItNeeds) {
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
    expectLocks(list, {{"set", [&] { lit->set(7, nullptr); }, true},
                       {"remove", [&] { lit->remove(nullptr); }, true},
                       {"add", [&] { lit->add(5, KLCollection::kAddAsNext); }, true},
                       {"KLList::add", [&] { list.add(4, KLCollection::kAddLast); }, true},
                       {"KLList::clear", [&] { list.clear(); }, true}});
    expectLocks(v, {{"set", [&] { vit->set(7, nullptr); }, true},
                    {"remove", [&] { vit->remove(nullptr); }, true},
                    {"add", [&] { vit->add(5, KLCollection::kAddAsNext); }, true},
                    {"get", [&] { EXPECT_EQ(v.get(1), 1); }, false},
                    {"listIterator", [&] { delete v.listIterator(1); }, false},
                    {"iterator", [&] { delete v.iterator(false); }, false},
                    {"insert", [&] { v.insert(9, 0); }, true},
                    {"set", [&] { v.set(8, 0, nullptr); }, true},
                    {"removeRange", [&] { v.removeRange(0, 1); }, true},
                    {"ensureCapacity", [&] { v.ensureCapacity(1000); }, true},
                    {"setSize", [&] { v.setSize(10); }, true},
                    {"clear", [&] { v.clear(); }, true}});
    EXPECT_TRUE(v.isEmpty());
}

}  // namespace
