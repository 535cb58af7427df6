// The world dump written to a file, a device, a FIFO or standard output ("-").
#pragma once
#include <string>

#include "scene/world_dump.h"

// Writes the dump to `path` as an output_file (shell/headless/output_file.h):
// a regular file is replaced only by a complete dump. On failure returns
// false with a one-line message in `error`; an earlier file at `path` is
// then left as it was and no temporary file remains.
bool write_world_dump(const char* path, std::string& error);
