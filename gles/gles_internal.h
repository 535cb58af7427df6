// The emulation's own entry points, for the GL utility library's part (gles_glu.cpp).
#pragma once
#include "common/gl_functions.h"

namespace gles {

void begin(GLenum mode);
void end();
void vertex(float x, float y, float z);
void normal(float x, float y, float z);
// Multiplies the current matrix by the column-major `m`.
void multiply_matrix(const float m[16]);
void translate(double x, double y, double z);
void push_matrix();
void pop_matrix();
void rotate(double angle, double x, double y, double z);

GLUquadric* new_quadric();
void delete_quadric(GLUquadric* quadric);
void quadric_draw_style(GLUquadric* quadric, GLenum style);
void quadric_normals(GLUquadric* quadric, GLenum normals);
void sphere(GLUquadric* quadric, GLdouble radius, GLint slices, GLint stacks);
void cylinder(GLUquadric* quadric, GLdouble base, GLdouble top, GLdouble height, GLint slices, GLint stacks);
void perspective(GLdouble fovy, GLdouble aspect, GLdouble near_z, GLdouble far_z);
void look_at(GLdouble eye_x, GLdouble eye_y, GLdouble eye_z, GLdouble centre_x, GLdouble centre_y,
             GLdouble centre_z, GLdouble up_x, GLdouble up_y, GLdouble up_z);

}  // namespace gles
