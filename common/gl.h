// OpenGL 1.1 and GLU, the only graphics interfaces portable code uses.
#pragma once
#include <GL/gl.h>
#include <GL/glu.h>
