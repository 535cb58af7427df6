// Command line of tarvelin_render.
#pragma once
#include <string>
#include <vector>

#include "common/key_script.h"
#include "common/swim_record.h"
#include "render/design_frame.h"

struct render_options {
    bool saver = false;       // screensaver world and frame driver
    bool soft = false;        // the 640 x 480 soft mode of the interactive program
    bool bench = false;       // print frame-time figures
    bool summary = false;     // print a summary of the generated world
    long frames = 0;          // frames to run
    bool shot_all = false;    // save every frame
    std::vector<long> shots;  // frames to save, in the order given
    std::string out = "shots";  // with --icon: the PNG file
    bool out_given = false;
    std::string dump_world;   // empty: no dump
    std::vector<key_hold> keys;
    int icon_size = 0;        // 0: no icon; else render only the icon at this size
    // --host WxH: the screensaver in a host's window of that size, its
    // picture fitted; 0 x 0 without it.
    int host_width = 0, host_height = 0;
    int size_width = 0, size_height = 0;  // --size WxH: the program's own window of that size
    picture_resolution resolution = RESOLUTION_AUTO;
    // --renderer gles: an OpenGL ES 3 context drawn through the emulation
    // of gles/; gl (the default): desktop OpenGL drawn through directly.
    bool gles = false;
    // --replay FILE: a recorded swim, which gives the program, its answers,
    // the keys and the frame count; "" for none.
    std::string replay;
    swim_record recording;
    bool help = false;
    bool version = false;
};

// The largest frame drawn offscreen: sides up to 8192 pixels, and no more
// pixels than 7680 x 4320 (8K), so that one frame's buffers stay within a few
// hundred megabytes.
constexpr long FRAME_SIDE_LIMIT = 8192, FRAME_PIXEL_LIMIT = 7680L * 4320L;

// Parses the arguments after the program name. Every option is given once,
// except --shot and --keys, whose lists add up. On a mistake returns false
// with a one-line message in `error`.
bool parse_render_options(int argc, const char* const* argv, render_options& options,
                          std::string& error);

// Whether frame `frame` is to be saved.
bool frame_wanted(const render_options& options, long frame);
