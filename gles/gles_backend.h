// The OpenGL ES 3 / WebGL 2 back end of the drawing code.
//
// The drawing code calls OpenGL 1.1 and GLU by name (common/gl.h); here those
// names are implemented on what OpenGL ES 3.0 and WebGL 2 offer:
// - immediate mode is gathered into one vertex buffer, in eye coordinates (so
//   that moving the model-view matrix draws nothing), and drawn when the
//   state the shader reads changes; polygons, quads and quad strips become
//   triangles split as the desktop renderer splits them (a fan from the
//   first vertex);
// - display lists are recorded as calls, their vertices kept in a vertex
//   buffer and vertex array of their own;
// - each uniform is sent only when its value changes: in a browser every
//   WebGL call costs far more than the work it asks for;
// - shader programs (one per combination of lighting, two-sided lighting, fog
//   and alpha test, built when first needed) do the fixed-function vertex
//   lighting of one light (spot, attenuation, local viewer, two-sided with
//   back materials, colour material), linear, exponential and
//   squared-exponential fog, the alpha test and point size as OpenGL 1.1
//   defines them;
// - the matrix stacks, the attribute stacks and the read-backs of matrices and
//   state are kept here;
// - glBitmap draws each set bit as a one-pixel point at the raster position;
// - client arrays are copied into buffers (WebGL has no client arrays);
// - gluPerspective, gluLookAt and the quadrics compute what the GL utility
//   library computes and send it through the emulation.
// Everything else (clears, scissor, viewport, blending, depth, framebuffers,
// reading pixels) is passed on to the context.
#pragma once
#include <string>

// Fills the dispatch table with the emulation, once an OpenGL ES 3 (or
// WebGL 2) context is current, and after every new context: builds the
// shader program and buffers in it and starts from a new context's state.
// False, with a one-line reason in `error` and the table as it was, where the
// program cannot be built.
bool use_gles_backend(std::string& error);

// Deletes the program, buffers and lists the emulation made in the current
// context; called before that context goes away. The table keeps the
// emulation until the next use_gles_backend or use_desktop_gl.
void release_gles_backend();
