// The OpenGL state of a new context and the size handler.
#pragma once

void on_resize(int width, int height);
bool setup_gl();
// Deletes what belongs to the current context and must be built again in
// the next one: the font's lists, the cached shapes and the design-size
// framebuffer. Called once, before any context goes away.
void release_context_lists();

// Lamp position (10 units right of the eye, positional) and spot direction
// (-cos a, 0, -sin a) with a = 80 x 3.14 / 180; handed to OpenGL once per context.
extern const float lamp_position[4];
extern const float lamp_direction[4];
