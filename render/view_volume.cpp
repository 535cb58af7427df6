// The view volume: frustum planes from the current matrices and the sphere test used by everything drawn in the world.
#include "render/view_volume.h"

#include <cmath>

#include "common/gl.h"
#include "common/world.h"

namespace {

// Plane (a, b, c, d) normalised by the length of its normal.
void set_plane(float* plane, float a, float b, float c, float d)
{
    const double length = std::sqrt((double)a * a + (double)b * b + (double)c * c);
    plane[0] = (float)(a / length);
    plane[1] = (float)(b / length);
    plane[2] = (float)(c / length);
    plane[3] = (float)(d / length);
}

}  // namespace

void frustum_from_matrices(const float projection[16], const float modelview[16])
{
    const float* P = projection;
    const float* M = modelview;
    float K[16];
    for (int k = 0; k < 4; ++k)
        for (int m = 0; m < 4; ++m)
            K[4 * k + m] = (float)((double)M[4 * k] * P[m] + (double)M[4 * k + 1] * P[4 + m] +
                                   (double)M[4 * k + 2] * P[8 + m] + (double)M[4 * k + 3] * P[12 + m]);
    float(*f)[4] = world.view_frustum;
    set_plane(f[0], K[3] - K[0], K[7] - K[4], K[11] - K[8], K[15] - K[12]);  // right
    set_plane(f[1], K[3] + K[0], K[7] + K[4], K[11] + K[8], K[15] + K[12]);  // left
    set_plane(f[2], K[3] + K[1], K[7] + K[5], K[11] + K[9], K[15] + K[13]);  // bottom
    set_plane(f[3], K[3] - K[1], K[7] - K[5], K[11] - K[9], K[15] - K[13]);  // top
    set_plane(f[4], K[3] - K[2], K[7] - K[6], K[11] - K[10], K[15] - K[14]);  // far
    set_plane(f[5], K[3] + K[2], K[7] + K[6], K[11] + K[10], K[15] + K[14]);  // near
}

void extract_view_frustum()
{
    float projection[16], modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    frustum_from_matrices(projection, modelview);
}
