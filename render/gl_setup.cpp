// The OpenGL state of a new context (font, clear values, lighting model, the lamp) and the size handler.
#include "render/gl_setup.h"

#include <cmath>

#include "common/angles.h"
#include "common/gl.h"
#include "common/world.h"
#include "render/design_frame.h"
#include "render/font.h"
#include "render/picture_fit.h"
#include "render/shape_cache.h"

namespace {

// Angle of the lamp's spot direction in the horizontal plane.
const double LAMP_ANGLE = 80 * DEG_TO_RAD;

}  // namespace

const float lamp_position[4] = {10, 0, 0, 1};
const float lamp_direction[4] = {(float)-std::cos(LAMP_ANGLE), 0, (float)-std::sin(LAMP_ANGLE), 1.0f};

void on_resize(int width, int height)
{
    choose_frame_size(width, height);
    if (height == 0) height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, (GLfloat)width / (GLfloat)height, 0.5, 500.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    world.client_width = width;
    world.client_height = height;
    fit_picture_to_window(width, height);
}

bool setup_gl()
{
    make_font();
    glClearColor(0.0f, 0.2f, 0.4f, 1.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_TRUE);
    // The model-view matrix is still the identity: the lamp's position and
    // direction are in eye coordinates and move with the camera.
    glLightfv(GL_LIGHT1, GL_AMBIENT, world.lamp_ambient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, world.lamp_diffuse);
    glLightfv(GL_LIGHT1, GL_SPECULAR, world.lamp_specular);
    glLightfv(GL_LIGHT1, GL_POSITION, lamp_position);
    glLightfv(GL_LIGHT1, GL_SPOT_DIRECTION, lamp_direction);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT1);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    return true;
}

void release_context_lists()
{
    free_font();
    release_shape_cache();
    release_design_frame();
}
