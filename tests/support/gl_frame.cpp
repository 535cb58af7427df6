// Test helper: frames and drawing with OpenGL's error queue checked.
#include "tests/support/gl_frame.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "common/world.h"
#include "scene/frame.h"

namespace {

std::string describe(const std::vector<GLenum>& errors)
{
    if (errors.empty()) return "no error";
    std::ostringstream out;
    for (size_t k = 0; k < errors.size(); ++k) {
        if (k) out << ", ";
        switch (errors[k]) {
        case GL_INVALID_ENUM: out << "GL_INVALID_ENUM"; break;
        case GL_INVALID_VALUE: out << "GL_INVALID_VALUE"; break;
        case GL_INVALID_OPERATION: out << "GL_INVALID_OPERATION"; break;
        case GL_STACK_OVERFLOW: out << "GL_STACK_OVERFLOW"; break;
        case GL_STACK_UNDERFLOW: out << "GL_STACK_UNDERFLOW"; break;
        case GL_OUT_OF_MEMORY: out << "GL_OUT_OF_MEMORY"; break;
        default: out << "0x" << std::hex << errors[k] << std::dec;
        }
    }
    return out.str();
}

GLint stack_depth(GLenum which)
{
    GLint depth = 0;
    glGetIntegerv(which, &depth);
    return depth;
}

}  // namespace

std::vector<GLenum> take_gl_errors()
{
    std::vector<GLenum> errors;
    // Each kind of error has one flag; a lost context could report forever.
    for (int k = 0; k < 16; ++k) {
        const GLenum e = glGetError();
        if (e == GL_NO_ERROR) break;
        errors.push_back(e);
    }
    return errors;
}

void run_checked_frame(const char* file, int line)
{
    const std::vector<GLenum> before = take_gl_errors();
    if (!before.empty()) ADD_FAILURE_AT(file, line) << "OpenGL errors before the frame: " << describe(before);

    const bool bare = stack_depth(GL_PROJECTION_STACK_DEPTH) == 1 || stack_depth(GL_MODELVIEW_STACK_DEPTH) == 1;
    const bool title = world.title_running;
    run_frame();

    const std::vector<GLenum> expected = bare ? std::vector<GLenum>{GL_STACK_UNDERFLOW} : std::vector<GLenum>{};
    const std::vector<GLenum> errors = take_gl_errors();
    if (errors != expected)
        ADD_FAILURE_AT(file, line) << "OpenGL errors of a " << (title ? "title" : "main-view") << " frame that "
                                   << (bare ? "started on bare stacks" : "followed an overlay")
                                   << ": expected " << describe(expected) << ", got " << describe(errors);

    const GLint depth = title ? 1 : 2;
    if (stack_depth(GL_PROJECTION_STACK_DEPTH) != depth || stack_depth(GL_MODELVIEW_STACK_DEPTH) != depth)
        ADD_FAILURE_AT(file, line) << "after a " << (title ? "title" : "main-view") << " frame the matrix stacks are "
                                   << stack_depth(GL_PROJECTION_STACK_DEPTH) << " (projection) and "
                                   << stack_depth(GL_MODELVIEW_STACK_DEPTH) << " (model-view) deep, not " << depth;
}

void expect_no_gl_error(const char* file, int line)
{
    const std::vector<GLenum> errors = take_gl_errors();
    if (!errors.empty()) ADD_FAILURE_AT(file, line) << "OpenGL errors: " << describe(errors);
}
