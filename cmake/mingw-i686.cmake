# Toolchain: 32-bit Windows programs with Debian's mingw-w64 (posix threads).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TARVELIN_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
