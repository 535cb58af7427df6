// tarvelin: the interactive lake-bottom viewer.
#include "shell/command_line.h"
#include "shell/program.h"
#include "shell/sdl/platform_sdl.h"
#include "shell/sdl/stop_signals.h"

int main(int argc, char** argv)
{
    install_stop_signals();
    return run_from_command_line(sdl_platform(), PROGRAM_VIEWER, argc - 1, argv + 1);
}
