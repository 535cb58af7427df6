// The progress of a long run: one line on standard error, rewritten in place, where standard error is a terminal.
#pragma once
#include <chrono>
#include <string>

// "frame 450 of 900 (50%), 118 frames/s, 0:04 left", without the time left
// once the last frame is done: `rate` in frames per second, 0 when not known
// yet.
std::string progress_text(long frame, long total, double rate);

// Shows the line once a run has taken a second, and rewrites it a few
// times a second; nothing where standard error is not a terminal.
class progress_line {
public:
    explicit progress_line(long total);
    ~progress_line() { end(); }
    progress_line(const progress_line&) = delete;
    progress_line& operator=(const progress_line&) = delete;

    // Frame `frame` is done.
    void update(long frame);
    // Ends the line, if one was shown, so that what follows starts on a line
    // of its own. Later updates show nothing.
    void end();

private:
    using clock = std::chrono::steady_clock;
    long total;
    bool shown = false, enabled;
    clock::time_point start, last_shown;
    long last_frame = 0;    // the frame of the last rate sample
    double rate = 0;        // frames per second, smoothed
    size_t last_width = 0;  // characters of the line shown
    long frame_now = 0;
};
