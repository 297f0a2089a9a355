#include <gtest/gtest.h>

#include <cstddef>
#include <limits>
#include <stdexcept>
#include <vector>

#include <tessel/foundation/KLArray.h>
#include <tessel/foundation/KLMemoryException.h>
#include <tessel/foundation/KLVector.h>

#include "kelp_checks.h"

using namespace kelp;

namespace {

using Values = std::vector<long long>;

// 16 bytes, so the first 128 bytes hold exactly eight. Copying can be made to
// fail; there is no move, so growth has to copy.
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

// A plain array locks through KLObject's virtuals, so a subclass can watch its lock calls.
struct LockProbe : KLArray<int*> {
    mutable int locks = 0, unlocks = 0;
    bool lockForReading(long) const override { return ++locks > 0; }
    bool lockForWriting(long) const override { return ++locks > 0; }
    bool unlock() const override { return ++unlocks > 0; }
};

// So large that a doubling from 128 elements runs out of size_t before it
// reaches a count an int can ask for.
struct Huge {
    unsigned char bytes[std::size_t{1} << 34];
};

}  // namespace

TEST(KLArray, IndexingPastTheEndExtendsButGetAndInsertCheck) {
    LockProbe a;
    EXPECT_THROW_AT(a[-1], KLIndexOutOfBoundsException, "KLArray.h", 151);
    EXPECT_EQ(a.locks + a.unlocks, 0);  // refused before locking
    int xs[17];
    a[5] = &xs[5];
    EXPECT_EQ(a.size(), 6u);
    EXPECT_THROW_AT(a.get(6), KLIndexOutOfBoundsException, "KLArray.h", 171);
    EXPECT_THROW_AT(a.insert(xs, 7), KLIndexOutOfBoundsException, "KLArray.h", 289);
    EXPECT_THROW_AT(a.insert(xs, -1), KLIndexOutOfBoundsException, "KLArray.h", 289);
    EXPECT_EQ(a.locks, a.unlocks);

    for (int i = 0; i < 16; ++i)
        a[i] = &xs[i];
    a.insert(a.get(3), 0);  // the value lives in the storage this growth replaces
    a.insert(&xs[16], 17);
    a.insert(&xs[16], 9);
    const std::vector<int> expected{3, 0, 1, 2, 3, 4, 5, 6, 7, 16, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    ASSERT_EQ(a.size(), expected.size());
    for (int i = 0; i < 19; ++i)
        EXPECT_EQ(a.get(i), &xs[expected[i]]) << i;
}

// Growth copies and destroys the old records, assignment and clearing replace
// them: nothing leaks or is destroyed twice, and a failed growth (no memory,
// a copy that throws) leaves the array as it was.
TEST(KLArray, RecordsLiveExactlyOnceAndFailedGrowthChangesNothing) {
    {
        KLArray<Record> a;
        for (int i = 0; i < 8; ++i)
            a[i].value = i;
        KLMemoryManager::getDefaultMemoryManager()->failNextAllocations(1);
        EXPECT_EQ(EXPECT_THROW_AT(a[8], KLMemoryException, "KLArray.h", 124),
                  KL_STATUS_OUT_OF_MEMORY);
        Record::copiesLeft = 3;
        EXPECT_THROW(a[8], std::runtime_error);
        Record::copiesLeft = -1;
        EXPECT_EQ(values(a), (Values{0, 1, 2, 3, 4, 5, 6, 7}));
        EXPECT_EQ(Record::live, 8);

        a[8].value = 8;  // grows
        a.insert(Record(100), 0);
        a.insert(Record(200), 10);
        EXPECT_EQ(Record::live, 11);
        EXPECT_EQ(values(a), (Values{100, 0, 1, 2, 3, 4, 5, 6, 7, 8, 200}));
        KLArray<Record> b;
        b[0].value = 50;
        b = a;
        EXPECT_EQ(values(KLArray<Record>(b)), values(a));
        a.clear();
        EXPECT_EQ(Record::live, 11);
    }
    EXPECT_EQ(Record::live, 0);
}

// Out of memory is the status even where no allocator ran (a byte size that
// overflows, a doubling that cannot reach the size), never the thread's stale one.
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
