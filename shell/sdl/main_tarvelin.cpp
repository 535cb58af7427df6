// tarvelin: the interactive lake-bottom viewer.
#include "shell/program.h"
#include "shell/sdl/platform_sdl.h"

int main()
{
    return run_program(sdl_platform(), PROGRAM_VIEWER);
}
