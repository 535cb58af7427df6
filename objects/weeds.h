// Weed beds: ribbon weeds and red leaf clumps around the viewer.
#pragma once

struct weed_record;

void generate_weed_beds();
void make_ribbon(float x, float z, int index);
int make_leaf_clump(float x, float z, int last);
void make_leaf(float x, float z, int index);
// The per-frame pass: draw the near ribbons, recycle the far ones, sway them,
// then draw the near leaves and recycle the far ones.
void update_weed_beds(float camera_x, float camera_z);

// Plants nearer than this (horizontally, from the root) are drawn.
constexpr double WEED_DRAW_RADIUS = 200.0;
// Plants farther than this are moved through the camera ...
constexpr double WEED_RECYCLE_RADIUS = 500.0;
// ... to this distance on the far side.
constexpr double WEED_PLACE_RADIUS = 450.0;

// Horizontal distance from the camera to a plant's root.
double weed_distance(const weed_record& w, float camera_x, float camera_z);
// Moves a plant through the camera to WEED_PLACE_RADIUS on the far side and
// sets its root down at the ground level there, keeping its shape.
void move_weed_through_camera(weed_record& w, float camera_x, float camera_z, double distance);
// Recycles every plant of the table's first `count` farther than WEED_RECYCLE_RADIUS.
void recycle_weeds(weed_record* table, int count, float camera_x, float camera_z);
// Sways every ribbon weed in use by one frame (GL-free).
void sway_ribbons();
// update_weed_beds without drawing: the recycling and the sway (GL-free).
void move_weed_beds(float camera_x, float camera_z);
