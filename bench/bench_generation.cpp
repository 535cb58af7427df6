// Start-up generation time: the world's four generators, against a plain
// transcription of the lake-bed loops that walks every vertex of each pit's
// square and draws every number as it comes. Both must build the same bed.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "common/random.h"
#include "common/world.h"
#include "lakebed/height_field.h"
#include "objects/fish.h"
#include "objects/weeds.h"
#include "scene/startup.h"
#include "scene/title.h"

namespace {

double seconds_since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int32_t g_of(int i, int j)
{
    return 1000000 - (i - 1000) * (i - 1000) - (j - 1000) * (j - 1000);
}

// The lake bed, loop for loop as described, with no shortcuts.
void plain_lake_bed()
{
    for (int i = 0; i < BED_SIZE; ++i)
        for (int j = 0; j < BED_SIZE; ++j)
            world.bed_height[i][j] = (float)(((i + j) % 2 == 0 ? 300.0 : 301.0) - 0.001 * g_of(i, j));
    const int n = 17000 + next_random() % 7000;
    for (int pit = 0; pit < n; ++pit) {
        const int ci = 100 + next_random() % 1800;
        const int cj = 100 + next_random() % 1800;
        const int f = 300 - next_random() % 200;
        const float h = (float)(f - 0.001 * g_of(ci, cj));
        world.bed_height[ci][cj] = h;
        for (int s = 1; s <= 49; ++s) {
            for (int a = ci - s; a <= ci + s; ++a) {
                for (int b = cj - s; b <= cj + s; ++b) {
                    if (a != ci - s && a != ci + s && b != cj - s && b != cj + s) continue;
                    const float t = (float)(h + 4.0 * s);
                    const int k1 = next_random() % 20;
                    if (!((double)k1 + t - 10.0 < world.bed_height[a][b])) continue;
                    const int k2 = next_random() % 20;
                    world.bed_height[a][b] = (float)((double)k2 + t - 10.0);
                    if (world.bed_height[a][b] >= 300.0 - 0.001 * g_of(a, b))
                        world.bed_height[a][b] = (float)(((a + b) % 2 == 0 ? 300.0 : 301.0) - 0.001 * g_of(a, b));
                }
            }
        }
    }
    const int di[8] = {-1, -1, -1, 0, 1, 1, 1, 0}, dj[8] = {-1, 0, 1, 1, 1, 0, -1, -1};
    for (int i = 1; i < BED_SIZE - 1; ++i)
        for (int j = 1; j < BED_SIZE - 1; ++j) {
            int count = 0;
            for (int k = 0; k < 8; ++k) {
                const int d = (int)((double)world.bed_height[i][j] - world.bed_height[i + di[k]][j + dj[k]]);
                if ((d < 0 ? -d : d) > 30) ++count;
            }
            if (count == 8) world.bed_height[i][j] = world.bed_height[i - 1][j - 1];
        }
    for (int i = 1; i < BED_SIZE - 1; ++i)
        for (int j = 1; j < BED_SIZE - 1; ++j) {
            int count = 0;
            for (int k = 0; k < 8; ++k)
                if ((double)world.bed_height[i][j] - world.bed_height[i + di[k]][j + dj[k]] > 5.0) ++count;
            if (count == 8)
                world.bed_height[i][j] =
                    (float)(0.25 * ((double)world.bed_height[i - 1][j - 1] + world.bed_height[i - 1][j + 1] +
                                    world.bed_height[i + 1][j + 1] + world.bed_height[i + 1][j - 1]));
        }
    for (int i = 1; i < BED_SIZE - 1; ++i)
        for (int j = 1; j < BED_SIZE - 1; ++j) colour_for_height(world.bed_height[i][j], world.bed_colour[i][j]);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main()
{
    // The record is zero at process start, as in the programs; later runs
    // start from the same values through reset_world, outside the timing.
    std::vector<double> fast;
    for (int run = 0; run < 5; ++run) {
        reset_world(false);
        const auto start = std::chrono::steady_clock::now();
        generate_world();
        fast.push_back(seconds_since(start));
    }
    std::unique_ptr<world_state> reference(new world_state);
    std::memcpy(reference.get(), &world, sizeof world);

    reset_world(false);
    const auto start = std::chrono::steady_clock::now();
    seed_title_points();
    plain_lake_bed();
    generate_weed_beds();
    generate_fish();
    const double plain = seconds_since(start);

    const bool same = std::memcmp(reference.get(), &world, sizeof world) == 0;
    const double best = *std::min_element(fast.begin(), fast.end());
    std::printf("world generation, all four generators:\n");
    std::printf("  optimised: median %.3f s, best %.3f s over %zu runs\n", median(fast), best, fast.size());
    std::printf("  plain loops: %.3f s\n", plain);
    std::printf("  speed-up: %.1fx (median)\n", plain / median(fast));
    std::printf("  same world: %s\n", same ? "yes" : "NO");
    return same ? 0 : 1;
}
