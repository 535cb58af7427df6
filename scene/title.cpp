// Title sequence: the streaming points and the fading monogram.
#include "scene/title.h"

#include <cmath>
#include <initializer_list>

#include "common/gl.h"
#include "common/keys.h"
#include "common/random.h"
#include "scene/camera.h"

void make_title_point(title_point& p)
{
    p.x = (float)(next_random() % 500 - 250);
    p.z = (float)(-(next_random() % 1000));
    p.y = (float)(next_random() % 500 - 250);
    p.kind = next_random() % 10;
}

void seed_title_points()
{
    for (title_point& p : world.title_points) make_title_point(p);
}

namespace {

// One convex polygon of a monogram glyph: 3 or 4 corners in the glyph's plane.
struct glyph_polygon {
    int corner_count;
    float corners[4][2];
};

// First glyph, a serifed T: x -250..-90, y -220..0, drawn at z = -500.
const glyph_polygon FIRST_GLYPH[8] = {
    {4, {{-250, -30}, {-185, -30}, {-185, 0}, {-250, 0}}},       // bar, left
    {4, {{-185, -30}, {-155, -30}, {-155, 0}, {-185, 0}}},       // bar, middle
    {4, {{-155, -30}, {-90, -30}, {-90, 0}, {-155, 0}}},         // bar, right
    {3, {{-250, -65}, {-225, -30}, {-250, -30}}},                // serif, left
    {3, {{-90, -65}, {-90, -30}, {-115, -30}}},                  // serif, right
    {4, {{-185, -110}, {-155, -110}, {-155, -30}, {-185, -30}}},  // stem, upper
    {4, {{-185, -190}, {-155, -190}, {-155, -110}, {-185, -110}}},  // stem, lower
    {4, {{-220, -220}, {-120, -220}, {-155, -190}, {-185, -190}}},  // foot
};

// Second glyph, a V standing on a short base: x -150..50, y -220..0, at z = -499.
const glyph_polygon SECOND_GLYPH[8] = {
    {4, {{-150, 0}, {-123.33f, -60}, {-90, -60}, {-110, 0}}},     // left arm, top
    {4, {{-123.33f, -60}, {-96.67f, -120}, {-70, -120}, {-90, -60}}},
    {4, {{-96.67f, -120}, {-70, -180}, {-50, -180}, {-70, -120}}},  // left arm, bottom
    {4, {{10, 0}, {-10, -60}, {23.33f, -60}, {50, 0}}},           // right arm, top
    {4, {{-10, -60}, {-30, -120}, {-3.33f, -120}, {23.33f, -60}}},
    {4, {{-30, -120}, {-50, -180}, {-30, -180}, {-3.33f, -120}}},  // right arm, bottom
    {3, {{-70, -180}, {-50, -210}, {-30, -180}}},                 // point
    {4, {{-90, -220}, {-10, -220}, {-25, -210}, {-75, -210}}},    // base
};

void draw_glyph(const glyph_polygon* glyph, double z, bool large_layout, double r, double g, double b)
{
    glPushMatrix();
    if (large_layout) glTranslated(100, 100, 0);
    glColor4d(r, g, b, world.title_fade);
    for (int k = 0; k < 8; ++k) {
        glBegin(GL_POLYGON);
        for (int c = 0; c < glyph[k].corner_count; ++c) glVertex3d(glyph[k].corners[c][0], glyph[k].corners[c][1], z);
        glEnd();
    }
    glPopMatrix();
}

}  // namespace

void draw_monogram(bool large_layout)
{
    glEnable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    draw_glyph(FIRST_GLYPH, -500, large_layout, 1.25, 0.64, 0);
    // One unit nearer and drawn last: it covers the first where they overlap.
    draw_glyph(SECOND_GLYPH, -499, large_layout, 0, 3, 0);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
}

float title_point_size(float z, float previous)
{
    if (z < -700) return 1;
    if (z > -700 && z < -300) return 2;
    if (z > -300) return 3;
    return previous;  // exactly -700 or -300: the size in force stays
}

namespace {

void title_point_colour(const title_point& p)
{
    if (p.kind < 3)
        glColor3f(1, 0, 0);
    else
        glColor3f(0, 2.5f, 2.5f);
}

// Whether drawing the points size by size could change a pixel (or leave a
// point out): only points
// at the same depth can tie in the depth test, and points at the same depth
// differ in size only at exactly -700 or -300, where the size in force
// carries over. Two such points near each other (a few units apart is many
// pixels apart at either depth) keep their order.
bool size_passes_could_tie(const float sizes[TITLE_POINT_COUNT])
{
    // A size carried over from before the title (not 1, 2 or 3) has no pass.
    for (int k = 0; k < TITLE_POINT_COUNT; ++k)
        if (sizes[k] != 1 && sizes[k] != 2 && sizes[k] != 3) return true;
    int boundary[TITLE_POINT_COUNT];
    int n = 0;
    for (int k = 0; k < TITLE_POINT_COUNT; ++k)
        if (world.title_points[k].z == -700 || world.title_points[k].z == -300) boundary[n++] = k;
    for (int a = 0; a < n; ++a)
        for (int b = a + 1; b < n; ++b) {
            const title_point& p = world.title_points[boundary[a]];
            const title_point& q = world.title_points[boundary[b]];
            if (p.z == q.z && sizes[boundary[a]] != sizes[boundary[b]] && std::fabs(p.x - q.x) < 8 &&
                std::fabs(p.y - q.y) < 8)
                return true;
        }
    return false;
}

}  // namespace

void draw_title_points()
{
    GLfloat size = 1;
    glGetFloatv(GL_POINT_SIZE, &size);
    // Each point's size, as it would be set point by point in order.
    float sizes[TITLE_POINT_COUNT];
    float in_force = size;
    for (int k = 0; k < TITLE_POINT_COUNT; ++k) in_force = sizes[k] = title_point_size(world.title_points[k].z, in_force);

    if (size_passes_could_tie(sizes)) {
        for (int k = 0; k < TITLE_POINT_COUNT; ++k) {
            const title_point& p = world.title_points[k];
            title_point_colour(p);
            if (sizes[k] != size) {
                size = sizes[k];
                glPointSize(size);
            }
            glBegin(GL_POINTS);
            glVertex3f(p.x, p.y, p.z);
            glEnd();
        }
        return;
    }
    // Changing the point size costs the renderer far more than a point, and
    // in stream order it changes at most points. Drawn one size at a time,
    // each in stream order, the points fill the same pixels: points of
    // different sizes never tie in depth (checked above). The colour and the
    // size in force afterwards are those of the last point.
    for (const float pass : {1.0f, 2.0f, 3.0f}) {
        bool begun = false;
        for (int k = 0; k < TITLE_POINT_COUNT; ++k) {
            if (sizes[k] != pass) continue;
            if (!begun) {
                if (size != pass) {
                    size = pass;
                    glPointSize(size);
                }
                glBegin(GL_POINTS);
                begun = true;
            }
            const title_point& p = world.title_points[k];
            title_point_colour(p);
            glVertex3f(p.x, p.y, p.z);
        }
        if (begun) glEnd();
    }
    if (size != in_force) glPointSize(in_force);
    title_point_colour(world.title_points[TITLE_POINT_COUNT - 1]);
}

void step_title_points()
{
    for (title_point& p : world.title_points) {
        p.z = (float)(p.z + 1.0);
        if (p.z >= 0) make_title_point(p);
    }
}

void advance_title(bool escape_held)
{
    if ((escape_held && world.title_fade >= 1.0f) || world.title_fade >= 1.5f) world.title_running = false;
    world.title_fade = (float)(world.title_fade + 0.001);
    if (world.title_fade > 0.4) world.title_fade = (float)(world.title_fade + 0.002);
    if (world.title_fade > 1.5f) world.title_fade = 1.5f;
}

void run_title_frame(bool large_layout)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);
    place_camera(0, 0, 0, 90, 0, CAMERA_VIEW_WIDTH, CAMERA_VIEW_HEIGHT);
    draw_monogram(large_layout);
    draw_title_points();
    step_title_points();
    advance_title(world.keys[VK_CODE_ESCAPE]);
}
