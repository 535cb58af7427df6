// Lake-bed generation: the pitted bowl and its colours, built once at start-up.
#pragma once
#include <cstdint>

// What generate_lake_bed did, for tests and tools.
struct lake_bed_stats {
    int pit_count;
    int first_pit_i, first_pit_j, first_pit_rim;
    int spikes_removed;
    int peaks_smoothed;
};

// Fills bed_height and bed_colour, drawing from next_random.
// Between its passes it asks `stopped`, when given, and ends early (false,
// the bed half made) once it says yes (it may also set a code: a stop
// signal's exit code, which the bed ignores).
bool generate_lake_bed(lake_bed_stats* stats = nullptr, bool (*stopped)(int& code) = nullptr);

// The colour of a vertex at height h; draws two numbers.
void colour_for_height(float h, float colour[4]);

// The bowl value B(i, j) and the level line L(i, j).
float bowl_height(int i, int j);
double level_line(int i, int j);
