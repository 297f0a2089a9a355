#include <gtest/gtest.h>

#include <cstdint>

#include "base/handle_slots.h"

namespace {

using Slots = tessel::HandleSlots<int>;

void drop(Slots& slots, std::uint64_t handle) {
    slots.retire(Slots::indexOf(handle));
    slots.release(Slots::indexOf(handle));
}

// Freed slots are reused with a new generation; a slot whose generation would
// wrap is retired for good, so no stale handle can ever match again.
TEST(HandleSlots, StaleHandlesNeverMatchAcrossReuseAndTheGenerationWrap) {
    Slots slots(UINT32_MAX - 1);
    const std::uint64_t first = slots.add(1);
    drop(slots, first);
    const std::uint64_t second = slots.add(2);
    EXPECT_EQ(Slots::indexOf(second), Slots::indexOf(first));  // reused
    EXPECT_EQ(slots.find(first), nullptr);
    ASSERT_NE(slots.find(second), nullptr);
    EXPECT_EQ(*slots.find(second), 2);

    drop(slots, second);  // the last generation of that slot
    const std::uint64_t third = slots.add(3);
    EXPECT_NE(Slots::indexOf(third), Slots::indexOf(second));
    EXPECT_EQ(slots.find(first), nullptr);
    EXPECT_EQ(slots.find(second), nullptr);
    EXPECT_EQ(*slots.find(third), 3);
    // A handle naming the retired slot with any generation finds nothing.
    const std::uint64_t index = Slots::indexOf(first) + 1;
    for (const std::uint64_t generation : {std::uint64_t{0}, std::uint64_t{1}, std::uint64_t{UINT32_MAX}})
        EXPECT_EQ(slots.find((generation << 32) | index), nullptr);
    EXPECT_EQ(slots.live(), 1u);
}

}  // namespace
