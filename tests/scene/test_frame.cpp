// Frame drivers without OpenGL: the screensaver's turn.
#include <gtest/gtest.h>

#include "common/world.h"
#include "scene/frame.h"

TEST(Frame, SaverTurnsOneDegreeAFrameAndNeverStalls)
{
    reset_world(true);
    turn_saver_camera();
    EXPECT_EQ(world.camera_yaw, -89.0f);
    // Near 2^23 degrees the yaw is taken back by a whole number of turns of
    // the view, and keeps growing one degree a frame.
    world.camera_yaw = 8388606.0f;
    turn_saver_camera();
    EXPECT_EQ(world.camera_yaw, 8388607.0f);
    turn_saver_camera();
    EXPECT_EQ(world.camera_yaw, 8388608.0f - 4077863.0f);
    turn_saver_camera();
    EXPECT_EQ(world.camera_yaw, 8388609.0f - 4077863.0f);
    // That the view stays where it was is checked on the camera's own
    // matrices in test_frame_gl.cpp.
}
