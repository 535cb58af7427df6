// The window and its OpenGL context on SDL2: the window half of the platform seam.
#include "shell/sdl/window.h"

#include <SDL.h>

#include "shell/sdl/x11_guard.h"

namespace {

// What the window functions made; every handle is cleared when it is released.
bool video_ready = false;
SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
// The display mode the full-screen window takes when it is shown.
SDL_DisplayMode fullscreen_mode = {};

// Depth-buffer sizes to ask for, best first: the first one the display
// offers a visual for is taken, as a pixel-format choice takes the closest.
const int depth_sizes[] = {32, 24, 16};

// The display mode of exactly width x height closest to the request, in
// `mode`; false when the display has none of that size.
bool find_display_mode(int width, int height, int colour_bits, SDL_DisplayMode& mode)
{
    SDL_DisplayMode wanted = {};
    wanted.w = width;
    wanted.h = height;
    wanted.format = colour_bits >= 24 ? SDL_PIXELFORMAT_RGB888 : SDL_PIXELFORMAT_RGB565;
    if (SDL_GetClosestDisplayMode(0, &wanted, &mode) == nullptr) return false;
    return mode.w == width && mode.h == height;
}

SDL_Window* create_gl_window(const char* title, int width, int height, Uint32 flags)
{
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    for (int depth : depth_sizes) {
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depth);
        SDL_Window* made = SDL_CreateWindow(title, 0, 0, width, height, flags);
        if (made) return made;
    }
    return nullptr;
}

// Whether the current context has what the drawing needs: two buffers and
// a depth buffer.
bool context_is_suitable()
{
    int double_buffer = 0;
    int depth = 0;
    if (SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &double_buffer) != 0) return false;
    if (SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depth) != 0) return false;
    return double_buffer == 1 && depth > 0;
}

// Where SDL fell back to a video driver that shows nothing (no X server and
// no Wayland compositor to talk to), that is the cause of any failure: says
// so in SDL's error and returns true.
bool explain_missing_display()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || (SDL_strcmp(driver, "offscreen") != 0 && SDL_strcmp(driver, "dummy") != 0))
        return false;
    SDL_SetError("no display to show a window on: SDL fell back to its %s video driver", driver);
    return true;
}

}  // namespace

bool sdl_open_display(message_id& failure)
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        failure = MESSAGE_REGISTER_CLASS_FAILED;
        return false;
    }
    video_ready = true;
    guard_x11_errors();
    // Neither the screensaver nor display power saving while a window runs.
    SDL_DisableScreenSaver();
    return true;
}

bool sdl_enter_display_mode(int width, int height, int colour_bits)
{
    if (find_display_mode(width, height, colour_bits, fullscreen_mode)) return true;
    if (!explain_missing_display()) SDL_SetError("the display has no %d x %d mode", width, height);
    return false;
}

void sdl_leave_display_mode()
{
    if (window) SDL_SetWindowFullscreen(window, 0);
    SDL_ShowCursor(SDL_ENABLE);
}

bool sdl_open_window(const window_request& request, message_id& failure)
{
    // A window of its own only: a host's window is x11_host.h's.
    failure = MESSAGE_WINDOW_CREATION_ERROR;
    if (request.kind != WINDOW_OWN) return false;

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (request.fullscreen) {
        flags |= SDL_WINDOW_FULLSCREEN;
        SDL_ShowCursor(SDL_DISABLE);
    } else {
        flags |= SDL_WINDOW_RESIZABLE;
    }

    window = create_gl_window(request.title, request.width, request.height, flags);
    if (!window) return false;
    // The display mode changes to this one when the window is shown.
    if (request.fullscreen && SDL_SetWindowDisplayMode(window, &fullscreen_mode) != 0) return false;

    context = SDL_GL_CreateContext(window);
    failure = MESSAGE_NO_RENDERING_CONTEXT;
    if (!context) return false;
    failure = MESSAGE_ACTIVATE_CONTEXT_FAILED;
    if (SDL_GL_MakeCurrent(window, context) != 0) return false;
    failure = MESSAGE_NO_PIXEL_FORMAT;
    if (!context_is_suitable()) {
        if (!explain_missing_display())
            SDL_SetError("no double-buffered visual with a depth buffer");
        return false;
    }
    // Wait for the vertical blank where the driver can; the frame pacing
    // holds the rate to 60 a second where it cannot.
    SDL_GL_SetSwapInterval(1);

    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
    return true;
}

bool sdl_has_context()
{
    return context != nullptr;
}

void sdl_close_window()
{
    if (context) {
        if (SDL_GL_MakeCurrent(window, nullptr) != 0)
            sdl_message_box(MESSAGE_RELEASE_DC_AND_RC_FAILED);
        SDL_GL_DeleteContext(context);
        context = nullptr;
    }

    if (window) {
        SDL_DestroyWindow(window);
        window = nullptr;
    }

    if (video_ready) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        video_ready = false;
    }
}

void sdl_swap_buffers()
{
    if (window) SDL_GL_SwapWindow(window);
}

unsigned int open_window_id()
{
    return window ? SDL_GetWindowID(window) : 0;
}

unsigned int open_window_flags()
{
    return window ? SDL_GetWindowFlags(window) : 0;
}
