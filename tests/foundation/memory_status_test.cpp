// Every KLMemoryException carries KL_STATUS_OUT_OF_MEMORY, whichever throw
// site raised it: also the ones where no allocator ran (an element count whose
// byte size overflows, a doubling that cannot reach the wanted size), which
// would otherwise carry whatever the thread's status was before.
#include <gtest/gtest.h>

#include <cstddef>
#include <limits>

#include <tessel/foundation/KLArray.h>
#include <tessel/foundation/KLMemoryException.h>
#include <tessel/foundation/KLVector.h>
#include <tessel/foundation/kl_status.h>

#include "throw_check.h"

using namespace kelp;

namespace {

// An element so large that a doubling from 128 elements runs out of size_t
// before it reaches a count an int can ask for.
struct Huge {
    unsigned char bytes[std::size_t{1} << 34];
};

class MemoryStatus : public ::testing::Test {
protected:
    // A stale status from something unrelated, as a thread may well have.
    void SetUp() override { kl_status_setLastError(KL_STATUS_NOT_FOUND); }
    void TearDown() override { kl_status_setLastError(KL_STATUS_OK); }
    static void expectOutOfMemory(int status) {
        EXPECT_EQ(status, KL_STATUS_OUT_OF_MEMORY);
        EXPECT_EQ(kl_status_getLastError(), KL_STATUS_OUT_OF_MEMORY);
        kl_status_setLastError(KL_STATUS_NOT_FOUND);
    }
};

constexpr std::size_t kMaxSize = std::numeric_limits<std::size_t>::max();

TEST_F(MemoryStatus, ArraySizesThatOverflowOrOutgrowTheLastDoubling) {
    KLArray<void*> a;
    // 2^63 + 8 bytes: representable, but past the last doubling of 128 bytes (2^63).
    for (const std::size_t count : {kMaxSize / sizeof(void*) + 1, (std::size_t{1} << 60) + 1})
        expectOutOfMemory(
            EXPECT_THROW_AT(a.ensureCapacity(count), KLMemoryException, "KLArray.h", 124));
    EXPECT_EQ(a.getCapacity(), 128u);
}

TEST_F(MemoryStatus, VectorDoublingThatCannotReachTheWantedSize) {
    KLVector<Huge> v;
    // 2^34-byte elements: at most 2^30 - 1 of them fit in size_t, and doubling
    // from 128 stops at 2^29.
    expectOutOfMemory(
        EXPECT_THROW_AT(v.ensureCapacity(1 << 30), KLMemoryException, "KLVector.h", 365));
    expectOutOfMemory(
        EXPECT_THROW_AT(v.setSize((1 << 29) + 1), KLMemoryException, "KLVector.h", 365));
    EXPECT_EQ(v.getCapacity(), 0u);
    EXPECT_EQ(v.size(), 0u);
    kelp_test::expectLockFree(v);
}

}  // namespace
