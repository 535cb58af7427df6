// Weed beds: ribbon weeds and red leaf clumps around the viewer.
#pragma once

void generate_weed_beds();
void make_ribbon(float x, float z, int index);
int make_leaf_clump(float x, float z, int last);
void make_leaf(float x, float z, int index);
void update_weed_beds(float camera_x, float camera_z);
