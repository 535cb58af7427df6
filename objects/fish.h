// Fish school: 20000 fish, of which those near the viewer swim and are drawn.
#pragma once

void generate_fish();
void update_fish(float camera_x, float camera_z);
void draw_fish(float camera_x, float camera_z);
void draw_one_fish(float x, float y, float z, float yaw, float pitch, float tail_phase);
