// The OpenGL 1.1 and GLU entry points the drawing code calls, as one table of
// function pointers. `common/gl.h` sends every call of these names through
// `gl_dispatch`; a back end fills it once a context is current: the real
// OpenGL 1.1 and GLU functions (the desktop programs, and the default where
// they are built), or the OpenGL ES 3 / WebGL 2 emulation of `gles/`.
// Include this header, not `common/gl.h`, where the real functions are meant.
#pragma once
#include <GL/gl.h>
#include <GL/glu.h>

#if defined(GLAPIENTRY)
#define TARVELIN_GL_CALL GLAPIENTRY
#elif defined(APIENTRY)
#define TARVELIN_GL_CALL APIENTRY
#else
#define TARVELIN_GL_CALL
#endif

// X(result, name, parameters) for every entry point, in the table's order.
#define TARVELIN_GL_FUNCTIONS(X)                                                                            \
    X(void, glBegin, (GLenum mode))                                                                          \
    X(void, glEnd, (void))                                                                                   \
    X(void, glVertex2f, (GLfloat x, GLfloat y))                                                              \
    X(void, glVertex2d, (GLdouble x, GLdouble y))                                                            \
    X(void, glVertex3f, (GLfloat x, GLfloat y, GLfloat z))                                                   \
    X(void, glVertex3d, (GLdouble x, GLdouble y, GLdouble z))                                                \
    X(void, glVertex3fv, (const GLfloat* v))                                                                 \
    X(void, glNormal3f, (GLfloat x, GLfloat y, GLfloat z))                                                   \
    X(void, glNormal3fv, (const GLfloat* v))                                                                 \
    X(void, glColor3d, (GLdouble r, GLdouble g, GLdouble b))                                                 \
    X(void, glColor3f, (GLfloat r, GLfloat g, GLfloat b))                                                    \
    X(void, glColor3fv, (const GLfloat* v))                                                                  \
    X(void, glColor4d, (GLdouble r, GLdouble g, GLdouble b, GLdouble a))                                     \
    X(void, glColor4f, (GLfloat r, GLfloat g, GLfloat b, GLfloat a))                                         \
    X(void, glMatrixMode, (GLenum mode))                                                                     \
    X(void, glPushMatrix, (void))                                                                            \
    X(void, glPopMatrix, (void))                                                                             \
    X(void, glLoadIdentity, (void))                                                                          \
    X(void, glRotated, (GLdouble angle, GLdouble x, GLdouble y, GLdouble z))                                 \
    X(void, glTranslated, (GLdouble x, GLdouble y, GLdouble z))                                              \
    X(void, glOrtho, (GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f))               \
    X(void, glEnable, (GLenum cap))                                                                          \
    X(void, glDisable, (GLenum cap))                                                                         \
    X(GLboolean, glIsEnabled, (GLenum cap))                                                                  \
    X(void, glLightf, (GLenum light, GLenum pname, GLfloat param))                                           \
    X(void, glLightfv, (GLenum light, GLenum pname, const GLfloat* params))                                  \
    X(void, glLightModeli, (GLenum pname, GLint param))                                                      \
    X(void, glMaterialfv, (GLenum face, GLenum pname, const GLfloat* params))                                \
    X(void, glColorMaterial, (GLenum face, GLenum mode))                                                     \
    X(void, glFogf, (GLenum pname, GLfloat param))                                                           \
    X(void, glFogi, (GLenum pname, GLint param))                                                             \
    X(void, glFogfv, (GLenum pname, const GLfloat* params))                                                  \
    X(void, glHint, (GLenum target, GLenum mode))                                                            \
    X(void, glAlphaFunc, (GLenum func, GLclampf ref))                                                        \
    X(void, glBlendFunc, (GLenum source, GLenum destination))                                                \
    X(void, glDepthFunc, (GLenum func))                                                                      \
    X(void, glClear, (GLbitfield mask))                                                                      \
    X(void, glClearColor, (GLclampf r, GLclampf g, GLclampf b, GLclampf a))                                  \
    X(void, glClearDepth, (GLclampd depth))                                                                  \
    X(void, glScissor, (GLint x, GLint y, GLsizei width, GLsizei height))                                    \
    X(void, glViewport, (GLint x, GLint y, GLsizei width, GLsizei height))                                   \
    X(void, glPointSize, (GLfloat size))                                                                     \
    X(void, glLineWidth, (GLfloat width))                                                                    \
    X(void, glGetIntegerv, (GLenum pname, GLint* params))                                                    \
    X(void, glGetFloatv, (GLenum pname, GLfloat* params))                                                    \
    X(void, glGetDoublev, (GLenum pname, GLdouble* params))                                                  \
    X(const GLubyte*, glGetString, (GLenum name))                                                            \
    X(void, glPixelStorei, (GLenum pname, GLint param))                                                      \
    X(void, glPushAttrib, (GLbitfield mask))                                                                 \
    X(void, glPopAttrib, (void))                                                                             \
    X(void, glPushClientAttrib, (GLbitfield mask))                                                           \
    X(void, glPopClientAttrib, (void))                                                                       \
    X(void, glRasterPos2f, (GLfloat x, GLfloat y))                                                           \
    X(void, glBitmap, (GLsizei width, GLsizei height, GLfloat xorig, GLfloat yorig, GLfloat xmove,           \
                       GLfloat ymove, const GLubyte* bitmap))                                                \
    X(GLuint, glGenLists, (GLsizei range))                                                                   \
    X(void, glDeleteLists, (GLuint list, GLsizei range))                                                     \
    X(void, glNewList, (GLuint list, GLenum mode))                                                           \
    X(void, glEndList, (void))                                                                               \
    X(void, glCallList, (GLuint list))                                                                       \
    X(void, glCallLists, (GLsizei n, GLenum type, const GLvoid* lists))                                      \
    X(void, glListBase, (GLuint base))                                                                       \
    X(void, glEnableClientState, (GLenum array))                                                             \
    X(void, glDisableClientState, (GLenum array))                                                            \
    X(void, glVertexPointer, (GLint size, GLenum type, GLsizei stride, const GLvoid* pointer))               \
    X(void, glColorPointer, (GLint size, GLenum type, GLsizei stride, const GLvoid* pointer))                \
    X(void, glDrawElements, (GLenum mode, GLsizei count, GLenum type, const GLvoid* indices))                \
    X(void, glReadPixels, (GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,      \
                           GLvoid* pixels))                                                                  \
    X(void, glFinish, (void))                                                                                \
    X(void, gluPerspective, (GLdouble fovy, GLdouble aspect, GLdouble near_z, GLdouble far_z))               \
    X(void, gluLookAt, (GLdouble eye_x, GLdouble eye_y, GLdouble eye_z, GLdouble centre_x, GLdouble centre_y, \
                        GLdouble centre_z, GLdouble up_x, GLdouble up_y, GLdouble up_z))                     \
    X(GLUquadric*, gluNewQuadric, (void))                                                                    \
    X(void, gluDeleteQuadric, (GLUquadric * quadric))                                                        \
    X(void, gluQuadricDrawStyle, (GLUquadric * quadric, GLenum style))                                       \
    X(void, gluQuadricNormals, (GLUquadric * quadric, GLenum normals))                                       \
    X(void, gluSphere, (GLUquadric * quadric, GLdouble radius, GLint slices, GLint stacks))                  \
    X(void, gluCylinder, (GLUquadric * quadric, GLdouble base, GLdouble top, GLdouble height, GLint slices,  \
                          GLint stacks))

struct gl_functions {
#define TARVELIN_GL_MEMBER(result, name, parameters) result(TARVELIN_GL_CALL* name) parameters;
    TARVELIN_GL_FUNCTIONS(TARVELIN_GL_MEMBER)
#undef TARVELIN_GL_MEMBER
};

// The table every call of `common/gl.h` goes through.
extern gl_functions gl_dispatch;
// Called, where set, before code that binds framebuffers itself binds
// another, and before a frame is shown: a back end that gathers primitives
// draws them, as they belong to the framebuffer and frame of now. Null for
// the desktop entry points, which draw at once.
extern void (*gl_draw_held_primitives)();

#ifndef TARVELIN_NO_DESKTOP_GL
// The real OpenGL 1.1 and GLU entry points, in the table from the start:
// the desktop programs call exactly what they would call directly.
gl_functions desktop_gl_functions();
// Puts them back in the table (after the emulation was used).
void use_desktop_gl();
#endif
