// The generator of every random number in the world.
#include <gtest/gtest.h>

#include "common/random.h"
#include "common/world.h"

TEST(Random, FollowsTheLinearCongruentialSequence)
{
    reset_world(false);
    // state 1 -> 1 * 214013 + 2531011 = 2745024; (2745024 >> 16) & 0x7FFF = 41.
    EXPECT_EQ(next_random(), 41);
    EXPECT_EQ(world.random_state, 2745024u);
    EXPECT_EQ(next_random(), 18467);
    EXPECT_EQ(next_random(), 6334);
    const uint32_t skipped = random_state_after(1, 3);
    EXPECT_EQ(skipped, world.random_state);
    for (int k = 0; k < 1000; ++k) next_random();
    EXPECT_EQ(random_state_after(skipped, 1000), world.random_state);
}
