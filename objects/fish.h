// Fish school: 20000 fish, of which those near the viewer swim and are drawn.
#pragma once

struct fish_record;

void generate_fish();
void update_fish(float camera_x, float camera_z);
void draw_fish(float camera_x, float camera_z);
// How many fish draw_fish would draw now: those in sight (GL-free).
int count_fish_in_sight(float camera_x, float camera_z);
void draw_one_fish(float x, float y, float z, float yaw, float pitch, float tail_phase);

// Horizontal distance below which a fish swims and is drawn.
constexpr float FISH_NEAR_RADIUS = 200.0f;
// Radius of the view test around a fish.
constexpr float FISH_VIEW_RADIUS = 550.0f;

// True when the fish is within the near radius of the camera horizontally.
bool fish_is_near(const fish_record& f, float camera_x, float camera_z);
// The near test, then the view test against the current view volume.
bool fish_in_sight(const fish_record& f, float camera_x, float camera_z);

// Bed height under a fish at (x, z): the height of its grid vertex. Outside the
// height field there is no bed, and this returns FISH_NO_BED, far below any fish.
float fish_ground_height(float x, float z);
constexpr float FISH_NO_BED = -1.0e9f;

// One frame of a fish that passed both tests: tail beat, bed and surface
// avoidance or swimming with its pitch turn, the pitch clamp, the rim turn
// and the heading turn. Draws from next_random. Issues no GL call.
void move_one_fish(fish_record& f);
