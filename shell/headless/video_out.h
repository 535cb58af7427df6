// Video files of tarvelin_render's frames, encoded through FFmpeg's libraries on a thread of their own.
//
// The container and codec follow the file name: .mp4 is H.264 in 4:2:0 with
// its index at the front (plays in browsers), .webm is VP9 in 4:2:0, .mkv is
// FFV1 in RGB, lossless. 4:2:0 needs even sides: a frame with an odd
// side is padded by repeating its last column or row. 60 frames a second.
//
// The file is written as every output file is (output_file.h): a temporary
// renamed over the target once the video is complete, so that a failed or
// abandoned video leaves the earlier file as it was.
#pragma once
#include <memory>
#include <string>
#include <vector>

enum video_format { VIDEO_NONE, VIDEO_MP4, VIDEO_WEBM, VIDEO_MKV };

constexpr int VIDEO_FRAME_RATE = 60;

// The format a file name asks for by its extension (any case); VIDEO_NONE
// for any other name.
video_format video_format_of(const std::string& path);

// Checks before the first frame that the video can be written at `path`: as
// check_output_path, and an MP4 file, which is rewritten at its end, must be
// a regular file. False with a one-line message.
bool check_video_path(const std::string& path, std::string& error);

// One video being written. Frames handed over queue up (a few at most, then
// add_frame waits) and are converted and encoded by the writer's thread,
// while the caller draws the next ones.
class video_writer {
public:
    video_writer();
    // A video not finished is dropped: the earlier file stays.
    ~video_writer();
    video_writer(const video_writer&) = delete;
    video_writer& operator=(const video_writer&) = delete;

    // Opens the file's temporary and starts the writer's thread. False with
    // a one-line message when the file cannot be made.
    bool start(const std::string& path, std::string& error);
    // A buffer for the next frame, with the memory of one the writer is done
    // with where there is one.
    std::vector<unsigned char> take_buffer();
    // Hands over the next frame: 8-bit RGB, rows top first or bottom first
    // (as OpenGL reads them), every frame of one size. False with a one-line
    // message once the writer has failed.
    bool add_frame(std::vector<unsigned char>&& rgb, int width, int height, bool bottom_first, std::string& error);
    // Encodes what is left, completes the file and renames it over the
    // target. False with a one-line message.
    bool finish(std::string& error);

private:
    struct shared;
    std::unique_ptr<shared> state;
};
