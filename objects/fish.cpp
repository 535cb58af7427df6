// Fish school: per-frame swimming of the near, visible fish and the nine-piece fish model.
#include <cmath>

#include "common/angles.h"
#include "common/gl.h"
#include "common/random.h"
#include "common/world.h"
#include "lakebed/height_queries.h"
#include "render/view_volume.h"
#include "objects/fish.h"
#include "objects/spline.h"

namespace {

constexpr float BED_CLEARANCE = 50.0f;   // kept above the lake bed
constexpr float SURFACE_LEVEL = 300.0f;  // the water surface
constexpr float SURFACE_CLEARANCE = 20.0f;
constexpr float PITCH_LIMIT = 30.0f;
constexpr double RIM_RADIUS = 9000.0;
constexpr int RIM_TURN = 120;
constexpr int TURN_CHANCE_MODULUS = 100;
constexpr int TURN_CHANCE_VALUE = 44;
constexpr float TAIL_LIMIT = 4.0f;
constexpr int FISH_STEPS = 5;  // spline vertices per outline segment

// A turn in progress moves the angle by one degree towards its sign; a turn
// that has made all its steps ends. With no turn in progress, one number
// decides whether a new one of size r % modulus - half starts.
void advance_turn(float& angle, int32_t& turn, int32_t& done, int modulus)
{
    if (turn != 0) {
        if (turn > 0) {
            angle = (float)((double)angle + 1.0);
            ++done;
        } else {
            angle = (float)((double)angle - 1.0);
            --done;
        }
        if (done == turn) turn = done = 0;
    }
    if (turn == 0 && next_random() % TURN_CHANCE_MODULUS == TURN_CHANCE_VALUE) {
        turn = next_random() % modulus - modulus / 2;
        done = 0;
    }
}

// One point of a model piece: y and z may follow the tail phase f.
struct model_point {
    float x, y, y_per_phase, z, z_per_phase;
};

struct model_piece {
    int count;
    model_point points[10];
    float colour[3];
    bool mirrored;
    float offset[3];  // translation of the mirrored copy
};

// The fish in its own frame: head toward -x, tail toward +x, back toward +y.
const model_piece FISH_MODEL[] = {
    // Body.
    {10,
     {{-10, -2, 0, 0, 0}, {-10, 2, 0, 0, 0}, {-6, 7, 0, 0, 0}, {0, 7, 0, 0, 0}, {5, 4, 0, 0, 0},
      {8, 2, 0, 0, 0}, {8, -2, 0, 0, 0}, {5, -4, 0, 0, 0}, {0, -7, 0, 0, 0}, {-6, -7, 0, 0, 0}},
     {1, 0, 0},
     true,
     {0, 0, 0.1f}},
    // Tail, first face: swings along z by f at the root, 1.5 f mid-way, 2.5 f at the tips.
    {10,
     {{9, 2.5f, 0, 0, 1}, {11, 4, 0, 0, 1.5f}, {13, 7, 0, 0, 2.5f}, {11, 2, 0, 0, 1.5f},
      {11, -2, 0, 0, 1.5f}, {13, -7, 0, 0, 2.5f}, {11, -4, 0, 0, 1.5f}, {9, -2.5f, 0, 0, 1},
      {8, -2, 0, 0, 0}, {8, 2, 0, 0, 0}},
     {1, 0, 0},
     false,
     {0, 0, 0}},
    // Tail, second face, 0.1 behind the first and wound the other way.
    {10,
     {{9, -2.5f, 0, 0.1f, 1}, {11, -4, 0, 0.1f, 1.5f}, {13, -7, 0, 0.1f, 2.5f},
      {11, -2, 0, 0.1f, 1.5f}, {11, 2, 0, 0.1f, 1.5f}, {13, 7, 0, 0.1f, 2.5f},
      {11, 4, 0, 0.1f, 1.5f}, {9, 2.5f, 0, 0.1f, 1}, {8, 2, 0, 0.1f, 0}, {8, -2, 0, 0.1f, 0}},
     {1, 0, 0},
     false,
     {0, 0, 0}},
    // Back fin.
    {9,
     {{-5, 5, 0, 0, 0}, {-3, 8, 0, 0, 0}, {0, 10, 0, 0, 0}, {4, 11, 0, 0, 0}, {8, 12, 0, 0, 0},
      {4, 10, 0, 0, 0}, {2, 8, 0, 0, 0}, {0, 5, 0, 0, 0}, {-2, 0, 0, 0, 0}},
     {1, 0, 0},
     true,
     {0, 0, 0.1f}},
    // Belly fin.
    {9,
     {{-2, 0, 0, 0, 0}, {0, -5, 0, 0, 0}, {2, -8, 0, 0, 0}, {4, -10, 0, 0, 0}, {8, -12, 0, 0, 0},
      {4, -11, 0, 0, 0}, {0, -10, 0, 0, 0}, {-3, -8, 0, 0, 0}, {-5, -5, 0, 0, 0}},
     {1, 0, 0},
     true,
     {0, 0, 0.1f}},
    // Side fin on the -z side: its outer edge flaps up and down by 0.3 f.
    {5,
     {{-6, -2, 0, 0, 0}, {-4, -2, 0, 0, 0}, {-2, -2, 0, 0, 0}, {0, -4, 0.3f, -5, 0},
      {-8, -4, 0.3f, -5, 0}},
     {1, 0, 0},
     false,
     {0, 0, 0}},
    // Side fin on the +z side.
    {5,
     {{-2, -2, 0, 0, 0}, {-4, -2, 0, 0, 0}, {-6, -2, 0, 0, 0}, {-8, -4, 0.3f, 5, 0},
      {0, -4, 0.3f, 5, 0}},
     {1, 0, 0},
     false,
     {0, 0, 0}},
    // Eye; its mirrored copy is the eye on the far side.
    {4,
     {{-8, 0, 0, -0.2f, 0}, {-8, 2, 0, -0.2f, 0}, {-6, 2, 0, -0.2f, 0}, {-6, 0, 0, -0.2f, 0}},
     {1, 1, 1},
     true,
     {0, 2, 0.4f}},
    // Pupil.
    {4,
     {{-7.8f, 0.5f, 0, -0.25f, 0}, {-7.8f, 1.5f, 0, -0.25f, 0}, {-6.8f, 1.5f, 0, -0.25f, 0},
      {-6.8f, 0.5f, 0, -0.25f, 0}},
     {0, 0, 0},
     true,
     {0, 2, 0.5f}},
};

void draw_model_piece(const model_piece& piece, float tail_phase)
{
    float points[10][3];
    float colours[10][3];
    for (int k = 0; k < piece.count; ++k) {
        const model_point& m = piece.points[k];
        points[k][0] = m.x;
        points[k][1] = (float)((double)m.y + (double)m.y_per_phase * tail_phase);
        points[k][2] = (float)((double)m.z + (double)m.z_per_phase * tail_phase);
        for (int c = 0; c < 3; ++c) colours[k][c] = piece.colour[c];
    }
    draw_spline_outline(points, colours, piece.count, FISH_STEPS);
    if (!piece.mirrored) return;
    // The same outline turned half a turn about x: (px, py, pz) lands at
    // (px + tx, ty - py, tz - pz), seen from the other side.
    glPushMatrix();
    glTranslated(piece.offset[0], piece.offset[1], piece.offset[2]);
    glPushMatrix();
    glRotated(180.0, 1.0, 0.0, 0.0);
    draw_spline_outline(points, colours, piece.count, FISH_STEPS);
    glPopMatrix();
    glPopMatrix();
}

}  // namespace

bool fish_is_near(const fish_record& f, float camera_x, float camera_z)
{
    const double dx = (double)camera_x - f.x;
    const double dz = (double)camera_z - f.z;
    const double square = dx * dx + dz * dz;
    // Most of the school is far off: well beyond the radius the square root
    // cannot come out below it, so it is taken only near the radius and within.
    constexpr double FAR_SQUARE = 1.0001 * (double)FISH_NEAR_RADIUS * FISH_NEAR_RADIUS;
    if (square > FAR_SQUARE) return false;
    return std::sqrt(square) < FISH_NEAR_RADIUS;
}

bool fish_in_sight(const fish_record& f, float camera_x, float camera_z)
{
    return fish_is_near(f, camera_x, camera_z) && sphere_in_view(f.x, f.y, f.z, FISH_VIEW_RADIUS);
}

float fish_ground_height(float x, float z)
{
    const int i = grid_index(x);
    const int j = grid_index(z);
    if (i < 0 || i >= BED_SIZE || j < 0 || j >= BED_SIZE) return FISH_NO_BED;
    return world.bed_height[i][j];
}

void move_one_fish(fish_record& f)
{
    // Tail beat, turning at +-4.
    const double beat = (double)f.speed * 0.5;
    f.tail_phase = (float)(f.tail_rising ? (double)f.tail_phase + beat : (double)f.tail_phase - beat);
    if (f.tail_phase >= TAIL_LIMIT) f.tail_rising = false;
    if (f.tail_phase <= -TAIL_LIMIT) f.tail_rising = true;

    // The bed under the fish where it is before this frame's move.
    const float ground = fish_ground_height(f.x, f.z);
    if ((double)f.y - ground < BED_CLEARANCE) {
        f.y = (float)((double)f.y + 1.0);
        f.pitch = (float)((double)f.pitch - 1.0);
    } else if ((double)SURFACE_LEVEL - f.y < SURFACE_CLEARANCE) {
        f.y = (float)((double)f.y - 1.0);
        f.pitch = (float)((double)f.pitch + 1.0);
    } else {
        const double p = f.pitch * DEG_TO_RAD;
        const double h = f.yaw * DEG_TO_RAD;
        f.x = (float)((double)f.x - std::cos(h) * std::cos(p) * f.speed);
        f.z = (float)((double)f.z + std::sin(h) * std::cos(p) * f.speed);
        f.y = (float)((double)f.y - std::sin(p) * f.speed);
        advance_turn(f.pitch, f.pitch_turn, f.pitch_turn_done, 60);
    }

    if (f.pitch < -PITCH_LIMIT) f.pitch = -PITCH_LIMIT;
    if (f.pitch > PITCH_LIMIT) f.pitch = PITCH_LIMIT;

    // Beyond the rim the fish turns back, unless a heading turn is under way.
    if (std::sqrt((double)f.x * f.x + (double)f.z * f.z) > RIM_RADIUS && f.yaw_turn == 0) {
        f.yaw_turn = RIM_TURN;
        f.yaw_turn_done = 0;
    }
    advance_turn(f.yaw, f.yaw_turn, f.yaw_turn_done, 360);
}

void update_fish(float camera_x, float camera_z)
{
    for (fish_record& f : world.fish_table)
        if (fish_in_sight(f, camera_x, camera_z)) move_one_fish(f);
}

void draw_fish(float camera_x, float camera_z)
{
    world.fish_drawn_count = 0;
    for (const fish_record& f : world.fish_table) {
        if (!fish_in_sight(f, camera_x, camera_z)) continue;
        draw_one_fish(f.x, f.y, f.z, f.yaw, f.pitch, f.tail_phase);
        ++world.fish_drawn_count;
    }
}

int count_fish_in_sight(float camera_x, float camera_z)
{
    int count = 0;
    for (const fish_record& f : world.fish_table)
        if (fish_in_sight(f, camera_x, camera_z)) ++count;
    return count;
}

void draw_one_fish(float x, float y, float z, float yaw, float pitch, float tail_phase)
{
    const double h = yaw * DEG_TO_RAD;
    glPushMatrix();
    glTranslated(x, y, z);
    glPushMatrix();
    glRotated(pitch, std::sin(h), 0.0, std::cos(h));
    glPushMatrix();
    glRotated(yaw, 0.0, 1.0, 0.0);
    static const GLfloat red[4] = {1, 0, 0, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, red);
    for (const model_piece& piece : FISH_MODEL) draw_model_piece(piece, tail_phase);
    glPopMatrix();
    glPopMatrix();
    glPopMatrix();
}
