// Central tower: a fixed structure of cached quadrics, drawn every frame of the world view.
#include "objects/tower.h"

#include <cmath>

#include "common/gl.h"
#include "render/shape_cache.h"
#include "render/view_volume.h"

namespace {

enum part_shape { POLE, SPHERE, CONE };

// Colours as they stand, components above 1 included.
enum part_colour { RED, GREEN, LEG };
constexpr double COLOURS[3][3] = {{3, 0, 0}, {2, 3, 2}, {3, 1.2, 1}};

struct tower_part {
    part_colour colour;
    double position[3];
    int turn_count;         // rotations, applied in order
    double turns[2][4];     // angle, then axis
    part_shape shape;
    double radius, length;  // length unused for spheres
};


const tower_part TOWER_PARTS[] = {
    {RED, {10, 500, 10}, 0, {}, POLE, 3, 1300},
    {RED, {10, 500, -10}, 0, {}, POLE, 3, 1300},
    {RED, {-10, 500, -10}, 0, {}, POLE, 3, 1300},
    {RED, {-10, 500, 10}, 0, {}, POLE, 3, 1300},
    {RED, {5, 350, 25}, 0, {}, POLE, 3, 400},
    {GREEN, {5, -50, 25}, 0, {}, SPHERE, 6, 0},
    {RED, {5, -50, 25}, 1, {{45, 0, 0, 1}}, POLE, 3, 1600},
    {RED, {5, -50, 25}, 1, {{-45, 0, 0, 1}}, POLE, 3, 1600},
    {GREEN, {-10, 0, -10}, 0, {}, SPHERE, 6, 0},
    {RED, {-10, 0, -10}, 1, {{-45, -0.5, 0, 1}}, POLE, 3, 1600},
    {GREEN, {-10, -25, -10}, 0, {}, SPHERE, 6, 0},
    {RED, {-10, -25, -10}, 1, {{-45, -0.5, 0, 1}}, POLE, 3, 1600},
    {GREEN, {-10, -50, -10}, 0, {}, SPHERE, 6, 0},
    {RED, {-10, -50, -10}, 1, {{-45, -0.5, 0, 1}}, POLE, 3, 1600},
    {GREEN, {-10, -75, -10}, 0, {}, SPHERE, 6, 0},
    {RED, {-10, -75, -10}, 1, {{-45, -0.5, 0, 1}}, POLE, 3, 1600},
    {LEG, {-200, -1000, -200}, 2, {{10, 1, 0, -1}, {-90, 1, 0, 0}}, CONE, 60, 1900},
    {LEG, {200, -1000, -200}, 2, {{10, 1, 0, 1}, {-90, 1, 0, 0}}, CONE, 60, 1900},
    {LEG, {200, -1000, 200}, 2, {{10, -1, 0, 1}, {-90, 1, 0, 0}}, CONE, 60, 1900},
    {LEG, {-200, -1000, 200}, 2, {{10, -1, 0, -1}, {-90, 1, 0, 0}}, CONE, 60, 1900},
};

constexpr int PART_COUNT = sizeof TOWER_PARTS / sizeof TOWER_PARTS[0];

// Turns v by `degrees` about `axis`, as glRotated does.
void turn(double v[3], double degrees, const double axis[3])
{
    const double length = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
    if (!(length > 0)) return;
    const double u[3] = {axis[0] / length, axis[1] / length, axis[2] / length};
    const double a = degrees * (3.14159265358979323846 / 180.0);
    const double c = std::cos(a), s = std::sin(a);
    const double dot = u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
    const double cross[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    for (int k = 0; k < 3; ++k) v[k] = v[k] * c + cross[k] * s + u[k] * dot * (1 - c);
}

// Whether a part lies wholly outside the view: a sphere around the shape as
// its cached list draws it, carried through the part's own turns.
bool part_unseen(const tower_part& p)
{
    double centre[3] = {0, 0, 0};
    double radius = p.radius;
    switch (p.shape) {
    case POLE:  // the tube hangs from y = 1 down to y = 1 - length
        centre[1] = 1 - p.length / 2;
        radius = std::sqrt(p.radius * p.radius + p.length * p.length / 4);
        break;
    case SPHERE:
        break;
    case CONE:  // along +z from 0 to length
        centre[2] = p.length / 2;
        radius = std::sqrt(p.radius * p.radius + p.length * p.length / 4);
        break;
    }
    for (int k = p.turn_count - 1; k >= 0; --k) turn(centre, p.turns[k][0], &p.turns[k][1]);
    return sphere_outside_view(p.position[0] + centre[0], p.position[1] + centre[1], p.position[2] + centre[2],
                               radius);
}

}  // namespace

void draw_central_tower()
{
    for (int k = 0; k < PART_COUNT; ++k) {
        const tower_part& p = TOWER_PARTS[k];
        // A part that cannot reach a pixel is left out; the last is always
        // drawn, as it leaves the colour and normal current after the tower.
        if (k < PART_COUNT - 1 && part_unseen(p)) continue;
        glPushMatrix();
        glColor3d(COLOURS[p.colour][0], COLOURS[p.colour][1], COLOURS[p.colour][2]);
        glTranslated(p.position[0], p.position[1], p.position[2]);
        for (int k = 0; k < p.turn_count; ++k)
            glRotated(p.turns[k][0], p.turns[k][1], p.turns[k][2], p.turns[k][3]);
        switch (p.shape) {
        case POLE:
            solid_cylinder(p.radius, p.length);
            break;
        case SPHERE:
            solid_sphere(p.radius);
            break;
        case CONE:
            solid_cone(p.radius, p.length);
            break;
        }
        glPopMatrix();
    }
}
