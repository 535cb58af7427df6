// Central tower: poles, rods, spheres and four leaning cones at the lake's centre.
#pragma once

// Draws the tower in world coordinates through the shape cache.
void draw_central_tower();
