#include "state/TaskSlot.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(TaskSlotTest, StartingAFlowStopsTheOneInTheSlotButNotADetachedOne) {
    TaskSlot slot;
    const auto detached = slot.detached();
    const auto first = slot.start();
    const auto second = slot.start();

    EXPECT_TRUE(first.stop.stop_requested());
    EXPECT_FALSE(second.stop.stop_requested());
    EXPECT_NE(first.id, second.id);
    EXPECT_NE(detached.id, first.id);

    slot.cancel();
    EXPECT_TRUE(second.stop.stop_requested());
    EXPECT_FALSE(detached.stop.stop_requested());
    // An empty slot cancels nothing further.
    slot.cancel();
    EXPECT_FALSE(slot.start().stop.stop_requested());
}

} // namespace
} // namespace quorvane
