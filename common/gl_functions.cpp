// The dispatch table of the drawing code's GL entry points, filled with the real ones where they are built.
#include "common/gl_functions.h"

void (*gl_draw_held_primitives)() = nullptr;

#ifdef TARVELIN_NO_DESKTOP_GL

// Empty until a back end fills it (gles/gles_backend.h).
gl_functions gl_dispatch = {};

#else

gl_functions desktop_gl_functions()
{
    gl_functions table;
#define TARVELIN_GL_REAL(result, name, parameters) table.name = &::name;
    TARVELIN_GL_FUNCTIONS(TARVELIN_GL_REAL)
#undef TARVELIN_GL_REAL
    return table;
}

gl_functions gl_dispatch = desktop_gl_functions();

void use_desktop_gl()
{
    gl_dispatch = desktop_gl_functions();
    gl_draw_held_primitives = nullptr;
}

#endif
