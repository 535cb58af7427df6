// Viewer bubbles: start values, swing and rise, restarts at the ceiling, the count by depth.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/random.h"
#include "objects/bubbles.h"
#include "scene/world_dump.h"
#include "tests/support/test_world.h"
#include "tests/support/dump_file.h"

namespace {

int peek_random(uint32_t state)
{
    return (int)(((state * RANDOM_MULTIPLIER + RANDOM_INCREMENT) >> 16) & 0x7FFF);
}

// A state whose next number gives a swing step of 0 (r % 200 below 100) and
// whose second is no random flip (r % 30 not 20).
uint32_t state_for_still_swing(uint32_t from)
{
    uint32_t s = from;
    while (peek_random(s) % 200 >= 100 || peek_random(random_state_after(s, 1)) % 30 == 20) ++s;
    return s;
}

}  // namespace

TEST(Bubbles, ResetDrawsHeightSideSpeedAndRadiusInThatOrder)
{
    reset_world(false);
    // From the generator's start the numbers are 41, 18467, 6334, 26500:
    // y = -(41 % 50) / 25, x = (18467 % 70) / 10 - 2, speed = (6334 % 70) / 290 + 0.2,
    // radius = (26500 % 40) / 100 + 0.1.
    bubble_record b{};
    b.swing = 45;
    b.swing_growing = false;
    reset_bubble(b, false);
    EXPECT_FLOAT_EQ(b.y, -1.64f);
    EXPECT_FLOAT_EQ(b.x, 3.7f);
    EXPECT_FLOAT_EQ(b.rise_speed, (float)(34.0 / 290.0 + 0.2));
    EXPECT_FLOAT_EQ(b.radius, 0.3f);
    EXPECT_EQ(b.swing, 0.0f);
    EXPECT_TRUE(b.swing_growing);
    EXPECT_EQ(world.random_state, random_state_after(1, 4));

    // The large layout starts every bubble 10 further toward -x.
    world.random_state = 1;
    reset_bubble(b, true);
    EXPECT_FLOAT_EQ(b.x, -6.3f);

    // Over many starts: the documented ranges.
    for (bool large : {false, true}) {
        float lo = 1e9f, hi = -1e9f;
        for (int k = 0; k < 5000; ++k) {
            reset_bubble(b, large);
            lo = std::min(lo, b.x);
            hi = std::max(hi, b.x);
            ASSERT_LE(b.y, 0.0f);
            ASSERT_GE(b.y, -1.96f);
            ASSERT_GE(b.rise_speed, 0.2f);
            ASSERT_LT(b.rise_speed, 0.44f);
            ASSERT_GE(b.radius, 0.1f);
            ASSERT_LE(b.radius, 0.49f + 1e-6f);
        }
        EXPECT_FLOAT_EQ(lo, large ? -12.0f : -2.0f);
        EXPECT_FLOAT_EQ(hi, large ? -5.1f : 4.9f);
    }
}

TEST(Bubbles, FirstUpdateFillsTheTableThenEveryBubbleDrawsTwoNumbers)
{
    reset_world(false);
    ASSERT_TRUE(world.bubbles_pending);
    const uint32_t state = world.random_state;
    update_bubbles(true);
    EXPECT_FALSE(world.bubbles_pending);
    // 50 fills of four numbers, then two per bubble; none can reach the ceiling yet.
    EXPECT_EQ(world.random_state, random_state_after(state, 50 * 4 + 50 * 2));
    for (const bubble_record& b : world.bubble_table) {
        EXPECT_LT(b.x, -4.5f);  // large layout: started within -12..-5.1
        EXPECT_GT(b.radius, 0.0f);
        EXPECT_LE(std::fabs(b.swing), 1.0f);
        EXPECT_EQ(b.swing, b.swing_step);
    }
    // A second call does not fill again.
    const uint32_t before = world.random_state;
    update_bubbles(true);
    EXPECT_EQ(world.random_state, random_state_after(before, 50 * 2));
}

TEST(Bubbles, SwingStepsByOneAndTurnsAtNinety)
{
    reset_world(false);
    update_bubbles(false);
    std::vector<bubble_record> previous(world.bubble_table, world.bubble_table + BUBBLE_COUNT);
    for (int frame = 0; frame < 3000; ++frame) {
        update_bubbles(false);
        for (int i = 0; i < BUBBLE_COUNT; ++i) {
            const bubble_record& b = world.bubble_table[i];
            const bubble_record& p = previous[i];
            if (b.swing == 0 && b.y <= 0 && p.y > 10) continue;  // restarted
            ASSERT_EQ(b.swing - p.swing, b.swing_step);
            ASSERT_LE(std::fabs(b.swing_step), 1.0f);
            ASSERT_LE(std::fabs(b.swing), 90.0f);
            // The step follows the direction held at the start of the frame.
            ASSERT_TRUE(b.swing_step == 0 || (b.swing_step > 0) == p.swing_growing);
        }
        previous.assign(world.bubble_table, world.bubble_table + BUBBLE_COUNT);
    }

    // Driven to the limit: a step of 1 from 89 reaches 90 and turns the swing
    // back, whether or not the random flip fires in that frame.
    for (bool flip : {false, true}) {
        for (float sign : {1.0f, -1.0f}) {
            bubble_record& b = world.bubble_table[0];
            for (bubble_record& other : world.bubble_table) other.y = -100;
            b.swing = 89 * sign;
            b.swing_growing = sign > 0;
            uint32_t s = 1;
            while (peek_random(s) % 200 < 100 ||
                   (peek_random(random_state_after(s, 1)) % 30 == 20) != flip)
                ++s;
            world.random_state = s;
            update_bubbles(false);
            EXPECT_EQ(b.swing, 90 * sign);
            EXPECT_EQ(b.swing_growing, sign < 0);
            // Sideways at 90 degrees: cos(90 x 3.14 / 180) = 0.000796, so it hardly rises.
            EXPECT_NEAR(b.y, -100.0, 0.001);
        }
    }
}

TEST(Bubbles, RestartOnlyAboveTheCeiling)
{
    for (bool large : {false, true}) {
        reset_world(false);
        update_bubbles(large);
        const float ceiling = large ? 26.0f : 16.0f;
        EXPECT_EQ(bubble_ceiling(large), ceiling);
        for (bubble_record& b : world.bubble_table) b.y = -100;  // none of the others restarts
        bubble_record& first = world.bubble_table[0];
        first.y = ceiling - 0.5f;
        first.rise_speed = 0.5f;
        first.swing = 0;
        first.x = 1.25f;
        // A still swing rises by the whole speed: exactly to the ceiling, and it stays.
        world.random_state = state_for_still_swing(7);
        uint32_t state = world.random_state;
        update_bubbles(large);
        EXPECT_EQ(first.y, ceiling);
        EXPECT_EQ(first.x, 1.25f);
        EXPECT_EQ(world.random_state, random_state_after(state, 100));
        // Past the ceiling it starts again at the bottom, with four more numbers.
        world.random_state = state_for_still_swing(world.random_state);
        state = world.random_state;
        update_bubbles(large);
        EXPECT_LE(first.y, 0.0f);
        EXPECT_EQ(first.swing, 0.0f);
        EXPECT_TRUE(first.swing_growing);
        EXPECT_EQ(world.random_state, random_state_after(state, 104));
    }
}

TEST(Bubbles, MoreAreDrawnTheDeeperTheCamera)
{
    EXPECT_EQ(bubble_draw_count(298.0f), 21);
    EXPECT_EQ(bubble_draw_count(300.0f), 21);
    EXPECT_EQ(bubble_draw_count(-600.0f), 43);  // 900 / 1200 x 30 + 20 = 42.5
    EXPECT_EQ(bubble_draw_count(-859.0f), 49);
    EXPECT_EQ(bubble_draw_count(-860.0f), 50);
    EXPECT_EQ(bubble_draw_count(-5000.0f), 50);
    int previous = 0;
    for (float y = 298.0f; y > -1200.0f; y -= 0.5f) {
        const int n = bubble_draw_count(y);
        ASSERT_GE(n, previous);
        ASSERT_LE(n, BUBBLE_COUNT);
        previous = n;
    }
    // Far above the surface, where the camera never goes, none at all.
    EXPECT_EQ(bubble_draw_count(2000.0f), 0);
}

TEST(Bubbles, TheDumpCarriesTheTableAndTheFishCount)
{
    use_generated_world();
    update_bubbles(true);
    world.fish_drawn_count = 17;
    const std::string path = std::string(::testing::TempDir()) + "bubbles.tvwd";
    std::string error;
    ASSERT_TRUE(write_test_dump(path.c_str(), error)) << error;
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::vector<unsigned char> bytes;
    unsigned char buffer[1 << 16];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(f);
    std::remove(path.c_str());

    auto u32 = [&](size_t at) {
        return (uint32_t)bytes[at] | (uint32_t)bytes[at + 1] << 8 | (uint32_t)bytes[at + 2] << 16 |
               (uint32_t)bytes[at + 3] << 24;
    };
    auto f32 = [&](size_t at) {
        const uint32_t bits = u32(at);
        float v;
        std::memcpy(&v, &bits, 4);
        return v;
    };
    std::vector<std::string> tags;
    size_t bubl = 0, fcnt = 0;
    for (size_t at = 8; at + 8 <= bytes.size(); at += 8 + u32(at + 4)) {
        tags.emplace_back(bytes.begin() + at, bytes.begin() + at + 4);
        if (tags.back() == "BUBL") {
            EXPECT_EQ(u32(at + 4), 1255u);
            bubl = at + 8;
        }
        if (tags.back() == "FCNT") {
            EXPECT_EQ(u32(at + 4), 4u);
            fcnt = at + 8;
        }
    }
    ASSERT_GE(tags.size(), 10u);
    EXPECT_EQ(tags[7], "CAMR");
    EXPECT_EQ(tags[8], "BUBL");
    EXPECT_EQ(tags[9], "FCNT");
    ASSERT_NE(bubl, 0u);
    EXPECT_EQ(u32(bubl), 50u);
    const bubble_record& b = world.bubble_table[37];
    const size_t rec = bubl + 4 + 37 * 25;
    EXPECT_EQ(f32(rec), b.x);
    EXPECT_EQ(f32(rec + 4), b.y);
    EXPECT_EQ(f32(rec + 8), b.rise_speed);
    EXPECT_EQ(f32(rec + 12), b.swing);
    EXPECT_EQ(f32(rec + 16), b.swing_step);
    EXPECT_EQ(f32(rec + 20), b.radius);
    EXPECT_EQ(bytes[rec + 24], b.swing_growing ? 1 : 0);
    EXPECT_EQ(bytes[bubl + 4 + 50 * 25], 0);  // bubbles_pending, cleared by the first update
    EXPECT_EQ(u32(fcnt), 17u);
}
