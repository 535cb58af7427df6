// The eye's axes of a look-at in single precision, as GLU's gluLookAt works
// them out: the drawing path without GLU and the motion without drawing
// must place the camera exactly where the desktop's GLU does.
#pragma once
#include <cmath>

// A vector of three singles made unit length in single precision.
inline void normalise_single(float v[3])
{
    const float r = (float)std::sqrt((double)(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]));
    if (r == 0.0f) return;
    v[0] /= r;
    v[1] /= r;
    v[2] /= r;
}

inline void cross_single(const float a[3], const float b[3], float out[3])
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

// From the direction looked in and the up vector: `forward` made unit,
// `side` to the right, `up` made square to both.
inline void look_at_axes(float forward[3], float up[3], float side[3])
{
    normalise_single(forward);
    cross_single(forward, up, side);
    normalise_single(side);
    cross_single(side, forward, up);
}
