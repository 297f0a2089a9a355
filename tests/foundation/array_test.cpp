#include <gtest/gtest.h>

#include <cstddef>
#include <limits>
#include <memory>
#include <stdexcept>
#include <vector>

#include <tessel/foundation/KLArray.h>
#include <tessel/foundation/KLConcurrentModificationException.h>
#include <tessel/foundation/KLMemoryException.h>
#include <tessel/foundation/KLVector.h>

#include "kelp_checks.h"

using namespace kelp;

namespace {

using Values = std::vector<long long>;
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

// 16 bytes, eight to the first 128; no move, so growth copies, and a copy can fail.
struct Record {
    static inline int live = 0, copiesLeft = -1;
    Record() { ++live; }
    explicit Record(long long v) : value(v) { ++live; }
    Record(const Record& other) : value(other.value) {
        if (copiesLeft == 0) throw std::runtime_error("copy failed");
        copiesLeft -= copiesLeft > 0;
        ++live;
    }
    Record& operator=(const Record& other) = default;
    ~Record() { --live; }
    long long value = -1, padding = 0;
};

Values values(const KLArray<Record>& array) {
    Values out;
    for (int i = 0; i < static_cast<int>(array.size()); ++i)
        out.push_back(array.get(i).value);
    return out;
}

// Doubling from 128 of these runs out of size_t before a count an int can ask for.
struct Huge {
    unsigned char bytes[std::size_t{1} << 34];
};

}  // namespace

// Growth takes a value that lives in the storage it replaces; a failed growth
// (no memory, a copy that throws) leaves the array as it was.
TEST(KLArray, ChecksIndicesAndRecordsLiveExactlyOnceThroughGrowth) {
    {
        KLArray<Record> a;
        EXPECT_THROW_AT(a[-1], KLIndexOutOfBoundsException, "KLArray.h", 151);
        for (int i = 0; i < 8; ++i)
            a[i].value = i;
        EXPECT_THROW_AT(a.get(8), KLIndexOutOfBoundsException, "KLArray.h", 171);
        EXPECT_THROW_AT(a.insert(Record(), 9), KLIndexOutOfBoundsException, "KLArray.h", 289);
        KLMemoryManager::getDefaultMemoryManager()->failNextAllocations(1);
        EXPECT_EQ(EXPECT_THROW_AT(a[8], KLMemoryException, "KLArray.h", 124),
                  KL_STATUS_OUT_OF_MEMORY);
        Record::copiesLeft = 3;
        EXPECT_THROW(a[8], std::runtime_error);
        Record::copiesLeft = -1;
        EXPECT_EQ(values(a), (Values{0, 1, 2, 3, 4, 5, 6, 7}));
        EXPECT_EQ(Record::live, 8);

        a.insert(a.get(3), 0);  // grows
        a.insert(Record(200), 9);
        EXPECT_EQ(values(a), (Values{3, 0, 1, 2, 3, 4, 5, 6, 7, 200}));
        EXPECT_EQ(Record::live, 10);
        KLArray<Record> b;
        b[0].value = 50;
        b = a;
        EXPECT_EQ(values(KLArray<Record>(b)), values(a));
        a.clear();
        EXPECT_EQ(Record::live, 10);
    }
    EXPECT_EQ(Record::live, 0);
}

// Out of memory even where no allocator ran, never the thread's stale status.
TEST(KLArray, SizesNoMemoryCanHoldThrowOutOfMemoryAndChangeNothing) {
    const auto expectOutOfMemory = [](int status) {
        EXPECT_EQ(status, KL_STATUS_OUT_OF_MEMORY);
        EXPECT_EQ(kl_status_getLastError(), KL_STATUS_OUT_OF_MEMORY);
        kl_status_setLastError(KL_STATUS_NOT_FOUND);
    };
    kl_status_setLastError(KL_STATUS_NOT_FOUND);
    KLArray<void*> a;
    // 2^63 + 8 bytes: representable, but past the last doubling of 128 bytes.
    for (const std::size_t count : {std::numeric_limits<std::size_t>::max() / sizeof(void*) + 1,
                                    (std::size_t{1} << 60) + 1})
        expectOutOfMemory(
            EXPECT_THROW_AT(a.ensureCapacity(count), KLMemoryException, "KLArray.h", 124));
    EXPECT_EQ(a.getCapacity(), 128u);

    KLVector<Huge> v;  // at most 2^30 - 1 fit in size_t; doubling from 128 stops at 2^29
    expectOutOfMemory(
        EXPECT_THROW_AT(v.ensureCapacity(1 << 30), KLMemoryException, "KLVector.h", 365));
    expectOutOfMemory(
        EXPECT_THROW_AT(v.setSize((1 << 29) + 1), KLMemoryException, "KLVector.h", 365));
    EXPECT_EQ(v.getCapacity(), 0u);
    kelp_test::expectLockFree(v);
    kl_status_setLastError(KL_STATUS_OK);
}

// A refused call leaves no hold; a failed growth changes nothing.
TEST(KLVector, ChecksIndicesEditsAtTheEdgesAndSurvivesFailedGrowth) {
    KLVector<int> v;
    append(v, 3);
    EXPECT_THROW_AT(v.insert(9, 4), KLIndexOutOfBoundsException, "KLVector.h", 165);
    EXPECT_THROW_AT(v.set(9, 3, nullptr), KLIndexOutOfBoundsException, "KLVector.h", 183);
    EXPECT_THROW_AT(v.removeRange(-1, 1), KLIndexOutOfBoundsException, "KLVector.h", 242);
    // A leaked read hold would make this thread's next write wait for itself.
    EXPECT_THROW_AT(v.get(3), KLIndexOutOfBoundsException, "KLVector.h", 107);
    kelp_test::expectLockFree(v);
    v.clear();
    append(v, 128);
    v.insert(v.get(5), 128);
    EXPECT_EQ(v.get(128), 5);
    v.removeRange(2, 3);
    v.removeRange(5, 1000);
    EXPECT_EQ(contents(v), (Ints{0, 1, 5, 6, 7}));
    v.setSize(2);
    EXPECT_EQ(contents(v), (Ints{0, 1}));

    KLVector<int> full;  // its first storage holds exactly 128
    append(full, 128);
    auto it = walk(full, 0);
    KLMemoryManager::getDefaultMemoryManager()->failNextAllocations(1);
    EXPECT_EQ(EXPECT_THROW_AT(it->add(-1, KLCollection::kAddAsNext), KLMemoryException,
                              "KLVector.h", 365),
              KL_STATUS_OUT_OF_MEMORY);
    kelp_test::expectLockFree(full);
    EXPECT_EQ(full.size(), 128u);
    EXPECT_EQ(*it->next(), 0);  // nothing changed, so the iterator still walks
}

TEST(KLVectorIterator, StartsWhereAskedAndEditsAroundTheCurrentElement) {
    constexpr const char* kFile = "KLVectorIterator.h";
    KLVector<int> v;
    append(v, 1);
    append(v, 2);
    auto it = walk(v, 0);
    EXPECT_THROW_AT(it->current(), KLNoSuchElementException, kFile, 611);
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
