// Height queries against the lake bed, computed in double and stored as float.
//
// Windows are given by a centre index that callers derive from a position;
// vertices and cells of a window that fall outside the field are skipped, so
// no query reads past the tables wherever the position lies.
#include "lakebed/height_queries.h"

#include <cmath>

#include "common/world.h"

namespace {

inline bool vertex_in_field(int i, int j)
{
    return i >= 0 && i < BED_SIZE && j >= 0 && j < BED_SIZE;
}

inline bool cell_in_field(int i, int j)
{
    return i >= 0 && i + 1 < BED_SIZE && j >= 0 && j + 1 < BED_SIZE;
}

// The corners of the first and second triangle of cell (i, j).
inline void cell_triangle(int i, int j, int which, bed_point v[3])
{
    v[0] = bed_vertex(i, j);
    if (which == 0) {
        v[1] = bed_vertex(i, j + 1);
        v[2] = bed_vertex(i + 1, j + 1);
    } else {
        v[1] = bed_vertex(i + 1, j);
        v[2] = bed_vertex(i + 1, j + 1);
    }
}

}  // namespace

bed_plane plane_through(const bed_point& p1, const bed_point& p2, const bed_point& p3)
{
    const double x1 = p1.x, y1 = p1.y, z1 = p1.z;
    const double x2 = p2.x, y2 = p2.y, z2 = p2.z;
    const double x3 = p3.x, y3 = p3.y, z3 = p3.z;
    bed_plane plane;
    plane.nx = (float)(y1 * (z2 - z3) - z1 * (y2 - y3) + (y2 * z3 - y3 * z2));
    plane.ny = (float)(z1 * (x2 - x3) - x1 * (z2 - z3) - (x2 * z3 - x3 * z2));
    plane.nz = (float)(x1 * (y2 - y3) - y1 * (x2 - x3) + (x2 * y3 - x3 * y2));
    plane.w = (float)(-x1 * (y2 * z3 - y3 * z2) + y1 * (x2 * z3 - x3 * z2) - z1 * (x2 * y3 - x3 * y2));
    return plane;
}

float distance_to_plane(const bed_plane& pl, const bed_point& p)
{
    const double nx = pl.nx, ny = pl.ny, nz = pl.nz;
    const double value = nx * p.x + ny * p.y + nz * p.z + (double)pl.w;
    const float signed_distance = (float)(value / std::sqrt(nx * nx + ny * ny + nz * nz));
    return std::fabs(signed_distance);
}

bed_point foot_on_plane(const bed_plane& pl, const bed_point& q)
{
    const double nx = pl.nx, ny = pl.ny, nz = pl.nz, w = pl.w;
    const double qx = q.x, qy = q.y, qz = q.z;
    bed_point f;
    f.y = (float)((nx * (nx * qy - ny * qx) + nz * (nz * qy - ny * qz) - ny * w) /
                  (nx * nx + ny * ny + nz * nz));
    const double fy = f.y;
    f.x = (float)(nx * fy / ny + (ny * qx - nx * qy) / ny);
    f.z = (float)(nz * fy / ny + (ny * qz - nz * qy) / ny);
    return f;
}

float distance_between(const bed_point& a, const bed_point& b)
{
    const double dx = (double)a.x - b.x, dy = (double)a.y - b.y, dz = (double)a.z - b.z;
    return (float)std::sqrt(dx * dx + dy * dy + dz * dz);
}

bed_point mirror_in_plane(const bed_plane& plane, const bed_point& q)
{
    const bed_point f = foot_on_plane(plane, q);
    bed_point m;
    m.x = (float)((double)q.x + 2.0 * ((double)f.x - q.x));
    m.y = (float)((double)q.y + 2.0 * ((double)f.y - q.y));
    m.z = (float)((double)q.z + 2.0 * ((double)f.z - q.z));
    return m;
}

int grid_index(float w)
{
    const double v = (double)w / 10.0 + 1000.0;
    // NaN and far-away positions are held where window arithmetic cannot overflow;
    // every such index lies outside the field either way.
    if (!(v > -1000000.0)) return -1000000;
    if (v > 1000000.0) return 1000000;
    return (int)v;
}

bed_point bed_vertex(int i, int j)
{
    return bed_point{(float)(10 * i - 10000), world.bed_height[i][j], (float)(10 * j - 10000)};
}

float bed_vertex_distance(float x, float y, float z, int ci, int cj)
{
    float best = NO_CLEARANCE;
    for (int i = ci - 2; i <= ci + 2; ++i) {
        for (int j = cj - 2; j <= cj + 2; ++j) {
            if (!vertex_in_field(i, j)) continue;
            const bed_point v = bed_vertex(i, j);
            const double dx = (double)x - v.x, dz = (double)z - v.z, dy = (double)y - v.y;
            const float d = (float)std::sqrt(dx * dx + dz * dz + dy * dy);
            if (d < best) best = d;
        }
    }
    return best;
}

float bed_clearance(float x, float y, float z, int ci, int cj)
{
    const bed_point point{x, y, z};
    float best = NO_CLEARANCE;
    for (int i = ci - 5; i <= ci + 5; ++i) {
        for (int j = cj - 5; j <= cj + 5; ++j) {
            if (!cell_in_field(i, j)) continue;
            for (int which = 0; which < 2; ++which) {
                bed_point v[3];
                cell_triangle(i, j, which, v);
                const bed_plane plane = plane_through(v[0], v[1], v[2]);
                const float d = distance_to_plane(plane, point);
                const bed_point foot = foot_on_plane(plane, point);
                if (d < best && distance_between(foot, v[0]) < 15.0f &&
                    distance_between(foot, v[1]) < 15.0f && distance_between(foot, v[2]) < 15.0f)
                    best = d;
            }
        }
    }
    return best;
}

bool is_above_bed(float x, float y, float z, int ci, int cj)
{
    const bed_point point{x, y, z};
    for (int i = ci - 5; i <= ci + 5; ++i) {
        for (int j = cj - 5; j <= cj + 5; ++j) {
            if (!cell_in_field(i, j)) continue;
            for (int which = 0; which < 2; ++which) {
                bed_point v[3];
                cell_triangle(i, j, which, v);
                const bed_point m = mirror_in_plane(plane_through(v[0], v[1], v[2]), point);
                if (m.y > y) return false;
            }
        }
    }
    return true;
}

float ground_level(float x, float z)
{
    // The window centre is held two vertices inside the field, so that the 25
    // vertices always exist; inside that band this is the plain lookup, and a
    // plant beyond it stands on the ground at the nearest stretch of the edge.
    auto held = [](int c) { return c < 2 ? 2 : (c > BED_SIZE - 3 ? BED_SIZE - 3 : c); };
    const int ci = held(grid_index(x));
    const int cj = held(grid_index(z));
    float lowest = 1000.0f;
    for (int i = ci - 2; i <= ci + 2; ++i)
        for (int j = cj - 2; j <= cj + 2; ++j)
            if (world.bed_height[i][j] < lowest) lowest = world.bed_height[i][j];
    return (float)((double)lowest - 10.0);
}
