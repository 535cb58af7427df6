// Quadric shape cache: display lists of GLU spheres, cylinders and cones, built on first use.
#include "render/shape_cache.h"

#include <cstddef>
#include <vector>

#include "common/gl.h"
#include "render/sphere_mesh.h"

namespace {

struct shape_entry {
    GLuint list;
    shape_entry* next;   // the entry made before this one for the same kind
    int count;           // parameters held
    double* parameters;  // owned; in call order
};

shape_entry* chains[3] = {nullptr, nullptr, nullptr};

GLUquadric* new_quadric()
{
    GLUquadric* q = gluNewQuadric();
    if (q) {
        gluQuadricDrawStyle(q, GLU_FILL);
        gluQuadricNormals(q, GLU_SMOOTH);
    }
    return q;
}

// The utility library's 16 x 16 sphere sent as separate triangles: the same
// vertices and the same triangles, in the order the renderer would split its
// fans and quad strips into, so the pixels are those of the library's sphere.
// As one primitive the list is drawn with each of its vertices lit once
// rather than once per strip. The library's last normal stays current after it.
void sphere_triangles(double radius)
{
    std::vector<mesh_strip> strips;
    std::vector<mesh_vertex> triangles;
    float last_normal[3];
    sphere_strips(radius, 16, 16, strips, last_normal);
    strips_to_triangles(strips, triangles);
    glBegin(GL_TRIANGLES);
    for (const mesh_vertex& v : triangles) {
        glNormal3fv(v.normal);
        glVertex3fv(v.position);
    }
    glEnd();
    if (!strips.empty()) glNormal3fv(last_normal);
}

void build_geometry(shape_kind kind, const double* p)
{
    if (kind == SHAPE_SPHERE) {
        sphere_triangles(p[0]);
        return;
    }
    GLUquadric* q = new_quadric();
    if (!q) return;
    switch (kind) {
    case SHAPE_SPHERE:
        gluSphere(q, p[0], 16, 16);
        break;
    case SHAPE_CYLINDER:
        // Inside the list: the tube hangs from y = 1 down to y = 1 - height.
        glPushMatrix();
        glRotated(90, 1, 0, 0);
        glTranslated(0, 0, -1);
        gluCylinder(q, p[0], p[0], p[1], 12, 2);
        glPopMatrix();
        break;
    case SHAPE_CONE:
        gluCylinder(q, p[0], 0, p[1], 15, 10);
        break;
    }
    gluDeleteQuadric(q);
}

void draw_shape(shape_kind kind, const double* given, int count)
{
    const GLuint found = lookup_shape(kind, given, count);
    if (found != 0) {
        glCallList(found);
        return;
    }
    double* parameters = new double[(size_t)count];
    for (int k = 0; k < count; ++k) parameters[k] = given[k];
    const GLuint list = register_shape(kind, parameters, count);
    if (list == 0) {
        // No list name to be had: draw without caching rather than register
        // an entry that no lookup could ever find.
        build_geometry(kind, given);
        return;
    }
    glNewList(list, GL_COMPILE_AND_EXECUTE);
    build_geometry(kind, given);
    glEndList();
}

}  // namespace

unsigned int lookup_shape(shape_kind kind, const double* parameters, int count)
{
    for (const shape_entry* e = chains[kind]; e; e = e->next) {
        if (e->count != count) continue;
        bool same = true;
        for (int k = 0; k < count && same; ++k) same = e->parameters[k] == parameters[k];
        if (same) return e->list;
    }
    return 0;
}

unsigned int register_shape(shape_kind kind, double* parameters, int count)
{
    const GLuint list = glGenLists(1);
    if (list == 0) {
        delete[] parameters;
        return 0;
    }
    chains[kind] = new shape_entry{list, chains[kind], count, parameters};
    return list;
}

int shape_cache_count(shape_kind kind)
{
    int n = 0;
    for (const shape_entry* e = chains[kind]; e; e = e->next) ++n;
    return n;
}

void release_shape_cache()
{
    for (shape_entry*& head : chains) {
        while (head) {
            shape_entry* e = head;
            head = e->next;
            glDeleteLists(e->list, 1);
            delete[] e->parameters;
            delete e;
        }
    }
}

void solid_sphere(double radius)
{
    const double p[1] = {radius};
    draw_shape(SHAPE_SPHERE, p, 1);
}

void leave_sphere_normal()
{
    // The normals of the sphere do not depend on its radius.
    static float last_normal[3];
    static bool known = false;
    if (!known) {
        std::vector<mesh_strip> strips;
        sphere_strips(1.0, 16, 16, strips, last_normal);
        known = true;
    }
    glNormal3fv(last_normal);
}

void solid_cylinder(double radius, double height)
{
    const double p[2] = {radius, height};
    draw_shape(SHAPE_CYLINDER, p, 2);
}

void solid_cone(double radius, double height)
{
    const double p[2] = {radius, height};
    draw_shape(SHAPE_CONE, p, 2);
}
