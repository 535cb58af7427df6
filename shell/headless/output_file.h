// The files tarvelin_render writes (PNG images, the world dump), each whole or not at all.
//
// A target that is a regular file, or does not exist yet, is written to a
// uniquely named hidden temporary file in the target's own folder; only a
// complete file, synced to disk, is renamed over the target, so a failed or
// interrupted write leaves the earlier file as it was, and two writers on one
// path each leave a complete file (the last rename wins). A symbolic link is
// followed and the file it points to is replaced; an existing file's
// permission bits are kept; a read-only file is refused and left alone.
//
// Anything else that can be opened for writing (a character device, a FIFO)
// is written to directly, and "-" is standard output.
//
// Temporary files are removed when the process is ended by SIGINT, SIGTERM
// or SIGHUP, and SIGXFSZ is ignored so that a file-size limit fails the write
// instead of killing the process. These signal actions are set by the first
// write, for each signal whose action is still the default.
#pragma once
#include <cstddef>
#include <functional>
#include <string>

// Takes the next `size` bytes of the file; false once a write has failed.
using output_sink = std::function<bool(const void* bytes, size_t size)>;

// Writes the file at `path` with what `produce` hands to its sink. `produce`
// returns null when it made the whole contents, or why it could not; the
// file is then dropped. `what` names the file in messages ("world dump", or
// "" for none). False with a one-line message in `error` when the path is
// refused, a write fails or the contents could not be made.
bool write_output_file(const std::string& path, const char* what,
                       const std::function<const char*(const output_sink& put)>& produce, std::string& error);

// Checks, writing nothing, that write_output_file(path) can be expected to
// succeed: "-", an existing non-regular file other than a folder, or a
// writable regular file or a new name in a writable folder (symbolic links
// followed). False with a one-line message naming the path.
bool check_output_path(const std::string& path, const char* what, std::string& error);

// Creates `folder` and the folders above it where missing, and checks that
// this process may create files in it. False with a one-line message.
bool make_output_folder(const std::string& folder, std::string& error);

// An 8-bit image as a PNG file, rows top first, with `channels` bytes a
// pixel: 3 (RGB: frames, compressed fast) or 4 (RGBA, straight alpha:
// icons, compressed best).
bool write_png(const std::string& path, int width, int height, int channels, const unsigned char* pixels,
               std::string& error);

// The dump of the current world (scene/world_dump.h).
bool write_world_dump(const std::string& path, std::string& error);
