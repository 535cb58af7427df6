// The GL utility library's matrices and quadrics, computed as the library computes them, drawn through the emulation.
#include <cmath>

#include "common/look_at.h"
#include "gles/gles_internal.h"

namespace gles {

namespace {

constexpr double GLU_PI = 3.14159265358979323846;
constexpr int CACHE_SIZE = 240;

struct quadric {
    GLenum draw_style = GLU_FILL;
    GLenum normals = GLU_SMOOTH;
};

quadric* of(GLUquadric* q)
{
    return reinterpret_cast<quadric*>(q);
}

}  // namespace

GLUquadric* new_quadric()
{
    return reinterpret_cast<GLUquadric*>(new quadric);
}

void delete_quadric(GLUquadric* q)
{
    delete of(q);
}

void quadric_draw_style(GLUquadric* q, GLenum style)
{
    if (q) of(q)->draw_style = style;
}

void quadric_normals(GLUquadric* q, GLenum normals)
{
    if (q) of(q)->normals = normals;
}

// Filled, outside: one quad strip per stack, from z = 0 to z = height.
void cylinder(GLUquadric* q, GLdouble base, GLdouble top, GLdouble height, GLint slices, GLint stacks)
{
    if (!q) return;
    if (slices >= CACHE_SIZE) slices = CACHE_SIZE - 1;
    if (slices < 2 || stacks < 1 || base < 0.0 || top < 0.0 || height < 0.0) return;
    float sin_cache[CACHE_SIZE], cos_cache[CACHE_SIZE], sin_normal[CACHE_SIZE], cos_normal[CACHE_SIZE];
    const float delta_radius = (float)(base - top);
    const float length = (float)std::sqrt((double)delta_radius * delta_radius + height * height);
    if (length == 0.0f) return;
    const float z_normal = delta_radius / length;
    const float xy_normal_ratio = (float)(height / length);
    for (int i = 0; i < slices; ++i) {
        const float angle = (float)(2 * GLU_PI * i / slices);
        sin_normal[i] = (float)(xy_normal_ratio * std::sin((double)angle));
        cos_normal[i] = (float)(xy_normal_ratio * std::cos((double)angle));
        sin_cache[i] = (float)std::sin((double)angle);
        cos_cache[i] = (float)std::cos((double)angle);
    }
    sin_cache[slices] = sin_cache[0];
    cos_cache[slices] = cos_cache[0];
    sin_normal[slices] = sin_normal[0];
    cos_normal[slices] = cos_normal[0];
    const bool smooth = of(q)->normals == GLU_SMOOTH;
    for (int j = 0; j < stacks; ++j) {
        const float z_low = (float)(j * height / stacks);
        const float z_high = (float)((j + 1) * height / stacks);
        const float radius_low = (float)(base - delta_radius * ((float)j / stacks));
        const float radius_high = (float)(base - delta_radius * ((float)(j + 1) / stacks));
        begin(GL_QUAD_STRIP);
        for (int i = 0; i <= slices; ++i) {
            if (smooth) normal(sin_normal[i], cos_normal[i], z_normal);
            vertex(radius_low * sin_cache[i], radius_low * cos_cache[i], z_low);
            vertex(radius_high * sin_cache[i], radius_high * cos_cache[i], z_high);
        }
        end();
    }
}

// Filled, outside, smooth: a quad strip per stack (those at the poles hold
// degenerate triangles: the surface of the library's fans).
void sphere(GLUquadric* q, GLdouble radius, GLint slices, GLint stacks)
{
    if (!q) return;
    if (slices >= CACHE_SIZE) slices = CACHE_SIZE - 1;
    if (stacks >= CACHE_SIZE) stacks = CACHE_SIZE - 1;
    if (slices < 2 || stacks < 1 || radius < 0.0) return;
    float around_sin[CACHE_SIZE], around_cos[CACHE_SIZE], stack_sin[CACHE_SIZE], stack_cos[CACHE_SIZE];
    for (int i = 0; i < slices; ++i) {
        const float angle = (float)(2 * GLU_PI * i / slices);
        around_sin[i] = (float)std::sin((double)angle);
        around_cos[i] = (float)std::cos((double)angle);
    }
    around_sin[slices] = around_sin[0];
    around_cos[slices] = around_cos[0];
    for (int j = 0; j <= stacks; ++j) {
        const float angle = (float)(GLU_PI * j / stacks);
        stack_sin[j] = (float)std::sin((double)angle);
        stack_cos[j] = (float)std::cos((double)angle);
    }
    stack_sin[0] = stack_sin[stacks] = 0;
    const bool smooth = of(q)->normals == GLU_SMOOTH;
    auto ring = [&](int i, int j) {
        const float nx = around_sin[i] * stack_sin[j], ny = around_cos[i] * stack_sin[j], nz = stack_cos[j];
        if (smooth) normal(nx, ny, nz);
        vertex((float)(radius * nx), (float)(radius * ny), (float)(radius * nz));
    };
    for (int j = 0; j < stacks; ++j) {
        begin(GL_QUAD_STRIP);
        // The far ring first, as the library sends it: the strip's
        // triangles then wind counter-clockwise seen from outside.
        for (int i = 0; i <= slices; ++i) {
            ring(i, j + 1);
            ring(i, j);
        }
        end();
    }
}

void perspective(GLdouble fovy, GLdouble aspect, GLdouble near_z, GLdouble far_z)
{
    const double radians = fovy / 2 * GLU_PI / 180;
    const double delta_z = far_z - near_z;
    const double sine = std::sin(radians);
    if (delta_z == 0 || sine == 0 || aspect == 0) return;
    const double cotangent = std::cos(radians) / sine;
    double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    m[0] = cotangent / aspect;
    m[5] = cotangent;
    m[10] = -(far_z + near_z) / delta_z;
    m[11] = -1;
    m[14] = -2 * near_z * far_z / delta_z;
    m[15] = 0;
    float f[16];
    for (int k = 0; k < 16; ++k) f[k] = (float)m[k];
    multiply_matrix(f);
}

void look_at(GLdouble eye_x, GLdouble eye_y, GLdouble eye_z, GLdouble centre_x, GLdouble centre_y,
             GLdouble centre_z, GLdouble up_x, GLdouble up_y, GLdouble up_z)
{
    float forward[3] = {(float)(centre_x - eye_x), (float)(centre_y - eye_y), (float)(centre_z - eye_z)};
    float up[3] = {(float)up_x, (float)up_y, (float)up_z};
    float side[3];
    look_at_axes(forward, up, side);
    const float m[16] = {side[0], up[0], -forward[0], 0, side[1], up[1], -forward[1], 0,
                         side[2], up[2], -forward[2], 0, 0,       0,     0,           1};
    multiply_matrix(m);
    translate(-eye_x, -eye_y, -eye_z);
}

}  // namespace gles
