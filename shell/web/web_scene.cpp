// The page's frames: the world moves as in every program; each frame is shown as its background colour.
//
// The drawing code speaks OpenGL 1.1, which WebGL does not have; until it
// can draw here, a frame moves the world exactly as a drawn frame would
// and clears the canvas to that frame's colour (black over the title).
#include "shell/web/web_scene.h"

#include <GLES3/gl3.h>

#include "common/world.h"
#include "lakebed/fog.h"
#include "scene/frame.h"

namespace {

int canvas_width = 1, canvas_height = 1;

bool draw_frame()
{
    const bool title = world.title_running;
    advance_frame_without_drawing();
    float colour[4] = {0, 0, 0, 1};
    if (!title) {
        float t, d;
        frame_colour_factors(world.camera_pitch, world.camera_y, t, d);
        fog_colour(t, d, colour);
    }
    glViewport(0, 0, canvas_width, canvas_height);
    glClearColor(colour[0], colour[1], colour[2], 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
}

void resize(int width, int height)
{
    canvas_width = width;
    canvas_height = height;
    world.client_width = width;
    world.client_height = height;
}

bool setup_gl()
{
    return true;
}

}  // namespace

const program_scene web_scene = {draw_frame, resize, setup_gl};
const char* const WEB_DRAWING = "background";

void use_web_drawing() {}
