// Lake-bed generation: bowl, pits, spike removal, peak smoothing, colours.
//
// Every height is a float computed in double precision, and the generator's
// draws follow a fixed order, so the bed comes out the same on every start.
// The pit pass visits only the rings' borders, and only the rings that can
// change, and draws the random numbers lazily: a vertex whose outcome cannot
// depend on its first number only counts that number, and the generator is
// skipped ahead in one step when a value is next needed. The draws and the
// results are those of the plain loop over every vertex of each ring's square.
#include "lakebed/height_field.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <system_error>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Composite generator steps: k steps of the generator are x -> mul[k] x + add[k].
// A pit visits at most 9800 ring vertices, so the skips of one pit always fit.
constexpr int JUMP_LIMIT = 1 << 15;
struct jump_step {
    uint32_t mul, add;
};
struct jump_table {
    jump_step step[JUMP_LIMIT];
};

const jump_table& jumps()
{
    static jump_table table = [] {
        jump_table t{};
        t.step[0] = {1, 0};
        for (int k = 1; k < JUMP_LIMIT; ++k)
            t.step[k] = {t.step[k - 1].mul * RANDOM_MULTIPLIER,
                         t.step[k - 1].add * RANDOM_MULTIPLIER + RANDOM_INCREMENT};
        return t;
    }();
    return table;
}

// The pit pass's generator: `pending` numbers have been drawn whose values were
// not needed; the next needed value skips over them in one step.
struct lazy_random {
    const jump_table& jump;
    uint32_t state;
    uint32_t pending;

    inline int next()
    {
        const jump_step& j = jump.step[pending + 1];
        state = state * j.mul + j.add;
        pending = 0;
        return (int)((state >> 16) & 0x7FFF);
    }
    inline void settle()
    {
        state = state * jump.step[pending].mul + jump.step[pending].add;
        pending = 0;
    }
};

// One ring vertex above t - 10, whose first number matters or that is lowered
// whatever that number is. Without LEVEL_CHECK the caller knows that no new
// height can reach the vertex's level line.
template <bool LEVEL_CHECK>
inline void lower_ring_vertex(lazy_random& rng, float& cur, int a, int b, double base)
{
    const double current = cur;
    if (base + 19.0 >= current) {
        const int k1 = rng.next() % 20;
        if ((double)k1 + base >= current) return;
    } else {
        ++rng.pending;
    }
    const int k2 = rng.next() % 20;
    float stored = (float)((double)k2 + base);
    if (LEVEL_CHECK && (double)stored >= level_line(a, b)) stored = bowl_height(a, b);
    cur = stored;
}

// A ring vertex at or below t - 10 keeps its height whatever its first number
// is: that number is only counted. Whether a float height lies above t - 10 is
// decided exactly against the largest float not above it.
inline float largest_float_not_above(double v)
{
    const float f = (float)v;
    return (double)f > v ? std::nextafter(f, -HUGE_VALF) : f;
}

// During the pit pass no height exceeds its level line by more than the
// bowl's one-unit checkerboard (lowered heights stay below the line, pit
// bottoms lie under it), so a ring vertex whose level line lies at least this
// far below t - 10 is left alone whatever its first number is.
constexpr double LEVEL_MARGIN = 1.001;

inline uint64_t low_bits(int len)
{
    return len >= 64 ? ~0ull : (1ull << len) - 1;
}

// Bit k set where row[k] > limit, for k below len (at most 64). Where the
// processor compares four at a time the last group reads up to three floats
// past len, which the caller must own; their bits are dropped. (A comparison
// with a NaN is false either way.)
inline uint64_t heights_above(const float* row, int len, float limit)
{
    uint64_t above = 0;
#if defined(__SSE2__)
    const __m128 bound = _mm_set1_ps(limit);
    for (int k = 0; k < len; k += 4)
        above |= (uint64_t)_mm_movemask_ps(_mm_cmpgt_ps(_mm_loadu_ps(row + k), bound)) << k;
#else
    for (int k = 0; k < len; ++k) above |= (uint64_t)(row[k] > limit) << k;
#endif
    return above & low_bits(len);
}

// The same with a limit of its own for each height; reads as far past len in
// both arrays.
inline uint64_t heights_above_each(const float* row, const float* limit, int len)
{
    uint64_t above = 0;
#if defined(__SSE2__)
    for (int k = 0; k < len; k += 4)
        above |= (uint64_t)_mm_movemask_ps(_mm_cmpgt_ps(_mm_loadu_ps(row + k), _mm_loadu_ps(limit + k))) << k;
#else
    for (int k = 0; k < len; ++k) above |= (uint64_t)(row[k] > limit[k]) << k;
#endif
    return above & low_bits(len);
}

constexpr int RINGS = 49;
// Rows of the square asked for ahead of the sweep.
constexpr int PREFETCH_ROWS = 3;

// One pit's rings, walked vertex by vertex in the order of a row-by-row walk
// of each ring's square: the first row whole, the two end columns of each
// inner row, the last row whole; 8s vertices in ring s. Bit k of ring s is
// set where vertex k of its walk lies above the ring's limit.
struct ring_marks {
    static constexpr int WORDS = (8 * RINGS + 63) / 64;
    uint64_t bits[RINGS + 1][WORDS + 1];  // one spare word for or_at's carry

    void clear(int rings)
    {
        for (int s = 1; s <= rings; ++s)
            for (uint64_t& w : bits[s]) w = 0;
    }
    void set(int s, int k) { bits[s][k >> 6] |= 1ull << (k & 63); }
    // Sets the bits of `mask` from bit k of ring s on.
    void or_at(int s, int k, uint64_t mask)
    {
        const int w = k >> 6, shift = k & 63;
        bits[s][w] |= mask << shift;
        if (shift) bits[s][w + 1] |= mask >> (64 - shift);
    }
};

// Walk index of vertex (ci + r, cj +- d) for d > |r|: an end column of an
// inner row of ring d, the left one first.
inline int side_index(int d, int r, bool right)
{
    return 2 * d + 1 + 2 * (r + d - 1) + (right ? 1 : 0);
}

// The grid position of vertex k of ring s around (ci, cj).
inline void ring_vertex(int ci, int cj, int s, int k, int& a, int& b)
{
    const int top = 2 * s + 1, bottom = 6 * s - 1;
    if (k < top) {
        a = ci - s;
        b = cj - s + k;
    } else if (k < bottom) {
        a = ci - s + 1 + ((k - top) >> 1);
        b = ((k - top) & 1) ? cj + s : cj - s;
    } else {
        a = ci + s;
        b = cj - s + (k - bottom);
    }
}

// Lowers the marked vertices of ring s around (ci, cj), counting the numbers of
// the others.
template <bool LEVEL_CHECK>
inline void walk_ring(lazy_random& rng, const ring_marks& marks, int ci, int cj, int s, double base)
{
    int next = 0;
    for (int w = 0; w < ring_marks::WORDS; ++w) {
        for (uint64_t above = marks.bits[s][w]; above; above &= above - 1) {
            const int k = 64 * w + __builtin_ctzll(above);
            rng.pending += (uint32_t)(k - next);
            next = k + 1;
            int a, b;
            ring_vertex(ci, cj, s, k, a, b);
            lower_ring_vertex<LEVEL_CHECK>(rng, world.bed_height[a][b], a, b, base);
        }
    }
    rng.pending += (uint32_t)(8 * s - next);
}

// Each vertex of a pit's square belongs to exactly one ring, and no ring
// changes another's vertices, so which vertices lie above their ring's limit
// is known before any is lowered. The square is swept row by row first, in
// the order memory holds it; the rings are then walked over the marked
// vertices only, in walk order, counting the numbers of the others.
// Most of start-up: it asks `stop` every 1024 pits (some 20 ms) and ends
// early, false, once it says yes.
template <typename Stop>
bool punch_pits(lake_bed_stats* stats, const Stop& stop)
{
    const int pit_count = 17000 + next_random() % 7000;
    if (stats) stats->pit_count = pit_count;
    lazy_random rng{jumps(), world.random_state, 0};
    double base[RINGS + 1];
    // Room for the comparisons' reads past the last ring.
    float limit[RINGS + 5] = {};
    float limit_reversed[RINGS + 4] = {};
    ring_marks marks;
    for (int pit = 0; pit < pit_count; ++pit) {
        if (pit % 1024 == 1023 && stop()) return false;
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
        for (int s = 1; s <= RINGS; ++s) {
            const float t = (float)((double)h + 4.0 * s);
            base[s] = (double)t - 10.0;  // k + t - 10 == k + (t - 10), exactly
            limit[s] = largest_float_not_above(base[s]);
        }
        // Rings beyond `reach` are left alone whatever their numbers are. The
        // level line is a convex paraboloid, so its highest point on a ring is
        // the corner farthest from the bowl's centre.
        const int far_i = ci >= 1000 ? 1 : -1, far_j = cj >= 1000 ? 1 : -1;
        int reach = RINGS;
        while (reach > 0 && level_line(ci + far_i * reach, cj + far_j * reach) <= base[reach] - LEVEL_MARGIN)
            --reach;
        for (int x = 0; x < reach; ++x) limit_reversed[x] = limit[reach - x];
        marks.clear(reach);

        const int left = cj - reach, right = cj + reach;
        auto prefetch_row = [left, right](int a) {
            for (int b = left; b <= right + 15; b += 16)
                __builtin_prefetch(&world.bed_height[a][b < right ? b : right], 1);
        };
        for (int a = ci - reach; a < ci - reach + PREFETCH_ROWS && a <= ci + reach; ++a) prefetch_row(a);
        // The comparisons read at most three floats past the square's right
        // edge, still inside the row: centres lie in 100..1899.
        static_assert(1899 + RINGS + 3 < BED_SIZE, "a pit's square and the reads past it fit in a row");
        for (int r = -reach; r <= reach; ++r) {
            const int a = ci + r;
            if (a + PREFETCH_ROWS <= ci + reach) prefetch_row(a + PREFETCH_ROWS);
            const float* row = world.bed_height[a];
            const int ar = r < 0 ? -r : r;
            // The middle of the row: the whole first or last row of ring |r|.
            if (ar > 0) {
                const int first = r < 0 ? 0 : 6 * ar - 1;
                for (int k = 0; k < 2 * ar + 1; k += 64) {
                    const int len = std::min(2 * ar + 1 - k, 64);
                    const uint64_t above = heights_above(row + cj - ar + k, len, limit[ar]);
                    if (above) marks.or_at(ar, first + k, above);
                }
            }
            // Either side of it: one end column of each ring d from |r| + 1 out.
            if (reach > ar) {
                for (uint64_t above = heights_above_each(row + cj + ar + 1, limit + ar + 1, reach - ar); above;
                     above &= above - 1) {
                    const int d = ar + 1 + __builtin_ctzll(above);
                    marks.set(d, side_index(d, r, true));
                }
                for (uint64_t above = heights_above_each(row + left, limit_reversed, reach - ar); above;
                     above &= above - 1) {
                    const int d = reach - __builtin_ctzll(above);
                    marks.set(d, side_index(d, r, false));
                }
            }
        }

        for (int s = 1; s <= reach; ++s) {
            // A new height is at most t + 9, a float just above base + 19. Where
            // the ring's square lies wholly above that, its level line is never
            // reached: the line is lowest at the point nearest the bowl's centre.
            if (base[s] + 20.0 >= level_line(std::clamp(1000, ci - s, ci + s), std::clamp(1000, cj - s, cj + s)))
                walk_ring<true>(rng, marks, ci, cj, s, base[s]);
            else
                walk_ring<false>(rng, marks, ci, cj, s, base[s]);
        }
        rng.pending += (uint32_t)(4 * RINGS * (RINGS + 1) - 4 * reach * (reach + 1));
    }
    rng.settle();
    world.random_state = rng.state;
    return true;
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
    // All eight comparisons are made for every vertex: an early exit would
    // branch unpredictably on this pitted ground.
    int replaced = 0;
    for (int i = 1; i < BED_SIZE - 1; ++i) {
        const float* up = world.bed_height[i - 1];
        float* row = world.bed_height[i];
        const float* down = world.bed_height[i + 1];
        for (int j = 1; j < BED_SIZE - 1; ++j) {
            const double h = row[j];
            const bool peak = (h - (double)up[j - 1] > 5.0) & (h - (double)up[j] > 5.0) &
                              (h - (double)up[j + 1] > 5.0) & (h - (double)row[j + 1] > 5.0) &
                              (h - (double)down[j + 1] > 5.0) & (h - (double)down[j] > 5.0) &
                              (h - (double)down[j - 1] > 5.0) & (h - (double)row[j - 1] > 5.0);
            if (peak) {
                const double sum = (double)up[j - 1] + (double)up[j + 1] + (double)down[j + 1] +
                                   (double)down[j - 1];
                row[j] = (float)(0.25 * sum);
                ++replaced;
            }
        }
    }
    return replaced;
}

// The colour of height h from the generator state `state`, advanced by two draws.
inline void colour_from(uint32_t& state, float h, float colour[4])
{
    auto draw = [&state] {
        state = state * RANDOM_MULTIPLIER + RANDOM_INCREMENT;
        return (int)((state >> 16) & 0x7FFF);
    };
    const float u = (float)(((double)h + 600.0) / 300.0);
    // The two shades stay in double precision up to the sum: every world
    // made so far was coloured that way, and a compiler that rounds them to
    // single precision first would colour a few vertices a bit apart.
    const double dr = (double)(draw() % 50) / 200.0;
    const double dg = (double)(draw() % 50) / 200.0;
    colour[0] = (float)((double)u + 1.3 + dr);
    colour[1] = (float)((double)u + 1.3 + dg);
    colour[2] = (float)(1.0 - 0.333 * (double)u);
    colour[3] = 1.0f;
}

void colour_rows(int first, int last, uint32_t state)
{
    for (int i = first; i <= last; ++i)
        for (int j = 1; j < BED_SIZE - 1; ++j) colour_from(state, world.bed_height[i][j], world.bed_colour[i][j]);
}

// Every inner vertex takes exactly two draws, so the lower half of the rows
// can start from a generator skipped ahead and be coloured on a second thread.
void colour_bed()
{
    constexpr int INNER = BED_SIZE - 2;
    constexpr int SPLIT = BED_SIZE / 2;
    const uint32_t start = world.random_state;
    const uint32_t second = random_state_after(start, 2ull * INNER * (SPLIT - 1));
    // Where the system will not start a thread, this one colours those rows too.
    std::thread lower;
#ifndef TARVELIN_ONE_THREAD
    try {
        lower = std::thread(colour_rows, SPLIT, BED_SIZE - 2, second);
    } catch (const std::system_error&) {
    }
#endif
    colour_rows(1, SPLIT - 1, start);
    if (lower.joinable())
        lower.join();
    else
        colour_rows(SPLIT, BED_SIZE - 2, second);
    world.random_state = random_state_after(start, 2ull * INNER * INNER);
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
    colour_from(world.random_state, h, colour);
}

bool generate_lake_bed(lake_bed_stats* stats, bool (*stopped)(int& code))
{
    int code = 0;
    const auto stop = [stopped, &code] { return stopped && stopped(code); };
    fill_bowl();
    if (stop() || !punch_pits(stats, stop) || stop()) return false;
    const int spikes = remove_spikes();
    const int peaks = smooth_peaks();
    if (stats) {
        stats->spikes_removed = spikes;
        stats->peaks_smoothed = peaks;
    }
    if (stop()) return false;
    colour_bed();
    return true;
}
