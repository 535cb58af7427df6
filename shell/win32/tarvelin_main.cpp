// tarvelin on Windows: the interactive program's entry.
#include <windows.h>

#include "common/world.h"
#include "render/font.h"
#include "scene/startup.h"
#include "shell/win32/message_boxes.h"
#include "shell/win32/message_loop.h"
#include "shell/win32/window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    use_font_source({make_gdi_font, free_gdi_font});
    start_world(false);

    if (ask_fullscreen() == IDNO) world.fullscreen = false;
    if (ask_soft_mode() == IDYES) {
        world.mode_width = 640;
        world.mode_height = 480;
        world.large_layout = false;
    } else {
        world.large_layout = true;
    }

    if (!open_window(WINDOW_TITLE, world.mode_width, world.mode_height, 32, world.fullscreen))
        return 0;
    return run_message_loop(WINDOW_TITLE);
}
