// Test helper: the world dump written to a plain file through a sink.
#include "tests/support/dump_file.h"

#include <cstdio>

#include "scene/world_dump.h"

namespace {

class file_sink : public dump_sink {
public:
    explicit file_sink(std::FILE* file) : file_(file) {}
    bool put(const void* bytes, size_t size) override
    {
        return std::fwrite(bytes, 1, size, file_) == size;
    }

private:
    std::FILE* file_;
};

}  // namespace

bool write_test_dump(const char* path, std::string& error)
{
    std::FILE* file = std::fopen(path, "wb");
    if (!file) {
        error = std::string("cannot open '") + path + "'";
        return false;
    }
    file_sink sink(file);
    const bool written = write_world_dump(sink);
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) error = std::string("cannot write '") + path + "'";
    return written && closed;
}
