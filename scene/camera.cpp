// The camera's view: viewport, perspective and look-at for a position, yaw and pitch.
#include <cmath>

#include "common/angles.h"
#include "common/gl.h"
#include "render/picture_fit.h"
#include "scene/camera.h"

void place_camera(float x, float y, float z, float yaw, float pitch, int width, int height)
{
    set_frame_viewport(0, 0, width, height);
    // Both pops undo the pushes of the previous frame's overlay; on a stack
    // holding only its base matrix they do nothing.
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glLoadIdentity();
    gluPerspective(50.0, (GLfloat)width / (GLfloat)height, 0.5, 1500.0);
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glLoadIdentity();
    const double Y = yaw * CAMERA_DEG_TO_RAD;
    const double P = pitch * CAMERA_DEG_TO_RAD;
    gluLookAt(x, y, z, x + 50 * std::cos(Y), y + 50 * std::sin(P) / std::cos(P), z - 50 * std::sin(Y), 0, 1,
              0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
}
