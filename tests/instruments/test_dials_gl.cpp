// Instruments drawn into an offscreen context: feedback-mode geometry and pixel probes of both layouts.
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
#include "lakebed/height_queries.h"
#include "scene/credits.h"
#include "scene/frame.h"
#include "render/gl_setup.h"
#include "render/overlay.h"
#include "tests/support/gl_context.h"
#include "tests/support/test_world.h"

namespace {

// A feedback vertex: window position and clamped colour.
struct fed_vertex {
    double x, y;
    double r, g, b;
};

// Runs `draw` in feedback mode and returns the vertices of every polygon it
// made (however the implementation splits polygons into triangles).
template <class Draw>
std::vector<fed_vertex> feedback_vertices(Draw draw)
{
    static GLfloat buffer[1 << 18];
    glFeedbackBuffer((GLsizei)(sizeof buffer / sizeof buffer[0]), GL_3D_COLOR, buffer);
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint n = glRenderMode(GL_RENDER);
    std::vector<fed_vertex> out;
    EXPECT_GT(n, 0) << "feedback buffer empty or overflowed";
    constexpr GLint vertex_size = 7;  // x, y, z, r, g, b, a
    for (GLint i = 0; i < n;) {
        const GLint token = (GLint)buffer[i++];
        if (token == GL_POLYGON_TOKEN) {
            const GLint count = (GLint)buffer[i++];
            for (GLint v = 0; v < count; ++v, i += vertex_size)
                out.push_back({buffer[i], buffer[i + 1], buffer[i + 3], buffer[i + 4], buffer[i + 5]});
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            i += 2 * vertex_size;
        } else if (token == GL_POINT_TOKEN || token == GL_BITMAP_TOKEN || token == GL_DRAW_PIXEL_TOKEN ||
                   token == GL_COPY_PIXEL_TOKEN) {
            i += vertex_size;  // text and points: not polygons
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            i += 1;
        } else {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
    }
    return out;
}

constexpr double CLOSE = 2e-3;

// Whether a fed vertex lies at (x, y) and, when given, has the colour (r, g, b).
bool fed_at(const std::vector<fed_vertex>& fed, double x, double y, double r = -1, double g = -1, double b = -1)
{
    for (const fed_vertex& v : fed) {
        if (std::fabs(v.x - x) > CLOSE || std::fabs(v.y - y) > CLOSE) continue;
        if (r < 0 || (std::fabs(v.r - r) < 1e-5 && std::fabs(v.g - g) < 1e-5 && std::fabs(v.b - b) < 1e-5))
            return true;
    }
    return false;
}

// Sets up a 1024 x 768 context whose overlay units are pixels.
bool large_overlay_context()
{
    if (!make_test_gl_context(1024, 768)) return false;
    world.client_width = 1024;
    world.client_height = 768;
    begin_overlay();
    return true;
}

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

void expect_colour(const test_pixel& p, int r, int g, int b, const std::string& what, int tolerance = 3)
{
    EXPECT_NEAR(p.r, r, tolerance) << what;
    EXPECT_NEAR(p.g, g, tolerance) << what;
    EXPECT_NEAR(p.b, b, tolerance) << what;
}

// Screen position of the overlay point at angle `degrees` and distance r from (mx, my).
void at_angle(double mx, double my, double degrees, double r, double scale, int& x, int& y)
{
    const double a = degrees * 3.14159265358979 / 180;
    x = (int)std::floor((mx + r * std::cos(a)) * scale);
    y = (int)std::floor((my + r * std::sin(a)) * scale);
}

}  // namespace

TEST(PitchDialRender, FigureAtPitchZeroSitsWhereTheTableAndPivotPutIt)
{
    if (!large_overlay_context()) GTEST_SKIP() << test_gl_context_error();
    const std::vector<fed_vertex> fed = feedback_vertices([] { draw_pitch_dial(0, true); });

    // The first polygon of the figure: (18.75, 18.75), (25, 17.5), (25, 25),
    // (18.75, 21.25) in figure units x 0.25, moved by (125, 45).
    for (auto [x, y] : {std::pair<double, double>{143.75, 63.75}, {150, 62.5}, {150, 70}, {143.75, 66.25}})
        EXPECT_TRUE(fed_at(fed, x, y, 0.2, 0.2, 0.2)) << "(" << x << ", " << y << ") missing";
    // The upper fin's black tip (525, 247), a yellow corner (230, 130) and a
    // white window corner (175, 96).
    EXPECT_TRUE(fed_at(fed, 256.25, 106.75, 0, 0, 0));
    EXPECT_TRUE(fed_at(fed, 182.5, 77.5, 0.7, 0.7, 0));
    EXPECT_TRUE(fed_at(fed, 168.75, 69, 1, 1, 1));
    // The rim and the face start at angle 0.
    EXPECT_TRUE(fed_at(fed, 275, 75, 0.1, 0.1, 0.2));
    EXPECT_TRUE(fed_at(fed, 262.5, 75, 0.32, 0.625, 0.625));

    // Every vertex drawn is a rim or face point or a figure vertex, and every
    // one of those is drawn.
    std::vector<fed_vertex> expected;
    const dial_place place = dial_placement(DIAL_PITCH, true);
    overlay_point circle[DIAL_CIRCLE_POINT_COUNT];
    for (double radius : {75.0, 62.5}) {
        dial_circle(place, radius, circle);
        for (const overlay_point& p : circle) expected.push_back({p.x, p.y, 0, 0, 0});
    }
    const pitch_polygon* figure = pitch_figure();
    for (int k = 0; k < PITCH_FIGURE_POLYGON_COUNT; ++k)
        for (int v = 0; v < figure[k].vertex_count; ++v)
            expected.push_back({figure[k].vertices[v][0] * 0.25 + 125, figure[k].vertices[v][1] * 0.25 + 45, 0, 0, 0});
    EXPECT_EQ(expected.size(), 2u * 61 + 105);
    for (const fed_vertex& e : expected) EXPECT_TRUE(fed_at(fed, e.x, e.y)) << e.x << ", " << e.y << " not drawn";
    for (const fed_vertex& v : fed) EXPECT_TRUE(fed_at(expected, v.x, v.y)) << v.x << ", " << v.y << " drawn";
}

TEST(PitchDialRender, TurnsClockwiseAboutThePivotAndRestoresTheMatrix)
{
    if (!make_test_gl_context(1024, 768)) GTEST_SKIP() << test_gl_context_error();
    world.client_width = 640;
    world.client_height = 480;
    begin_overlay();
    glTranslated(3, 4, 0);  // a model-view matrix the dial must leave as it was
    GLfloat before[16], after[16];
    GLint depth_before = 0, depth_after = 0;
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_before);

    // Small layout: figure unit 0.1, pivot (280, 100) placed at (78, 28).
    const std::vector<fed_vertex> fed = feedback_vertices([] { draw_pitch_dial(30, false); });
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_after);
    for (int k = 0; k < 16; ++k) EXPECT_EQ(before[k], after[k]) << k;
    EXPECT_EQ(depth_before, depth_after);

    // Window positions: overlay units x 1.6 in the 640 x 480 mode, plus the
    // translation above.
    auto expected_at = [](double fx, double fy) {
        const double a = -30 * 3.14159265358979 / 180;
        const double dx = (fx - 280) * 0.1, dy = (fy - 100) * 0.1;
        const double x = 78 + dx * std::cos(a) - dy * std::sin(a) + 3;
        const double y = 28 + dx * std::sin(a) + dy * std::cos(a) + 4;
        return std::pair<double, double>{x * 1.6, y * 1.6};
    };
    auto drawn = [&](double fx, double fy) {
        const auto [x, y] = expected_at(fx, fy);
        for (const fed_vertex& v : fed)
            if (std::fabs(v.x - x) < 2e-3 && std::fabs(v.y - y) < 2e-3) return true;
        return false;
    };
    EXPECT_TRUE(drawn(280, 130));  // the yellow block's top edge passes over the pivot
    EXPECT_TRUE(drawn(75, 75));    // the nose, raised
    EXPECT_TRUE(drawn(525, 247));  // the upper fin tip, lowered
    EXPECT_TRUE(drawn(450, 140));
}

TEST(CompassRender, NeedleTurnsClockwiseWithTheYaw)
{
    if (!large_overlay_context()) GTEST_SKIP() << test_gl_context_error();
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
}

TEST(InstrumentsRender, LargeLayoutColoursWhereTheyBelong)
{
    if (!large_overlay_context()) GTEST_SKIP() << test_gl_context_error();
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
}

TEST(InstrumentsRender, SmallLayoutIsScaledByTheSoftModesViewport)
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
}

TEST(InstrumentsRender, InteractiveFramesDrawTheInstrumentsAndTheSaverNone)
{
    for (bool saver : {false, true}) {
        use_generated_world(saver);
        if (!make_test_gl_context(1024, 768)) GTEST_SKIP() << test_gl_context_error();
        on_resize(1024, 768);
        setup_gl();
        world.title_running = false;
        for (int frame = 1; frame <= 4; ++frame) run_frame();

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

TEST(Credits, LinesAndPositionsOfBothPrograms)
{
    char line[256];
    std::snprintf(line, sizeof line, credit_line_format(false), "");
    EXPECT_STREQ(line, "Created by Orvandel ");
    std::snprintf(line, sizeof line, credit_line_format(true), "");
    EXPECT_STREQ(line, "The lake bottom screensaver. Created by Orvandel ");
    float x, y;
    credit_line_position(true, x, y);
    EXPECT_EQ(x, 440);
    EXPECT_EQ(y, 10);
    credit_line_position(false, x, y);
    EXPECT_EQ(x, 160);
    EXPECT_EQ(y, 10);
}
