// The dials drawn into an offscreen context: the compass needle in feedback mode and pixel probes of both layouts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "common/gl.h"
#include "common/world.h"
#include "instruments/dials.h"
#include "instruments/pitch_dial.h"
#include "instruments/view_frame.h"
#include "render/overlay.h"
#include "scene/credits.h"
#include "tests/support/gl_context.h"
#include "tests/support/gl_frame.h"
#include "tests/support/gl_feedback.h"

namespace {

// Colour near the overlay point (x, y): the channel sums of the pixels of a
// 1-pixel neighbourhood give the brightest one, for thin lines.
test_pixel brightest_near(int x, int y)
{
    test_pixel best{-1, -1, -1, -1};
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const test_pixel p = read_test_pixel(x + dx, y + dy);
            if (p.r + p.g + p.b > best.r + best.g + best.b) best = p;
        }
    return best;
}

// Screen position of the overlay point at angle `degrees` and distance r from (mx, my).
void at_angle(double mx, double my, double degrees, double r, double scale, int& x, int& y)
{
    const double a = degrees * 3.14159265358979 / 180;
    x = (int)std::floor((mx + r * std::cos(a)) * scale);
    y = (int)std::floor((my + r * std::sin(a)) * scale);
}

}  // namespace

TEST(Dials, CompassNeedleTurnsClockwiseWithTheYaw)
{
    if (!make_large_overlay_context()) GTEST_SKIP() << test_gl_context_error();
    auto red_and_blue_tips = [](float yaw, fed_vertex& red, fed_vertex& blue) {
        const std::vector<fed_vertex> fed = feedback_vertices([yaw] { draw_compass(yaw, true); });
        // The needle's vertices are the last six; its tips are the ones 30 from the midpoint.
        int found = 0;
        for (const fed_vertex& v : fed) {
            if (std::fabs(std::hypot(v.x - 825, v.y - 75) - 30) > 1e-3) continue;
            if (v.r == 1 && v.g == 0 && v.b == 0) red = v, found |= 1;
            if (v.r == 0 && v.g == 0 && v.b == 1) blue = v, found |= 2;
        }
        return found == 3;
    };
    fed_vertex red{}, blue{};
    ASSERT_TRUE(red_and_blue_tips(0, red, blue));
    EXPECT_NEAR(red.x, 825, 1e-3);
    EXPECT_NEAR(red.y, 105, 1e-3);
    EXPECT_NEAR(blue.y, 45, 1e-3);
    ASSERT_TRUE(red_and_blue_tips(90, red, blue));
    EXPECT_NEAR(red.x, 855, 1e-3);
    EXPECT_NEAR(red.y, 75, 1e-3);
    EXPECT_NEAR(blue.x, 795, 1e-3);
    ASSERT_TRUE(red_and_blue_tips(-45, red, blue));
    EXPECT_NEAR(red.x, 825 - 30 * std::sqrt(0.5), 1e-3);
    EXPECT_NEAR(red.y, 75 + 30 * std::sqrt(0.5), 1e-3);
    expect_no_gl_error();
}

TEST(Dials, LargeLayoutColoursWhereTheyBelong)
{
    if (!make_large_overlay_context()) GTEST_SKIP() << test_gl_context_error();
    reset_world(false);
    world.client_width = 1024;
    world.client_height = 768;
    glClearColor(0.5f, 0.5f, 0.5f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    draw_view_frame(true);
    draw_depth_gauge(0, true);
    draw_bottom_sounder(600, true);
    draw_pitch_dial(0, true);
    draw_compass(0, true);
    draw_fish_finder(5, true);
    draw_credit_line(false, true);

    GLfloat width = 0, size = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(width, 2);
    EXPECT_EQ(size, 1);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    // The frame: green outer border, black inner rim, tongue, lip; scene in the middle.
    expect_colour(read_test_pixel(30, 400), 0, 51, 0, "green left band");
    expect_colour(read_test_pixel(90, 400), 0, 0, 0, "black rim of the left band");
    expect_colour(read_test_pixel(1000, 400), 0, 51, 0, "green right band");
    expect_colour(read_test_pixel(512, 740), 0, 51, 0, "green top band");
    expect_colour(read_test_pixel(512, 670), 0, 0, 0, "black lip");
    expect_colour(read_test_pixel(512, 150), 0, 0, 0, "black tongue");
    expect_colour(read_test_pixel(512, 100), 0, 51, 0, "green triangle at the tongue's foot");
    expect_colour(read_test_pixel(180, 690), 0, 0, 0, "black edge of the upper left corner wedge");
    expect_colour(read_test_pixel(120, 690), 0, 51, 0, "green upper left corner wedge");
    expect_colour(read_test_pixel(512, 400), 128, 128, 128, "the scene");

    int x, y;
    // Rims and faces of all five dials.
    const struct {
        const char* name;
        double mx, my, r;
        double face_angle;
    } dials[] = {{"sounder", 75, 75, 50, 250},  {"pitch", 200, 75, 62.5, 90}, {"finder", 725, 75, 50, 300},
                 {"compass", 825, 75, 37.5, 45}, {"depth", 925, 75, 50, 90}};
    for (const auto& d : dials) {
        at_angle(d.mx, d.my, d.face_angle, 1.1 * d.r, 1, x, y);
        expect_colour(read_test_pixel(x, y), 26, 26, 51, std::string(d.name) + " rim");
        at_angle(d.mx, d.my, d.face_angle, 0.9 * d.r, 1, x, y);
        expect_colour(read_test_pixel(x, y), 82, 159, 159, std::string(d.name) + " face");
    }

    // Depth gauge at y = 0: green, yellow and red zones and a needle pointing left.
    at_angle(925, 75, 200, 25, 1, x, y);
    expect_colour(read_test_pixel(x, y), 0, 64, 0, "green zone");
    at_angle(925, 75, 80, 25, 1, x, y);
    expect_colour(read_test_pixel(x, y), 64, 64, 0, "yellow zone");
    at_angle(925, 75, -20, 25, 1, x, y);
    expect_colour(read_test_pixel(x, y), 64, 0, 0, "red zone");
    expect_colour(brightest_near(905, 75), 255, 255, 255, "needle");
    expect_colour(read_test_pixel(925, 55), 82, 159, 159, "face between the green and red zones");

    // Sweeps of the first frame: the sounder's leading edge at 0 degrees is
    // white, its colour falls to the face colour 120 degrees later; the fish
    // finder's leads at 100.
    at_angle(75, 75, 1.5, 40, 1, x, y);
    expect_colour(read_test_pixel(x, y), 255, 255, 255, "sounder leading edge");
    at_angle(75, 75, 80, 30, 1, x, y);
    expect_colour(read_test_pixel(x, y), (int)(0.32 * 2 * 255), 255, 255, "sounder sweep at 80 degrees", 6);
    at_angle(725, 75, 101.5, 40, 1, x, y);
    expect_colour(read_test_pixel(x, y), 255, 255, 255, "finder leading edge");
    at_angle(725, 75, 90, 40, 1, x, y);
    expect_colour(read_test_pixel(x, y), 82, 159, 159, "finder face ahead of the sweep");

    // Compass at yaw 0: red half up, blue half down.
    expect_colour(read_test_pixel(825, 95), 255, 0, 0, "compass north half");
    expect_colour(read_test_pixel(825, 60), 0, 0, 255, "compass south half");
    expect_no_gl_error();
}

TEST(Dials, SmallLayoutIsScaledByTheSoftModesViewport)
{
    if (!make_test_gl_context(1024, 768)) GTEST_SKIP() << test_gl_context_error();
    reset_world(false);
    world.client_width = 640;
    world.client_height = 480;
    begin_overlay();
    glClearColor(0.5f, 0.5f, 0.5f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    draw_view_frame(false);
    draw_depth_gauge(300, false);
    draw_bottom_sounder(0, false);
    draw_pitch_dial(0, false);
    draw_compass(90, false);
    draw_fish_finder(0, false);

    // Overlay units are 1.6 pixels: the small frame's black band ends at 41 units.
    expect_colour(read_test_pixel(20, 240), 0, 51, 0, "green left band");
    expect_colour(read_test_pixel((int)(35 * 1.6), 240), 0, 0, 0, "black rim of the left band");
    expect_colour(read_test_pixel((int)(43 * 1.6), 240), 128, 128, 128, "scene right of the band");
    expect_colour(read_test_pixel((int)(205 * 1.6), (int)(50 * 1.6)), 0, 0, 0, "black tongue");
    expect_colour(read_test_pixel(320, (int)(290 * 1.6)), 0, 51, 0, "green top band");

    int x, y;
    const struct {
        const char* name;
        double mx, my, r;
        double face_angle;
    } dials[] = {{"sounder", 30, 30, 20, 250}, {"pitch", 80, 30, 25, 90}, {"finder", 290, 30, 20, 300},
                 {"compass", 330, 30, 15, 150}, {"depth", 370, 30, 20, 90}};
    for (const auto& d : dials) {
        at_angle(d.mx, d.my, d.face_angle, 1.1 * d.r, 1.6, x, y);
        expect_colour(read_test_pixel(x, y), 26, 26, 51, std::string(d.name) + " rim");
        at_angle(d.mx, d.my, d.face_angle, 0.9 * d.r, 1.6, x, y);
        expect_colour(read_test_pixel(x, y), 82, 159, 159, std::string(d.name) + " face");
    }
    // Compass at yaw 90: the red half points right.
    expect_colour(read_test_pixel((int)(338 * 1.6), (int)(30 * 1.6)), 255, 0, 0, "compass red half");
    expect_colour(read_test_pixel((int)(322 * 1.6), (int)(30 * 1.6)), 0, 0, 255, "compass blue half");
    expect_no_gl_error();
}
