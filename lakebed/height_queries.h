// Height queries against the lake bed: nearest vertex, clearance, above-bed.
#pragma once

struct bed_point {
    float x, y, z;
};

// nx x + ny y + nz z + w = 0, not normalised.
struct bed_plane {
    float nx, ny, nz, w;
};

// The value meaning "no result".
constexpr float NO_CLEARANCE = 100000.0f;

bed_plane plane_through(const bed_point& p1, const bed_point& p2, const bed_point& p3);
float distance_to_plane(const bed_plane& plane, const bed_point& p);
bed_point foot_on_plane(const bed_plane& plane, const bed_point& q);
float distance_between(const bed_point& a, const bed_point& b);
bed_point mirror_in_plane(const bed_plane& plane, const bed_point& q);

// Grid index of a world coordinate: trunc(w / 10 + 1000). Values far outside
// the field are held at +-1000000 so that index arithmetic never overflows.
int grid_index(float w);

// World position of grid vertex (i, j); i and j must lie in 0..1999.
bed_point bed_vertex(int i, int j);

// Least distance from (x, y, z) to the 5 x 5 vertices around (ci, cj).
float bed_vertex_distance(float x, float y, float z, int ci, int cj);
// Least distance to the plane of a qualifying triangle of the 11 x 11 cells
// around (ci, cj), or NO_CLEARANCE.
float bed_clearance(float x, float y, float z, int ci, int cj);
// True when the point is on or above the plane of every triangle of the
// 11 x 11 cells around (ci, cj).
bool is_above_bed(float x, float y, float z, int ci, int cj);

// Ground level for plants: 10 below the lowest of the 25 vertices around the
// grid position of (x, z).
float ground_level(float x, float z);
