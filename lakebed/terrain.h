// Terrain drawing and the view-volume test shared by everything drawn in the world.
#pragma once

// Reads the current projection and model-view matrices and fills view_frustum.
void extract_view_frustum();
// Fills view_frustum from the two column-major matrices (no GL call).
void frustum_from_matrices(const float projection[16], const float modelview[16]);
// False when the sphere lies wholly outside one of the six planes.
bool sphere_in_view(float x, float y, float z, float r);
// Draws the visible bed cells around grid cell (ci, cj) for the camera at (x, y, z).
void draw_lake_bed(int ci, int cj, float x, float y, float z);
