// Test helper: frames and drawing with OpenGL's error queue checked.
#pragma once
#include <vector>

#include "common/gl.h"

// Empties OpenGL's error queue and returns what it held, oldest first.
std::vector<GLenum> take_gl_errors();

// Runs one frame of the program whose world this is (run_frame) and checks
// the errors OpenGL recorded during it. place_camera pops both matrix stacks
// to undo the overlay's pushes of the frame before. A frame that starts on
// bare stacks (the first frame of a context, and every title frame: the title
// pushes no overlay) pops a stack that holds only its base matrix, which
// OpenGL refuses with GL_STACK_UNDERFLOW and otherwise ignores. Exactly that
// one error is expected then, and none otherwise; any other error, or an
// error left over from before the frame, fails the calling test at the
// caller's line. The frame must also leave the stacks as the next frame's
// pops expect: the overlay's pushes after a main-view frame, the base
// matrices after a title frame.
void run_checked_frame(const char* file = __builtin_FILE(), int line = __builtin_LINE());

// Fails the calling test if OpenGL recorded any error since the queue was last emptied.
void expect_no_gl_error(const char* file = __builtin_FILE(), int line = __builtin_LINE());
