// The world dump: a tagged little-endian snapshot of the world state.
#pragma once
#include <string>

// Writes the dump to `path`. On failure returns false with a message in
// `error` and leaves no file behind.
bool write_world_dump(const char* path, std::string& error);
