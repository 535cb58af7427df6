// tarvelin: the interactive lake-bottom viewer.
#include "shell/program.h"
#include "shell/sdl/platform_sdl.h"
#include "shell/sdl/stop_signals.h"

int main()
{
    install_stop_signals();
    return run_program(sdl_platform(), PROGRAM_VIEWER);
}
