// The design-size frame: an offscreen framebuffer of the design size, blitted into the window.
#include "render/design_frame.h"

#include <cstring>
#include <initializer_list>

#ifdef _WIN32
#include <windows.h>
#else
// The framebuffer-object functions are called through libGL's own exports.
#define GL_GLEXT_PROTOTYPES
#endif
#include "common/gl.h"
#include <GL/glext.h>

#include "common/world.h"
#include "render/picture_fit.h"

namespace {

picture_resolution choice = RESOLUTION_AUTO;

// The framebuffer-object functions (OpenGL 3.0, or ARB_framebuffer_object),
// looked up once per context; null where the context has none.
struct framebuffer_functions {
    PFNGLGENFRAMEBUFFERSPROC gen_framebuffers;
    PFNGLDELETEFRAMEBUFFERSPROC delete_framebuffers;
    PFNGLBINDFRAMEBUFFERPROC bind_framebuffer;
    PFNGLGENRENDERBUFFERSPROC gen_renderbuffers;
    PFNGLDELETERENDERBUFFERSPROC delete_renderbuffers;
    PFNGLBINDRENDERBUFFERPROC bind_renderbuffer;
    PFNGLRENDERBUFFERSTORAGEPROC renderbuffer_storage;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebuffer_renderbuffer;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC check_framebuffer_status;
    PFNGLBLITFRAMEBUFFERPROC blit_framebuffer;
} gl = {};

// The offscreen framebuffer and its buffers (colour, depth), the window's
// framebuffer (0, or the one a headless context draws into) and the
// window's size; `design` when frames are drawn offscreen.
GLuint framebuffer = 0;
GLuint renderbuffers[2] = {0, 0};
GLint window_framebuffer = 0;
int framebuffer_width = 0, framebuffer_height = 0;
int window_width = 1, window_height = 1;
bool design = false;

// Primitives a back end still holds belong to the framebuffer bound now.
void before_binding()
{
    if (gl_draw_held_primitives) gl_draw_held_primitives();
}

// Whether the current context has framebuffer objects; looks their functions up.
bool load_framebuffer_functions()
{
    const char* version = (const char*)glGetString(GL_VERSION);
    const char* extensions = (const char*)glGetString(GL_EXTENSIONS);
    const bool offered = (version && version[0] >= '3' && version[0] <= '9' && version[1] == '.') ||
                         (version && std::strncmp(version, "OpenGL ES 3", 11) == 0) ||
                         (extensions && std::strstr(extensions, "GL_ARB_framebuffer_object"));
    if (!offered) return false;
#ifdef _WIN32
#define LOOK_UP(field, type, name) gl.field = (type)(void*)wglGetProcAddress(#name)
#else
    // The system's libGL exports every core function and dispatches it to the current context.
#define LOOK_UP(field, type, name) gl.field = (type)&::name
#endif
    LOOK_UP(gen_framebuffers, PFNGLGENFRAMEBUFFERSPROC, glGenFramebuffers);
    LOOK_UP(delete_framebuffers, PFNGLDELETEFRAMEBUFFERSPROC, glDeleteFramebuffers);
    LOOK_UP(bind_framebuffer, PFNGLBINDFRAMEBUFFERPROC, glBindFramebuffer);
    LOOK_UP(gen_renderbuffers, PFNGLGENRENDERBUFFERSPROC, glGenRenderbuffers);
    LOOK_UP(delete_renderbuffers, PFNGLDELETERENDERBUFFERSPROC, glDeleteRenderbuffers);
    LOOK_UP(bind_renderbuffer, PFNGLBINDRENDERBUFFERPROC, glBindRenderbuffer);
    LOOK_UP(renderbuffer_storage, PFNGLRENDERBUFFERSTORAGEPROC, glRenderbufferStorage);
    LOOK_UP(framebuffer_renderbuffer, PFNGLFRAMEBUFFERRENDERBUFFERPROC, glFramebufferRenderbuffer);
    LOOK_UP(check_framebuffer_status, PFNGLCHECKFRAMEBUFFERSTATUSPROC, glCheckFramebufferStatus);
    LOOK_UP(blit_framebuffer, PFNGLBLITFRAMEBUFFERPROC, glBlitFramebuffer);
#undef LOOK_UP
    return gl.gen_framebuffers && gl.delete_framebuffers && gl.bind_framebuffer && gl.gen_renderbuffers &&
           gl.delete_renderbuffers && gl.bind_renderbuffer && gl.renderbuffer_storage &&
           gl.framebuffer_renderbuffer && gl.check_framebuffer_status && gl.blit_framebuffer;
}

// The offscreen framebuffer of width x height, as a window's pixel format
// gives it: colour without alpha and a 24-bit depth buffer. False where the
// context cannot make it.
bool make_framebuffer(int width, int height)
{
    if (framebuffer && framebuffer_width == width && framebuffer_height == height) return true;
    release_design_frame();
    if (!load_framebuffer_functions()) return false;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &window_framebuffer);
    before_binding();
    gl.gen_framebuffers(1, &framebuffer);
    gl.bind_framebuffer(GL_FRAMEBUFFER, framebuffer);
    gl.gen_renderbuffers(2, renderbuffers);
    const GLenum formats[2] = {GL_RGB8, GL_DEPTH_COMPONENT24};
    const GLenum attachments[2] = {GL_COLOR_ATTACHMENT0, GL_DEPTH_ATTACHMENT};
    for (int k = 0; k < 2; ++k) {
        gl.bind_renderbuffer(GL_RENDERBUFFER, renderbuffers[k]);
        gl.renderbuffer_storage(GL_RENDERBUFFER, formats[k], width, height);
        gl.framebuffer_renderbuffer(GL_FRAMEBUFFER, attachments[k], GL_RENDERBUFFER, renderbuffers[k]);
    }
    gl.bind_renderbuffer(GL_RENDERBUFFER, 0);
    framebuffer_width = width;
    framebuffer_height = height;
    if (gl.check_framebuffer_status(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) return true;
    release_design_frame();
    return false;
}

}  // namespace

void set_picture_resolution(picture_resolution c)
{
    choice = c;
}

picture_resolution picture_resolution_choice()
{
    return choice;
}

bool is_software_renderer(const char* renderer)
{
    if (!renderer) return false;
    for (const char* name : {"llvmpipe", "softpipe", "SwiftShader", "GDI Generic"})
        if (std::strstr(renderer, name)) return true;
    return false;
}

void choose_frame_size(int& width, int& height)
{
    window_width = width < 1 ? 1 : width;
    window_height = height < 1 ? 1 : height;
    const picture_rect picture = fit_picture(world.mode_width, world.mode_height, window_width, window_height);
    const bool scaled_up = picture.width > world.mode_width;
    // A window of the design size is the design frame: drawing offscreen
    // would only add a copy of every frame.
    const bool design_sized = window_width == world.mode_width && window_height == world.mode_height;
    const bool wanted = picture_fitted() && !design_sized && (choice == RESOLUTION_DESIGN ||
                                             (choice == RESOLUTION_AUTO && scaled_up &&
                                              is_software_renderer((const char*)glGetString(GL_RENDERER))));
    design = wanted && make_framebuffer(world.mode_width, world.mode_height);
    if (!design) {
        if (framebuffer) {
            before_binding();
            gl.bind_framebuffer(GL_FRAMEBUFFER, (GLuint)window_framebuffer);
        }
        return;
    }
    before_binding();
    gl.bind_framebuffer(GL_FRAMEBUFFER, framebuffer);
    width = world.mode_width;
    height = world.mode_height;
}

bool drawing_design_size()
{
    return design;
}

void begin_design_frame()
{
    if (!design) return;
    before_binding();
    gl.bind_framebuffer(GL_FRAMEBUFFER, framebuffer);
}

void present_design_frame()
{
    if (!design) return;
    const picture_rect to = fit_picture(world.mode_width, world.mode_height, window_width, window_height);
    before_binding();
    gl.bind_framebuffer(GL_FRAMEBUFFER, (GLuint)window_framebuffer);
    gl.bind_framebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT);
    // The bars: one clear of the whole window, which costs a software
    // renderer far less than clears of the bars' own rectangles.
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    const bool whole = to.width % world.mode_width == 0 && to.height % world.mode_height == 0;
    gl.blit_framebuffer(0, 0, world.mode_width, world.mode_height, to.x, to.y, to.x + to.width, to.y + to.height,
                        GL_COLOR_BUFFER_BIT, whole ? GL_NEAREST : GL_LINEAR);
    glPopAttrib();
    gl.bind_framebuffer(GL_FRAMEBUFFER, (GLuint)window_framebuffer);
}

void release_design_frame()
{
    if (framebuffer) {
        before_binding();
        gl.bind_framebuffer(GL_FRAMEBUFFER, (GLuint)window_framebuffer);
        gl.delete_renderbuffers(2, renderbuffers);
        gl.delete_framebuffers(1, &framebuffer);
    }
    framebuffer = 0;
    framebuffer_width = framebuffer_height = 0;
    design = false;
}
