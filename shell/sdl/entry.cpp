// The entry shared by tarvelin and tarvelin_saver on SDL2.
#include "shell/sdl/entry.h"

#include <SDL.h>

#include "common/world.h"
#include "render/font.h"
#include "shell/freetype/font_freetype.h"
#include "scene/frame.h"
#include "render/gl_setup.h"
#include "shell/main_loop.h"
#include "shell/pacing.h"
#include "shell/sdl/events.h"
#include "shell/sdl/message_box.h"
#include "shell/sdl/window.h"
#include "scene/startup.h"

namespace {

bool poll_sdl_event(platform_event& event)
{
    SDL_Event sdl_event;
    if (!SDL_PollEvent(&sdl_event)) return false;
    event = platform_event_from_sdl(sdl_event, open_window_id(), open_window_flags());
    return true;
}

// One frame at most every sixtieth of a second; the motion per frame is
// unchanged, only the rate is bounded.
void draw_paced_frame()
{
    const pacing_clock& clock = system_pacing_clock();
    const int64_t start = clock.now_ns();
    run_frame();
    swap_window_buffers();
    wait_for_next_frame(start, clock);
}

// Minimised: nothing to draw, so the loop turns at the frame rate instead
// of spinning.
void idle_turn()
{
    const pacing_clock& clock = system_pacing_clock();
    wait_for_next_frame(clock.now_ns(), clock);
}

bool reopen_window()
{
    return open_window(WINDOW_TITLE, world.mode_width, world.mode_height, 32, world.fullscreen);
}

const platform_seam sdl_seam = {
    poll_sdl_event, on_resize, draw_paced_frame, idle_turn, reopen_window, close_window,
};

// The interactive program's two questions; only No to the first and Yes to
// the second change anything.
void ask_start_questions()
{
    if (ask_yes_no("Start FullScreen?", "Would You Like To Run In Fullscreen Mode?",
                   MESSAGE_ICON_QUESTION) == ANSWER_NO) {
        world.fullscreen = false;
    }
    if (ask_yes_no("Start In A Soft Mode?", "Would You Like To Run In A Soft Mode?",
                   MESSAGE_ICON_QUESTION) == ANSWER_YES) {
        world.mode_width = 640;
        world.mode_height = 480;
        world.large_layout = false;
    } else {
        world.large_layout = true;
    }
}

}  // namespace

int run_program(bool saver_build)
{
    use_font_source({make_freetype_font, free_freetype_font});
    start_world(saver_build);

    if (saver_build) {
        world.large_layout = true;
        world.fullscreen = true;
    } else {
        ask_start_questions();
    }

    // The event queue outlives each window: the F1 switch closes the video
    // subsystem with its window and opens it again.
    if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) return 0;

    int code = 0;
    if (open_window(WINDOW_TITLE, world.mode_width, world.mode_height, 32, world.fullscreen)) {
        code = run_main_loop(sdl_seam);
    }
    SDL_Quit();
    return code;
}
