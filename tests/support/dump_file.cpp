// Test helper: the world dump written to a plain file through a sink.
#include "tests/support/dump_file.h"

#include <cstdio>

#include "scene/world_dump.h"

bool write_test_dump(const char* path, std::string& error)
{
    std::FILE* file = std::fopen(path, "wb");
    if (!file) {
        error = std::string("cannot open '") + path + "'";
        return false;
    }
    const bool written = write_world_dump(
        [file](const void* bytes, size_t size) { return std::fwrite(bytes, 1, size, file) == size; });
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) error = std::string("cannot write '") + path + "'";
    return written && closed;
}
