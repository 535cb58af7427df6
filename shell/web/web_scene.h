// How the page draws its frames.
#pragma once
#include <string>

#include "shell/program.h"

// The frame driver, the size handler and the GL set-up the page's loop runs:
// the programs' own, drawn through the OpenGL ES 3 emulation on WebGL 2.
extern const program_scene web_scene;
// How the page draws: "lake" (the frame drivers' pictures); the page's body carries it.
extern const char* const WEB_DRAWING;
// Readies the drawing for the WebGL 2 context just made current; false with
// a one-line reason in `error` where it cannot draw there.
bool use_web_drawing(std::string& error);
// Lets go of what the drawing made in the context before it goes.
void release_web_drawing();
