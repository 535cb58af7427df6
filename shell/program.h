// The program both GUI programs and the headless renderer run: start-up, the window, the loop.
#pragma once

#include <string>

#include "render/design_frame.h"
#include "shell/platform.h"

enum program_kind {
    PROGRAM_VIEWER,  // tarvelin: the two questions, keys, instruments
    PROGRAM_SAVER,   // tarvelin_saver: no questions, full screen, turns by itself
};

// What the loop draws and how a context is set up; `lake_scene` is the real
// one, tests hand in fakes.
struct program_scene {
    bool (*draw_frame)();              // one frame of the frame driver (it also moves the world)
    void (*resize)(int width, int height);
    bool (*setup_gl)();                // the state of a new context, the font included
};
extern const program_scene lake_scene;

// The program's name as the user started it: "tarvelin" or "tarvelin_saver".
const char* program_name(program_kind kind);

// The world of either program, generated in its fixed order, with the
// start values of that program (the screensaver: full screen, large layout);
// failures are reported under the program's name from now on. False when
// the platform's stop_requested cut the generation short.
bool start_program(program_kind kind, const platform* p = nullptr);

// The exit code of the stop signal that has come, 0 if none has.
int stop_code(const platform& p);

// The soft mode's answer: 640 x 480 with the small layout, or the default
// 1024 x 768 with the large one.
void set_soft_mode(bool soft);

// An answer given in advance on the command line, or none (the question is asked).
enum preset_answer {
    PRESET_NONE,
    PRESET_YES,
    PRESET_NO,
};

struct program_options {
    bool help = false;
    bool version = false;
    preset_answer fullscreen = PRESET_NONE;  // --fullscreen / --window
    preset_answer soft = PRESET_NONE;        // --soft / --no-soft
    // --fullscreen=desktop: full screen at the desktop's own resolution, no
    // display-mode change, the picture fitted (the viewer's answer is Yes).
    bool desktop = false;
    picture_resolution resolution = RESOLUTION_AUTO;  // --resolution design|window
    bool fps = false;                                 // --fps: the frame rate in a corner
    std::string record;                               // --record FILE: the swim written there; "" for none
};

// How the front end checks and writes a whole file (shell/output_file.h);
// recording a swim needs it.
struct file_output {
    bool (*check)(const std::string& path, const char* what, std::string& error);
    bool (*write)(const std::string& path, const char* what, const std::string& text, std::string& error);
};
void use_file_output(const file_output& output);

// The viewer's two questions, each unless an option answers it in advance;
// only No to the first and Yes to the second change anything.
void ask_start_questions(const platform& p, const program_options& options);

// Where the windows opened from now on go (shell/platform.h): a window of
// its own (the default), over the desktop or in a host's window. The
// pointer is not yet seen there.
void set_window_placement(window_kind kind, uintptr_t host);
window_kind window_placement();

// Opens the window of world.fullscreen, world.mode_width x world.mode_height
// and sets up its context: the display mode first (offering a window where
// it is missing), then the window, the size handler and the GL state. On a
// failure the platform shows its message and false comes back.
bool open_program_window(const platform& p, const program_scene& scene);

// Closes the window: the desktop's display mode first, then the lists that
// belong to the context (font and shapes), then the context and the window.
void close_program_window(const platform& p);

// For the platform's close_window: a step of closing failed. Its message is
// shown as every other message of the window's program is.
void report_close_failure(message_id id);

// How far the pointer may drift over the desktop-wide window, in pixels
// along either axis, before the screensaver ends.
constexpr int POINTER_MOVE_TOLERANCE = 4;

// Applies one event to the world: the keys table, `active`, `done`, the size.
// Keys outside the table are ignored. In a window of its own pointer events
// mean nothing. Over the desktop, as Windows screensavers do, any key, any
// button and a pointer that has moved more than POINTER_MOVE_TOLERANCE from
// where it was first seen end the program with code 0; a key let go means
// nothing (it was pressed before the window opened). In a host's window the
// keys belong to the host and mean nothing.
void apply_platform_event(const platform_event& event, const program_scene& scene);

// One turn of the loop: one event if one waits; otherwise, once the pacing
// lets the next frame start, a frame when `active` is set, then the F1
// switch. Returns false when the window could not be opened again after F1.
bool run_loop_turn(const platform& p, const program_scene& scene);

// Forgets the last quit code and the last frame's start: the next turn
// starts a frame at once. run_main_loop does this first.
void reset_program_loop();

// The loop, until `done`; then closes the window. Returns the exit code: the
// quit event's code when a quit event ended the loop, EXIT_CANNOT_RUN when
// the window could not be opened again after F1, 0 otherwise. The window
// must be open when it is called.
int run_main_loop(const platform& p, const program_scene& scene);

// The first window, the loop and the platform's finish; returns the exit
// code: the loop's, or EXIT_CANNOT_RUN when a window could not be opened
// (at first or after F1).
int run_windows(const platform& p, const program_scene& scene);

// Exit code of a program that could not run: no display, no window or
// context, a refused fallback.
constexpr int EXIT_CANNOT_RUN = 1;

// The options that shape the picture (full screen at the desktop's size,
// the drawing resolution, the frame rate) for the windows opened from now on.
void use_picture_options(const program_options& options);

// Everything: the platform's start (no display: its line, EXIT_CANNOT_RUN),
// start_program (a stop: its code), the questions (viewer only, and only
// those the options do not answer), run_windows. With --record the file is
// checked before anything else (a path that cannot be written: its line,
// EXIT_CANNOT_RUN); the swim, from the first frame on, is written once the
// loop has ended, by Escape, the window's close button or a stop signal; a
// failed write is a line and EXIT_CANNOT_RUN where the code would be 0.
int run_program(const platform& p, program_kind kind, const program_options& options = program_options());
