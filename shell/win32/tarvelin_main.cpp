// tarvelin on Windows: the interactive program's entry.
#include <windows.h>

#include "shell/program.h"
#include "shell/win32/platform_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return run_program(win32_platform(), PROGRAM_VIEWER);
}
