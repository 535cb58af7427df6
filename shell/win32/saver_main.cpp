// tarvelin_saver on Windows: the screensaver's entry.
#include <windows.h>

#include "common/world.h"
#include "render/font.h"
#include "shell/saver_args.h"
#include "scene/startup.h"
#include "shell/win32/message_loop.h"
#include "shell/win32/window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int)
{
    // Windows' screensaver settings ask for a configuration dialog (/c) or a
    // preview inside their own window (/p): neither exists, so end at once.
    if (saver_exits_at_once(command_line)) return 0;

    use_font_source({make_gdi_font, free_gdi_font});
    start_world(true);
    world.large_layout = true;
    if (!open_window(WINDOW_TITLE, 1024, 768, 32, true)) return 0;
    return run_message_loop(WINDOW_TITLE);
}
