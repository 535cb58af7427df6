// Central tower: a fixed structure of cached quadrics, drawn every frame of the world view.
#include "objects/tower.h"

#include "common/gl.h"
#include "render/shape_cache.h"

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

}  // namespace

void draw_central_tower()
{
    for (const tower_part& p : TOWER_PARTS) {
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
