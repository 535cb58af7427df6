// The world state: one static record holding every variable of the system.
#pragma once
#include <cstdint>

#include "common/keys.h"

// Size of the lake-bed height field along each axis.
constexpr int BED_SIZE = 2000;
constexpr int TITLE_POINT_COUNT = 500;
constexpr int FISH_COUNT = 20000;
constexpr int BUBBLE_COUNT = 50;
constexpr int WEED_TABLE_SIZE = 10000;
constexpr int WEED_POINT_LIMIT = 100;

// One point of the title sequence's stream.
struct title_point {
    float x, y, z;  // whole numbers held as floats
    int32_t kind;   // 0..9; below 3 draws red, otherwise blue-green
};

// One plant: a ribbon weed or a red leaf, drawn as a closed spline outline.
struct weed_record {
    float points[WEED_POINT_LIMIT][3];  // outline control points; point 0 is the root
    float colors[WEED_POINT_LIMIT][3];  // colour of the segment that starts at each point
    int32_t point_count;                // points in use
    float sway[WEED_POINT_LIMIT];       // ribbons: sideways offset of each point, -1..1
    uint8_t swaying_back[WEED_POINT_LIMIT];  // ribbons: 1 while the point moves toward -x
};

// One fish of the school.
struct fish_record {
    float x, y, z;
    float pitch;            // degrees, positive noses down; -30..30 after every update
    float yaw;              // heading in degrees, never wrapped
    float speed;            // distance per frame, 1.00..1.99
    float tail_phase;       // tail and side-fin beat, about -4..4
    bool tail_rising;       // true while tail_phase grows
    int32_t yaw_turn;       // heading turn in progress, in one-degree steps; 0 = none
    int32_t yaw_turn_done;  // steps of it already made
    int32_t pitch_turn;     // pitch turn in progress; 0 = none
    int32_t pitch_turn_done;
};

// One bubble in the viewer's frame.
struct bubble_record {
    float x;           // sideways position
    float y;           // height before the drawing offset of -12
    float rise_speed;  // per frame
    float swing;       // degrees, about -90..90
    float swing_step;  // last change of swing: -1, 0 or +1
    float radius;
    bool swing_growing;
};

// How long each group of fields lives, named in each group's heading:
//   start-up   set by set_start_values or a generator once, before the first
//              window; generators run in a fixed order (scene/startup.cpp), and
//              a new one must run after the existing ones, or every start
//              builds a different world;
//   program    changed by the program as it runs and kept across the F1
//              context rebuild;
//   context    rebuilt with each OpenGL context (lists and what the size
//              handler sets), released before the context closes;
//   frame      rewritten by every frame.
struct world_state {
    // Start-up. Which program's world this is: the screensaver build places its fish
    // closer to the centre, starts its camera elsewhere and has its own frame driver.
    bool saver_build;

    // Start-up, then program: the one pseudo-random generator's state;
    // starts at 1, never seeded; the generators and the scene draw from it.
    uint32_t random_state;

    // Program: run flags and window values; the client size is context.
    bool fullscreen;         // the next open_window asks for full screen
    int mode_width;          // client width of the window and display mode
    int mode_height;
    bool large_layout;       // 1024 x 768 layout (false in the 640 x 480 soft mode)
    bool active;             // frames are drawn only while set
    bool done;               // quit flag
    bool keys[KEY_TABLE_SIZE];  // key-down table, indexed by virtual-key code
    int client_width;        // client size from the last resize; the overlay's extent
    int client_height;

    // Program: the camera.
    float camera_x, camera_y, camera_z;
    float camera_pitch;  // degrees, positive looks up, -89..89
    float camera_yaw;    // degrees; 0 looks along +x, 90 along -z
    float camera_speed;  // length of one movement step

    // Context: text.
    unsigned int font_base;  // first of the font's 96 display lists; 0 when there is no font

    // Title sequence: its points are start-up, the rest program.
    bool title_running;
    float title_fade;  // 0..1.5, the monogram's opacity and the sequence's timer
    title_point title_points[TITLE_POINT_COUNT];

    // Start-up: the lake bed, first index along x, second along z.
    float bed_height[BED_SIZE][BED_SIZE];
    float bed_colour[BED_SIZE][BED_SIZE][4];

    // Frame: view volume of the current frame: right, left, bottom, top, far, near.
    float view_frustum[6][4];

    // Program: fog and lamp.
    float view_range;     // fog end is half of it minus the pulse
    float lamp_strength;  // scale of the lamp colours
    float fog_phase;      // +0.1 per main-view frame
    float lamp_ambient[4], lamp_diffuse[4], lamp_specular[4];

    // Program: water surface.
    float water_level;   // height of the undisturbed surface
    float ripple_phase;  // +0.1 per main-view frame; selects shape and colour
    float ripple_drift;  // +0.1 per main-view frame; five times it is the pattern's offset

    // Start-up, then program: the fish school (moved every main-view frame).
    fish_record fish_table[FISH_COUNT];
    int32_t fish_drawn_count;  // fish drawn by the last drawing pass

    // Program: bubbles.
    bubble_record bubble_table[BUBBLE_COUNT];
    bool bubbles_pending;  // the table is filled on the first update

    // Start-up, then program: weed beds (recycled and swayed as the camera moves).
    weed_record ribbon_table[WEED_TABLE_SIZE];
    int32_t ribbon_count;
    weed_record leaf_table[WEED_TABLE_SIZE];
    int32_t leaf_count;

    // Program: instruments; sweeps turn 15 degrees a frame; readings are taken every fourth call.
    float sounder_sweep;
    float sounder_reading;
    int32_t sounder_tick;
    float finder_sweep;
    int32_t finder_reading;
    int32_t finder_tick;
};

// The world. Zero at process start; set_start_values gives the fields their
// start values before anything else runs.
extern world_state world;

// Gives every field with a non-zero start value that value, for the
// interactive program or the screensaver build. Assumes the rest is zero.
void set_start_values(bool saver_build);

// Zeroes the whole record and sets the start values again (tests, tools).
void reset_world(bool saver_build);
