// How the page draws its frames.
#pragma once
#include "shell/program.h"

// The frame driver, the size handler and the GL set-up the page's loop runs.
extern const program_scene web_scene;
// How the page draws: "lake" (the frame drivers' pictures) or "background"
// (each frame as its background colour); the page's body carries it.
extern const char* const WEB_DRAWING;
// Readies the drawing for the WebGL 2 context just made current.
void use_web_drawing();
