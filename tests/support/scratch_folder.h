// Test helper: an empty folder of the system's temporary folder for a test's files.
#pragma once
#include <filesystem>

// <temp>/tarvelin-tests/NAME, removed with everything in it; not created.
inline std::filesystem::path scratch_folder(const char* name)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tarvelin-tests" / name;
    std::filesystem::remove_all(folder);
    return folder;
}
