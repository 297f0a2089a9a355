#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include <tessel/foundation/KLArray.h>

#include "throw_check.h"

using namespace kelp;

namespace {

using Values = std::vector<long long>;

// 16 bytes, so the first 128 bytes hold exactly eight. Copying can be made to
// fail; there is no move, so growth has to copy.
struct Record {
    static inline int constructed = 0, destroyed = 0, copiesLeft = -1;
    static int live() { return constructed - destroyed; }

    Record() { ++constructed; }
    explicit Record(long long v) : value(v) { ++constructed; }
    Record(const Record& other) : value(other.value) {
        if (copiesLeft == 0) throw std::runtime_error("copy failed");
        copiesLeft -= copiesLeft > 0;
        ++constructed;
    }
    Record& operator=(const Record& other) = default;
    ~Record() { ++destroyed; }

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
    const std::vector<int> expected{3, 0, 1,  2,  3,  4,  5,  6,  7, 16,
                                    8, 9, 10, 11, 12, 13, 14, 15, 16};
    ASSERT_EQ(a.size(), expected.size());
    for (int i = 0; i < 19; ++i)
        EXPECT_EQ(a.get(i), &xs[expected[i]]) << i;
}

// Growth copies and destroys the old records, assignment and clearing
// replace them: nothing leaks or is destroyed twice.
TEST(KLArray, ConstructsAndDestroysRecordsExactlyOnce) {
    Record::constructed = Record::destroyed = 0;
    {
        KLArray<Record> a;
        for (int i = 0; i < 9; ++i)
            a[i].value = i;  // the ninth grows the array
        a.insert(Record(100), 0);
        a.insert(Record(200), 10);
        EXPECT_EQ(Record::live(), 11);
        EXPECT_EQ(values(a), (Values{100, 0, 1, 2, 3, 4, 5, 6, 7, 8, 200}));

        KLArray<Record> b;
        b[0].value = 50;
        b = a;
        EXPECT_EQ(values(KLArray<Record>(b)), values(a));
        a.clear();
        EXPECT_EQ(Record::live(), 11);
    }
    EXPECT_EQ(Record::live(), 0);
}

TEST(KLArray, FailedGrowthLeavesTheArrayAsItWas) {
    Record::constructed = Record::destroyed = 0;
    {
        KLArray<Record> a;
        for (int i = 0; i < 8; ++i)
            a[i].value = i;
        KLMemoryManager* heap = KLMemoryManager::getDefaultMemoryManager();
        heap->failNextAllocations(1);
        EXPECT_EQ(EXPECT_THROW_AT(a[8], KLMemoryException, "KLArray.h", 124),
                  KL_STATUS_OUT_OF_MEMORY);
        Record::copiesLeft = 3;
        EXPECT_THROW(a[8], std::runtime_error);
        Record::copiesLeft = -1;
        EXPECT_EQ(values(a), (Values{0, 1, 2, 3, 4, 5, 6, 7}));
        EXPECT_EQ(Record::live(), 8);
    }
    EXPECT_EQ(Record::live(), 0);
}
