// The view volume shared by everything drawn in the world.
#pragma once

#include "common/world.h"

// Reads the current projection and model-view matrices and fills view_frustum.
void extract_view_frustum();
// Fills view_frustum from the two column-major matrices (no GL call).
void frustum_from_matrices(const float projection[16], const float modelview[16]);
// False when the sphere lies wholly outside one of the six planes.
inline bool sphere_in_view(float x, float y, float z, float r)
{
    for (const float* p : world.view_frustum)
        if ((double)p[0] * x + (double)p[1] * y + (double)p[2] * z + p[3] <= -(double)r) return false;
    return true;
}
