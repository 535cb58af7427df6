// The Win32 message loop: one message per turn, a frame whenever the queue is empty.
#include "shell/win32/message_loop.h"

#include <windows.h>

#include "common/world.h"
#include "scene/frame.h"
#include "shell/win32/frame_pacing.h"
#include "shell/win32/window.h"

int run_message_loop(const char* title)
{
    MSG last_message = {};
    bool quit_received = false;
    while (!world.done) {
        MSG message;
        if (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            last_message = message;
            if (message.message == WM_QUIT) {
                world.done = true;
                quit_received = true;
            } else {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            continue;
        }

        // The queue is empty. Frames are held to 60 a second; a message that
        // arrives while waiting is handled first.
        if (!wait_for_frame_tick()) continue;
        start_frame_period();
        if (world.active) {
            run_frame();
            SwapBuffers(win32.device_context);
        }
        // F1 is looked at whether or not a frame was drawn; the flag is
        // cleared first, so one key-down makes one switch.
        if (world.keys[VK_F1]) {
            world.keys[VK_F1] = false;
            close_window();
            world.fullscreen = !world.fullscreen;
            if (!open_window(title, world.mode_width, world.mode_height, 32, world.fullscreen))
                return 0;
        }
    }
    close_window();
    // A run ended by Escape ends normally: its code is 0, not whatever the
    // last key message carried.
    return quit_received ? (int)last_message.wParam : 0;
}
