// Files the programs write (images, the world dump, recorded swims), each whole or not at all.
//
// A regular file, or a new one, is written to a temporary in the target's
// folder (nameless where Linux's O_TMPFILE allows, else hidden and uniquely
// named) that replaces the target by a rename once complete and synced: a
// failed or killed write leaves the earlier file as it was, and of two writers
// on one path the last rename wins. Symbolic links are followed; an existing
// file's permission bits are kept; a read-only file is refused and left alone.
// Anything else that can be opened for writing (a device, a FIFO) is written
// to directly, and "-" is standard output.
//
// Named temporaries are removed when SIGINT, SIGTERM or SIGHUP ends the
// process (handlers set by the first write where the action is the default),
// and by the checks below once the process that made them is gone. SIGXFSZ is
// ignored: a file-size limit fails the write instead of killing the process.
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

#ifndef _WIN32
// As write_output_file, for contents that seek in their file or read back
// what they wrote: `produce` also gets the file's descriptor, open for
// reading and writing where it is a temporary (a regular file), for writing
// only where it is streamed. Bytes still go through `put`, so that a failed
// write is reported as such; lseek() and pread() on the descriptor are the
// caller's.
bool write_output_descriptor(const std::string& path, const char* what,
                             const std::function<const char*(int fd, const output_sink& put)>& produce,
                             std::string& error);
#endif

// Checks that write_output_file(path) can be expected to succeed: "-", an
// existing non-regular file other than a folder, or a writable regular file or
// a new name in a writable folder (symbolic links followed). False with a
// one-line message naming the path. Writes nothing, but removes leftovers.
bool check_output_path(const std::string& path, const char* what, std::string& error);

// Creates `folder` and the folders above it where missing, removes
// leftovers in it, and checks that this process may create files in it.
// False with a one-line message.
bool make_output_folder(const std::string& folder, std::string& error);

// `text` as the whole file at `path`, by write_output_file's rules.
bool write_text_file(const std::string& path, const char* what, const std::string& text, std::string& error);
