// The progress line of tarvelin_render.
#include "shell/headless/progress.h"

#include <unistd.h>

#include <cstdio>

namespace {

constexpr double FIRST_SHOWN = 1.0, SHOWN_EVERY = 0.25;  // seconds

}  // namespace

std::string progress_text(long frame, long total, double rate)
{
    char text[128];
    int n = std::snprintf(text, sizeof text, "frame %ld of %ld (%ld%%)", frame, total,
                          total > 0 ? (long)(100.0 * (double)frame / (double)total) : 100L);
    if (rate > 0 && n > 0 && n < (int)sizeof text && frame >= total) {
        std::snprintf(text + n, sizeof text - (size_t)n, ", %.0f frames/s", rate);
    } else if (rate > 0 && n > 0 && n < (int)sizeof text) {
        const long left = (long)((double)(total - frame) / rate + 0.5);
        if (left >= 3600)
            std::snprintf(text + n, sizeof text - (size_t)n, ", %.0f frames/s, %ld:%02ld:%02ld left", rate,
                          left / 3600, left / 60 % 60, left % 60);
        else
            std::snprintf(text + n, sizeof text - (size_t)n, ", %.0f frames/s, %ld:%02ld left", rate, left / 60,
                          left % 60);
    }
    return text;
}

progress_line::progress_line(long total) : total(total), enabled(isatty(STDERR_FILENO) == 1)
{
    start = last_shown = clock::now();
}

void progress_line::update(long frame)
{
    frame_now = frame;
    if (!enabled) return;
    const clock::time_point now = clock::now();
    const double since = std::chrono::duration<double>(now - last_shown).count();
    if (since < (shown ? SHOWN_EVERY : FIRST_SHOWN)) return;
    // Frames a second over the last moments: the title's frames are drawn
    // far faster than the lake's, and the time left follows the latest.
    const double recent = (double)(frame - last_frame) / since;
    rate = rate > 0 ? 0.7 * rate + 0.3 * recent : recent;
    last_frame = frame;
    last_shown = now;
    std::string text = progress_text(frame, total, rate);
    const size_t width = text.size();
    if (width < last_width) text.append(last_width - width, ' ');  // covers the longer line before
    last_width = width;
    std::fprintf(stderr, "\r%s", text.c_str());
    std::fflush(stderr);
    shown = true;
}

void progress_line::end()
{
    if (shown) {
        // The line as the run ended, with the whole run's rate, then a new line.
        const double seconds = std::chrono::duration<double>(clock::now() - start).count();
        std::string text = progress_text(frame_now, total, seconds > 0 ? (double)frame_now / seconds : rate);
        if (text.size() < last_width) text.append(last_width - text.size(), ' ');
        std::fprintf(stderr, "\r%s\n", text.c_str());
        std::fflush(stderr);
    }
    shown = false;
    enabled = false;
}
