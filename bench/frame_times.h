// Figures of a list of frame times: the median, the 95th percentile (nearest rank), the mean and the worst.
#pragma once
#include <algorithm>
#include <cmath>
#include <vector>

struct frame_times {
    double median = 0, p95 = 0, mean = 0, worst = 0;  // all 0 for an empty list
};

inline frame_times summarise_frame_times(std::vector<double> times)
{
    frame_times s;
    if (times.empty()) return s;
    std::sort(times.begin(), times.end());
    const size_t n = times.size();
    s.median = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    s.p95 = times[(size_t)std::ceil(0.95 * (double)n) - 1];
    double sum = 0;
    for (double t : times) sum += t;
    s.mean = sum / (double)n;
    s.worst = times.back();
    return s;
}
