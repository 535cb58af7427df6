# OpenGL 1.1 and GLU for the portable drawing code, as one interface target.
# Without the desktop entry points (TARVELIN_DESKTOP_GL OFF, as for
# Emscripten) the code links no GL library of its own and draws only through
# the OpenGL ES 3 emulation of gles/.
add_library(tarvelin_gl INTERFACE)
if(NOT TARVELIN_DESKTOP_GL)
  target_compile_definitions(tarvelin_gl INTERFACE TARVELIN_NO_DESKTOP_GL)
elseif(WIN32)
  target_link_libraries(tarvelin_gl INTERFACE opengl32 glu32)
  # The Windows GL headers need the calling-convention macros of windows.h;
  # forcing it in here keeps portable code free of platform includes.
  target_compile_options(tarvelin_gl INTERFACE -include windows.h)
else()
  set(OpenGL_GL_PREFERENCE GLVND)
  find_package(OpenGL REQUIRED COMPONENTS OpenGL)
  find_library(GLU_LIBRARY GLU REQUIRED)
  target_link_libraries(tarvelin_gl INTERFACE OpenGL::GL ${GLU_LIBRARY})
endif()
