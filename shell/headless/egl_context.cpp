// Offscreen OpenGL context: EGL display selection, context creation and the framebuffer object it draws into.
#include "shell/headless/egl_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/gl.h"
#include <GL/glext.h>

namespace {

EGLDisplay display = EGL_NO_DISPLAY;
EGLConfig config = nullptr;
bool config_less = false;  // the display takes contexts without a config
EGLContext context = EGL_NO_CONTEXT;
EGLSurface pbuffer = EGL_NO_SURFACE;  // only when surfaceless contexts are refused
GLuint framebuffer = 0;
GLuint colour_buffer = 0;
GLuint depth_buffer = 0;
int context_width = 0;
int context_height = 0;

// Framebuffer-object entry points (OpenGL 3.0): fetched at run time, used only here.
PFNGLGENFRAMEBUFFERSPROC gen_framebuffers;
PFNGLDELETEFRAMEBUFFERSPROC delete_framebuffers;
PFNGLBINDFRAMEBUFFERPROC bind_framebuffer;
PFNGLGENRENDERBUFFERSPROC gen_renderbuffers;
PFNGLDELETERENDERBUFFERSPROC delete_renderbuffers;
PFNGLBINDRENDERBUFFERPROC bind_renderbuffer;
PFNGLRENDERBUFFERSTORAGEPROC renderbuffer_storage;
PFNGLFRAMEBUFFERRENDERBUFFERPROC framebuffer_renderbuffer;
PFNGLCHECKFRAMEBUFFERSTATUSPROC check_framebuffer_status;

bool has_extension(const char* list, const char* name)
{
    if (!list) return false;
    const size_t length = std::strlen(name);
    for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += length)
        if ((p == list || p[-1] == ' ') && (p[length] == ' ' || p[length] == '\0')) return true;
    return false;
}

// Initialises `candidate` and picks a configuration for desktop OpenGL on it.
bool try_display(EGLDisplay candidate)
{
    if (candidate == EGL_NO_DISPLAY) return false;
    EGLint major = 0, minor = 0;
    if (!eglInitialize(candidate, &major, &minor)) return false;
    if (!eglBindAPI(EGL_OPENGL_API)) {
        eglTerminate(candidate);
        return false;
    }
    const EGLint attributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_RED_SIZE, 8,
                                 EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_NONE};
    EGLint count = 0;
    EGLConfig chosen = nullptr;
    if (eglChooseConfig(candidate, attributes, &chosen, 1, &count) && count > 0) {
        display = candidate;
        config = chosen;
        config_less = false;
        return true;
    }
    if (has_extension(eglQueryString(candidate, EGL_EXTENSIONS), "EGL_KHR_no_config_context")) {
        display = candidate;
        config = nullptr;
        config_less = true;
        return true;
    }
    eglTerminate(candidate);
    return false;
}

bool open_display(std::string& error)
{
    if (display != EGL_NO_DISPLAY) return true;
    // Mesa's software rasteriser gives the same pixels on every machine; a
    // caller may still choose otherwise through the environment.
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);

    const char* client = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    auto get_platform_display =
        (PFNEGLGETPLATFORMDISPLAYEXTPROC)eglGetProcAddress("eglGetPlatformDisplayEXT");

    if (get_platform_display && has_extension(client, "EGL_MESA_platform_surfaceless") &&
        try_display(get_platform_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr)))
        return true;

    auto query_devices = (PFNEGLQUERYDEVICESEXTPROC)eglGetProcAddress("eglQueryDevicesEXT");
    if (get_platform_display && query_devices && has_extension(client, "EGL_EXT_platform_device")) {
        EGLint count = 0;
        if (query_devices(0, nullptr, &count) && count > 0) {
            std::vector<EGLDeviceEXT> devices((size_t)count);
            if (query_devices(count, devices.data(), &count))
                for (EGLint k = 0; k < count; ++k)
                    if (try_display(get_platform_display(EGL_PLATFORM_DEVICE_EXT, devices[(size_t)k], nullptr)))
                        return true;
        }
    }

    if (try_display(eglGetDisplay(EGL_DEFAULT_DISPLAY))) return true;
    error = "no EGL display offers desktop OpenGL (tried surfaceless, devices and the default display)";
    return false;
}

bool load_framebuffer_functions()
{
    gen_framebuffers = (PFNGLGENFRAMEBUFFERSPROC)eglGetProcAddress("glGenFramebuffers");
    delete_framebuffers = (PFNGLDELETEFRAMEBUFFERSPROC)eglGetProcAddress("glDeleteFramebuffers");
    bind_framebuffer = (PFNGLBINDFRAMEBUFFERPROC)eglGetProcAddress("glBindFramebuffer");
    gen_renderbuffers = (PFNGLGENRENDERBUFFERSPROC)eglGetProcAddress("glGenRenderbuffers");
    delete_renderbuffers = (PFNGLDELETERENDERBUFFERSPROC)eglGetProcAddress("glDeleteRenderbuffers");
    bind_renderbuffer = (PFNGLBINDRENDERBUFFERPROC)eglGetProcAddress("glBindRenderbuffer");
    renderbuffer_storage = (PFNGLRENDERBUFFERSTORAGEPROC)eglGetProcAddress("glRenderbufferStorage");
    framebuffer_renderbuffer =
        (PFNGLFRAMEBUFFERRENDERBUFFERPROC)eglGetProcAddress("glFramebufferRenderbuffer");
    check_framebuffer_status =
        (PFNGLCHECKFRAMEBUFFERSTATUSPROC)eglGetProcAddress("glCheckFramebufferStatus");
    return gen_framebuffers && delete_framebuffers && bind_framebuffer && gen_renderbuffers &&
           delete_renderbuffers && bind_renderbuffer && renderbuffer_storage &&
           framebuffer_renderbuffer && check_framebuffer_status;
}

// A colour buffer without alpha and a 24-bit depth buffer, as the window's pixel format gives.
bool make_framebuffer(int width, int height)
{
    if (!load_framebuffer_functions()) return false;
    gen_framebuffers(1, &framebuffer);
    bind_framebuffer(GL_FRAMEBUFFER, framebuffer);
    gen_renderbuffers(1, &colour_buffer);
    bind_renderbuffer(GL_RENDERBUFFER, colour_buffer);
    renderbuffer_storage(GL_RENDERBUFFER, GL_RGB8, width, height);
    framebuffer_renderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_buffer);
    gen_renderbuffers(1, &depth_buffer);
    bind_renderbuffer(GL_RENDERBUFFER, depth_buffer);
    renderbuffer_storage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    framebuffer_renderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_buffer);
    bind_renderbuffer(GL_RENDERBUFFER, 0);
    return check_framebuffer_status(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

EGLContext new_context()
{
    const EGLConfig use = config_less ? (EGLConfig) nullptr : config;
    const EGLint compatibility[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                    EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext made = eglCreateContext(display, use, EGL_NO_CONTEXT, compatibility);
    if (made == EGL_NO_CONTEXT) made = eglCreateContext(display, use, EGL_NO_CONTEXT, nullptr);
    return made;
}

}  // namespace

bool create_render_context(int width, int height, std::string& error)
{
    destroy_render_context();
    if (width < 1 || height < 1) {
        error = "framebuffer size must be positive";
        return false;
    }
    if (!open_display(error)) return false;
    eglBindAPI(EGL_OPENGL_API);
    context = new_context();
    if (context == EGL_NO_CONTEXT) {
        char text[80];
        std::snprintf(text, sizeof text, "cannot create an OpenGL context (EGL error 0x%04X)",
                      (unsigned)eglGetError());
        error = text;
        return false;
    }

    if (eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        if (!make_framebuffer(width, height)) {
            destroy_render_context();
            error = "cannot make a framebuffer object for the offscreen context";
            return false;
        }
    } else {
        // Without surfaceless contexts: draw into a pixel buffer of the window's size.
        const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
        pbuffer = config_less ? EGL_NO_SURFACE : eglCreatePbufferSurface(display, config, size);
        if (pbuffer == EGL_NO_SURFACE || !eglMakeCurrent(display, pbuffer, pbuffer, context)) {
            destroy_render_context();
            error = "cannot make the OpenGL context current";
            return false;
        }
    }
    context_width = width;
    context_height = height;
    // Without a window nothing sets the first viewport; give it the framebuffer's size.
    glViewport(0, 0, width, height);
    return true;
}

void destroy_render_context()
{
    if (context == EGL_NO_CONTEXT) return;
    if (framebuffer) {
        bind_framebuffer(GL_FRAMEBUFFER, 0);
        delete_renderbuffers(1, &colour_buffer);
        delete_renderbuffers(1, &depth_buffer);
        delete_framebuffers(1, &framebuffer);
        framebuffer = colour_buffer = depth_buffer = 0;
    }
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (pbuffer != EGL_NO_SURFACE) eglDestroySurface(display, pbuffer);
    pbuffer = EGL_NO_SURFACE;
    eglDestroyContext(display, context);
    context = EGL_NO_CONTEXT;
    context_width = context_height = 0;
}

bool render_context_exists()
{
    return context != EGL_NO_CONTEXT;
}

int render_context_width()
{
    return context_width;
}

int render_context_height()
{
    return context_height;
}

void read_render_pixels_rgba(int x, int y, int width, int height, unsigned char* rgba)
{
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glPopClientAttrib();
}

void read_render_pixels_rgb(unsigned char* rgb)
{
    const size_t row = (size_t)context_width * 3;
    std::vector<unsigned char> bottom_up(row * (size_t)context_height);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(0, 0, context_width, context_height, GL_RGB, GL_UNSIGNED_BYTE, bottom_up.data());
    glPopClientAttrib();
    for (int r = 0; r < context_height; ++r)
        std::memcpy(rgb + row * (size_t)r, bottom_up.data() + row * (size_t)(context_height - 1 - r), row);
}

const char* render_context_renderer()
{
    if (context == EGL_NO_CONTEXT) return "";
    const GLubyte* name = glGetString(GL_RENDERER);
    return name ? (const char*)name : "";
}
