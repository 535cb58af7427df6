// Output files that are written whole or not at all.
//
// A target that is a regular file, or does not exist yet, is written to a
// uniquely named temporary file in the target's own folder; only a complete,
// flushed file is renamed over the target, so a failed or interrupted write
// leaves the earlier file as it was, and two writers on one path each leave a
// complete file (the last rename wins). A symbolic link is followed and the
// file it points to is replaced; an existing file's permission bits are kept;
// a read-only file is refused and left alone.
//
// Anything else that can be opened for writing (a character device, a FIFO)
// is written to directly, and "-" is standard output.
//
// Temporary files are removed when the process is ended by SIGINT, SIGTERM
// or SIGHUP, and SIGXFSZ is ignored so that a file-size limit fails the write
// instead of killing the process. These signal actions are set on the first
// call of any function here, for each signal whose action is still the default.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

class output_file {
public:
    output_file() = default;
    ~output_file();  // an uncommitted file is abandoned
    output_file(const output_file&) = delete;
    output_file& operator=(const output_file&) = delete;

    // Opens `path`; `what` names the file in messages ("world dump"). On
    // failure returns false with a one-line message in `error`.
    bool open(const std::string& path, const char* what, std::string& error);

    // Buffers and writes `size` bytes; false once any write has failed.
    bool write(const void* bytes, size_t size);

    // Finishes the file: flushes it, and for a temporary file syncs it to
    // disk and renames it over the target. False with a one-line message in
    // `error` when any write or the rename failed; the target is then as it was.
    bool commit(std::string& error);

    // Drops an unfinished file: the temporary file is removed, the target untouched.
    void abandon();

    // True once a write has failed (commit then reports it).
    bool failed() const { return failure_ != 0; }

    // True when the target is written directly rather than through a temporary file.
    bool streaming() const { return streaming_; }
    // The temporary file's path while one exists (empty otherwise).
    const std::string& temporary_path() const { return temporary_; }

private:
    bool flush();
    void close_descriptor();

    int fd_ = -1;
    bool own_fd_ = false;
    bool streaming_ = false;
    int failure_ = 0;  // errno of the first failed write
    int slot_ = -1;    // the temporary file's entry in the signal-cleanup list
    std::string what_, shown_, target_, temporary_;
    std::vector<unsigned char> buffer_;
    size_t used_ = 0;
};

// Checks, writing nothing, that output_file::open(path) can be expected to
// succeed: "-", an existing non-regular file other than a folder, or a
// writable regular file or a new name in a writable folder (symbolic links
// followed). False with a one-line message naming the path.
bool check_output_path(const std::string& path, const char* what, std::string& error);

// Checks that `folder` is a folder this process may create files in.
bool check_output_folder(const std::string& folder, std::string& error);
