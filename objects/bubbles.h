// Viewer bubbles: a column of up to 50 bubbles rising and swaying in front of the viewer.
#pragma once

struct bubble_record;

// Draws bubbles 0 to N at the camera, N growing with depth (see bubble_draw_count).
void draw_bubbles();
// Fills the table on its first call, then moves all 50 bubbles one frame.
void update_bubbles(bool large_layout);
// A new random start for one bubble: four draws (height, side, rise speed, radius).
void reset_bubble(bubble_record& bubble, bool large_layout);

// How many bubbles (from record 0 on) draw_bubbles draws with the camera at this height:
// 21 at the highest camera position, all 50 from -860 down.
int bubble_draw_count(float camera_y);
// Height above which a bubble restarts at the bottom.
float bubble_ceiling(bool large_layout);
