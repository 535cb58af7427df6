// tarvelin_saver on Windows: the screensaver's entry.
#include <windows.h>

#include "shell/program.h"
#include "shell/saver_args.h"
#include "shell/win32/platform_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int)
{
    // Windows' screensaver settings ask for a configuration dialog (/c) or a
    // preview inside their own window (/p): neither exists, so end at once.
    if (saver_exits_at_once(command_line)) return 0;
    return run_program(win32_platform(), PROGRAM_SAVER);
}
