// The screensaver run by a host: the session's start, and its messages as lines on standard error.
#include "shell/saver_session.h"

#include <cstdio>

#include "common/world.h"
#include "render/design_frame.h"
#include "render/picture_fit.h"

namespace {

// Whether a message was written instead of shown in this session.
bool message_written = false;

}  // namespace

void enter_saver_session(window_kind kind, uintptr_t host)
{
    world.fullscreen = false;
    set_picture_fitted(true);
    // A host may destroy its window at any moment, and llvmpipe can crash
    // finishing a design-size frame for a window that has just gone: there
    // frames are drawn at the window's size unless asked otherwise.
    if (kind == WINDOW_IN_HOST && picture_resolution_choice() == RESOLUTION_AUTO)
        set_picture_resolution(RESOLUTION_WINDOW);
    set_window_placement(kind, host);
}

int run_session_windows(const platform& p, const program_scene& scene)
{
    if (window_placement() != WINDOW_IN_HOST) return run_windows(p, scene);
    // The line names the message; the platform's cause is not added to it.
    platform quiet = p;
    quiet.message_box = write_message_line;
    quiet.failure_cause = nullptr;
    message_written = false;
    const int code = run_windows(quiet, scene);
    return message_written ? EXIT_CANNOT_RUN : code;
}

int run_saver_session(const platform& p, window_kind kind, uintptr_t host, const program_options& options)
{
    use_picture_options(options);
    if (!start_program(PROGRAM_SAVER, &p)) return stop_code(p);
    enter_saver_session(kind, host);
    return run_session_windows(p, lake_scene);
}

std::string message_line(message_id id)
{
    const message_text& box = message_text_of(id);
    std::string line = std::string("tarvelin_saver: ") + box.caption + ": " + box.text;
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    return line;
}

message_answer write_message_line(message_id id)
{
    std::fprintf(stderr, "%s\n", message_line(id).c_str());
    std::fflush(stderr);
    message_written = true;
    return ANSWER_NOT_SHOWN;
}
