// The frame loop of tarvelin_render: either program's frames in an offscreen context.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "shell/headless/render_options.h"
#include "shell/platform.h"

// Frame times of a run, in milliseconds.
struct frame_figures {
    long title_frames = 0;            // frames the title sequence drew
    std::vector<double> main_times;   // each main-view frame's run_frame, rendering finished
    long frames_run = 0;              // frames run in all (Escape may end a run early)
    long shots_written = 0;
    std::string renderer;             // GL_RENDERER of the context
};

// Median, 95th percentile (nearest rank) and worst of a list of times; zeros when empty.
void frame_time_summary(std::vector<double> times, double& median, double& p95, double& worst);

// Runs the program's loop on the headless seam: opens the offscreen "window"
// of the world's mode size, runs options.frames frames (the key script as
// key events, F1 rebuilds the context, Escape ends the run), saves the
// wanted frames and closes. Returns 0, or 1 with a one-line message in
// `error` when the folder, a file or the context cannot be made.
int run_render(const render_options& options, frame_figures& figures, std::string& error);

// The seam itself, for the run run_render sets up.
const platform& headless_platform();

// Prints the --bench figures.
void print_frame_figures(FILE* out, const frame_figures& figures, double generation_seconds);
