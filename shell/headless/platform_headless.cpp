// The platform seam without a display: an offscreen EGL context, the key script as events, a clock that never waits.
#include "shell/headless/platform_headless.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>

// The framebuffer-object functions (OpenGL 3.0) are called directly: the
// system's libGL exports every core function and dispatches it to the
// current context, the EGL one included.
#define GL_GLEXT_PROTOTYPES
#include "common/gl.h"
#include <GL/glext.h>

#include "common/world.h"
#include "gles/gles_backend.h"
#include "shell/freetype/font_freetype.h"

namespace {

render_api api = RENDER_API_GL;
EGLDisplay display = EGL_NO_DISPLAY;
EGLConfig config = nullptr;  // null where the display takes contexts without a config
EGLContext context = EGL_NO_CONTEXT;
GLuint framebuffer = 0;
GLuint renderbuffers[2] = {0, 0};  // colour, depth
int context_width = 0, context_height = 0;

bool has_extension(const char* list, const char* name)
{
    return list && (" " + std::string(list) + " ").find(" " + std::string(name) + " ") != std::string::npos;
}

EGLenum egl_api()
{
    return api == RENDER_API_GLES ? EGL_OPENGL_ES_API : EGL_OPENGL_API;
}

// Initialises `candidate` and picks a configuration for the chosen kind of OpenGL on it.
bool try_display(EGLDisplay candidate)
{
    if (candidate == EGL_NO_DISPLAY || !eglInitialize(candidate, nullptr, nullptr)) return false;
    const EGLint renderable = api == RENDER_API_GLES ? EGL_OPENGL_ES3_BIT : EGL_OPENGL_BIT;
    const EGLint attributes[] = {EGL_RENDERABLE_TYPE, renderable, EGL_RED_SIZE, 8,
                                 EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_NONE};
    EGLint count = 0;
    config = nullptr;
    if (eglBindAPI(egl_api()) &&
        ((eglChooseConfig(candidate, attributes, &config, 1, &count) && count > 0) ||
         has_extension(eglQueryString(candidate, EGL_EXTENSIONS), "EGL_KHR_no_config_context"))) {
        display = candidate;
        return true;
    }
    eglTerminate(candidate);
    return false;
}

// Mesa's surfaceless platform, then every EGL device, then the default display.
bool open_display(std::string& error)
{
    if (display != EGL_NO_DISPLAY) return true;
    // Mesa's software rasteriser gives the same pixels on every machine; a
    // caller may still choose otherwise through the environment.
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);

    const char* client = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    const auto get_platform_display =
        (PFNEGLGETPLATFORMDISPLAYEXTPROC)eglGetProcAddress("eglGetPlatformDisplayEXT");
    const auto query_devices = (PFNEGLQUERYDEVICESEXTPROC)eglGetProcAddress("eglQueryDevicesEXT");
    if (get_platform_display && has_extension(client, "EGL_MESA_platform_surfaceless") &&
        try_display(get_platform_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr)))
        return true;
    EGLDeviceEXT devices[16];
    EGLint count = 0;
    if (get_platform_display && query_devices && has_extension(client, "EGL_EXT_platform_device") &&
        query_devices(16, devices, &count))
        for (EGLint k = 0; k < count; ++k)
            if (try_display(get_platform_display(EGL_PLATFORM_DEVICE_EXT, devices[k], nullptr))) return true;
    if (try_display(eglGetDisplay(EGL_DEFAULT_DISPLAY))) return true;
    error = std::string("no EGL display offers ") + (api == RENDER_API_GLES ? "OpenGL ES 3" : "desktop OpenGL") +
            " (tried surfaceless, devices and the default display)";
    return false;
}

// A colour buffer without alpha and a 24-bit depth buffer, as the window's pixel format gives.
bool make_framebuffer(int width, int height)
{
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenRenderbuffers(2, renderbuffers);
    const GLenum formats[2] = {GL_RGB8, GL_DEPTH_COMPONENT24};
    const GLenum attachments[2] = {GL_COLOR_ATTACHMENT0, GL_DEPTH_ATTACHMENT};
    for (int k = 0; k < 2; ++k) {
        glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers[k]);
        glRenderbufferStorage(GL_RENDERBUFFER, formats[k], width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, attachments[k], GL_RENDERBUFFER, renderbuffers[k]);
    }
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

bool fail(std::string& error, const std::string& why)
{
    destroy_render_context();
    error = why;
    return false;
}

// The run being served, and how far it has got.
struct run_state {
    headless_run* run = nullptr;
    long frame = 0;       // frames drawn so far
    int next_key = 0;     // the script key whose event comes next, for frame + 1
    bool title = false;   // whether the frame being drawn is a title frame
    int quit_code = -1;   // -1 until the run is to end
    std::chrono::steady_clock::time_point frame_start;
    int64_t now = 0;         // the pacing's clock
    bool size_due = false;   // a window of the run's size opened: that size is the next event
} state;

// The window's part of opening: the context.
bool open_window(const window_request& request, message_id& failure)
{
    headless_run& run = *state.run;
    state.size_due = run.width > 0;
    if (create_render_context(state.size_due ? run.width : request.width,
                              state.size_due ? run.height : request.height, run.error))
        return true;
    failure = MESSAGE_NO_RENDERING_CONTEXT;
    return false;
}

// The key script as the events a keyboard would send: before each frame,
// every script key goes down if the script holds it in that frame and up
// otherwise (a key held over several frames repeats, as auto-repeat does, so
// a held F1 rebuilds the context once per frame). When the frames are done,
// or a frame's work failed, the run ends with a quit event.
bool poll_event(platform_event& event)
{
    const headless_run& run = *state.run;
    event = {};
    if (state.quit_code < 0 && state.frame >= run.frames) state.quit_code = 0;
    if (state.quit_code >= 0) {
        event.kind = PLATFORM_EVENT_QUIT;
        event.code = state.quit_code;
    } else if (state.size_due) {
        state.size_due = false;
        event.kind = PLATFORM_EVENT_RESIZE;
        event.width = run.width;
        event.height = run.height;
    } else if (state.next_key < (int)std::size(SCRIPT_KEYS)) {
        const int key = SCRIPT_KEYS[state.next_key++].code;
        event.kind = key_held(run.keys, key, state.frame + 1) ? PLATFORM_EVENT_KEY_DOWN : PLATFORM_EVENT_KEY_UP;
        event.key = key;
    } else {
        // The queue is empty: the frame is drawn next, and timed from here.
        state.title = world.title_running;
        state.frame_start = std::chrono::steady_clock::now();
        return false;
    }
    return true;
}

// The end of a frame: its time, and the next frame's key events.
void swap_buffers()
{
    glFinish();  // as the buffer swap would: the frame is drawn before it counts
    const std::chrono::duration<double, std::milli> time = std::chrono::steady_clock::now() - state.frame_start;
    const headless_run& run = *state.run;
    ++state.frame;
    state.next_key = 0;
    if (run.frame_done && !run.frame_done(state.frame, state.title, time.count())) state.quit_code = 1;
}

const platform headless = {
    nullptr,  // nothing to start ...
    nullptr,  // ... or finish
    [](message_id&) { return true; },    // there is no display to open ...
    [](int, int, int) { return true; },  // ... nor a display mode to change
    [] {},
    open_window,
    render_context_exists,
    destroy_render_context,
    swap_buffers,
    poll_event,
    [] { return state.now; },
    [](int64_t deadline_ns) {  // frames need no real waiting: the clock moves on to the deadline
        state.now = std::max(state.now, deadline_ns);
        return true;
    },
    // Nothing is shown: the message goes to the run's error, unless a more
    // precise one (the context's) is there already.
    [](message_id id) {
        if (state.run->error.empty()) state.run->error = message_text_of(id).text;
        return ANSWER_NO;
    },
    {make_freetype_font, free_freetype_font},
    nullptr,  // the run's error already holds the cause
    nullptr,
};

}  // namespace

bool create_render_context(int width, int height, std::string& error)
{
    destroy_render_context();
    if (width < 1 || height < 1) return fail(error, "framebuffer size must be positive");
    if (!open_display(error)) return false;
    eglBindAPI(egl_api());
    if (api == RENDER_API_GLES) {
        const EGLint version[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_NONE};
        context = eglCreateContext(display, config, EGL_NO_CONTEXT, version);
    } else {
        const EGLint compatibility[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
        context = eglCreateContext(display, config, EGL_NO_CONTEXT, compatibility);
        if (context == EGL_NO_CONTEXT) context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    }
    if (context == EGL_NO_CONTEXT) {
        char text[80];
        std::snprintf(text, sizeof text, "cannot create an OpenGL context (EGL error 0x%04X)",
                      (unsigned)eglGetError());
        return fail(error, text);
    }
    // Surfaceless (Mesa and NVIDIA both offer it): the frame is drawn into a framebuffer object.
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context))
        return fail(error, "cannot make the OpenGL context current without a surface");
    // Every GL call of the drawing code goes through the emulation from here.
    if (api == RENDER_API_GLES) {
        std::string why;
        if (!use_gles_backend(why)) return fail(error, why);
    }
    GLint side = 0, viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &side);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    side = std::min({side, viewport[0], viewport[1]});
    if (width > side || height > side)
        return fail(error, "the renderer draws frames of at most " + std::to_string(side) + " pixels a side");
    if (!make_framebuffer(width, height))
        return fail(error, "cannot make a framebuffer object for the offscreen context");
    context_width = width;
    context_height = height;
    // Without a window nothing sets the first viewport; give it the framebuffer's size.
    glViewport(0, 0, width, height);
    return true;
}

void use_render_api(render_api chosen)
{
    api = chosen;
}

void destroy_render_context()
{
    if (context == EGL_NO_CONTEXT) return;
    if (api == RENDER_API_GLES) release_gles_backend();
    if (framebuffer) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteRenderbuffers(2, renderbuffers);
        glDeleteFramebuffers(1, &framebuffer);
        framebuffer = 0;
    }
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display, context);
    context = EGL_NO_CONTEXT;
}

bool render_context_exists()
{
    return context != EGL_NO_CONTEXT;
}

std::vector<unsigned char> read_render_frame(int& width, int& height)
{
    width = context_width;
    height = context_height;
    const size_t row = (size_t)width * 3;
    std::vector<unsigned char> rgb(row * (size_t)height);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glPopClientAttrib();
    for (int r = 0; r < height / 2; ++r)  // bottom row first to top row first
        std::swap_ranges(&rgb[row * (size_t)r], &rgb[row * (size_t)(r + 1)], &rgb[row * (size_t)(height - 1 - r)]);
    return rgb;
}

const platform& headless_platform(headless_run& run)
{
    state = run_state{};
    state.run = &run;
    return headless;
}
