// The OpenGL ES 3 emulation against desktop OpenGL on the same lit drawing:
// immediate-mode quads under model-view matrices that move, rotate and
// stretch between them (gathered in eye coordinates into one batch), lit on
// both faces by a positional light with a specular highlight.
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

void draw_lit_quads()
{
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60, 1, 0.5, 20);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
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

std::vector<unsigned char> drawn_with(render_api api)
{
    use_render_api(api);
    if (!make_test_gl_context(SIDE, SIDE)) return {};
    draw_lit_quads();
    std::vector<unsigned char> frame = read_test_frame(SIDE, SIDE);
    destroy_render_context();  // with the emulation's objects, while it is in use
    use_render_api(RENDER_API_GL);
    use_desktop_gl();
    return frame;
}

TEST(GlesEmulation, LitQuadsUnderMovingMatricesMatchDesktopOpenGL)
{
    const std::vector<unsigned char> desktop = drawn_with(RENDER_API_GL);
    if (desktop.empty()) GTEST_SKIP() << test_gl_context_error();
    const std::vector<unsigned char> gles = drawn_with(RENDER_API_GLES);
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

}  // namespace
