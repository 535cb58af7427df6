// Frame drivers rendered offscreen: title background, clear colour, water, soft mode, the saver's view, the instruments and the OpenGL errors of a frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "common/gl.h"
#include "common/keys.h"
#include "common/world.h"
#include "lakebed/fog.h"
#include "lakebed/height_queries.h"
#include "render/gl_setup.h"
#include "scene/camera.h"
#include "scene/frame.h"
#include "tests/support/gl_context.h"
#include "tests/support/gl_frame.h"
#include "tests/support/test_world.h"

namespace {

// A context of the window's size with the state open_window leaves.
bool open_test_window(int width, int height)
{
    if (!make_test_gl_context(width, height)) return false;
    on_resize(width, height);
    setup_gl();
    return true;
}

// Share of pixels within `tolerance` of (r, g, b) per channel.
double share_like(const std::vector<unsigned char>& rgba, int r, int g, int b, int tolerance = 1)
{
    size_t n = 0;
    for (size_t k = 0; k + 3 < rgba.size(); k += 4)
        if (std::abs(rgba[k] - r) <= tolerance && std::abs(rgba[k + 1] - g) <= tolerance &&
            std::abs(rgba[k + 2] - b) <= tolerance)
            ++n;
    return (double)n / (double)(rgba.size() / 4);
}

int to_byte(float c)
{
    return (int)std::lround(std::min(1.0f, std::max(0.0f, c)) * 255);
}

}  // namespace

TEST(Frame, TitleFirstFrameClearsToTheContextsColourThenBlack)
{
    use_generated_world(false);
    if (!open_test_window(1024, 768)) GTEST_SKIP() << test_gl_context_error();
    run_checked_frame();
    EXPECT_GT(share_like(read_test_frame(1024, 768), 0, 51, 102), 0.95);
    run_checked_frame();
    const auto second = read_test_frame(1024, 768);
    EXPECT_GT(share_like(second, 0, 0, 0), 0.95);
    // Both kinds of points are drawn: red and blue-green.
    EXPECT_GT(share_like(second, 255, 0, 0, 0), 0.0);
    EXPECT_GT(share_like(second, 0, 255, 255, 0), 0.0);
    EXPECT_TRUE(world.title_running);
    EXPECT_FLOAT_EQ(world.title_fade, 0.002f);
}

TEST(Frame, TitleMonogramFadesInWithinItsExtents)
{
    use_generated_world(false);
    if (!open_test_window(1024, 768)) GTEST_SKIP() << test_gl_context_error();
    world.title_fade = 1.4f;
    for (auto& p : world.title_points) p.z = -999;  // points far and small
    run_checked_frame();
    const auto image = read_test_frame(1024, 768);
    // The first glyph's orange, lit by the lamp's start colours, shows
    // yellow; the second glyph green. Both are opaque by now.
    EXPECT_GT(share_like(image, 255, 255, 0, 3), 0.02);
    EXPECT_GT(share_like(image, 0, 255, 0, 3), 0.02);
    // At z = -500 the view spans about +-310 x +-233 units; the glyphs,
    // moved by (100, 100), reach x = 150 (pixel 760) and y = -120 (pixel 186)
    // at most.
    for (int y = 0; y < 768; y += 2)
        for (int x = 0; x < 1024; x += 2) {
            if (x < 780 && y > 170) continue;
            const unsigned char* p = &image[((size_t)y * 1024 + x) * 4];
            EXPECT_FALSE(p[1] == 255 && p[2] == 0) << x << "," << y;
            if (::testing::Test::HasFailure()) return;
        }
}

TEST(Frame, EscapeEndsTheTitleAtFadeOneAndTheNextFrameEndsTheProgram)
{
    use_generated_world(false);
    if (!open_test_window(1024, 768)) GTEST_SKIP() << test_gl_context_error();
    world.keys[VK_CODE_ESCAPE] = true;
    world.title_fade = 0.95f;
    int frames = 0;
    while (world.title_running && frames < 100) {
        ASSERT_FALSE(world.done);
        run_checked_frame();
        ++frames;
    }
    EXPECT_FALSE(world.done);
    EXPECT_GE(world.title_fade, 1.0f);
    EXPECT_LT(world.title_fade, 1.01f);
    run_checked_frame();
    EXPECT_TRUE(world.done);
}

TEST(Frame, ClearColourFollowsDepthAndPitch)
{
    use_generated_world(false);
    if (!open_test_window(1024, 768)) GTEST_SKIP() << test_gl_context_error();
    world.title_running = false;
    for (const float y : {-600.0f, 200.0f}) {
        for (const float pitch : {-30.0f, 40.0f}) {
            world.camera_y = y;
            world.camera_pitch = pitch;
            run_checked_frame();
            float t, d, expected[4], clear[4];
            frame_colour_factors(pitch, y, t, d);
            fog_colour(t, d, expected);
            glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
            for (int c = 0; c < 4; ++c) EXPECT_FLOAT_EQ(clear[c], expected[c]) << y << " " << pitch;
            // The next frame clears to it: the background shows it.
            run_checked_frame();
            EXPECT_GT(share_like(read_test_frame(1024, 768), 0, to_byte(expected[1]), to_byte(expected[2])), 0.05)
                << y << " " << pitch;
        }
    }
}

TEST(Frame, WaterIsDrawnOnlyNearTheSurface)
{
    use_generated_world(false);
    if (!open_test_window(1024, 768)) GTEST_SKIP() << test_gl_context_error();
    world.title_running = false;
    world.camera_pitch = 60;
    auto top_band_like_background = [&] {
        run_checked_frame();
        run_checked_frame();
        float t, d, c[4];
        frame_colour_factors(world.camera_pitch, world.camera_y, t, d);
        fog_colour(t, d, c);
        // The upper part of the view inside the instruments' frame.
        std::vector<unsigned char> band((size_t)500 * 90 * 4);
        read_test_pixels(260, 560, 500, 90, band.data());
        return share_like(band, 0, to_byte(c[1]), to_byte(c[2]), 2);
    };
    world.camera_y = -100;
    EXPECT_GT(top_band_like_background(), 0.99);
    world.camera_y = 280;
    EXPECT_LT(top_band_like_background(), 0.5);
}

TEST(Frame, SoftModeDrawsTheSceneInto1024x768AndStretchesTheOverlay)
{
    use_generated_world(false);
    world.mode_width = 640;
    world.mode_height = 480;
    world.large_layout = false;
    if (!open_test_window(640, 480)) GTEST_SKIP() << test_gl_context_error();
    world.title_running = false;
    run_checked_frame();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1024);
    EXPECT_EQ(viewport[3], 768);
    // The credit line is placed at (160, 10) in a 640 x 480 overlay that the
    // 1024 x 768 viewport stretches by 1.6: it starts at about x = 256.
    const auto image = read_test_frame(640, 480);
    int left = 640, right = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 640; ++x) {
            const unsigned char* p = &image[((size_t)y * 640 + x) * 4];
            if (p[0] == 255 && p[1] == 0 && p[2] == 0) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    if (right < 0) GTEST_SKIP() << "no font: the credit line is not drawn";
    EXPECT_NEAR(left, 256, 3);
    EXPECT_LT(right, 256 + 21 * 6 + 4);
}

TEST(Frame, TheTowerShowsThroughTheFogFromTheSaversStart)
{
    use_generated_world(true);
    if (!open_test_window(1024, 768)) GTEST_SKIP() << test_gl_context_error();
    world.title_running = false;
    // Plants standing in front of the open water are left out of this view.
    world.ribbon_count = world.leaf_count = 0;
    // The yaw the saver reaches at its 960th frame: a tower leg stands right of the view.
    world.camera_yaw = 869;
    run_checked_frame();
    EXPECT_EQ(world.camera_yaw, 870.0f);
    EXPECT_EQ(world.camera_x, 300.0f);
    const auto image = read_test_frame(1024, 768);
    // The fog and the background have no red; in the upper right, above the
    // bed, the red there is the leg's.
    int red = 0, most = 0;
    for (int y = 400; y < 620; ++y)
        for (int x = 860; x < 1024; ++x) {
            const int r = image[((size_t)y * 1024 + x) * 4];
            if (r > 2) ++red;
            most = std::max(most, r);
        }
    EXPECT_GT(red, 1000);
    EXPECT_GE(most, 8);
    // Upper left, the open water: background only.
    EXPECT_GT(share_like(std::vector<unsigned char>(image.begin() + (size_t)700 * 1024 * 4, image.end()), 0, 37, 62),
              0.5);
}

TEST(Frame, SaverTurnsDuringTheTitleAndKeepsItsPlace)
{
    use_generated_world(true);
    if (!open_test_window(1024, 768)) GTEST_SKIP() << test_gl_context_error();
    world.keys[VK_CODE_UP] = world.keys[VK_CODE_LEFT] = world.keys[VK_CODE_Q] = true;
    for (int k = 0; k < 3; ++k) run_checked_frame();
    EXPECT_EQ(world.camera_yaw, -87.0f);
    world.title_running = false;
    for (int k = 0; k < 3; ++k) run_checked_frame();
    EXPECT_EQ(world.camera_yaw, -84.0f);
    EXPECT_EQ(world.camera_x, 300.0f);
    EXPECT_EQ(world.camera_y, -800.0f);
    EXPECT_EQ(world.camera_pitch, 10.0f);
    EXPECT_FALSE(world.done);
    world.keys[VK_CODE_ESCAPE] = true;
    run_checked_frame();
    EXPECT_TRUE(world.done);
}

TEST(Frame, InteractiveFramesDrawTheInstrumentsAndTheSaverNone)
{
    for (bool saver : {false, true}) {
        use_generated_world(saver);
        if (!open_test_window(1024, 768)) GTEST_SKIP() << test_gl_context_error();
        world.title_running = false;
        for (int frame = 1; frame <= 4; ++frame) run_checked_frame();

        const test_pixel band = read_test_pixel(30, 400);
        const test_pixel rim = read_test_pixel(75, 75 + 55);
        if (saver) {
            EXPECT_FALSE(band.r == 0 && band.g == 51 && band.b == 0) << "the saver draws no frame";
            EXPECT_FALSE(rim.r == 26 && rim.g == 26 && rim.b == 51) << "the saver draws no dials";
            EXPECT_EQ(world.sounder_sweep, 0);
            EXPECT_EQ(world.sounder_tick, 0);
            EXPECT_EQ(world.finder_sweep, 100);
            continue;
        }
        expect_colour(band, 0, 51, 0, "frame band");
        expect_colour(rim, 26, 26, 51, "sounder rim");
        // Four frames: both sweeps turned by 60, and the fourth took the readings.
        EXPECT_EQ(world.sounder_sweep, 300);
        EXPECT_EQ(world.finder_sweep, 40);
        EXPECT_EQ(world.sounder_tick, 0);
        const float distance = bed_vertex_distance(world.camera_x, world.camera_y, world.camera_z,
                                                   grid_index(world.camera_x), grid_index(world.camera_z));
        EXPECT_EQ(world.sounder_reading, (float)(distance / 1200.0 * 80.0));
        EXPECT_GT(world.sounder_reading, 0);
        EXPECT_EQ(world.finder_reading, world.fish_drawn_count);
        // The gauge's state stays for what follows in the frame.
        GLfloat width = 0;
        glGetFloatv(GL_LINE_WIDTH, &width);
        EXPECT_EQ(width, 2);
    }
}

TEST(Frame, OnlyThePopsOnBareStacksRecordAnOpenGLError)
{
    // run_checked_frame's rule, spelled out once: place_camera's pops find bare
    // stacks at the first frame of a context and at every title frame.
    for (bool saver : {false, true}) {
        use_generated_world(saver);
        if (!open_test_window(1024, 768)) GTEST_SKIP() << test_gl_context_error();
        const std::vector<GLenum> none, underflow{GL_STACK_UNDERFLOW};
        EXPECT_EQ(take_gl_errors(), none);
        for (int frame = 1; frame <= 2; ++frame) {
            run_frame();
            EXPECT_EQ(take_gl_errors(), underflow) << "title frame " << frame;
        }
        world.title_running = false;
        run_frame();
        EXPECT_EQ(take_gl_errors(), underflow) << "first main-view frame";
        for (int frame = 2; frame <= 3; ++frame) {
            run_frame();
            EXPECT_EQ(take_gl_errors(), none) << "main-view frame " << frame;
        }
        // A rebuilt context starts on bare stacks again.
        if (!open_test_window(1024, 768)) GTEST_SKIP() << test_gl_context_error();
        run_frame();
        EXPECT_EQ(take_gl_errors(), underflow) << "first frame of a new context";
        run_frame();
        EXPECT_EQ(take_gl_errors(), none) << "second frame of a new context";
    }
}

TEST(Frame, TheSaversYawTakeBackLeavesTheViewWhereItWas)
{
    // Near 2^23 degrees the saver takes back a whole number of turns of the
    // view (test_frame.cpp); the camera's look-at must come out the same
    // before and after, to within a thousandth of a degree.
    if (!open_test_window(64, 64)) GTEST_SKIP() << test_gl_context_error();
    reset_world(true);
    world.camera_yaw = 8388607.0f;
    turn_saver_camera();  // one degree on: 8388608, taken back
    const float taken_back = world.camera_yaw;
    ASSERT_LT(taken_back, 8388607.0f);
    GLfloat before[16], after[16];
    place_camera(0, 0, 0, 8388608.0f, 0, 64, 64);
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    place_camera(0, 0, 0, taken_back, 0, 64, 64);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int k = 0; k < 16; ++k) EXPECT_NEAR(before[k], after[k], 2e-5) << k;
}
