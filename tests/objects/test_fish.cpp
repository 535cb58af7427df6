// Fish school: swimming, bed and surface avoidance, turns, the near and view tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/random.h"
#include "lakebed/height_queries.h"
#include "objects/bubbles.h"
#include "objects/fish.h"
#include "objects/weeds.h"
#include "scene/camera.h"
#include "scene/world_dump.h"
#include "tests/support/test_world.h"
#include "tests/support/dump_file.h"

namespace {

// The number next_random would return from `state`, without drawing it.
int peek_random(uint32_t state)
{
    return (int)(((state * RANDOM_MULTIPLIER + RANDOM_INCREMENT) >> 16) & 0x7FFF);
}

// A state from which the next draws are not a turn (r % 100 != 44) `n` times in a row.
uint32_t state_without_turns(int n)
{
    for (uint32_t s = 1;; ++s) {
        uint32_t t = s;
        bool ok = true;
        for (int k = 0; k < n && ok; ++k) {
            ok = peek_random(t) % 100 != 44;
            t = random_state_after(t, 1);
        }
        if (ok) return s;
    }
}

// A still fish over a bed vertex set to `bed` at grid vertex (1000, 1000).
fish_record fish_over_bed(float bed, float y)
{
    world.bed_height[1000][1000] = bed;
    fish_record f{};
    f.x = 5;
    f.z = 5;
    f.y = y;
    f.speed = 1.5f;
    return f;
}

void clear_view_volume()
{
    std::memset(world.view_frustum, 0, sizeof world.view_frustum);
}

}  // namespace

TEST(Fish, BelowTheBedRisesOnePerFrameWithoutSwimming)
{
    use_generated_world();
    fish_record f = fish_over_bed(-500, -600);
    f.pitch = -20;
    f.yaw = 33;
    world.random_state = state_without_turns(200);
    // Tail: starts at 0 falling by speed / 2 = 0.75 a frame, turns at -4.
    const float tail[] = {-0.75f, -1.5f, -2.25f, -3.0f, -3.75f, -4.5f, -3.75f, -3.0f};
    for (int frame = 1; frame <= 150; ++frame) {
        move_one_fish(f);
        ASSERT_EQ(f.y, -600.0f + frame);
        ASSERT_EQ(f.pitch, std::max(-20.0f - frame, -30.0f));
        ASSERT_EQ(f.x, 5.0f);
        ASSERT_EQ(f.z, 5.0f);
        ASSERT_EQ(f.yaw, 33.0f);
        if (frame <= 8) {
            EXPECT_EQ(f.tail_phase, tail[frame - 1]) << "frame " << frame;
        }
    }
    // Now 50 above the bed: the fish swims, nose up 30 degrees, so it rises
    // by sin(30 x 3.14 / 180) x 1.5 and moves along its heading.
    ASSERT_EQ(f.y, -450.0f);
    move_one_fish(f);
    EXPECT_NEAR(f.y, -450.0 + 0.49977 * 1.5, 1e-4);
    EXPECT_NE(f.x, 5.0f);
}

TEST(Fish, NearTheSurfaceSinksAndPitchIsClampedAtThirty)
{
    use_generated_world();
    fish_record f = fish_over_bed(-500, 285);
    f.pitch = 27;
    f.yaw = 0;
    world.random_state = state_without_turns(20);
    const float pitch[] = {28, 29, 30, 30, 30};
    for (int frame = 1; frame <= 5; ++frame) {
        move_one_fish(f);
        EXPECT_EQ(f.y, 285.0f - frame);
        EXPECT_EQ(f.pitch, pitch[frame - 1]);
        EXPECT_EQ(f.x, 5.0f);
    }
    // 20 below the surface is far enough: it swims again, head first toward -x
    // at yaw 0, sinking with its nose down.
    move_one_fish(f);
    EXPECT_LT(f.y, 280.0f);
    EXPECT_NEAR(f.x, 5.0 - std::cos(30 * 3.14 / 180) * 1.5, 1e-5);

    // Start pitches outside the limits are clamped at the first update.
    for (float start : {-45.0f, 44.0f}) {
        fish_record g = fish_over_bed(-500, -200);
        g.pitch = start;
        move_one_fish(g);
        EXPECT_EQ(g.pitch, start < 0 ? -30.0f : 30.0f);
    }
}

TEST(Fish, SwimsAlongItsHeadingWithTheOldPitchThenTurns)
{
    use_generated_world();
    // Turns in progress draw no numbers; the move uses the pitch from before
    // this frame's pitch step.
    fish_record f = fish_over_bed(-500, -200);
    f.x = f.z = 100;
    world.bed_height[1010][1010] = -500;
    f.speed = 2;
    f.yaw = 180;
    f.pitch = 0;
    f.pitch_turn = 5;
    f.yaw_turn = -4;
    f.yaw_turn_done = -1;
    const uint32_t state = world.random_state;
    move_one_fish(f);
    // yaw 180 is 3.14 rad: cos = -0.99999873, sin = 0.00159265.
    EXPECT_NEAR(f.x, 100 + 1.9999975, 1e-4);
    EXPECT_NEAR(f.z, 100 + 0.0031853, 1e-5);
    EXPECT_EQ(f.y, -200.0f);
    EXPECT_EQ(f.pitch, 1.0f);
    EXPECT_EQ(f.pitch_turn_done, 1);
    EXPECT_EQ(f.yaw, 179.0f);
    EXPECT_EQ(f.yaw_turn_done, -2);
    EXPECT_EQ(world.random_state, state);

    // Pitch 30, nose down: sinks by sin(30 x 3.14 / 180) x speed = 0.99954.
    f.pitch = 30;
    f.pitch_turn = 0;
    f.pitch_turn_done = 0;
    const float y = f.y;
    move_one_fish(f);
    EXPECT_NEAR(f.y, y - 0.99954, 1e-4);

    // A turn that reaches its size ends, and the same frame may draw a new one.
    fish_record g = fish_over_bed(-500, -200);
    g.yaw_turn = 3;
    g.yaw_turn_done = 2;
    g.yaw = 10;
    world.random_state = state_without_turns(2);
    move_one_fish(g);
    EXPECT_EQ(g.yaw, 11.0f);
    EXPECT_EQ(g.yaw_turn, 0);
    EXPECT_EQ(g.yaw_turn_done, 0);
}

TEST(Fish, RandomTurnsDrawInTheOrderPitchThenHeading)
{
    use_generated_world();
    // Find a state whose next number is 44 modulo 100: a pitch turn starts,
    // sized by the second number, and the heading's chance is the third.
    uint32_t s = 1;
    while (peek_random(s) % 100 != 44 || peek_random(random_state_after(s, 2)) % 100 == 44) ++s;
    const int size = peek_random(random_state_after(s, 1)) % 60 - 30;
    fish_record f = fish_over_bed(-500, -200);
    world.random_state = s;
    move_one_fish(f);
    EXPECT_EQ(f.pitch_turn, size);
    EXPECT_EQ(f.pitch_turn_done, 0);
    EXPECT_EQ(f.yaw_turn, 0);
    EXPECT_EQ(world.random_state, random_state_after(s, 3));

    // Near the bed the fish does not swim and draws only the heading's chance.
    fish_record g = fish_over_bed(-500, -560);
    world.random_state = s;
    move_one_fish(g);
    EXPECT_EQ(g.yaw_turn, peek_random(random_state_after(s, 1)) % 360 - 180);
    EXPECT_EQ(g.pitch_turn, 0);
    EXPECT_EQ(world.random_state, random_state_after(s, 2));
}

TEST(Fish, TurnsBackAtTheRimOnceNoOtherTurnIsUnderWay)
{
    use_generated_world();
    for (int i = 1890; i < 1920; ++i)
        for (int j = 990; j < 1010; ++j) world.bed_height[i][j] = -900;
    fish_record f{};
    f.x = 8999.5f;
    f.z = 0;
    f.y = -100;
    f.speed = 1;
    f.yaw = 180;  // toward +x, out of the lake
    f.pitch_turn = 25;
    world.random_state = state_without_turns(10);
    move_one_fish(f);
    EXPECT_GT(f.x, 9000.0f);
    EXPECT_EQ(f.yaw_turn, 120);
    EXPECT_EQ(f.yaw_turn_done, 1);
    EXPECT_EQ(f.yaw, 181.0f);

    // A heading turn already under way is finished first.
    fish_record g = f;
    g.yaw_turn = -2;
    g.yaw_turn_done = 0;
    g.yaw = 180;
    move_one_fish(g);
    EXPECT_EQ(g.yaw_turn, -2);
    EXPECT_EQ(g.yaw, 179.0f);
    move_one_fish(g);  // the last step: the turn ends, beyond the rim still
    EXPECT_EQ(g.yaw_turn, 0);
    EXPECT_EQ(g.yaw, 178.0f);
    move_one_fish(g);  // now the rim turn starts and makes its first step
    EXPECT_EQ(g.yaw_turn, 120);
    EXPECT_EQ(g.yaw_turn_done, 1);
    EXPECT_EQ(g.yaw, 179.0f);

    // 120 one-degree steps later the turn is over and the fish heads inward.
    fish_record h = f;
    h.pitch_turn = 1000;  // no pitch turn ends, so no pitch chance is drawn
    for (int k = 0; k < 119; ++k) move_one_fish(h);
    EXPECT_EQ(h.yaw, 300.0f);
    EXPECT_EQ(h.yaw_turn, 0);
}

TEST(Fish, GroundOutsideTheFieldIsNoBedAtAll)
{
    use_generated_world();
    // Inside: the height of the fish's own grid vertex, truncated toward zero.
    EXPECT_EQ(fish_ground_height(-9.0f, 19.0f), world.bed_height[999][1001]);
    EXPECT_EQ(fish_ground_height(9999.9f, -9999.9f), world.bed_height[1999][0]);
    EXPECT_EQ(fish_ground_height(-10005.0f, 0.0f), world.bed_height[0][1000]);
    // Outside the field nothing is read: the fish swims on as over deep water.
    for (float x : {10000.0f, 12000.0f, -10010.0f, 1e30f, -1e30f, NAN}) {
        EXPECT_EQ(fish_ground_height(x, 0.0f), FISH_NO_BED) << x;
        EXPECT_EQ(fish_ground_height(0.0f, x), FISH_NO_BED) << x;
    }
    fish_record f{};
    f.x = 10100;
    f.z = 10100;
    f.y = -600;
    f.speed = 1;
    f.yaw = 45;
    move_one_fish(f);
    EXPECT_LT(f.x, 10100.0f);  // swam, and is turning back at the rim
    EXPECT_EQ(f.yaw_turn, 120);
}

TEST(Fish, OnlyFishNearerThan200AndInViewMoveAndAreCounted)
{
    use_generated_world();
    clear_view_volume();
    // Camera far out in a corner where no generated fish is near.
    const float cx = -9900, cz = -9900;
    fish_record& at_edge = world.fish_table[10];
    fish_record& inside = world.fish_table[11];
    at_edge = fish_over_bed(-900, -500);
    inside = fish_over_bed(-900, -500);
    at_edge.x = cx + 200.0f;
    at_edge.z = cz;
    inside.x = cx;
    inside.z = cz + 199.9f;
    world.bed_height[grid_index(cx)][grid_index(cz + 199.9f)] = -900;
    const fish_record edge_before = at_edge;
    update_fish(cx, cz);
    EXPECT_EQ(std::memcmp(&at_edge, &edge_before, sizeof at_edge), 0);
    EXPECT_EQ(inside.x, cx - 1.5f);  // swam one frame at yaw 0
    EXPECT_EQ(inside.tail_phase, -0.75f);
    EXPECT_FALSE(fish_is_near(at_edge, cx, cz));
    EXPECT_TRUE(fish_in_sight(inside, cx, cz));

    // A view volume that excludes them: nothing moves, nothing is drawn or drawn from.
    world.view_frustum[0][0] = 1;
    world.view_frustum[0][3] = -10000;  // x - 10000 <= -550 is outside
    const fish_record inside_before = inside;
    const uint32_t state = world.random_state;
    world.fish_drawn_count = 77;
    update_fish(cx, cz);
    draw_fish(cx, cz);
    EXPECT_EQ(std::memcmp(&inside, &inside_before, sizeof inside), 0);
    EXPECT_EQ(world.random_state, state);
    EXPECT_EQ(world.fish_drawn_count, 0);
}

namespace {

// FNV-1a over the sections of a world dump that the frames change (the
// generator, plants, fish, camera, bubbles and fish count), tags included.
uint64_t moving_world_checksum(const std::string& path)
{
    std::vector<unsigned char> b;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return 0;
    unsigned char buffer[1 << 16];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) b.insert(b.end(), buffer, buffer + n);
    std::fclose(f);
    const std::string wanted[] = {"RAND", "RIBB", "LEAF", "FISH", "CAMR", "BUBL", "FCNT"};
    uint64_t h = 1469598103934665603ull;
    int found = 0;
    for (size_t at = 8; at + 8 <= b.size();) {
        const std::string tag(b.begin() + at, b.begin() + at + 4);
        const size_t length = (size_t)b[at + 4] | (size_t)b[at + 5] << 8 | (size_t)b[at + 6] << 16 |
                              (size_t)b[at + 7] << 24;
        if (std::find(std::begin(wanted), std::end(wanted), tag) != std::end(wanted)) {
            ++found;
            for (size_t k = at; k < at + 8 + length && k < b.size(); ++k) h = (h ^ b[k]) * 1099511628211ull;
        }
        at += 8 + length;
    }
    return found == 7 ? h : 0;
}

// The motion of one frame without drawing, in the frame driver's order:
// bubbles, the camera from the keys, the weed beds' recycling and sway, the
// fish; then the count of fish the drawing pass would draw.
void simulated_frame(bool large_layout)
{
    update_bubbles(large_layout);
    move_camera_from_keys();
    recycle_weeds(world.ribbon_table, world.ribbon_count, world.camera_x, world.camera_z);
    sway_ribbons();
    recycle_weeds(world.leaf_table, world.leaf_count, world.camera_x, world.camera_z);
    update_fish(world.camera_x, world.camera_z);
    world.fish_drawn_count = 0;
    for (const fish_record& f : world.fish_table)
        if (fish_in_sight(f, world.camera_x, world.camera_z)) ++world.fish_drawn_count;
}

}  // namespace

TEST(Fish, ScriptedRunPinsTheGeneratorOrder)
{
    // The fish and the bubbles draw from the one generator; any change in the
    // order or number of draws, or in the motion, changes the world after a
    // few hundred frames. The camera swims forward, turns and dives.
    use_generated_world();
    world.title_running = false;
    clear_view_volume();
    int most_fish = 0;
    for (int frame = 0; frame < 400; ++frame) {
        world.keys[VK_CODE_UP] = true;
        world.keys[VK_CODE_LEFT] = frame >= 150 && frame < 240;
        world.keys[VK_CODE_A] = frame >= 250 && frame < 270;
        simulated_frame(true);
        most_fish = std::max(most_fish, (int)world.fish_drawn_count);
    }
    // The run met fish and moved the camera well away from its start.
    EXPECT_GT(most_fish, 3);
    EXPECT_GT(std::hypot(world.camera_x, world.camera_z + 50.0f), 500.0);
    const std::string path = std::string(::testing::TempDir()) + "scripted.tvwd";
    std::string error;
    ASSERT_TRUE(write_test_dump(path.c_str(), error)) << error;
    const uint64_t sum = moving_world_checksum(path);
    std::remove(path.c_str());
    std::printf("scripted run: camera (%.3f, %.3f, %.3f), fish drawn %d, random state %u\n",
                world.camera_x, world.camera_y, world.camera_z, world.fish_drawn_count,
                world.random_state);
    EXPECT_EQ(sum, 0x8103df16e3ad7e83ull) << std::hex << sum;
}
