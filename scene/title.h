// Title sequence: 500 points streaming toward the viewer and a fading monogram.
#pragma once
#include "common/world.h"

// Fills one point from four draws of next_random.
void make_title_point(title_point& p);
// Fills all 500 points; the first 2000 draws of the run.
void seed_title_points();

void run_title_frame(bool large_layout);
void draw_monogram(bool large_layout);
void draw_title_points();
void step_title_points();
// Point size for a point at depth z; at exactly -700 or -300 the size in force stays.
float title_point_size(float z, float previous);
// The end test and fade ramp of one title frame, without drawing.
void advance_title(bool escape_held);
