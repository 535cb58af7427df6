// The platform seam without a display: an offscreen context, the key script as events, a clock that never waits.
#include "shell/headless/platform_headless.h"

#include <chrono>
#include <iterator>

#include "common/gl.h"
#include "common/world.h"
#include "render/gl_setup.h"
#include "scene/icon.h"
#include "shell/freetype/font_freetype.h"
#include "shell/headless/egl_context.h"
#include "shell/program.h"

namespace {

// Where the run is.
struct run_state {
    headless_run* run = nullptr;
    long frame = 0;       // frames drawn so far
    int next_key = 0;     // the script key whose event comes next, for frame + 1
    bool title = false;   // whether the frame being drawn is a title frame
    int quit_code = -1;   // -1 until the run is to end
    std::chrono::steady_clock::time_point frame_start;
    int64_t now = 0;         // the pacing's clock: frames need no real waiting here
    bool size_due = false;   // a window of the run's size opened: that size is the next event
} state;

// The window's part of opening: the context.
bool open_window(const window_request& request, message_id& failure)
{
    const headless_run& run = *state.run;
    const bool own_size = run.width > 0;
    if (!create_render_context(own_size ? run.width : request.width, own_size ? run.height : request.height,
                               state.run->error)) {
        failure = MESSAGE_NO_RENDERING_CONTEXT;
        return false;
    }
    state.size_due = own_size;
    return true;
}

// The key script as the events a keyboard would send: before each frame,
// every script key goes down if the script holds it in that frame and up
// otherwise (a key held over several frames repeats, as auto-repeat does, so
// a held F1 rebuilds the context once per frame). When the frames are done,
// or a frame's work failed, the run ends with a quit event.
bool poll_event(platform_event& event)
{
    const headless_run& run = *state.run;
    event = {};
    if (state.quit_code < 0 && state.frame >= run.frames) state.quit_code = 0;
    if (state.quit_code >= 0) {
        event.kind = PLATFORM_EVENT_QUIT;
        event.code = state.quit_code;
    } else if (state.size_due) {
        state.size_due = false;
        event.kind = PLATFORM_EVENT_RESIZE;
        event.width = run.width;
        event.height = run.height;
    } else if (state.next_key < (int)std::size(SCRIPT_KEYS)) {
        const int key = SCRIPT_KEYS[state.next_key++].code;
        event.kind = key_held(run.keys, key, state.frame + 1) ? PLATFORM_EVENT_KEY_DOWN : PLATFORM_EVENT_KEY_UP;
        event.key = key;
    } else {
        // The queue is empty: the frame is drawn next, and timed from here.
        state.title = world.title_running;
        state.frame_start = std::chrono::steady_clock::now();
        return false;
    }
    return true;
}

// The end of a frame: its time, and the next frame's key events.
void swap_buffers()
{
    glFinish();  // as the buffer swap would: the frame is drawn before it counts
    const std::chrono::duration<double, std::milli> time = std::chrono::steady_clock::now() - state.frame_start;
    ++state.frame;
    state.next_key = 0;
    if (state.run->frame_done && !state.run->frame_done(state.frame, state.title, time.count())) state.quit_code = 1;
}

bool wait_until(int64_t deadline_ns)
{
    if (state.now < deadline_ns) state.now = deadline_ns;
    return true;
}

// Nothing is shown: the message goes to the run's error, unless a more
// precise one (the context's) is there already.
message_answer message_box(message_id id)
{
    if (state.run->error.empty()) state.run->error = message_text_of(id).text;
    return ANSWER_NO;
}

const platform headless = {
    nullptr,
    nullptr,
    [](message_id&) { return true; },    // there is no display to open ...
    [](int, int, int) { return true; },  // ... nor a display mode to change
    [] {},
    open_window,
    render_context_exists,
    destroy_render_context,
    swap_buffers,
    poll_event,
    [] { return state.now; },
    wait_until,
    message_box,
    {make_freetype_font, free_freetype_font},
    nullptr,  // the run's error already holds the cause
};

}  // namespace

const platform& headless_platform(headless_run& run)
{
    state = run_state{};
    state.run = &run;
    return headless;
}

bool render_icon(int size, std::vector<unsigned char>& rgba, std::string& error)
{
    if (size < ICON_MIN_SIZE || size > ICON_MAX_SIZE) {
        error = "icon size must be from " + std::to_string(ICON_MIN_SIZE) + " to " + std::to_string(ICON_MAX_SIZE);
        return false;
    }
    headless_run run;
    run.width = run.height = size * ICON_SUPERSAMPLE;
    const platform& p = headless_platform(run);
    // The state of a new context, and no size handler: the icon places its own camera.
    const program_scene icon_scene = {nullptr, [](int, int) {}, setup_gl};
    if (!open_program_window(p, icon_scene)) {
        error = run.error;
        return false;
    }
    draw_icon_samples(size);
    int width, height;
    const std::vector<unsigned char> samples = read_render_frame(width, height);
    close_program_window(p);
    rgba = icon_from_samples(size, samples);
    return true;
}
