// The fish model and the drawing pass, caught in feedback mode.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "common/gl.h"
#include "common/world.h"
#include "objects/fish.h"
#include "tests/support/gl_context.h"
#include "tests/support/gl_frame.h"
#include "tests/support/gl_feedback.h"
#include "tests/support/test_world.h"

TEST(Fish, ModelHasNinePiecesAndFiveMirroredCopiesHeadFirst)
{
    if (!make_test_gl_context(128, 128)) GTEST_SKIP() << test_gl_context_error();
    feedback_ortho_view(64);
    // Unturned, with the tail swung by f = 2.
    auto fish = feedback_polygons([] { draw_one_fish(0, 0, 0, 0, 0, 2.0f); });
    // body, its copy, two tail faces, back fin and copy, belly fin and copy,
    // two side fins, eye and copy, pupil and copy: 1 + count x 5 vertices each.
    const size_t sizes[] = {51, 51, 51, 51, 46, 46, 46, 46, 26, 26, 21, 21, 21, 21};
    ASSERT_EQ(fish.size(), 14u);
    for (size_t k = 0; k < 14; ++k) EXPECT_EQ(fish[k].vertices.size(), sizes[k]) << "piece " << k;
    // A mirrored copy puts (px, py, pz) at (px + tx, ty - py, tz - pz).
    const struct {
        int piece;
        double tx, ty, tz;
    } copies[] = {{0, 0, 0, 0.1}, {4, 0, 0, 0.1}, {6, 0, 0, 0.1}, {10, 0, 2, 0.4}, {12, 0, 2, 0.5}};
    for (const auto& c : copies)
        for (size_t k = 0; k < fish[c.piece].vertices.size(); ++k) {
            const auto a = feedback_world_point(fish[c.piece].vertices[k], 64);
            const auto b = feedback_world_point(fish[c.piece + 1].vertices[k], 64);
            EXPECT_NEAR(b[0], a[0] + c.tx, 1e-3);
            EXPECT_NEAR(b[1], c.ty - a[1], 1e-3);
            EXPECT_NEAR(b[2], c.tz - a[2], 1e-3);
        }
    // Tail tips swing by 2.5 f; the first face's tip is its third point (vertex 10).
    EXPECT_NEAR(feedback_world_point(fish[2].vertices[10], 64)[2], 5.0, 1e-3);
    // Colours: red body, white eye, black pupil.
    EXPECT_NEAR(fish[0].vertices[0][3], 1.0, 1e-6);
    EXPECT_NEAR(fish[0].vertices[0][4], 0.0, 1e-6);
    EXPECT_NEAR(fish[10].vertices[0][4], 1.0, 1e-6);
    EXPECT_NEAR(fish[12].vertices[0][3], 0.0, 1e-6);

    // Turned and pitched, the head (between the body's first two points) lies
    // along the direction the fish swims: (-cos h cos p, -sin p, sin h cos p).
    for (float yaw : {0.0f, 30.0f, 135.0f, -100.0f})
        for (float pitch : {-30.0f, 0.0f, 20.0f}) {
            fish = feedback_polygons([&] { draw_one_fish(3, -4, 5, yaw, pitch, 0.0f); });
            ASSERT_EQ(fish.size(), 14u);
            const auto a = feedback_world_point(fish[0].vertices[0], 64);
            const auto b = feedback_world_point(fish[0].vertices[5], 64);
            const double h = yaw * 3.14 / 180, p = pitch * 3.14 / 180;
            EXPECT_NEAR((a[0] + b[0]) / 2 - 3, -10 * std::cos(h) * std::cos(p), 0.05);
            EXPECT_NEAR((a[1] + b[1]) / 2 + 4, -10 * std::sin(p), 0.05);
            EXPECT_NEAR((a[2] + b[2]) / 2 - 5, 10 * std::sin(h) * std::cos(p), 0.05);
        }
    expect_no_gl_error();
}

TEST(Fish, DrawingPassDrawsAndCountsTheFishInSight)
{
    if (!make_test_gl_context(128, 128)) GTEST_SKIP() << test_gl_context_error();
    use_generated_world();
    std::memset(world.view_frustum, 0, sizeof world.view_frustum);  // everything in view
    feedback_ortho_view(64);
    // Camera at the origin of the view; three fish near it, one just too far.
    const float cx = -9900, cz = -9900;
    const float offsets[4][2] = {{10, 0}, {-20, 15}, {0, -30}, {200, 0}};
    for (int k = 0; k < 4; ++k) {
        fish_record& f = world.fish_table[100 + 50 * k];
        f.x = cx + offsets[k][0];
        f.z = cz + offsets[k][1];
        f.y = 0;
    }
    glTranslated(-cx, 0, -cz);
    const auto polygons = feedback_polygons([&] { draw_fish(cx, cz); });
    EXPECT_EQ(world.fish_drawn_count, 3);
    EXPECT_EQ(polygons.size(), 3u * 14);
    expect_no_gl_error();
}
