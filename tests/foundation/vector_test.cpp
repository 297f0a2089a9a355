#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <tessel/foundation/KLConcurrentModificationException.h>
#include <tessel/foundation/KLVector.h>

#include "kelp_checks.h"

using namespace kelp;

namespace {

using Ints = std::vector<int>;
using VectorIter = KLVectorIterator<int>;

std::unique_ptr<VectorIter> walk(KLVector<int>& v, int index) {
    return std::unique_ptr<VectorIter>(static_cast<VectorIter*>(v.listIterator(index)));
}

Ints contents(const KLVector<int>& v) {
    Ints out;
    for (int i = 0; i < static_cast<int>(v.size()); ++i)
        out.push_back(v.get(i));
    return out;
}

void append(KLVector<int>& v, int count) {
    for (int i = 0; i < count; ++i)
        v.insert(i, static_cast<int>(v.size()));
}

}  // namespace

// Indices are checked at each throw site, and a refused call leaves no hold;
// growth takes a value that lives in the storage it replaces; a failed
// removeRange or setSize shrinks nothing wrongly.
TEST(KLVector, ChecksIndicesAndEditsAtTheEdges) {
    KLVector<int> v;
    v.removeRange(5, 0);  // no count, so no index check either
    append(v, 3);
    for (int bad : {-1, 3}) {
        EXPECT_THROW_AT(v.insert(9, bad < 0 ? bad : 4), KLIndexOutOfBoundsException, "KLVector.h",
                        165);
        EXPECT_THROW_AT(v.set(9, bad, nullptr), KLIndexOutOfBoundsException, "KLVector.h", 183);
        EXPECT_THROW_AT(v.removeRange(bad, 1), KLIndexOutOfBoundsException, "KLVector.h", 242);
    }
    kelp_test::expectLockFree(v);
    // Read holds last: a leaked one would make this thread's next write wait for itself.
    for (int bad : {-1, 3}) {
        EXPECT_THROW_AT(v.get(bad), KLIndexOutOfBoundsException, "KLVector.h", 107);
        EXPECT_THROW_AT(delete v.listIterator(bad), KLIndexOutOfBoundsException, "KLVector.h", 555);
    }
    kelp_test::expectLockFree(v);
    v.clear();
    append(v, 128);
    v.insert(v.get(5), 128);
    EXPECT_EQ(v.get(128), 5);
    v.removeRange(2, 3);
    v.removeRange(5, 1000);
    EXPECT_EQ(contents(v), (Ints{0, 1, 5, 6, 7}));
    v.setSize(300);
    v.setSize(2);
    EXPECT_EQ(contents(v), (Ints{0, 1}));
}

TEST(KLVectorIterator, StartsWhereAskedAndEditsAroundTheCurrentElement) {
    constexpr const char* kFile = "KLVectorIterator.h";
    KLVector<int> v;
    EXPECT_FALSE(walk(v, 3)->hasNext());  // an empty vector accepts any index from 0
    v.insert(0, 0);
    EXPECT_THROW_AT(delete v.listIterator(1), KLIndexOutOfBoundsException, "KLVector.h", 555);
    append(v, 2);
    auto it = walk(v, 0);
    EXPECT_THROW_AT(it->set(9, nullptr), KLNoSuchElementException, kFile, 673);
    EXPECT_THROW_AT(it->current(), KLNoSuchElementException, kFile, 611);
    EXPECT_THROW_AT(it->remove(nullptr), KLNoSuchElementException, kFile, 654);
    EXPECT_THROW_AT(it->previous(), KLNoSuchElementException, kFile, 638);
    it->add(-1, KLCollection::kAddAsNext);  // no current: at the next index
    EXPECT_EQ(*it->next(), -1);
    it->add(5, KLCollection::kAddAsNext);  // after the current element
    EXPECT_EQ(*it->next(), 5);
    it->add(4, KLCollection::kAddAsPrevious);  // before it; it stays current
    EXPECT_EQ(*it->current(), 5);
    EXPECT_EQ(*it->previous(), 4);
    int old = 0;
    it->set(40, &old);
    EXPECT_EQ(old, 4);
    it->remove(&old);
    EXPECT_EQ(old, 40);
    EXPECT_EQ(*it->next(), 5);
    it->remove(nullptr);
    it->add(7, KLCollection::kAddAsPrevious);  // no current: just after the previous element
    EXPECT_EQ(*it->previous(), 7);
    EXPECT_EQ(*it->next(), 0);
    EXPECT_EQ(contents(v), (Ints{-1, 7, 0, 0, 1}));

    auto end = walk(v, 4);
    EXPECT_EQ(*end->next(), 1);
    EXPECT_THROW_AT(end->next(), KLNoSuchElementException, kFile, 623);
    v.insert(99, 5);
    EXPECT_THROW_AT(it->hasNext(), KLConcurrentModificationException, "KLCollectionIterator.h", 41);
}

TEST(KLVector, FailedGrowthChangesNothingAndReleasesTheLock) {
    KLVector<int> v;
    append(v, 128);
    const Ints before = contents(v);
    KLMemoryManager* heap = KLMemoryManager::getDefaultMemoryManager();
    heap->failNextAllocations(1);
    EXPECT_EQ(EXPECT_THROW_AT(v.insert(1, 128), KLMemoryException, "KLVector.h", 365),
              KL_STATUS_OUT_OF_MEMORY);
    auto it = walk(v, 0);
    heap->failNextAllocations(1);
    EXPECT_THROW(v.setSize(200), KLMemoryException);
    heap->failNextAllocations(1);
    EXPECT_THROW(it->add(-1, KLCollection::kAddAsNext), KLMemoryException);
    heap->failNextAllocations(0);
    EXPECT_EQ(contents(v), before);
    kelp_test::expectLockFree(v);
    EXPECT_EQ(*it->next(), 0);  // nothing changed, so the iterator still walks
}
