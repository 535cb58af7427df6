// The headless frame loop: the F1 rebuild, key scripts, PNG shots, failures and frame-time figures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/keys.h"
#include "common/world.h"
#include "render/font.h"
#include "scene/camera.h"
#include "shell/freetype/font_freetype.h"
#include "shell/headless/png_writer.h"
#include "shell/headless/render_options.h"
#include "shell/headless/render_run.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_world.h"

namespace {

// Number of pixels that differ between two RGB images of the same size.
size_t differing_pixels(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return (size_t)-1;
    size_t n = 0;
    for (size_t k = 0; k + 2 < a.size(); k += 3)
        if (a.compare(k, 3, b, k, 3) != 0) ++n;
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

TEST(RenderRun, F1RebuildsTheContextAndTheFrameAfterNextIsUnchanged)
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

TEST(RenderRun, KeyScriptHoldsExactlyItsKeysAndEscapeEndsTheRun)
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

TEST(RenderRun, ShotsArePngFilesTopRowFirst)
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
    // The font of tarvelin_render's main, for the credit line.
    use_font_source({make_freetype_font, free_freetype_font});
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

TEST(RenderRun, UnwritableFolderFailsWithOneLine)
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

TEST(RenderRun, FrameTimeFigures)
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
