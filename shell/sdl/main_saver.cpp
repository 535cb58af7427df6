// tarvelin_saver: the lake-bottom screensaver build.
#include "shell/program.h"
#include "shell/sdl/platform_sdl.h"

int main()
{
    return run_program(sdl_platform(), PROGRAM_SAVER);
}
