// Pitch dial: the dial body and the tilting side-view figure.
#include "instruments/pitch_dial.h"

#include "common/gl.h"
#include "instruments/dials.h"

namespace {

// The figure's colours, as glColor3d arguments; white saturates.
const double figure_colours[][3] = {
    {0.2, 0.2, 0.2},     // grey
    {0, 0, 0},           // black
    {1.28, 2.55, 2.55},  // white
    {0.7, 0.7, 0},       // yellow
};

// A grey body facing left, a black cabin with two white windows, a yellow
// block on its back and two grey legs ending in black fins at the right.
const pitch_polygon figure[PITCH_FIGURE_POLYGON_COUNT] = {
    {FIGURE_GREY, 4, {{75, 75}, {100, 70}, {100, 100}, {75, 85}}},
    {FIGURE_GREY, 4, {{100, 70}, {100, 100}, {120, 90}, {120, 70}}},
    {FIGURE_GREY, 4, {{120, 90}, {120, 70}, {200, 70}, {210, 100}}},
    {FIGURE_GREY, 6, {{200, 70}, {210, 100}, {320, 100}, {320, 70}, {250, 50}, {230, 50}}},
    {FIGURE_BLACK, 6, {{210, 100}, {190, 120}, {170, 130}, {155, 120}, {155, 100}, {157.5f, 95}}},
    {FIGURE_WHITE, 4, {{155, 100}, {157.5f, 94.5f}, {175, 96}, {175, 100}}},
    {FIGURE_WHITE, 4, {{173, 100}, {175, 100}, {190, 120}, {188, 121}}},
    {FIGURE_YELLOW, 10, {{220, 100}, {215, 105}, {215, 120}, {220, 125}, {230, 130},
                        {280, 130}, {290, 125}, {295, 120}, {295, 105}, {285, 100}}},
    {FIGURE_BLACK, 4, {{215, 105}, {215, 120}, {220, 120}, {220, 105}}},
    {FIGURE_BLACK, 4, {{215, 105}, {215, 110}, {200, 105}, {200, 100}}},
    {FIGURE_GREY, 5, {{300, 95}, {320, 115}, {400, 100}, {400, 80}, {320, 70}}},
    {FIGURE_GREY, 4, {{380, 100}, {400, 80}, {450, 170}, {450, 190}}},
    {FIGURE_BLACK, 5, {{450, 170}, {442, 180}, {442, 200}, {470, 200}, {470, 185}}},
    {FIGURE_BLACK, 4, {{470, 200}, {470, 185}, {480, 190}, {480, 200}}},
    {FIGURE_BLACK, 4, {{480, 190}, {480, 200}, {500, 210}, {500, 205}}},
    {FIGURE_BLACK, 4, {{500, 210}, {500, 205}, {510, 215}, {510, 217}}},
    {FIGURE_BLACK, 4, {{510, 215}, {510, 217}, {525, 247}, {525, 245}}},
    {FIGURE_GREY, 4, {{380, 100}, {400, 80}, {450, 140}, {450, 160}}},
    {FIGURE_BLACK, 5, {{450, 140}, {442, 150}, {442, 170}, {470, 170}, {470, 155}}},
    {FIGURE_BLACK, 4, {{470, 170}, {470, 155}, {480, 160}, {480, 170}}},
    {FIGURE_BLACK, 4, {{480, 160}, {480, 170}, {500, 180}, {500, 175}}},
    {FIGURE_BLACK, 4, {{500, 180}, {500, 175}, {510, 185}, {510, 187}}},
    {FIGURE_BLACK, 4, {{510, 185}, {510, 187}, {525, 217}, {525, 215}}},
};

}  // namespace

const pitch_polygon* pitch_figure()
{
    return figure;
}

double pitch_figure_unit(bool large_layout)
{
    return 0.1 * (large_layout ? 2.5 : 1.0);
}

void draw_pitch_dial(float pitch, bool large_layout)
{
    const double g = pitch_figure_unit(large_layout);
    draw_dial_body(dial_placement(DIAL_PITCH, large_layout));

    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslated(PITCH_PIVOT_PLACE_X * g, PITCH_PIVOT_PLACE_Y * g, 0);
    glPushMatrix();
    glRotated(-(double)pitch, 0, 0, 1);
    glTranslated(-PITCH_PIVOT_X * g, -PITCH_PIVOT_Y * g, 0);
    for (const pitch_polygon& p : figure) {
        const double* c = figure_colours[p.colour];
        glColor3d(c[0], c[1], c[2]);
        glBegin(GL_POLYGON);
        for (int v = 0; v < p.vertex_count; ++v)
            glVertex2d(p.vertices[v][0] * g, p.vertices[v][1] * g);
        glEnd();
    }
    glPopMatrix();
    glPopMatrix();
}
