// The world dump, a tagged little-endian snapshot of the world state, and a summary in a few lines of text.
#pragma once
#include <cstddef>
#include <cstdio>
#include <functional>

// Where the dump's bytes go, in file order: takes the next `size` bytes;
// false stops the dump.
using dump_sink = std::function<bool(const void* bytes, size_t size)>;

// The largest piece handed to a sink at once: the dump is produced section by
// section in pieces of this size, never held whole in memory.
constexpr size_t DUMP_PIECE_SIZE = 64 * 1024;

// Writes the whole dump to `sink`. False when the sink refused a piece.
bool write_world_dump(const dump_sink& sink);

// Prints which world was generated and how long it took, the lake bed's
// heights, the plants and fish counted, and where the camera is.
void print_world_summary(FILE* out, double generation_seconds);
