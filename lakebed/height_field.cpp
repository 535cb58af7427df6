// Lake-bed generation: bowl, pits, spike removal, peak smoothing, colours.
//
// Every height is a float computed in double precision, and the generator's
// draws follow a fixed order, so the bed comes out the same on every start.
// The pit pass walks only the border of each ring and draws the random
// numbers lazily: a vertex whose outcome cannot depend on its first number
// only counts that number, and the generator is skipped ahead in one step
// when a value is next needed. The draws and the results are those of the
// plain loop over every vertex of each ring's square.
#include "lakebed/height_field.h"

#include <array>

#include "common/random.h"
#include "common/world.h"

namespace {

inline int32_t bowl_g(int i, int j)
{
    return 1000000 - (i - 1000) * (i - 1000) - (j - 1000) * (j - 1000);
}

void fill_bowl()
{
    for (int i = 0; i < BED_SIZE; ++i)
        for (int j = 0; j < BED_SIZE; ++j)
            world.bed_height[i][j] = bowl_height(i, j);
}

// Lazy generator for the pit pass: `pending` draws have been made but their
// values were not needed yet. Skipping k steps is one multiply-add with the
// precomputed composite step.
struct lazy_random {
    static constexpr int JUMP_LIMIT = 4096;
    std::array<uint32_t, JUMP_LIMIT + 1> jump_mul;
    std::array<uint32_t, JUMP_LIMIT + 1> jump_add;
    uint32_t state;
    int pending = 0;

    explicit lazy_random(uint32_t start) : state(start)
    {
        jump_mul[0] = 1;
        jump_add[0] = 0;
        for (int k = 1; k <= JUMP_LIMIT; ++k) {
            jump_mul[k] = jump_mul[k - 1] * RANDOM_MULTIPLIER;
            jump_add[k] = jump_add[k - 1] * RANDOM_MULTIPLIER + RANDOM_INCREMENT;
        }
    }
    inline void skip()
    {
        if (++pending == JUMP_LIMIT) flush();
    }
    inline void flush()
    {
        state = state * jump_mul[pending] + jump_add[pending];
        pending = 0;
    }
    // The value of the next draw, after the pending ones.
    inline int next()
    {
        const int k = pending + 1;
        state = state * jump_mul[k] + jump_add[k];
        pending = 0;
        return (int)((state >> 16) & 0x7FFF);
    }
};

// One visited ring vertex of a pit with ring height t.
inline void lower_ring_vertex(lazy_random& rng, int a, int b, float t)
{
    float& cur = world.bed_height[a][b];
    const double base = (double)t - 10.0;  // k + t - 10 == k + (t - 10) exactly
    const double current = cur;
    if (base >= current) {
        // Even the smallest first number (0) leaves it: one draw, value unused.
        rng.skip();
        return;
    }
    if (base + 19.0 >= current) {
        // The first number decides.
        const int k1 = rng.next() % 20;
        if ((double)k1 + (double)t - 10.0 >= current) return;
    } else {
        rng.skip();  // lowered whatever the first number is
    }
    const int k2 = rng.next() % 20;
    float stored = (float)((double)k2 + (double)t - 10.0);
    if ((double)stored >= level_line(a, b)) stored = bowl_height(a, b);
    cur = stored;
}

void punch_pits(lake_bed_stats* stats)
{
    const int pit_count = 17000 + next_random() % 7000;
    if (stats) stats->pit_count = pit_count;
    lazy_random rng(world.random_state);
    for (int pit = 0; pit < pit_count; ++pit) {
        const int ci = 100 + rng.next() % 1800;
        const int cj = 100 + rng.next() % 1800;
        const int f = 300 - rng.next() % 200;
        if (pit == 0 && stats) {
            stats->first_pit_i = ci;
            stats->first_pit_j = cj;
            stats->first_pit_rim = f;
        }
        const float h = (float)((double)f - 0.001 * (double)bowl_g(ci, cj));
        world.bed_height[ci][cj] = h;
        for (int s = 1; s <= 49; ++s) {
            const float t = (float)((double)h + 4.0 * s);
            // Row a = ci - s: every b.
            for (int b = cj - s; b <= cj + s; ++b) lower_ring_vertex(rng, ci - s, b, t);
            // Inner rows: only the two end columns.
            for (int a = ci - s + 1; a <= ci + s - 1; ++a) {
                lower_ring_vertex(rng, a, cj - s, t);
                lower_ring_vertex(rng, a, cj + s, t);
            }
            // Row a = ci + s: every b.
            for (int b = cj - s; b <= cj + s; ++b) lower_ring_vertex(rng, ci + s, b, t);
        }
    }
    rng.flush();
    world.random_state = rng.state;
}

// The eight neighbours of (i, j) in the order both clean-up passes use.
constexpr int NEIGHBOUR_DI[8] = {-1, -1, -1, 0, 1, 1, 1, 0};
constexpr int NEIGHBOUR_DJ[8] = {-1, 0, 1, 1, 1, 0, -1, -1};

int remove_spikes()
{
    int replaced = 0;
    for (int i = 1; i < BED_SIZE - 1; ++i) {
        for (int j = 1; j < BED_SIZE - 1; ++j) {
            const double h = world.bed_height[i][j];
            bool spike = true;
            for (int n = 0; n < 8 && spike; ++n) {
                const int diff =
                    (int)(h - (double)world.bed_height[i + NEIGHBOUR_DI[n]][j + NEIGHBOUR_DJ[n]]);
                spike = (diff < 0 ? -diff : diff) > 30;
            }
            if (spike) {
                world.bed_height[i][j] = world.bed_height[i - 1][j - 1];
                ++replaced;
            }
        }
    }
    return replaced;
}

int smooth_peaks()
{
    int replaced = 0;
    for (int i = 1; i < BED_SIZE - 1; ++i) {
        for (int j = 1; j < BED_SIZE - 1; ++j) {
            const double h = world.bed_height[i][j];
            bool peak = true;
            for (int n = 0; n < 8 && peak; ++n)
                peak = h - (double)world.bed_height[i + NEIGHBOUR_DI[n]][j + NEIGHBOUR_DJ[n]] > 5.0;
            if (peak) {
                const double sum = (double)world.bed_height[i - 1][j - 1] +
                                   (double)world.bed_height[i - 1][j + 1] +
                                   (double)world.bed_height[i + 1][j + 1] +
                                   (double)world.bed_height[i + 1][j - 1];
                world.bed_height[i][j] = (float)(0.25 * sum);
                ++replaced;
            }
        }
    }
    return replaced;
}

void colour_bed()
{
    for (int i = 1; i < BED_SIZE - 1; ++i)
        for (int j = 1; j < BED_SIZE - 1; ++j)
            colour_for_height(world.bed_height[i][j], world.bed_colour[i][j]);
}

}  // namespace

float bowl_height(int i, int j)
{
    const double lift = ((i + j) % 2 == 0) ? 300.0 : 301.0;
    return (float)(lift - 0.001 * (double)bowl_g(i, j));
}

double level_line(int i, int j)
{
    return 300.0 - 0.001 * (double)bowl_g(i, j);
}

void colour_for_height(float h, float colour[4])
{
    const float u = (float)(((double)h + 600.0) / 300.0);
    const float dr = (float)((double)(next_random() % 50) / 200.0);
    const float dg = (float)((double)(next_random() % 50) / 200.0);
    colour[0] = (float)((double)u + 1.3 + (double)dr);
    colour[1] = (float)((double)u + 1.3 + (double)dg);
    colour[2] = (float)(1.0 - 0.333 * (double)u);
    colour[3] = 1.0f;
}

void generate_lake_bed(lake_bed_stats* stats)
{
    fill_bowl();
    punch_pits(stats);
    const int spikes = remove_spikes();
    const int peaks = smooth_peaks();
    if (stats) {
        stats->spikes_removed = spikes;
        stats->peaks_smoothed = peaks;
    }
    colour_bed();
}
