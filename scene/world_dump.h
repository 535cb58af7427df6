// The world dump: a tagged little-endian snapshot of the world state.
#pragma once
#include <cstddef>

// Where the dump's bytes go, in file order.
class dump_sink {
public:
    virtual ~dump_sink() = default;
    // Takes the next `size` bytes; false stops the dump.
    virtual bool put(const void* bytes, size_t size) = 0;
};

// The largest piece handed to a sink at once: the dump is produced section by
// section in pieces of this size, never held whole in memory.
constexpr size_t DUMP_PIECE_SIZE = 64 * 1024;

// Writes the whole dump to `sink`. False when the sink refused a piece.
bool write_world_dump(dump_sink& sink);
