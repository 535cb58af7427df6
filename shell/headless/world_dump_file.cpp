// The world dump streamed into an output file.
#include "shell/headless/world_dump_file.h"

#include "shell/headless/output_file.h"

namespace {

class file_sink : public dump_sink {
public:
    explicit file_sink(output_file& file) : file_(file) {}
    bool put(const void* bytes, size_t size) override { return file_.write(bytes, size); }

private:
    output_file& file_;
};

}  // namespace

bool write_world_dump(const char* path, std::string& error)
{
    output_file file;
    if (!file.open(path, "world dump", error)) return false;
    file_sink sink(file);
    write_world_dump(sink);  // a refused piece is the file's failure, reported by commit
    return file.commit(error);
}
