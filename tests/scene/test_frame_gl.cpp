// Frame drivers rendered offscreen: title background, clear colour, water, soft mode, the saver's view and the headless loop.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/gl.h"
#include "common/keys.h"
#include "common/world.h"
#include "lakebed/fog.h"
#include "scene/camera.h"
#include "scene/frame.h"
#include "render/gl_setup.h"
#include "shell/headless/png_writer.h"
#include "shell/headless/render_run.h"
#include "tests/support/gl_context.h"
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

std::vector<unsigned char> frame_pixels(int width, int height)
{
    std::vector<unsigned char> rgba((size_t)width * height * 4);
    read_test_pixels(0, 0, width, height, rgba.data());
    return rgba;
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

// Number of pixels that differ between two RGB images of the same size.
size_t differing_pixels(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return (size_t)-1;
    size_t n = 0;
    for (size_t k = 0; k + 2 < a.size(); k += 3)
        if (a.compare(k, 3, b, k, 3) != 0) ++n;
    return n;
}

std::filesystem::path scratch_folder(const char* name)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tarvelin-tests" / name;
    std::filesystem::remove_all(folder);
    return folder;
}

}  // namespace

TEST(TitleFrames, FirstFrameClearsToTheContextsColourThenBlack)
{
    use_generated_world(false);
    if (!open_test_window(1024, 768)) GTEST_SKIP() << test_gl_context_error();
    run_frame();
    EXPECT_GT(share_like(frame_pixels(1024, 768), 0, 51, 102), 0.95);
    run_frame();
    const auto second = frame_pixels(1024, 768);
    EXPECT_GT(share_like(second, 0, 0, 0), 0.95);
    // Both kinds of points are drawn: red and blue-green.
    EXPECT_GT(share_like(second, 255, 0, 0, 0), 0.0);
    EXPECT_GT(share_like(second, 0, 255, 255, 0), 0.0);
    EXPECT_TRUE(world.title_running);
    EXPECT_FLOAT_EQ(world.title_fade, 0.002f);
}

TEST(TitleFrames, MonogramFadesInWithinItsExtents)
{
    use_generated_world(false);
    if (!open_test_window(1024, 768)) GTEST_SKIP() << test_gl_context_error();
    world.title_fade = 1.4f;
    for (auto& p : world.title_points) p.z = -999;  // points far and small
    run_frame();
    const auto image = frame_pixels(1024, 768);
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

TEST(TitleFrames, EscapeEndsTheTitleAtFadeOneAndTheNextFrameEndsTheProgram)
{
    use_generated_world(false);
    if (!open_test_window(1024, 768)) GTEST_SKIP() << test_gl_context_error();
    world.keys[VK_CODE_ESCAPE] = true;
    world.title_fade = 0.95f;
    int frames = 0;
    while (world.title_running && frames < 100) {
        ASSERT_FALSE(world.done);
        run_frame();
        ++frames;
    }
    EXPECT_FALSE(world.done);
    EXPECT_GE(world.title_fade, 1.0f);
    EXPECT_LT(world.title_fade, 1.01f);
    run_frame();
    EXPECT_TRUE(world.done);
}

TEST(MainFrames, ClearColourFollowsDepthAndPitch)
{
    use_generated_world(false);
    if (!open_test_window(1024, 768)) GTEST_SKIP() << test_gl_context_error();
    world.title_running = false;
    for (const float y : {-600.0f, 200.0f}) {
        for (const float pitch : {-30.0f, 40.0f}) {
            world.camera_y = y;
            world.camera_pitch = pitch;
            run_frame();
            float t, d, expected[4], clear[4];
            frame_colour_factors(pitch, y, t, d);
            fog_colour(t, d, expected);
            glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
            for (int c = 0; c < 4; ++c) EXPECT_FLOAT_EQ(clear[c], expected[c]) << y << " " << pitch;
            // The next frame clears to it: the background shows it.
            run_frame();
            EXPECT_GT(share_like(frame_pixels(1024, 768), 0, to_byte(expected[1]), to_byte(expected[2])), 0.05)
                << y << " " << pitch;
        }
    }
}

TEST(MainFrames, WaterIsDrawnOnlyNearTheSurface)
{
    use_generated_world(false);
    if (!open_test_window(1024, 768)) GTEST_SKIP() << test_gl_context_error();
    world.title_running = false;
    world.camera_pitch = 60;
    auto top_band_like_background = [&] {
        run_frame();
        run_frame();
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

TEST(MainFrames, SoftModeDrawsTheSceneInto1024x768AndStretchesTheOverlay)
{
    use_generated_world(false);
    world.mode_width = 640;
    world.mode_height = 480;
    world.large_layout = false;
    if (!open_test_window(640, 480)) GTEST_SKIP() << test_gl_context_error();
    world.title_running = false;
    run_frame();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1024);
    EXPECT_EQ(viewport[3], 768);
    // The credit line is placed at (160, 10) in a 640 x 480 overlay that the
    // 1024 x 768 viewport stretches by 1.6: it starts at about x = 256.
    const auto image = frame_pixels(640, 480);
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

TEST(MainFrames, TheTowerShowsThroughTheFogFromTheSaversStart)
{
    use_generated_world(true);
    if (!open_test_window(1024, 768)) GTEST_SKIP() << test_gl_context_error();
    world.title_running = false;
    // Plants standing in front of the open water are left out of this view.
    world.ribbon_count = world.leaf_count = 0;
    // The yaw the saver reaches at its 960th frame: a tower leg stands right of the view.
    world.camera_yaw = 869;
    run_frame();
    EXPECT_EQ(world.camera_yaw, 870.0f);
    EXPECT_EQ(world.camera_x, 300.0f);
    const auto image = frame_pixels(1024, 768);
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

TEST(MainFrames, SaverTurnsDuringTheTitleAndKeepsItsPlace)
{
    use_generated_world(true);
    if (!open_test_window(1024, 768)) GTEST_SKIP() << test_gl_context_error();
    world.keys[VK_CODE_UP] = world.keys[VK_CODE_LEFT] = world.keys[VK_CODE_Q] = true;
    for (int k = 0; k < 3; ++k) run_frame();
    EXPECT_EQ(world.camera_yaw, -87.0f);
    world.title_running = false;
    for (int k = 0; k < 3; ++k) run_frame();
    EXPECT_EQ(world.camera_yaw, -84.0f);
    EXPECT_EQ(world.camera_x, 300.0f);
    EXPECT_EQ(world.camera_y, -800.0f);
    EXPECT_EQ(world.camera_pitch, 10.0f);
    EXPECT_FALSE(world.done);
    world.keys[VK_CODE_ESCAPE] = true;
    run_frame();
    EXPECT_TRUE(world.done);
}

// A fish sets the back faces' ambient material, which a rebuilt context lacks
// until the first fish of its first frame; with the fish far away the frame
// after a switch differs from the plain run only in its clear colour.
static void keep_fish_out_of_sight()
{
    for (fish_record& f : world.fish_table) f.x = (float)((double)f.x + 100000.0);
}

TEST(HeadlessRun, F1RebuildsTheContextAndTheFrameAfterNextIsUnchanged)
{
    const std::filesystem::path plain = scratch_folder("plain"), switched = scratch_folder("switched");
    std::string error;
    render_options options;
    options.frames = 6;
    options.shot_all = true;
    frame_figures figures;

    use_generated_world(false);
    world.title_running = false;
    keep_fish_out_of_sight();
    options.out = plain.string();
    if (run_render(options, figures, error) != 0) GTEST_SKIP() << error;
    const bool fullscreen = world.fullscreen;

    use_generated_world(false);
    world.title_running = false;
    keep_fish_out_of_sight();
    options.out = switched.string();
    ASSERT_TRUE(parse_key_script("f1@3", options.keys, error));
    figures = frame_figures{};
    ASSERT_EQ(run_render(options, figures, error), 0) << error;
    EXPECT_EQ(world.fullscreen, !fullscreen);
    EXPECT_EQ(figures.frames_run, 6);
    EXPECT_EQ(figures.shots_written, 6);

    auto image = [](const std::filesystem::path& folder, int frame) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06d.png", frame);
        int w = 0, h = 0;
        std::string rgb, e;
        EXPECT_TRUE(read_png_rgb((folder / name).string().c_str(), w, h, rgb, e)) << e;
        EXPECT_EQ(w, 1024);
        EXPECT_EQ(h, 768);
        return rgb;
    };
    for (int frame : {1, 2, 3, 5, 6})
        EXPECT_EQ(differing_pixels(image(plain, frame), image(switched, frame)), 0u) << "frame " << frame;
    // The frame right after the switch clears to the new context's colour;
    // everything drawn in it (tower, credit line) is unchanged.
    const std::string a = image(plain, 4), b = image(switched, 4);
    ASSERT_EQ(a.size(), b.size());
    size_t differing = 0;
    for (size_t k = 0; k < a.size(); k += 3)
        if (a.compare(k, 3, b, k, 3) != 0) {
            ++differing;
            EXPECT_NEAR((unsigned char)b[k + 1], 51, 1);
            EXPECT_NEAR((unsigned char)b[k + 2], 102, 1);
            if (::testing::Test::HasFailure()) break;
        }
    EXPECT_GT(differing, 0u);
    EXPECT_LT(differing, a.size() / 3);
}

TEST(HeadlessRun, KeyScriptHoldsExactlyItsKeysAndEscapeEndsTheRun)
{
    const std::filesystem::path folder = scratch_folder("keys");
    std::string error;
    render_options options;
    options.frames = 10;
    options.out = folder.string();
    ASSERT_TRUE(parse_key_script("up@1-3,left@2,q@2-3,escape@5", options.keys, error));
    frame_figures figures;
    use_generated_world(false);
    world.title_running = false;
    if (run_render(options, figures, error) != 0) GTEST_SKIP() << error;
    EXPECT_EQ(figures.frames_run, 5);
    EXPECT_TRUE(world.done);
    EXPECT_EQ(figures.main_times.size(), 5u);
    EXPECT_FALSE(std::filesystem::exists(folder));  // no shots asked for, no folder made
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

TEST(HeadlessRun, ShotsArePngFilesTopRowFirst)
{
    const std::filesystem::path folder = scratch_folder("shots") / "nested";
    std::string error;
    render_options options;
    options.frames = 2;
    options.out = folder.string();
    ASSERT_TRUE(parse_shot_list("2,7", options, error));
    frame_figures figures;
    use_generated_world(false);
    world.title_running = false;
    if (run_render(options, figures, error) != 0) GTEST_SKIP() << error;
    EXPECT_EQ(figures.shots_written, 1);
    EXPECT_FALSE(std::filesystem::exists(folder / "frame-000001.png"));
    int w = 0, h = 0;
    std::string rgb;
    ASSERT_TRUE(read_png_rgb((folder / "frame-000002.png").string().c_str(), w, h, rgb, error)) << error;
    ASSERT_EQ(w, 1024);
    ASSERT_EQ(h, 768);
    // The credit line's pure red is at the bottom of the picture: the last rows
    // of the file. (The compass needle's red half lies further right.)
    int first_row = h, last_row = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < 700; ++x) {
            const char* p = &rgb[((size_t)y * w + x) * 3];
            if ((unsigned char)p[0] == 255 && p[1] == 0 && p[2] == 0) {
                first_row = std::min(first_row, y);
                last_row = std::max(last_row, y);
            }
        }
    if (last_row < 0) GTEST_SKIP() << "no font: the credit line is not drawn";
    EXPECT_GT(first_row, 740);
    EXPECT_LE(last_row, 760);
}

TEST(HeadlessRun, UnwritableFolderFailsWithOneLine)
{
    const std::filesystem::path base = scratch_folder("blocked");
    std::filesystem::create_directories(base);
    const std::filesystem::path file = base / "file";
    std::FILE* f = std::fopen(file.string().c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    render_options options;
    options.frames = 1;
    options.shot_all = true;
    options.out = (file / "sub").string();
    frame_figures figures;
    std::string error;
    use_generated_world(false);
    EXPECT_EQ(run_render(options, figures, error), 1);
    EXPECT_NE(error.find("cannot create folder"), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
    EXPECT_EQ(figures.frames_run, 0);
}

TEST(HeadlessRun, FrameTimeFigures)
{
    double median, p95, worst;
    frame_time_summary({5, 1, 3, 2, 4}, median, p95, worst);
    EXPECT_EQ(median, 3);
    EXPECT_EQ(p95, 5);
    EXPECT_EQ(worst, 5);
    std::vector<double> times;
    for (int k = 1; k <= 100; ++k) times.push_back(101 - k);
    frame_time_summary(times, median, p95, worst);
    EXPECT_EQ(median, 50.5);
    EXPECT_EQ(p95, 95);
    EXPECT_EQ(worst, 100);
    frame_time_summary({}, median, p95, worst);
    EXPECT_EQ(worst, 0);
}

TEST(PngFile, RoundTripAndUnwritablePath)
{
    const std::filesystem::path folder = scratch_folder("png");
    std::filesystem::create_directories(folder);
    const int w = 3, h = 2;
    const unsigned char rgb[w * h * 3] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    std::string error;
    const std::string path = (folder / "small.png").string();
    ASSERT_TRUE(write_png_rgb(path.c_str(), w, h, rgb, error)) << error;
    int rw = 0, rh = 0;
    std::string back;
    ASSERT_TRUE(read_png_rgb(path.c_str(), rw, rh, back, error)) << error;
    EXPECT_EQ(rw, w);
    EXPECT_EQ(rh, h);
    EXPECT_EQ(back, std::string((const char*)rgb, sizeof rgb));
    EXPECT_FALSE(write_png_rgb((folder / "none" / "x.png").string().c_str(), w, h, rgb, error));
    EXPECT_NE(error.find("cannot write"), std::string::npos);
}
