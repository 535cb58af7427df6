// tarvelin on Windows: the interactive program's entry.
#include <windows.h>

#include <cstdlib>

#include "shell/output_file.h"
#include "shell/program.h"
#include "shell/win32/platform_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    use_file_output({check_output_path, write_text_file});
    return run_from_command_line(win32_platform(), PROGRAM_VIEWER, __argc - 1, __argv + 1,
                                 win32_command_output());
}
