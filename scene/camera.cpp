// The camera's view: viewport, perspective and look-at for a position, yaw and pitch.
#include <cmath>

#include "common/angles.h"
#include "common/look_at.h"
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

void camera_matrices(float x, float y, float z, float yaw, float pitch, int width, int height,
                     float projection[16], float modelview[16])
{
    // The perspective: worked in double, loaded as singles.
    const double aspect = (GLfloat)width / (GLfloat)height;
    const double z_near = 0.5, z_far = 1500.0;
    const double radians = 50.0 / 2 * 3.14159265358979323846 / 180;
    const double cotangent = std::cos(radians) / std::sin(radians);
    const double depth = z_far - z_near;
    for (int k = 0; k < 16; ++k) projection[k] = 0;
    projection[0] = (float)(cotangent / aspect);
    projection[5] = (float)cotangent;
    projection[10] = (float)(-(z_far + z_near) / depth);
    projection[11] = -1;
    projection[14] = (float)(-2 * z_near * z_far / depth);

    // The look-at: the eye's axes in single precision, then the move to the eye.
    const double Y = yaw * CAMERA_DEG_TO_RAD;
    const double P = pitch * CAMERA_DEG_TO_RAD;
    const double eye[3] = {x, y, z};
    const double centre[3] = {x + 50 * std::cos(Y), y + 50 * std::sin(P) / std::cos(P), z - 50 * std::sin(Y)};
    float forward[3], side[3], up[3] = {0, 1, 0};
    for (int k = 0; k < 3; ++k) forward[k] = (float)(centre[k] - eye[k]);
    look_at_axes(forward, up, side);
    float* m = modelview;
    for (int k = 0; k < 16; ++k) m[k] = 0;
    for (int k = 0; k < 3; ++k) {
        m[4 * k] = side[k];
        m[4 * k + 1] = up[k];
        m[4 * k + 2] = -forward[k];
    }
    m[15] = 1;
    const float tx = (float)-eye[0], ty = (float)-eye[1], tz = (float)-eye[2];
    for (int r = 0; r < 4; ++r) m[12 + r] = m[r] * tx + m[4 + r] * ty + m[8 + r] * tz + m[12 + r];
}
