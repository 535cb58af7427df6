// Benchmark: the per-frame simulation without OpenGL (fish, weeds, bubbles, camera, phases).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "common/world.h"
#include "lakebed/fog.h"
#include "lakebed/water.h"
#include "objects/bubbles.h"
#include "objects/fish.h"
#include "objects/weeds.h"
#include "scene/camera.h"
#include "scene/startup.h"

namespace {

constexpr int WARM_UP_FRAMES = 200;
constexpr int MEASURED_FRAMES = 3000;

volatile int sink_count;

// Everything a frame computes besides its GL calls, in the drivers' order. The
// drawing passes' tests are run too, with the draws themselves left out.
void simulate_frame()
{
    if (world.saver_build) world.camera_yaw = (float)(world.camera_yaw + 1.0);
    advance_fog_phase();
    update_bubbles(world.large_layout);
    if (!world.saver_build) move_camera_from_keys();
    float sx, sz;
    advance_ripples(sx, sz);

    int drawn = 0;
    const float cx = world.camera_x, cz = world.camera_z;
    for (int r = 0; r < world.ribbon_count; ++r)
        if (weed_distance(world.ribbon_table[r], cx, cz) < WEED_DRAW_RADIUS) ++drawn;
    recycle_weeds(world.ribbon_table, world.ribbon_count, cx, cz);
    sway_ribbons();
    for (int r = 0; r < world.leaf_count; ++r)
        if (weed_distance(world.leaf_table[r], cx, cz) < WEED_DRAW_RADIUS) ++drawn;
    recycle_weeds(world.leaf_table, world.leaf_count, cx, cz);

    update_fish(cx, cz);
    world.fish_drawn_count = 0;
    for (const fish_record& f : world.fish_table)
        if (fish_in_sight(f, cx, cz)) ++world.fish_drawn_count;
    sink_count = drawn;
}

// The interactive viewer swims forward, turning now and then.
void press_keys(int frame)
{
    world.keys[VK_CODE_UP] = true;
    world.keys[VK_CODE_LEFT] = frame % 400 < 60;
}

void run(bool saver)
{
    start_world(saver);
    world.title_running = false;
    // An all-zero view volume lets every near object pass the view test: the
    // most work the frame can have.
    for (auto& plane : world.view_frustum)
        for (float& v : plane) v = 0;

    std::vector<double> times;
    times.reserve(MEASURED_FRAMES);
    long fish_seen = 0;
    int most_fish = 0;
    for (int frame = 0; frame < WARM_UP_FRAMES + MEASURED_FRAMES; ++frame) {
        press_keys(frame);
        const auto start = std::chrono::steady_clock::now();
        simulate_frame();
        const auto end = std::chrono::steady_clock::now();
        if (frame < WARM_UP_FRAMES) continue;
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        fish_seen += world.fish_drawn_count;
        most_fish = std::max(most_fish, (int)world.fish_drawn_count);
    }
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    double total = 0;
    for (double t : times) total += t;
    const double mean = total / (double)times.size();
    const double median = sorted[sorted.size() / 2];
    const double p95 = sorted[(size_t)(0.95 * (double)(sorted.size() - 1))];
    std::printf("%-11s %d frames: mean %.3f ms, median %.3f ms, 95%% %.3f ms, worst %.3f ms; "
                "fish in sight %.1f a frame (most %d)\n",
                saver ? "screensaver" : "interactive", MEASURED_FRAMES, mean, median, p95,
                sorted.back(), (double)fish_seen / (double)times.size(), most_fish);
}

}  // namespace

int main()
{
    std::printf("per-frame simulation without OpenGL (bubbles, camera, weed beds, fish, phases)\n");
    run(false);
    run(true);
    return 0;
}
