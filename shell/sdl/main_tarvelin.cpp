// tarvelin: the interactive lake-bottom viewer.
#include "shell/command_line.h"
#include "shell/output_file.h"
#include "shell/posix/stop_signals.h"
#include "shell/sdl/platform_sdl.h"

int main(int argc, char** argv)
{
    install_stop_signals();
    use_file_output({check_output_path, write_text_file});
    return run_from_command_line(sdl_platform(), PROGRAM_VIEWER, argc - 1, argv + 1);
}
