// The faster ways of drawing against the plain ones they replace, in an
// offscreen context: spheres as one triangle list, dial discs and gauge zones
// in fewer slivers, sweeps as one primitive, the view frame's bands cut by
// scissors, the world cut to the frame's opening, bubbles, plants and lake-bed
// cells left out where they cannot reach a pixel and title points drawn size
// by size must all leave exactly the same pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "common/gl.h"
#include "common/world.h"
#include "instruments/dials.h"
#include "instruments/view_frame.h"
#include "lakebed/fog.h"
#include "lakebed/height_queries.h"
#include "lakebed/terrain.h"
#include "objects/tower.h"
#include "objects/weeds.h"
#include "render/gl_setup.h"
#include "render/overlay.h"
#include "render/shape_cache.h"
#include "render/view_volume.h"
#include "scene/camera.h"
#include "scene/title.h"
#include "tests/support/gl_context.h"
#include "tests/support/test_world.h"

namespace {

std::vector<unsigned char> pixels(int width, int height)
{
    std::vector<unsigned char> rgba((size_t)width * height * 4);
    read_test_pixels(0, 0, width, height, rgba.data());
    return rgba;
}

size_t differing(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    if (a.size() != b.size()) return (size_t)-1;
    size_t n = 0;
    for (size_t k = 0; k < a.size(); k += 4)
        if (std::memcmp(&a[k], &b[k], 4) != 0) ++n;
    return n;
}

// Pixels that are not the clear colour (0, 0, 0).
size_t painted(const std::vector<unsigned char>& a)
{
    size_t n = 0;
    for (size_t k = 0; k < a.size(); k += 4)
        if (a[k] | a[k + 1] | a[k + 2]) ++n;
    return n;
}

// A context with the start values of the world (the lamp's strength, the fog's reach) in force.
bool open_window(int width, int height)
{
    reset_world(false);
    if (!make_test_gl_context(width, height)) return false;
    release_shape_cache();
    on_resize(width, height);
    setup_gl();
    return true;
}

void clear_black()
{
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// The lit, fogged state of a main-view frame, with a camera at the origin looking along -z.
void world_view(int width, int height)
{
    place_camera(0, 0, 0, 90, 0, width, height);
    refresh_headlamp();
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    world.fog_phase = 0;
    apply_fog(0.1f, 1.0f);
}

void glu_sphere(double radius)
{
    GLUquadric* q = gluNewQuadric();
    gluQuadricDrawStyle(q, GLU_FILL);
    gluQuadricNormals(q, GLU_SMOOTH);
    gluSphere(q, radius, 16, 16);
    gluDeleteQuadric(q);
}

// A lit square sent without normals, in the lamp's cone (the lamp stands at
// (10, 0, 0) in the eye's frame and points along about (-0.17, 0, -0.98)):
// it takes whatever normal the sphere left current.
void square_after(double z)
{
    const double x = 10 - 0.17 * -z;
    glColor3d(0.5, 2.0, 1.0);
    glBegin(GL_QUADS);
    glVertex3d(x - 6, -6, z);
    glVertex3d(x + 6, -6, z);
    glVertex3d(x + 6, 6, z);
    glVertex3d(x - 6, 6, z);
    glEnd();
}

struct sphere_case {
    double radius;
    double x, y, z;    // where it stands in front of the eye
    double turn;       // degrees about (1, 1, 0)
};

void draw_case(const sphere_case& c, bool library)
{
    glPushMatrix();
    glTranslated(c.x, c.y, c.z);
    glRotated(c.turn, 1, 1, 0);
    glColor3d(2.25, 2.55, 2.55);
    if (library)
        glu_sphere(c.radius);
    else
        solid_sphere(c.radius);
    glPopMatrix();
    square_after(c.z - 4 * c.radius - 1);
}

// The plain overlay polygon the dials and the frame used to send.
void plain_polygon(const overlay_point* p, int count)
{
    glBegin(GL_POLYGON);
    for (int k = 0; k < count; ++k) glVertex2f(p[k].x, p[k].y);
    glEnd();
}

void plain_dial_body(const dial_place& place)
{
    overlay_point circle[DIAL_CIRCLE_POINT_COUNT];
    dial_circle(place, 1.2 * (double)place.r, circle);
    glColor3d(0.1, 0.1, 0.2);
    plain_polygon(circle, DIAL_CIRCLE_POINT_COUNT);
    dial_circle(place, place.r, circle);
    glColor3d(0.32, 0.625, 0.625);
    plain_polygon(circle, DIAL_CIRCLE_POINT_COUNT);
}

void plain_sweep(const dial_place& place, float sweep)
{
    sweep_wedge wedges[SWEEP_WEDGE_LIMIT];
    const int count = sweep_wedges(place, sweep, wedges);
    for (int k = 0; k < count; ++k) {
        const double u = wedges[k].shade;
        glColor3d(0.32 * u, 0.625 * u, 0.625 * u);
        const overlay_point triangle[3] = {wedges[k].p1, wedges[k].p2, {place.mx, place.my}};
        plain_polygon(triangle, 3);
    }
}

// The depth gauge as it was drawn with every polygon a plain one.
void plain_depth_gauge(float height, bool large_layout)
{
    const dial_place place = dial_placement(DIAL_DEPTH, large_layout);
    plain_dial_body(place);
    for (int z = 0; z < DEPTH_ZONE_COUNT; ++z) {
        depth_zone zone;
        depth_gauge_zone(place, z, zone);
        glColor3d(zone.red, zone.green, zone.blue);
        plain_polygon(zone.points, zone.point_count);
    }
    glColor3d(1, 1, 1);
    glPointSize(2);
    glBegin(GL_POINTS);
    glVertex2f(place.mx, place.my);
    glEnd();
    glPointSize(1);
    overlay_point dots[DEPTH_SCALE_DOT_COUNT];
    depth_scale_dots(place, dots);
    glBegin(GL_POINTS);
    for (const overlay_point& d : dots) glVertex2f(d.x, d.y);
    glEnd();
    const overlay_point tip = depth_needle_tip(place, height);
    glLineWidth(2);
    glColor3d(1, 1, 1);
    glBegin(GL_LINES);
    glVertex2f(place.mx, place.my);
    glVertex2f(tip.x, tip.y);
    glEnd();
}

void plain_view_frame(bool large_layout)
{
    glColor4f(0, 0, 0, 0.1f);
    for (int k = 0; k < FRAME_BLACK_POLYGON_COUNT; ++k) {
        const frame_polygon p = frame_black_polygon(k, large_layout);
        plain_polygon(p.vertices, p.vertex_count);
    }
    glColor3f(0, 0.2f, 0);
    for (int k = 0; k < FRAME_GREEN_POLYGON_COUNT; ++k) {
        const frame_polygon p = frame_green_polygon(k, large_layout);
        plain_polygon(p.vertices, p.vertex_count);
    }
}

// The overlay of a window of the given size drawn into the camera's 1024 x 768 viewport, as the frames do.
void overlay_of(int client_width, int client_height)
{
    world.client_width = client_width;
    world.client_height = client_height;
    glViewport(0, 0, CAMERA_VIEW_WIDTH, CAMERA_VIEW_HEIGHT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    begin_overlay();
}

// A noisy background, so that pixels painted in the same colour as what lies below still show up as kept.
void noise_background(int width, int height)
{
    std::vector<unsigned char> rgb((size_t)width * height * 3);
    unsigned state = 12345;
    for (unsigned char& c : rgb) c = (unsigned char)((state = state * 1103515245u + 12345u) >> 24);
    glRasterPos2i(0, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glDrawPixels(width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
}

}  // namespace

TEST(SamePixels, SphereListAsTheUtilityLibrarysSphere)
{
    constexpr int W = 160, H = 120;
    if (!open_window(W, H)) GTEST_SKIP() << test_gl_context_error();
    // Bubbles of the smallest and largest radii at their distance, a tower
    // sphere up close, turned and off-centre ones.
    // Most stand in the lamp's cone, so that their colour varies over them.
    const sphere_case cases[] = {
        {(float)(0.1), -6, 4, -28, 0},  {(float)(0.49), 4, -1, -28, 30}, {(float)(0.3), 5, 1, -30, 75},
        {6, 6, 0, -30, 10},             {6, 7, -2, -20, 200},            {1.5, 7.5, 0.7, -15, 123},
        {(float)(0.2), 3.5, 0, -35, 0},
    };
    for (const sphere_case& c : cases) {
        world_view(W, H);
        clear_black();
        draw_case(c, true);
        const std::vector<unsigned char> library = pixels(W, H);
        ASSERT_GT(painted(library), 0u) << "radius " << c.radius;
        for (int pass = 0; pass < 2; ++pass) {  // compiled and drawn, then drawn from the list
            world_view(W, H);
            clear_black();
            draw_case(c, false);
            EXPECT_EQ(differing(library, pixels(W, H)), 0u) << "radius " << c.radius << ", pass " << pass;
        }
    }
}

TEST(SamePixels, LeftOutSphereLeavesTheSphereNormal)
{
    constexpr int W = 64, H = 48;
    if (!open_window(W, H)) GTEST_SKIP() << test_gl_context_error();
    world_view(W, H);
    clear_black();
    glNormal3f(0, 0, 1);
    glu_sphere(0.0);  // no triangles, but the normals are sent as for any sphere
    square_after(-30);
    const std::vector<unsigned char> library = pixels(W, H);
    world_view(W, H);
    clear_black();
    glNormal3f(0, 0, 1);
    leave_sphere_normal();
    square_after(-30);
    EXPECT_EQ(differing(library, pixels(W, H)), 0u);
    // Without the sphere's normal the square looks different.
    world_view(W, H);
    clear_black();
    glNormal3f(0, 0, 1);
    square_after(-30);
    EXPECT_GT(differing(library, pixels(W, H)), 100u);
}

TEST(SamePixels, DialBodiesGaugeAndSweeps)
{
    constexpr int W = 1024, H = 768;
    if (!open_window(W, H)) GTEST_SKIP() << test_gl_context_error();
    for (bool large : {true, false}) {
        const int client_width = large ? 1024 : 640, client_height = large ? 768 : 480;
        for (int dial = DIAL_SOUNDER; dial <= DIAL_DEPTH; ++dial) {
            const dial_place place = dial_placement((dial_id)dial, large);
            overlay_of(client_width, client_height);
            clear_black();
            plain_dial_body(place);
            const std::vector<unsigned char> plain = pixels(W, H);
            clear_black();
            draw_dial_body(place);
            EXPECT_EQ(differing(plain, pixels(W, H)), 0u) << "dial " << dial << (large ? " large" : " small");
        }
        for (float height : {298.0f, -300.0f, -880.0f}) {
            overlay_of(client_width, client_height);
            clear_black();
            plain_depth_gauge(height, large);
            const std::vector<unsigned char> plain = pixels(W, H);
            clear_black();
            draw_depth_gauge(height, large);
            EXPECT_EQ(differing(plain, pixels(W, H)), 0u) << "depth gauge at " << height;
        }
        for (float sweep : {100.0f, 0.0f, 355.0f, 212.5f}) {
            const dial_place place = dial_placement(DIAL_FINDER, large);
            overlay_of(client_width, client_height);
            clear_black();
            plain_sweep(place, sweep);
            const std::vector<unsigned char> plain = pixels(W, H);
            clear_black();
            float turning = sweep;
            draw_sweep(place, turning);
            EXPECT_EQ(differing(plain, pixels(W, H)), 0u) << "sweep " << sweep;
            EXPECT_GT(painted(plain), 1000u);
        }
    }
}

TEST(SamePixels, ViewFrameBandsBesideTheGreen)
{
    // The large layout's window, the soft mode's window stretched over the
    // camera's viewport, and windows smaller than the frame's canvas.
    const int sizes[][2] = {{1024, 768}, {640, 480}, {900, 700}, {1024, 600}};
    for (const auto& size : sizes) {
        const int W = size[0], H = size[1];
        if (!open_window(W, H)) GTEST_SKIP() << test_gl_context_error();
        for (bool large : {true, false}) {
            overlay_of(W, H);
            noise_background(W, H);
            plain_view_frame(large);
            const std::vector<unsigned char> plain = pixels(W, H);
            overlay_of(W, H);
            noise_background(W, H);
            draw_view_frame(large);
            EXPECT_EQ(differing(plain, pixels(W, H)), 0u) << W << " x " << H << (large ? " large" : " small");
        }
    }
}

TEST(SamePixels, FrameCoversEverythingOutsideItsOpening)
{
    const int sizes[][2] = {{1024, 768}, {640, 480}, {900, 700}, {1024, 600}, {1280, 1024}};
    for (const auto& size : sizes) {
        const int W = size[0], H = size[1];
        for (bool large : {true, false}) {
            const int viewport[4] = {0, 0, CAMERA_VIEW_WIDTH, CAMERA_VIEW_HEIGHT};
            int box[4];
            const bool open = view_frame_opening(large, overlay_window_of(W, H, viewport, W, H), box);
            if (!open) continue;
            // Whatever the world leaves outside the opening, the frame paints over.
            if (!open_window(W, H)) GTEST_SKIP() << test_gl_context_error();
            overlay_of(W, H);
            glClearColor(1, 0, 1, 1);
            glClear(GL_COLOR_BUFFER_BIT);
            glEnable(GL_SCISSOR_TEST);
            glScissor(box[0], box[1], box[2], box[3]);
            glClearColor(0, 0, 0, 1);
            glClear(GL_COLOR_BUFFER_BIT);
            glDisable(GL_SCISSOR_TEST);
            draw_view_frame(large);
            const std::vector<unsigned char> after = pixels(W, H);
            size_t magenta = 0;
            for (size_t k = 0; k < after.size(); k += 4)
                if (after[k] == 255 && after[k + 1] == 0 && after[k + 2] == 255) ++magenta;
            EXPECT_EQ(magenta, 0u) << W << " x " << H << (large ? " large" : " small");
        }
    }
    const int viewport[4] = {0, 0, 1024, 768};
    int box[4];
    ASSERT_TRUE(view_frame_opening(true, overlay_window_of(1024, 768, viewport, 1024, 768), box));
    EXPECT_EQ(box[0], 102);
    EXPECT_EQ(box[1], 77);
    EXPECT_EQ(box[2], 820);
    EXPECT_EQ(box[3], 614);
    // A window taller than the canvas keeps its top open to the edge.
    ASSERT_TRUE(view_frame_opening(true, overlay_window_of(1024, 1000, viewport, 1024, 1000), box));
    EXPECT_EQ(box[1] + box[3], 1000);
    EXPECT_FALSE(view_frame_opening(true, overlay_window_of(0, 768, viewport, 0, 768), box));
}

TEST(SamePixels, SpheresCulledOutsideTheScissorBoxTouchNothingInside)
{
    constexpr int W = 200, H = 150;
    if (!open_window(W, H)) GTEST_SKIP() << test_gl_context_error();
    const int box[4] = {40, 30, 120, 90};
    int culled = 0, kept = 0;
    unsigned state = 7;
    auto next = [&state] { return (double)((state = state * 1103515245u + 12345u) >> 16 & 0x7FFF) / 32768.0; };
    for (int n = 0; n < 300; ++n) {
        const double x = (next() - 0.5) * 40, y = (next() - 0.5) * 30, z = -20 - next() * 20;
        const double radius = 0.1 + next() * 2;
        world_view(W, H);
        glEnable(GL_SCISSOR_TEST);
        glScissor(box[0], box[1], box[2], box[3]);
        scissor_cull cull;
        read_scissor_cull(cull);
        if (!sphere_outside_scissor(cull, x, y, z, radius)) {
            ++kept;
            glDisable(GL_SCISSOR_TEST);
            continue;
        }
        ++culled;
        // Drawn without the scissor, the sphere touches no pixel inside the box.
        glDisable(GL_SCISSOR_TEST);
        clear_black();
        glPushMatrix();
        glTranslated(x, y, z);
        glColor3d(2.25, 2.55, 2.55);
        glu_sphere(radius);
        glPopMatrix();
        std::vector<unsigned char> inside((size_t)box[2] * box[3] * 4);
        read_test_pixels(box[0], box[1], box[2], box[3], inside.data());
        EXPECT_EQ(painted(inside), 0u) << "sphere at " << x << ", " << y << ", " << z << " r " << radius;
    }
    EXPECT_GT(culled, 20);
    EXPECT_GT(kept, 20);
    // Without the scissor test nothing is culled.
    scissor_cull off;
    glDisable(GL_SCISSOR_TEST);
    read_scissor_cull(off);
    EXPECT_FALSE(sphere_outside_scissor(off, 1000, 1000, -10, 1));
}

TEST(SamePixels, TitlePointsSizeBySize)
{
    constexpr int W = 320, H = 240;
    if (!open_window(W, H)) GTEST_SKIP() << test_gl_context_error();
    auto plain_points = [] {
        GLfloat size = 1;
        glGetFloatv(GL_POINT_SIZE, &size);
        for (const title_point& p : world.title_points) {
            glColor3f(p.kind < 3 ? 1.0f : 0.0f, p.kind < 3 ? 0.0f : 2.5f, p.kind < 3 ? 0.0f : 2.5f);
            const float next = title_point_size(p.z, size);
            if (next != size) glPointSize(size = next);
            glBegin(GL_POINTS);
            glVertex3f(p.x, p.y, p.z);
            glEnd();
        }
    };
    reset_world(false);
    seed_title_points();
    for (int frame = 0; frame < 12; ++frame) {
        // Every fourth frame puts points on the -700 and -300 planes
        // close together, where the size in force carries over and the
        // stream order has to be kept.
        if (frame % 4 == 3) {
            for (int k = 0; k < 6; ++k) {
                title_point& p = world.title_points[40 * k];
                p.z = k % 2 ? -700 : -300;
                p.x = (float)(k / 2);
                p.y = 0;
            }
        }
        std::vector<unsigned char> results[2];
        float sizes[2];
        for (int way = 0; way < 2; ++way) {
            place_camera(0, 0, 0, 90, 0, W, H);
            glViewport(0, 0, W, H);
            glPointSize(frame % 3 == 1 ? 2.0f : 1.0f);
            clear_black();
            if (way == 0)
                plain_points();
            else
                draw_title_points();
            glGetFloatv(GL_POINT_SIZE, &sizes[way]);
            // The colour left current shows on a last, colourless point.
            glBegin(GL_POINTS);
            glVertex3f(0, 0, -50);
            glEnd();
            results[way] = pixels(W, H);
        }
        EXPECT_EQ(differing(results[0], results[1]), 0u) << "frame " << frame;
        EXPECT_EQ(sizes[0], sizes[1]);
        EXPECT_GT(painted(results[0]), 100u);
        for (int k = 0; k < 37; ++k) step_title_points();
    }
}

TEST(SamePixels, PlantsAndLakeBedLeftOutWhereUnseen)
{
    constexpr int W = 256, H = 192;
    if (!open_window(W, H)) GTEST_SKIP() << test_gl_context_error();
    // Around the start, looking four ways, up and down, with and without a
    // scissor box cutting the view to a frame-like opening.
    const float views[][3] = {{-90, 10, 0}, {0, -30, 1}, {90, 5, 0}, {180, -10, 1}, {45, 25, 1}};
    for (const auto& v : views) {
        std::vector<unsigned char> results[2];
        for (int cull = 0; cull < 2; ++cull) {
            use_generated_world(false);
            const float x = world.camera_x, z = world.camera_z;
            const float y = ground_level(x, z) + 60;
            place_camera(x, y, z, v[0], v[1], W, H);
            clear_black();
            if (v[2] != 0) {
                glEnable(GL_SCISSOR_TEST);
                glScissor(25, 19, 206, 154);
            }
            extract_view_frustum();
            limit_view_to_scissor();
            refresh_headlamp();
            glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
            world.fog_phase = 0;
            apply_fog(0.2f, 1.0f);
            leave_out_unseen(cull == 1);
            draw_lake_bed(grid_index(x), grid_index(z), x, y, z);
            glBegin(GL_TRIANGLES);  // shows the colour the bed left current
            glVertex3f(x + 5 * std::cos(v[0] * 3.14159f / 180), y, z - 5 * std::sin(v[0] * 3.14159f / 180));
            glVertex3f(x, y + 1, z);
            glVertex3f(x, y - 1, z);
            glEnd();
            update_weed_beds(x, z);
            leave_out_unseen(false);
            glDisable(GL_SCISSOR_TEST);
            results[cull] = pixels(W, H);
        }
        EXPECT_EQ(differing(results[0], results[1]), 0u) << "yaw " << v[0] << ", pitch " << v[1];
        EXPECT_GT(painted(results[0]), (size_t)W * H / 10);
    }
    // Without the switch nothing is left out: the same call sends every plant.
    use_generated_world(false);
    place_camera(world.camera_x, -600, world.camera_z, 90, 0, W, H);
    extract_view_frustum();
    const double behind[1][3] = {{world.camera_x, -600.0, world.camera_z + 1000.0}};
    EXPECT_FALSE(points_outside_view(behind, 1));
    leave_out_unseen(true);
    EXPECT_TRUE(points_outside_view(behind, 1));
    leave_out_unseen(false);
}

TEST(SamePixels, TowerPartsLeftOutWhereUnseen)
{
    constexpr int W = 256, H = 192;
    if (!open_window(W, H)) GTEST_SKIP() << test_gl_context_error();
    // Around the tower, near and far, looking at it, past it and away.
    int views = 0;
    for (double distance : {120.0, 400.0, 1500.0})
        for (int around = 0; around < 8; ++around)
            for (double look : {0.0, 40.0, 100.0, 180.0}) {
                const double a = around * 45.0;
                const float x = (float)(distance * std::cos(a * 3.14159265358979 / 180));
                const float z = (float)(-distance * std::sin(a * 3.14159265358979 / 180));
                const float yaw = (float)(a + 180 + look);
                std::vector<unsigned char> results[2];
                for (int cull = 0; cull < 2; ++cull) {
                    place_camera(x, -300, z, yaw, 5, W, H);
                    clear_black();
                    extract_view_frustum();
                    refresh_headlamp();
                    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
                    world.fog_phase = 0;
                    apply_fog(0.2f, 1.0f);
                    leave_out_unseen(cull == 1);
                    draw_central_tower();
                    leave_out_unseen(false);
                    // Something unlit and without normal of its own shows the colour and normal left current.
                    glBegin(GL_TRIANGLES);
                    glVertex3f(x + 20 * (float)std::cos(yaw * 3.14159f / 180), -300, z - 20 * (float)std::sin(yaw * 3.14159f / 180));
                    glVertex3f(x, -298, z);
                    glVertex3f(x, -302, z);
                    glEnd();
                    results[cull] = pixels(W, H);
                }
                EXPECT_EQ(differing(results[0], results[1]), 0u)
                    << "distance " << distance << ", around " << a << ", look " << look;
                if (painted(results[0]) > 200) ++views;
            }
    EXPECT_GT(views, 20);
}
