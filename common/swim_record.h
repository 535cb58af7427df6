// Recorded swims: the keys held in each frame drawn, as a small text file
// that replays the same swim anywhere.
//
//   tarvelin swim 1
//   program tarvelin
//   fullscreen yes
//   soft no
//   772 +a
//   811 -a +up
//   850 +left
//   ...
//   frames 1000
//   camera x 3.5 y -2.25 z 41 yaw 120 pitch -39
//
// After the first line (the format's version) come the program and its
// answers, then one line for each frame in which a script key went down (+)
// or up (-), then the number of frames drawn and where the camera was after
// the last of them. Frames count from 1, as in key scripts; numbers are
// written so that reading them back gives the same float bit for bit.
#pragma once
#include <iterator>
#include <string>
#include <vector>

#include "common/key_script.h"

constexpr char SWIM_FIRST_LINE[] = "tarvelin swim 1";

struct swim_camera {
    float x = 0, y = 0, z = 0, yaw = 0, pitch = 0;
};

struct swim_record {
    bool saver = false;  // tarvelin_saver's frame driver, else the viewer's
    bool fullscreen = true;
    bool soft = false;
    long frames = 0;
    std::vector<key_hold> keys;  // the changes as holds, ready for the headless keyboard
    swim_camera camera;
};

// Writes a swim as it is drawn.
class swim_recorder {
public:
    // The start: the program and its answers.
    swim_recorder(bool saver, bool fullscreen, bool soft);
    // Before each frame is drawn: the key table as the frame sees it
    // (indexed by virtual-key code; only the script keys are looked at).
    void frame(const bool* keys);
    long frames() const { return frames_; }
    // The whole file, ended by the frame count and `camera`.
    std::string text(const swim_camera& camera) const;

private:
    std::string lines_;
    bool down_[std::size(SCRIPT_KEYS)] = {};
    long frames_ = 0;
};

// Reads a recording. False with a one-line message (naming the line) in `error`.
bool parse_swim_record(const std::string& text, swim_record& record, std::string& error);

// The first of x, y, z, yaw and pitch that differs, as "yaw: recorded 120,
// replayed 121"; "" when all five are the same floats.
std::string camera_difference(const swim_camera& recorded, const swim_camera& replayed);
