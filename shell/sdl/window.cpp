// The window and its OpenGL context on SDL2.
#include "shell/sdl/window.h"

#include <SDL.h>

#include "common/world.h"
#include "render/font.h"
#include "render/gl_setup.h"
#include "shell/sdl/message_box.h"
#include "render/shape_cache.h"

const char* const WINDOW_TITLE = "OpenGL WinAPI template by Orvandel";

namespace {

const char* const ERROR_CAPTION = "ERROR";
const char* const SHUTDOWN_CAPTION = "SHUTDOWN ERROR";

// What open_window made; every handle is cleared when it is released.
bool video_ready = false;
SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;

// Depth-buffer sizes to ask for, best first: the first one the display
// offers a visual for is taken, as a pixel-format choice takes the closest.
const int depth_sizes[] = {32, 24, 16};

void creation_failed(const char* text)
{
    close_window();
    show_message(ERROR_CAPTION, text, MESSAGE_ICON_EXCLAMATION);
}

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

}  // namespace

bool open_window(const char* title, int width, int height, int colour_bits, bool fullscreen)
{
    world.fullscreen = fullscreen;

    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        show_message(ERROR_CAPTION, "Failed To Register The Window Class.",
                     MESSAGE_ICON_EXCLAMATION);
        return false;
    }
    video_ready = true;
    // Neither the screensaver nor display power saving while a window runs.
    SDL_DisableScreenSaver();

    SDL_DisplayMode mode = {};
    if (world.fullscreen && !find_display_mode(width, height, colour_bits, mode)) {
        if (ask_yes_no("Kalo GL",
                       "The Requested Fullscreen Mode Is Not Supported By\n"
                       "Your Video Card. Use Windowed Mode Instead?",
                       MESSAGE_ICON_EXCLAMATION) == ANSWER_YES) {
            world.fullscreen = false;
        } else {
            show_message(ERROR_CAPTION, "Program Will Now Close.", MESSAGE_ICON_STOP);
            return false;
        }
    }

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (world.fullscreen) {
        flags |= SDL_WINDOW_FULLSCREEN;
        SDL_ShowCursor(SDL_DISABLE);
    } else {
        flags |= SDL_WINDOW_RESIZABLE;
    }

    window = create_gl_window(title, width, height, flags);
    if (!window) {
        creation_failed("Window Creation Error.");
        return false;
    }
    // The display mode changes to this one when the window is shown.
    if (world.fullscreen && SDL_SetWindowDisplayMode(window, &mode) != 0) {
        creation_failed("Window Creation Error.");
        return false;
    }

    context = SDL_GL_CreateContext(window);
    if (!context) {
        creation_failed("Can't Create A GL Rendering Context.");
        return false;
    }
    if (SDL_GL_MakeCurrent(window, context) != 0) {
        creation_failed("Can't Activate The GL Rendering Context.");
        return false;
    }
    if (!context_is_suitable()) {
        creation_failed("Can't Find A Suitable PixelFormat.");
        return false;
    }
    // Wait for the vertical blank where the driver can; the frame pacing
    // holds the rate to 60 a second where it cannot.
    SDL_GL_SetSwapInterval(1);

    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);

    on_resize(width, height);
    if (!setup_gl()) {
        creation_failed("Initialization Failed.");
        return false;
    }
    return true;
}

void close_window()
{
    if (world.fullscreen) {
        if (window) SDL_SetWindowFullscreen(window, 0);
        SDL_ShowCursor(SDL_ENABLE);
    }

    if (context) {
        // The font's and the shapes' display lists belong to this context.
        free_font();
        release_shape_cache();
        if (SDL_GL_MakeCurrent(window, nullptr) != 0) {
            show_message(SHUTDOWN_CAPTION, "Release Of DC And RC Failed.",
                         MESSAGE_ICON_INFORMATION);
        }
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

void swap_window_buffers()
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
