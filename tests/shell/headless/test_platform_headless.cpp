// The headless platform running the program's loop: the F1 rebuild, key scripts, frames read back, a failed frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/keys.h"
#include "common/world.h"
#include "render/font.h"
#include "scene/camera.h"
#include "shell/freetype/font_freetype.h"
#include "shell/headless/platform_headless.h"
#include "shell/program.h"
#include "tests/support/gl_context.h"
#include "tests/support/test_world.h"

namespace {

// A run of the loop of run_windows with the real scene, keeping every frame.
struct recorded_run {
    headless_run run;
    std::vector<std::vector<unsigned char>> frames;  // RGB, top row first
    long title_frames = 0;
    int code = -1;  // run_windows's exit code
};

// Runs `frames` frames of the world as it is with the key script `script`.
void record(recorded_run& r, long frames, const std::string& script)
{
    r.run.frames = frames;
    std::string error;
    if (!script.empty()) {
        ASSERT_TRUE(parse_key_script(script, r.run.keys, error)) << error;
    }
    r.run.frame_done = [&r](long frame, bool title, double ms) {
        EXPECT_EQ(frame, (long)r.frames.size() + 1);
        EXPECT_GE(ms, 0);
        int width = 0, height = 0;
        r.frames.push_back(read_render_frame(width, height));
        EXPECT_EQ(width, world.mode_width);
        EXPECT_EQ(height, world.mode_height);
        r.title_frames += title;
        return true;
    };
    r.code = run_windows(headless_platform(r.run), lake_scene);
}

// Number of pixels that differ between two RGB images of the same size.
size_t differing_pixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    if (a.size() != b.size()) return (size_t)-1;
    size_t n = 0;
    for (size_t k = 0; k + 2 < a.size(); k += 3)
        if (!std::equal(&a[k], &a[k] + 3, &b[k])) ++n;
    return n;
}

// A fish sets the back faces' ambient material, which a rebuilt context lacks
// until the first fish of its first frame; with the fish far away the frame
// after a switch differs from the plain run only in its clear colour.
void keep_fish_out_of_sight()
{
    for (fish_record& f : world.fish_table) f.x = (float)((double)f.x + 100000.0);
}

}  // namespace

// Each test first makes a test context (none of its lists built) for the
// platform's first window to replace; without EGL the test is skipped.

TEST(HeadlessPlatform, F1RebuildsTheContextAndTheFrameAfterNextIsUnchanged)
{
    if (!make_test_gl_context(8, 8)) GTEST_SKIP() << test_gl_context_error();
    recorded_run plain, switched;
    use_generated_world(false);
    world.title_running = false;
    keep_fish_out_of_sight();
    record(plain, 6, "");
    ASSERT_EQ(plain.code, 0) << plain.run.error;
    const bool fullscreen = world.fullscreen;

    use_generated_world(false);
    world.title_running = false;
    keep_fish_out_of_sight();
    record(switched, 6, "f1@3");
    ASSERT_EQ(switched.code, 0) << switched.run.error;
    EXPECT_EQ(world.fullscreen, !fullscreen);
    ASSERT_EQ(plain.frames.size(), 6u);
    ASSERT_EQ(switched.frames.size(), 6u);
    for (int frame : {1, 2, 3, 5, 6})
        EXPECT_EQ(differing_pixels(plain.frames[frame - 1], switched.frames[frame - 1]), 0u) << "frame " << frame;
    // The frame right after the switch clears to the new context's colour;
    // everything drawn in it (tower, credit line) is unchanged.
    const std::vector<unsigned char>&a = plain.frames[3], &b = switched.frames[3];
    ASSERT_EQ(a.size(), b.size());
    size_t differing = 0;
    for (size_t k = 0; k < a.size(); k += 3)
        if (!std::equal(&a[k], &a[k] + 3, &b[k])) {
            ++differing;
            EXPECT_NEAR(b[k + 1], 51, 1);
            EXPECT_NEAR(b[k + 2], 102, 1);
            if (::testing::Test::HasFailure()) break;
        }
    EXPECT_GT(differing, 0u);
    EXPECT_LT(differing, a.size() / 3);
}

TEST(HeadlessPlatform, KeyScriptHoldsExactlyItsKeysAndEscapeEndsTheRun)
{
    if (!make_test_gl_context(8, 8)) GTEST_SKIP() << test_gl_context_error();
    recorded_run r;
    use_generated_world(false);
    world.title_running = false;
    record(r, 10, "up@1-3,left@2,q@2-3,escape@5");
    EXPECT_EQ(r.code, 0) << r.run.error;
    EXPECT_EQ(r.frames.size(), 5u);
    EXPECT_EQ(r.title_frames, 0);
    EXPECT_TRUE(world.done);
    EXPECT_FALSE(render_context_exists());
    const float after_x = world.camera_x, after_y = world.camera_y, after_z = world.camera_z;
    const float after_yaw = world.camera_yaw, after_pitch = world.camera_pitch;

    // The same movement without drawing.
    use_generated_world(false);
    for (int frame = 1; frame <= 5; ++frame) {
        for (bool& k : world.keys) k = false;
        world.keys[VK_CODE_UP] = frame <= 3;
        world.keys[VK_CODE_LEFT] = frame == 2;
        world.keys[VK_CODE_Q] = frame == 2 || frame == 3;
        move_camera_from_keys();
    }
    EXPECT_EQ(after_x, world.camera_x);
    EXPECT_EQ(after_y, world.camera_y);
    EXPECT_EQ(after_z, world.camera_z);
    EXPECT_NE(after_z, -50.0f);
    EXPECT_EQ(after_yaw, 271.0f);
    EXPECT_EQ(after_pitch, 12.0f);
}

TEST(HeadlessPlatform, FramesAreReadBackTopRowFirst)
{
    if (!make_test_gl_context(8, 8)) GTEST_SKIP() << test_gl_context_error();
    recorded_run r;
    use_generated_world(false);
    world.title_running = false;
    // The font of tarvelin_render's main, for the credit line.
    use_font_source({make_freetype_font, free_freetype_font});
    record(r, 2, "");
    ASSERT_EQ(r.code, 0) << r.run.error;
    ASSERT_EQ(r.frames.size(), 2u);
    const std::vector<unsigned char>& rgb = r.frames[1];
    const int w = 1024, h = 768;
    // The credit line's pure red is at the bottom of the picture: the last rows
    // read. (The compass needle's red half lies further right.)
    int first_row = h, last_row = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < 700; ++x) {
            const unsigned char* p = &rgb[((size_t)y * w + x) * 3];
            if (p[0] == 255 && p[1] == 0 && p[2] == 0) {
                first_row = std::min(first_row, y);
                last_row = std::max(last_row, y);
            }
        }
    if (last_row < 0) GTEST_SKIP() << "no font: the credit line is not drawn";
    EXPECT_GT(first_row, 740);
    EXPECT_LE(last_row, 760);
}

TEST(HeadlessPlatform, AFrameWhoseWorkFailsEndsTheRunWithCodeOne)
{
    if (!make_test_gl_context(8, 8)) GTEST_SKIP() << test_gl_context_error();
    use_generated_world(true);
    headless_run run;
    run.frames = 10;
    long drawn = 0;
    run.frame_done = [&](long frame, bool, double) {
        drawn = frame;
        if (frame == 3) run.error = "cannot save frame 3";
        return frame < 3;
    };
    EXPECT_EQ(run_windows(headless_platform(run), lake_scene), 1);
    EXPECT_EQ(drawn, 3);
    EXPECT_EQ(run.error, "cannot save frame 3");
    EXPECT_FALSE(render_context_exists());
}
