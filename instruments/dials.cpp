// Instrument dials: drawing the dial body, the sweeps and the four plain dials in the overlay.
#include "instruments/dials.h"

#include "common/gl.h"
#include "common/world.h"
#include "render/overlay.h"

namespace {

void triangle(const overlay_point& a, const overlay_point& b, const overlay_point& c)
{
    glVertex2f(a.x, a.y);
    glVertex2f(b.x, b.y);
    glVertex2f(c.x, c.y);
}

// The part of a convex polygon cut off by the chord from vertex i to vertex
// j (j may be `count`, vertex 0 again): the triangle i, middle, j and the two
// smaller parts beside it.
void arc_triangles(const overlay_point* points, int count, int i, int j)
{
    if (j - i < 2) return;
    const int middle = (i + j) / 2;
    triangle(points[i], points[middle], points[j % count]);
    arc_triangles(points, count, i, middle);
    arc_triangles(points, count, middle, j);
}

// A convex polygon in one flat colour, without depth test. The renderer
// splits a polygon into a fan from its first vertex, long slivers that cost
// it many partly covered blocks each. Any set of triangles that tiles the
// polygon covers the same pixels, since the renderer gives each pixel centre
// on a shared edge to exactly one of the two triangles; these tile it with a
// triangle through three vertices a third of the way round from each other
// and ever smaller ones beside it, few of them slivers.
void convex_polygon(const overlay_point* points, int count)
{
    if (count < 3) return;
    const int a = 0, b = count / 3, c = 2 * count / 3;
    glBegin(GL_TRIANGLES);
    triangle(points[a], points[b], points[c]);
    arc_triangles(points, count, a, b);
    arc_triangles(points, count, b, c);
    arc_triangles(points, count, c, count);
    glEnd();
}

void print_dial_text(const dial_text& t)
{
    print_text(t.at.x, t.at.y, "%s", t.text);
}

}  // namespace

void draw_dial_body(const dial_place& place)
{
    overlay_point circle[DIAL_CIRCLE_POINT_COUNT];
    dial_circle(place, 1.2 * (double)place.r, circle);
    glColor3d(0.1, 0.1, 0.2);
    convex_polygon(circle, DIAL_CIRCLE_POINT_COUNT);
    dial_circle(place, place.r, circle);
    glColor3d(0.32, 0.625, 0.625);
    convex_polygon(circle, DIAL_CIRCLE_POINT_COUNT);
}

void draw_sweep(const dial_place& place, float& sweep)
{
    sweep_wedge wedges[SWEEP_WEDGE_LIMIT];
    const int count = sweep_wedges(place, sweep, wedges);
    // The wedges overlap, so they keep their order; as one primitive rather
    // than one each, each the triangle its three-cornered polygon became.
    glBegin(GL_TRIANGLES);
    for (int k = 0; k < count; ++k) {
        const sweep_wedge& w = wedges[k];
        const double u = w.shade;
        glColor3d(0.32 * u, 0.625 * u, 0.625 * u);
        glVertex2f(w.p2.x, w.p2.y);
        glVertex2f(place.mx, place.my);
        glVertex2f(w.p1.x, w.p1.y);
    }
    glEnd();
    advance_sweep(sweep);
}

void draw_depth_gauge(float height, bool large_layout)
{
    const dial_place place = dial_placement(DIAL_DEPTH, large_layout);
    draw_dial_body(place);

    for (int z = 0; z < DEPTH_ZONE_COUNT; ++z) {
        depth_zone zone;
        depth_gauge_zone(place, z, zone);
        glColor3d(zone.red, zone.green, zone.blue);
        // Each zone is a sector of at most 138 degrees: convex.
        convex_polygon(zone.points, zone.point_count);
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

    // The line width stays 2 for whatever is drawn after the gauge.
    const overlay_point tip = depth_needle_tip(place, height);
    glLineWidth(2);
    glColor3d(1, 1, 1);
    glBegin(GL_LINES);
    glVertex2f(place.mx, place.my);
    glVertex2f(tip.x, tip.y);
    glEnd();
}

void draw_bottom_sounder(float distance, bool large_layout)
{
    const dial_place place = dial_placement(DIAL_SOUNDER, large_layout);
    draw_dial_body(place);
    draw_sweep(place, world.sounder_sweep);
    update_sounder_reading(distance);
    dial_text reading;
    sounder_text(large_layout, reading);
    glColor3d(1.28, 2.5, 2.5);
    print_dial_text(reading);
}

void draw_compass(float yaw, bool large_layout)
{
    const dial_place place = dial_placement(DIAL_COMPASS, large_layout);
    const double k = large_layout ? 2.5 : 1.0;
    draw_dial_body(place);

    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslated(place.mx, place.my, 0);
    glPushMatrix();
    glRotated(-(double)yaw, 0, 0, 1);
    glColor3d(1, 0, 0);
    glBegin(GL_POLYGON);
    glVertex2d(-3 * k, 0);
    glVertex2d(3 * k, 0);
    glVertex2d(0, 12 * k);
    glEnd();
    glColor3d(0, 0, 1);
    glBegin(GL_POLYGON);
    glVertex2d(-3 * k, 0);
    glVertex2d(3 * k, 0);
    glVertex2d(0, -12 * k);
    glEnd();
    glPopMatrix();
    glPopMatrix();

    dial_text labels[2];
    compass_labels(large_layout, labels);
    glColor3d(2.8, 2.5, 2.5);
    print_dial_text(labels[0]);
    print_dial_text(labels[1]);
}

void draw_fish_finder(int count, bool large_layout)
{
    const dial_place place = dial_placement(DIAL_FINDER, large_layout);
    draw_dial_body(place);
    draw_sweep(place, world.finder_sweep);
    update_finder_reading(count);
    dial_text texts[3];
    finder_texts(large_layout, texts);
    glColor3d(0.25, 0.25, 0.25);
    for (const dial_text& t : texts) print_dial_text(t);
}
