// The program on any platform: start values, questions, opening and closing windows, the loop, F1.
#include "shell/program.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "common/keys.h"
#include "common/swim_record.h"
#include "common/world.h"
#include "render/font.h"
#include "render/gl_setup.h"
#include "render/picture_fit.h"
#include "scene/frame.h"
#include "scene/frame_rate.h"
#include "scene/startup.h"
#include "shell/pacing.h"

namespace {

// Colour depth asked of every window and display mode.
constexpr int COLOUR_BITS = 32;

// Exit code carried by the last quit event the loop removed.
int quit_code = 0;
// When the last frame started, for the pacing.
frame_pacer pacer;
// Where windows go, and where the pointer was first seen over the desktop.
window_kind placement = WINDOW_OWN;
uintptr_t placement_host = 0;
bool pointer_seen = false;
int pointer_x = 0, pointer_y = 0;
// The platform whose window close_program_window is closing.
const platform* closing = nullptr;
// Whether the last window's opening ended with the offered window declined.
bool declined = false;
// Whether full screen keeps the desktop's resolution (no display-mode change).
bool desktop_fullscreen = false;

// The name on the standard-error line of a failure.
const char* reported_name = "tarvelin";

// The swim being recorded (--record), or null; and how its file is written.
swim_recorder* recorder = nullptr;
file_output files = {nullptr, nullptr};

// The platform's own words for why the last step failed, or "".
std::string cause_of(const platform& p)
{
    const char* cause = p.failure_cause ? p.failure_cause() : nullptr;
    return cause ? cause : "";
}

// Shows the box of `id`. Where none could be shown, its text goes to
// standard error with the platform's cause, so that it is not lost.
message_answer show_message(const platform& p, message_id id)
{
    const message_answer answer = p.message_box(id);
    if (answer == ANSWER_NOT_SHOWN && p.failure_cause) {
        const message_text& box = message_text_of(id);
        std::fprintf(stderr, "%s: %s\n(no message box: %s)\n", box.caption, box.text, cause_of(p).c_str());
    }
    return answer;
}

// Shows the box of a failure and writes one line on standard error with
// the platform's `cause` (taken before anything could change it), so that
// a failure is seen, once, whether a box could be shown or not.
void report_failure(const platform& p, message_id id, const std::string& cause)
{
    p.message_box(id);
    if (!p.failure_cause) return;
    if (cause.empty())
        std::fprintf(stderr, "%s: %s\n", reported_name, message_text_of(id).text);
    else
        std::fprintf(stderr, "%s: %s (%s)\n", reported_name, message_text_of(id).text, cause.c_str());
}

bool key_in_table(int key)
{
    return key >= 0 && key < KEY_TABLE_SIZE;
}

bool pointer_moved_away(int x, int y)
{
    if (!pointer_seen) {
        // The first position is where the pointer rested when the window
        // opened: Windows reports it without any movement.
        pointer_seen = true;
        pointer_x = x;
        pointer_y = y;
        return false;
    }
    return std::abs(x - pointer_x) > POINTER_MOVE_TOLERANCE ||
           std::abs(y - pointer_y) > POINTER_MOVE_TOLERANCE;
}

// Over the desktop: any key pressed, any button and a pointer moved away
// end the screensaver.
bool ends_desktop_saver(const platform_event& event)
{
    if (event.kind == PLATFORM_EVENT_POINTER_MOVE) return pointer_moved_away(event.x, event.y);
    return event.kind == PLATFORM_EVENT_KEY_DOWN || event.kind == PLATFORM_EVENT_BUTTON_DOWN;
}

}  // namespace

const program_scene lake_scene = {run_frame, on_resize, setup_gl};

const char* program_name(program_kind kind)
{
    return kind == PROGRAM_SAVER ? "tarvelin_saver" : "tarvelin";
}

bool start_program(program_kind kind, const platform* p)
{
    reported_name = program_name(kind);
    const bool saver = kind == PROGRAM_SAVER;
    const bool whole = start_world(saver, p ? p->stop_requested : nullptr);
    // Every window shows the whole picture, whatever its size.
    set_picture_fitted(true);
    if (saver) {
        world.large_layout = true;
        world.fullscreen = true;
    }
    return whole;
}

void set_soft_mode(bool soft)
{
    if (soft) {
        world.mode_width = 640;
        world.mode_height = 480;
        world.large_layout = false;
    } else {
        world.large_layout = true;
    }
}

void ask_start_questions(const platform& p, const program_options& options)
{
    if (options.fullscreen == PRESET_NONE) {
        if (show_message(p, MESSAGE_ASK_FULLSCREEN) == ANSWER_NO) world.fullscreen = false;
    } else {
        world.fullscreen = options.fullscreen == PRESET_YES;
    }
    if (options.soft == PRESET_NONE)
        set_soft_mode(show_message(p, MESSAGE_ASK_SOFT_MODE) == ANSWER_YES);
    else
        set_soft_mode(options.soft == PRESET_YES);
}

void set_window_placement(window_kind kind, uintptr_t host)
{
    placement = kind;
    placement_host = host;
    pointer_seen = false;
}

window_kind window_placement()
{
    return placement;
}

bool open_program_window(const platform& p, const program_scene& scene)
{
    declined = false;
    use_font_source(p.font);
    message_id failure = MESSAGE_INITIALIZATION_FAILED;
    if (!p.open_display(failure)) {
        report_failure(p, failure, cause_of(p));
        return false;
    }

    if (world.fullscreen && !desktop_fullscreen &&
        !p.enter_display_mode(world.mode_width, world.mode_height, COLOUR_BITS)) {
        // Why there is no such mode, before the question can change it.
        const std::string cause = cause_of(p);
        declined = show_message(p, MESSAGE_ASK_WINDOWED_FALLBACK) != ANSWER_YES;
        if (declined) {
            report_failure(p, MESSAGE_PROGRAM_WILL_CLOSE, cause);
            return false;
        }
        world.fullscreen = false;
    }

    const window_request request = {WINDOW_TITLE, world.mode_width, world.mode_height, COLOUR_BITS,
                                    world.fullscreen, placement, placement_host, desktop_fullscreen};
    if (!p.open_window(request, failure)) {
        // Undo the half-made window, then report the step that failed (its
        // cause first: closing may overwrite the platform's error).
        const std::string cause = cause_of(p);
        close_program_window(p);
        report_failure(p, failure, cause);
        return false;
    }

    scene.resize(world.mode_width, world.mode_height);
    if (!scene.setup_gl()) {
        close_program_window(p);
        report_failure(p, MESSAGE_INITIALIZATION_FAILED, cause_of(p));
        return false;
    }
    return true;
}

void close_program_window(const platform& p)
{
    if (world.fullscreen) p.leave_display_mode();
    // The font's lists and the cached shapes belong to this context; the
    // next context must build its own.
    if (p.has_context()) release_context_lists();
    closing = &p;
    p.close_window();
    closing = nullptr;
}

void report_close_failure(message_id id)
{
    if (closing) show_message(*closing, id);
}

void apply_platform_event(const platform_event& event, const program_scene& scene)
{
    if (placement == WINDOW_OVER_DESKTOP && ends_desktop_saver(event)) {
        quit_code = 0;
        world.done = true;
        return;
    }
    // A host's keys are the host's; over the desktop a key let go was
    // pressed before the window opened.
    const bool key = event.kind == PLATFORM_EVENT_KEY_DOWN || event.kind == PLATFORM_EVENT_KEY_UP;
    if (key && placement != WINDOW_OWN) return;
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
        scene.resize(event.width, event.height);
        break;
    case PLATFORM_EVENT_QUIT:
        quit_code = event.code;
        world.done = true;
        break;
    case PLATFORM_EVENT_POINTER_MOVE:
    case PLATFORM_EVENT_BUTTON_DOWN:
    case PLATFORM_EVENT_OTHER:
        break;
    }
}

bool run_loop_turn(const platform& p, const program_scene& scene)
{
    platform_event event = {};
    if (p.poll_event(event)) {
        apply_platform_event(event, scene);
        return true;
    }

    // The queue is empty. Frames are held to 60 a second, minimised or not;
    // an event that arrives during the wait is handled first.
    if (!pace_frame(pacer, {p.now_ns, p.wait_until})) return true;
    if (world.active) {
        if (recorder) recorder->frame(world.keys);
        scene.draw_frame();
        p.swap_buffers();
    }

    // Looked at whether or not a frame was drawn. The flag is cleared before
    // the rebuild, so one key-down makes exactly one switch.
    if (world.keys[VK_CODE_F1]) {
        world.keys[VK_CODE_F1] = false;
        close_program_window(p);
        world.fullscreen = !world.fullscreen;
        if (open_program_window(p, scene)) return true;
        // The failure has been reported; unless the window offered instead
        // was declined, the kind that was open a moment ago opens again.
        world.fullscreen = !world.fullscreen;
        if (declined || !open_program_window(p, scene)) return false;
    }
    return true;
}

void reset_program_loop()
{
    quit_code = 0;
    pacer = frame_pacer();
}

int run_main_loop(const platform& p, const program_scene& scene)
{
    // Escape ends the loop through `done` set by the frame driver, with code 0.
    reset_program_loop();
    while (!world.done) {
        if (!run_loop_turn(p, scene)) return EXIT_CANNOT_RUN;
    }
    close_program_window(p);
    return quit_code;
}

// The platform's start; false, with the failure reported, when it has no display.
static bool start_platform(const platform& p)
{
    if (!p.start || p.start()) return true;
    report_failure(p, MESSAGE_NO_DISPLAY, cause_of(p));
    return false;
}

int stop_code(const platform& p)
{
    int code = 0;
    if (p.stop_requested) p.stop_requested(code);
    return code;
}

int run_windows(const platform& p, const program_scene& scene)
{
    int code = EXIT_CANNOT_RUN;
    if (open_program_window(p, scene)) code = run_main_loop(p, scene);
    if (p.finish) p.finish();
    return code;
}

void use_picture_options(const program_options& options)
{
    desktop_fullscreen = options.desktop;
    set_picture_resolution(options.resolution);
    show_frame_rate(options.fps);
}

void use_file_output(const file_output& output)
{
    files = output;
}

// A line on standard error under the program's name; EXIT_CANNOT_RUN.
static int recording_failed(const std::string& error)
{
    std::fprintf(stderr, "%s: %s\n", reported_name, error.c_str());
    return EXIT_CANNOT_RUN;
}

int run_program(const platform& p, program_kind kind, const program_options& options)
{
    use_picture_options(options);
    reported_name = program_name(kind);
    // A recording that cannot be written fails now, not after the swim.
    std::string error;
    if (!options.record.empty() && !files.check) return recording_failed("this build cannot record a swim");
    if (!options.record.empty() && !files.check(options.record, "recording", error)) return recording_failed(error);
    // Where nothing can be shown, say so before the questions and the world.
    if (!start_platform(p)) return EXIT_CANNOT_RUN;
    if (!start_program(kind, &p)) {
        if (p.finish) p.finish();
        return stop_code(p);
    }
    if (kind == PROGRAM_VIEWER) ask_start_questions(p, options);
    std::optional<swim_recorder> swim;
    if (!options.record.empty()) swim.emplace(kind == PROGRAM_SAVER, world.fullscreen, !world.large_layout);
    recorder = swim ? &*swim : nullptr;
    const int code = run_windows(p, lake_scene);
    recorder = nullptr;
    if (!swim) return code;
    const swim_camera camera = {world.camera_x, world.camera_y, world.camera_z, world.camera_yaw, world.camera_pitch};
    if (files.write(options.record, "recording", swim->text(camera), error)) return code;
    const int failure = recording_failed(error);
    return code != 0 ? code : failure;  // a stop signal's code stays
}
