// Test helper: moving a plant of the weed beds to a chosen place.
#pragma once
#include "common/world.h"

// Places the plant so that its root lies `d` from (cx, cz) along +x.
inline void put_root_at(weed_record& w, float cx, float cz, float d)
{
    const float dx = cx + d - w.points[0][0];
    const float dz = cz - w.points[0][2];
    for (int k = 0; k < w.point_count; ++k) {
        w.points[k][0] += dx;
        w.points[k][2] += dz;
    }
    w.points[0][0] = cx + d;
    w.points[0][2] = cz;
}
