// Instrument dials: the shared dial body and sweep, depth gauge, bottom sounder, compass, fish finder.
#pragma once
#include <cstddef>

// A point in overlay space (origin lower left, y up).
struct overlay_point {
    float x, y;
};

// Where a dial stands on its canvas: midpoint and face radius.
struct dial_place {
    float mx, my;  // midpoint
    float r;       // face radius; the rim reaches 1.2 r
};

enum dial_id { DIAL_SOUNDER, DIAL_PITCH, DIAL_FINDER, DIAL_COMPASS, DIAL_DEPTH };

// The dial's place in the row: on the 1024 x 768 canvas when large_layout is
// set, on the 410 x 300 canvas otherwise.
dial_place dial_placement(dial_id dial, bool large_layout);

// The point at angle `degrees` (counter-clockwise from +x, 3.14 / 180 to the
// radian) and distance `radius` from the dial's midpoint.
overlay_point dial_point(const dial_place& place, double degrees, double radius);

// Rim and face: 61 points every 6 degrees from 0 to 360 at the given radius.
constexpr int DIAL_CIRCLE_POINT_COUNT = 61;
void dial_circle(const dial_place& place, double radius, overlay_point out[DIAL_CIRCLE_POINT_COUNT]);

// One wedge of a sweep: a triangle from the face edge at angle a to the face
// edge at a + 2 and the midpoint, in the colour shade x face colour.
struct sweep_wedge {
    float shade;           // 4 at the leading edge down to 1 at 120 degrees behind it
    overlay_point p1, p2;  // the two face-edge points; the third vertex is the midpoint
};
// The most wedges a sweep can have (121 for a whole-numbered angle).
constexpr int SWEEP_WEDGE_LIMIT = 122;
// Fills the wedges of a sweep standing at `sweep` degrees; returns their count.
int sweep_wedges(const dial_place& place, float sweep, sweep_wedge out[SWEEP_WEDGE_LIMIT]);
// Turns a sweep clockwise by one frame's 15 degrees, kept within [0, 360).
void advance_sweep(float& sweep);

// Depth gauge.
// Needle angle in degrees for the camera height y: 260 at or above the
// water level, 4 degrees clockwise per display unit below it, down to -70.
float depth_needle_angle(float y);
// The three coloured zones, drawn in this order; each is a fan of arc points
// at 0.8 R followed by the midpoint.
constexpr int DEPTH_ZONE_COUNT = 3;
constexpr int DEPTH_ZONE_POINT_LIMIT = 25;
struct depth_zone {
    float red, green, blue;
    int point_count;
    overlay_point points[DEPTH_ZONE_POINT_LIMIT];
};
void depth_gauge_zone(const dial_place& place, int zone, depth_zone& out);
// The 34 scale dots every 10 degrees from -70 to 260 at 0.8 R.
constexpr int DEPTH_SCALE_DOT_COUNT = 34;
void depth_scale_dots(const dial_place& place, overlay_point out[DEPTH_SCALE_DOT_COUNT]);
// The needle's outer end: angle depth_needle_angle(y), radius 0.7 R.
overlay_point depth_needle_tip(const dial_place& place, float y);

// Bottom sounder and fish finder readings: one call per frame; the reading
// is taken on every fourth call and held in between.
void update_sounder_reading(float distance);
void update_finder_reading(int count);
// The sounder's read-out, "%0.1f" of sounder_reading.
void format_sounder_reading(float reading, char* text, size_t size);

// A line of text a dial prints.
struct dial_text {
    overlay_point at;
    char text[32];
};
// The sounder's read-out and where it goes.
void sounder_text(bool large_layout, dial_text& out);
// The compass labels " N " and " S ", in that order.
void compass_labels(bool large_layout, dial_text out[2]);
// The fish finder's count, "fish" and "detected", in that order.
void finder_texts(bool large_layout, dial_text out[3]);

// Draws the rim and face of a dial.
void draw_dial_body(const dial_place& place);
// Draws a sweep at its current angle and then turns it.
void draw_sweep(const dial_place& place, float& sweep);

void draw_depth_gauge(float height, bool large_layout);
void draw_bottom_sounder(float distance, bool large_layout);
void draw_compass(float yaw, bool large_layout);
void draw_fish_finder(int count, bool large_layout);
