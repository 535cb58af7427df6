// The OpenGL ES 3 emulation against desktop OpenGL on the same lit drawing:
// immediate-mode quads under model-view matrices that move, rotate and
// stretch between them (gathered in eye coordinates into one batch), lit on
// both faces by a positional light with a specular highlight; and fine
// meshes drawn small and half outside the picture, whose triangles the
// emulation leaves out where they cannot cover a pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "common/gl.h"
#include "common/gl_functions.h"
#include "shell/headless/platform_headless.h"
#include "tests/support/gl_context.h"

namespace {

constexpr int SIDE = 96;

// Black, depth-tested, a 60-degree perspective to `far`, the model-view the identity.
void start_drawing(double far)
{
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60, 1, 0.5, far);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void draw_lit_quads()
{
    start_drawing(20);
    const float position[4] = {0.5f, 1, 1, 1}, white[4] = {1, 1, 1, 1}, grey[4] = {0.2f, 0.2f, 0.2f, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, position);  // in eye coordinates: the model-view is the identity
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glLightfv(GL_LIGHT0, GL_AMBIENT, grey);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_TRUE);
    const float shininess[4] = {20, 0, 0, 0}, back[4] = {0.9f, 0.3f, 0.2f, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SHININESS, shininess);
    glMaterialfv(GL_BACK, GL_AMBIENT_AND_DIFFUSE, back);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glTranslated(0, 0, -4);
    for (int k = 0; k < 4; ++k) {
        glPushMatrix();
        glTranslated(-1.5 + k, (k % 2) * 0.6 - 0.3, 0);
        glRotated(40.0 * k + 25, 1, k == 2 ? -1 : 1, 0.3);
        // Stretched along x (the third quad shows its back): its normals
        // take the inverse transpose, unnormalised as GL_NORMALIZE is off.
        if (k != 1) glOrtho(-2, 2, -1, 1, 1, -1);
        if (k == 2) glRotated(180, 0, 1, 0);
        glBegin(GL_QUADS);
        glNormal3f(0.3f, 0.2f, 1);
        glVertex3f(-0.7f, -0.7f, 0);
        glVertex3f(0.7f, -0.7f, 0);
        glNormal3f(-0.2f, 0.4f, 1);
        glVertex3f(0.7f, 0.7f, 0);
        glVertex3f(-0.7f, 0.7f, 0);
        glEnd();
        glPopMatrix();
    }
    glFinish();
}

// Spheres of 48 x 48 slices on black, from a display list, from a few pixels
// across (triangles of a tenth of a pixel) to larger, some cut by the
// picture's edges or by the near plane, lit grey outside and red inside (the
// emulation leaves out a closed shape's inward faces where nothing shows
// them); an open tube, its inside in view; and an immediate-mode grid of
// tiny triangles.
void draw_fine_meshes()
{
    start_drawing(50);
    const float towards_eye[4] = {0, 0, 1, 0}, white[4] = {1, 1, 1, 1}, red[4] = {1, 0, 0, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, towards_eye);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    glMaterialfv(GL_BACK, GL_AMBIENT_AND_DIFFUSE, red);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    GLUquadric* q = gluNewQuadric();
    gluQuadricNormals(q, GLU_SMOOTH);
    GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    gluSphere(q, 0.5, 48, 48);
    glEndList();
    const double places[][3] = {{-2, 1.5, -20}, {0.3, -1.2, -30}, {2.2, 0.4, -12}, {-1.1, -0.7, -6},
                                {3.1, 2.6, -9},  {-3.4, 0, -6},    {0, 3.4, -5.5},  {0.9, 1.1, -40}};
    for (const double* at : places) {
        glPushMatrix();
        glTranslated(at[0], at[1], at[2]);
        glCallList(list);
        glPopMatrix();
    }
    glDeleteLists(list, 1);
    // One cut open by the near plane: its inside shows.
    list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    gluSphere(q, 0.15, 48, 48);
    glEndList();
    glPushMatrix();
    glTranslated(0.12, 0.08, -0.56);
    glCallList(list);
    glPopMatrix();
    glDeleteLists(list, 1);
    list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    gluCylinder(q, 0.6, 0.6, 1.5, 24, 4);
    glEndList();
    glPushMatrix();
    glTranslated(1.4, -1.6, -6);
    glRotated(150, 1, 0.4, 0);
    glCallList(list);
    glPopMatrix();
    glDeleteLists(list, 1);
    gluDeleteQuadric(q);
    glTranslated(-0.6, -2.2, -8);
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < 40; ++i)
        for (int j = 0; j < 40; ++j) {
            const float x = i * 0.03f, y = j * 0.03f;
            glVertex3f(x, y, 0);
            glVertex3f(x + 0.02f, y + 0.005f, 0);
            glVertex3f(x + 0.005f, y + 0.02f, 0);
        }
    glEnd();
    glFinish();
}

std::vector<unsigned char> drawn_with(render_api api, void (*draw)())
{
    use_render_api(api);
    if (!make_test_gl_context(SIDE, SIDE)) return {};
    draw();
    std::vector<unsigned char> frame = read_test_frame(SIDE, SIDE);
    destroy_render_context();  // with the emulation's objects, while it is in use
    use_render_api(RENDER_API_GL);
    use_desktop_gl();
    return frame;
}

TEST(GlesEmulation, LitQuadsUnderMovingMatricesMatchDesktopOpenGL)
{
    const std::vector<unsigned char> desktop = drawn_with(RENDER_API_GL, draw_lit_quads);
    if (desktop.empty()) GTEST_SKIP() << test_gl_context_error();
    const std::vector<unsigned char> gles = drawn_with(RENDER_API_GLES, draw_lit_quads);
    if (gles.empty()) GTEST_SKIP() << test_gl_context_error();
    ASSERT_GT(pixels_unlike(desktop, 0, 0, 0), SIDE * SIDE / 8) << "the quads cover too little to compare";
    int unlike = 0, worst = 0;
    for (size_t k = 0; k < desktop.size(); k += 4) {
        int most = 0;
        for (size_t c = 0; c < 3; ++c) most = std::max(most, std::abs((int)desktop[k + c] - (int)gles[k + c]));
        worst = std::max(worst, most);
        if (most > 8) ++unlike;
    }
    // Edges may land a pixel apart; shading may not.
    EXPECT_LE(unlike, SIDE * SIDE / 200) << "pixels more than 8 levels apart; the worst by " << worst;
}

TEST(GlesEmulation, FineMeshesCoverTheSamePixels)
{
    const std::vector<unsigned char> desktop = drawn_with(RENDER_API_GL, draw_fine_meshes);
    if (desktop.empty()) GTEST_SKIP() << test_gl_context_error();
    const std::vector<unsigned char> gles = drawn_with(RENDER_API_GLES, draw_fine_meshes);
    if (gles.empty()) GTEST_SKIP() << test_gl_context_error();
    const int covered = pixels_unlike(desktop, 0, 0, 0);
    int unlike = 0, inside = 0;
    for (size_t k = 0; k < desktop.size(); k += 4) {
        inside += desktop[k] > 60 && desktop[k + 1] < 20;
        int most = 0;
        for (size_t c = 0; c < 3; ++c) most = std::max(most, std::abs((int)desktop[k + c] - (int)gles[k + c]));
        unlike += most > 8;
    }
    ASSERT_GT(covered, 300) << "the meshes cover too little to compare";
    ASSERT_GT(inside, 100) << "too little of the shapes' insides in view";
    EXPECT_LE(unlike, 3) << "pixels more than 8 levels apart, of " << covered << " covered";
}

}  // namespace
