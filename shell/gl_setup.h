// The OpenGL state of a new context and the size handler.
#pragma once

void on_resize(int width, int height);
bool setup_gl();
