// The message loop: one event or one frame per turn, and the F1 window switch.
#include "shell/main_loop.h"

#include "common/keys.h"
#include "common/world.h"

namespace {

// Exit code carried by the last quit event the loop removed.
int quit_code = 0;

bool key_in_table(int key)
{
    return key >= 0 && key < KEY_TABLE_SIZE;
}

}  // namespace

void apply_platform_event(const platform_event& event, const platform_seam& seam)
{
    switch (event.kind) {
    case PLATFORM_EVENT_KEY_DOWN:
        // Auto-repeat sends further key-downs; the key simply stays set.
        if (key_in_table(event.key)) world.keys[event.key] = true;
        break;
    case PLATFORM_EVENT_KEY_UP:
        if (key_in_table(event.key)) world.keys[event.key] = false;
        break;
    case PLATFORM_EVENT_ACTIVATE:
        world.active = !event.minimised;
        break;
    case PLATFORM_EVENT_RESIZE:
        seam.resize(event.width, event.height);
        break;
    case PLATFORM_EVENT_QUIT:
        quit_code = event.code;
        world.done = true;
        break;
    case PLATFORM_EVENT_OTHER:
        break;
    }
}

bool run_loop_turn(const platform_seam& seam)
{
    platform_event event = {};
    if (seam.poll_event(event)) {
        apply_platform_event(event, seam);
        return true;
    }

    if (world.active) {
        seam.draw_frame();
    } else if (seam.idle) {
        seam.idle();
    }

    // Looked at whether or not a frame was drawn. The flag is cleared before
    // the rebuild, so one key-down makes exactly one switch.
    if (world.keys[VK_CODE_F1]) {
        world.keys[VK_CODE_F1] = false;
        seam.close_window();
        world.fullscreen = !world.fullscreen;
        if (!seam.open_window()) return false;
    }
    return true;
}

int run_main_loop(const platform_seam& seam)
{
    // Escape ends the loop through `done` set by the frame driver, with code 0.
    quit_code = 0;
    while (!world.done) {
        if (!run_loop_turn(seam)) return 0;
    }
    seam.close_window();
    return quit_code;
}
