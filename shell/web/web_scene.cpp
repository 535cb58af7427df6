// The page's frames: the frame drivers of every program, drawn through the OpenGL ES 3 emulation on WebGL 2.
#include "shell/web/web_scene.h"

#include "gles/gles_backend.h"

const program_scene web_scene = lake_scene;
const char* const WEB_DRAWING = "lake";

bool use_web_drawing(std::string& error)
{
    return use_gles_backend(error);
}

void release_web_drawing()
{
    release_gles_backend();
}
