// tarvelin_saver: the lake-bottom screensaver build.
#include "shell/command_line.h"
#include "shell/program.h"
#include "shell/sdl/platform_sdl.h"

int main(int argc, char** argv)
{
    return run_from_command_line(sdl_platform(), PROGRAM_SAVER, argc - 1, argv + 1);
}
