// Command line of tarvelin_render.
#pragma once
#include <string>
#include <vector>

#include "common/keys.h"

// The keys a script can hold, by name, in the order their events are sent.
struct script_key {
    const char* name;
    int code;  // virtual-key code
};
constexpr script_key SCRIPT_KEYS[] = {
    {"up", VK_CODE_UP}, {"down", VK_CODE_DOWN}, {"left", VK_CODE_LEFT},     {"right", VK_CODE_RIGHT},
    {"q", VK_CODE_Q},   {"a", VK_CODE_A},       {"escape", VK_CODE_ESCAPE}, {"f1", VK_CODE_F1},
};

// A key held over an inclusive range of frames (frames count from 1).
struct key_hold {
    int key;  // virtual-key code
    long first, last;
};

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
    bool help = false;
    bool version = false;
};

// Parses the arguments after the program name. On a bad option returns false
// with a one-line message in `error`.
bool parse_render_options(int argc, const char* const* argv, render_options& options,
                          std::string& error);

// Parses a key script such as "up@800-900,left@850-870,q@900".
bool parse_key_script(const std::string& script, std::vector<key_hold>& keys, std::string& error);

// True when `key` is held in frame `frame` according to the script.
bool key_held(const std::vector<key_hold>& keys, int key, long frame);

// Whether frame `frame` is to be saved.
bool frame_wanted(const render_options& options, long frame);
