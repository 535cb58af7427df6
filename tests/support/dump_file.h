// Test helper: the world dump written to a plain file, for tests that read its sections back.
#pragma once
#include <string>

// Writes the dump of the current world to `path`; false with a message in `error`.
bool write_test_dump(const char* path, std::string& error);
