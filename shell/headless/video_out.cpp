// Video files through libavformat and libavcodec, encoded on a thread of their own.
#include "shell/headless/video_out.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

#include "shell/headless/output_file.h"

namespace {

// The callbacks' buffers take const bytes from libavformat 61 on.
#if LIBAVFORMAT_VERSION_MAJOR >= 61
using written_bytes = const uint8_t*;
#else
using written_bytes = uint8_t*;
#endif

constexpr size_t QUEUE_LIMIT = 3;  // frames waiting for the writer
constexpr int IO_BUFFER = 1 << 16;

std::string av_message(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = "";
    av_strerror(code, text, sizeof text);
    return text;
}

// What each format is made of.
struct format_choice {
    const char* muxer;
    const char* encoder;
    AVPixelFormat pixels;
};

format_choice choice_of(video_format format)
{
    switch (format) {
    case VIDEO_MP4: return {"mp4", "libx264", AV_PIX_FMT_YUV420P};
    case VIDEO_WEBM: return {"webm", "libvpx-vp9", AV_PIX_FMT_YUV420P};
    default: return {"matroska", "ffv1", AV_PIX_FMT_BGR0};
    }
}

// The file's bytes: written through the output file's sink, which reports a
// failed write as such, with seeks on its descriptor.
struct file_io {
    int fd;
    const output_sink* put;
};

int write_bytes(void* opaque, written_bytes bytes, int size)
{
    const file_io& io = *static_cast<file_io*>(opaque);
    return (*io.put)(bytes, (size_t)size) ? size : AVERROR(EIO);
}

int64_t seek_file(void* opaque, int64_t offset, int whence)
{
    const int fd = static_cast<file_io*>(opaque)->fd;
    struct stat st;
    if (whence & AVSEEK_SIZE) return fstat(fd, &st) == 0 ? (int64_t)st.st_size : AVERROR(errno);
    const off_t at = lseek(fd, (off_t)offset, whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : (int64_t)at;
}

// The MP4 muxer moves its index to the front at the end by reading the file
// back through a second context it opens by name: here one that reads the
// same descriptor at its own position.
struct file_reader {
    int fd;
    int64_t position = 0;
};

int read_bytes(void* opaque, uint8_t* bytes, int size)
{
    file_reader& reader = *static_cast<file_reader*>(opaque);
    ssize_t n;
    while ((n = pread(reader.fd, bytes, (size_t)size, (off_t)reader.position)) < 0 && errno == EINTR) {
    }
    if (n < 0) return AVERROR(errno);
    if (n == 0) return AVERROR_EOF;
    reader.position += n;
    return (int)n;
}

int64_t seek_reader(void* opaque, int64_t offset, int whence)
{
    file_reader& reader = *static_cast<file_reader*>(opaque);
    struct stat st;
    if (fstat(reader.fd, &st) != 0) return AVERROR(errno);
    whence &= ~AVSEEK_FORCE;
    if (whence == AVSEEK_SIZE) return (int64_t)st.st_size;
    const int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? reader.position : (int64_t)st.st_size;
    if (base + offset < 0) return AVERROR(EINVAL);
    return reader.position = base + offset;
}

int open_reader(AVFormatContext* format, AVIOContext** pb, const char*, int flags, AVDictionary**)
{
    if (!(flags & AVIO_FLAG_READ) || (flags & AVIO_FLAG_WRITE)) return AVERROR(EINVAL);
    auto* reader = new file_reader{static_cast<file_io*>(format->opaque)->fd};
    auto* buffer = static_cast<unsigned char*>(av_malloc(IO_BUFFER));
    *pb = buffer ? avio_alloc_context(buffer, IO_BUFFER, 0, reader, read_bytes, nullptr, seek_reader) : nullptr;
    if (*pb) return 0;
    av_free(buffer);
    delete reader;
    return AVERROR(ENOMEM);
}

int close_reader(AVFormatContext*, AVIOContext* pb)
{
    delete static_cast<file_reader*>(pb->opaque);
    av_freep(&pb->buffer);
    avio_context_free(&pb);
    return 0;
}

// One frame handed over.
struct queued_frame {
    std::vector<unsigned char> rgb;
    int width, height;
    bool bottom_first;
};

// BT.709 in the video range (luma 16 to 235, colour 16 to 240) from full-range
// RGB, in 16-bit fixed point.
constexpr double KR = 0.2126, KB = 0.0722, KG = 1 - KR - KB;
constexpr double LUMA_SCALE = 219.0 / 255 * 65536, COLOUR_SCALE = 224.0 / 255 * 65536;
constexpr int fixed(double x)
{
    return (int)(x < 0 ? x - 0.5 : x + 0.5);
}
constexpr int Y_R = fixed(KR * LUMA_SCALE), Y_G = fixed(KG * LUMA_SCALE), Y_B = fixed(KB * LUMA_SCALE);
constexpr int U_R = fixed(-KR / (2 * (1 - KB)) * COLOUR_SCALE), U_G = fixed(-KG / (2 * (1 - KB)) * COLOUR_SCALE),
              U_B = -U_R - U_G;  // grey has no colour
constexpr int V_G = fixed(-KG / (2 * (1 - KR)) * COLOUR_SCALE), V_B = fixed(-KB / (2 * (1 - KR)) * COLOUR_SCALE),
              V_R = -V_G - V_B;

// Where the compiler can, the conversion's loops are built twice: for AVX2,
// taken on processors that have it, and for the baseline.
#if defined(__x86_64__) && defined(__has_attribute)
#if __has_attribute(target_clones)
#define VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#endif
#endif
#ifndef VECTOR_CLONES
#define VECTOR_CLONES
#endif

// The luma of a row of `width` RGB pixels.
VECTOR_CLONES void luma_row(const unsigned char* __restrict rgb, int width, uint8_t* __restrict y)
{
    for (int c = 0; c < width; ++c) {
        const unsigned char* p = rgb + 3 * c;
        y[c] = (uint8_t)((Y_R * p[0] + Y_G * p[1] + Y_B * p[2] + (16 << 16) + (1 << 15)) >> 16);
    }
}

// A colour sample from the sums of four pixels' red, green and blue.
uint8_t colour(int r_coefficient, int g_coefficient, int b_coefficient, int r, int g, int b)
{
    return (uint8_t)((r_coefficient * r + g_coefficient * g + b_coefficient * b + (128 << 18) + (1 << 17)) >> 18);
}

// The colour samples of two rows of `pairs` x 2 RGB pixels, each from the
// mean of its two by two pixels; `sums` is room for 6 x `pairs` sums.
VECTOR_CLONES void chroma_rows(const unsigned char* __restrict top, const unsigned char* __restrict bottom, int pairs,
                               uint16_t* __restrict sums, uint8_t* __restrict u, uint8_t* __restrict v)
{
    for (int k = 0; k < 6 * pairs; ++k) sums[k] = (uint16_t)(top[k] + bottom[k]);
    for (int c = 0; c < pairs; ++c) {
        const uint16_t* s = sums + 6 * c;
        const int r = s[0] + s[3], g = s[1] + s[4], b = s[2] + s[5];
        u[c] = colour(U_R, U_G, U_B, r, g, b);
        v[c] = colour(V_R, V_G, V_B, r, g, b);
    }
}

// Two rows of 4:2:0 from two rows of `width` RGB pixels; an odd last column
// is repeated.
void rgb_to_yuv420(const unsigned char* top, const unsigned char* bottom, int width, std::vector<uint16_t>& sums,
                   uint8_t* y_top, uint8_t* y_bottom, uint8_t* u, uint8_t* v)
{
    luma_row(top, width, y_top);
    luma_row(bottom, width, y_bottom);
    const int pairs = width / 2;
    sums.resize(6 * (size_t)pairs);
    chroma_rows(top, bottom, pairs, sums.data(), u, v);
    if (width % 2 == 0) return;
    const unsigned char *a = top + 3 * (width - 1), *b = bottom + 3 * (width - 1);
    y_top[width] = y_top[width - 1];
    y_bottom[width] = y_bottom[width - 1];
    const int r = 2 * (a[0] + b[0]), g = 2 * (a[1] + b[1]), bl = 2 * (a[2] + b[2]);
    u[pairs] = colour(U_R, U_G, U_B, r, g, bl);
    v[pairs] = colour(V_R, V_G, V_B, r, g, bl);
}

// The encoder and muxer of one file, used by the writer's thread only.
class encoder {
public:
    encoder(video_format format, int fd, const output_sink& put) : format(format), io{fd, &put} {}
    ~encoder()
    {
        av_frame_free(&picture);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        avformat_free_context(muxer);
        if (pb) av_freep(&pb->buffer);
        avio_context_free(&pb);
    }

    // Sets up the encoder for frames of width x height. Null, or why not.
    const char* open(int frame_width, int frame_height);
    // Encodes one frame of that size and writes what the encoder gives back.
    const char* add(const queued_frame& frame);
    // Drains the encoder and writes the file's end.
    const char* close();

private:
    const char* fail(const std::string& what, int code)
    {
        message = what + ": " + av_message(code);
        return message.c_str();
    }
    const char* write_packets();
    void convert(const queued_frame& frame);

    video_format format;
    file_io io;
    AVFormatContext* muxer = nullptr;
    AVIOContext* pb = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    AVFrame* picture = nullptr;
    AVPacket* packet = nullptr;
    std::vector<uint16_t> sums;         // room for the conversion's sums of two rows
    int width = 0, height = 0;          // the frames'; the picture's may be larger by one
    int64_t next_pts = 0;
    std::string message;
};

const char* encoder::open(int frame_width, int frame_height)
{
    width = frame_width;
    height = frame_height;
    const format_choice choice = choice_of(format);
    const AVCodec* found = avcodec_find_encoder_by_name(choice.encoder);
    if (!found) {
        message = std::string("FFmpeg's libraries have no ") + choice.encoder + " encoder";
        return message.c_str();
    }
    int code = avformat_alloc_output_context2(&muxer, nullptr, choice.muxer, nullptr);
    if (code < 0) return fail(std::string("no ") + choice.muxer + " muxer", code);
    auto* buffer = static_cast<unsigned char*>(av_malloc(IO_BUFFER));
    pb = buffer ? avio_alloc_context(buffer, IO_BUFFER, 1, &io, nullptr, write_bytes, seek_file) : nullptr;
    codec = avcodec_alloc_context3(found);
    picture = av_frame_alloc();
    packet = av_packet_alloc();
    if (!buffer || !pb || !codec || !picture || !packet) {
        if (!pb) av_free(buffer);
        return fail("out of memory", AVERROR(ENOMEM));
    }
    // A pipe or a device cannot seek: the file is then written front to back.
    pb->seekable = lseek(io.fd, 0, SEEK_CUR) >= 0 ? AVIO_SEEKABLE_NORMAL : 0;
    muxer->pb = pb;
    muxer->flags |= AVFMT_FLAG_CUSTOM_IO;
    muxer->opaque = &io;
    muxer->io_open = open_reader;
    muxer->io_close2 = close_reader;

    const bool yuv = choice.pixels == AV_PIX_FMT_YUV420P;
    codec->width = yuv ? (width + 1) & ~1 : width;
    codec->height = yuv ? (height + 1) & ~1 : height;
    codec->pix_fmt = choice.pixels;
    codec->time_base = {1, VIDEO_FRAME_RATE};
    codec->framerate = {VIDEO_FRAME_RATE, 1};
    codec->sample_aspect_ratio = {1, 1};
    codec->thread_count = 0;  // as many as the encoder sees fit for the machine
    // sRGB pixels, as drawn; 4:2:0 is BT.709 in the video range, as players assume for pictures this size.
    codec->color_primaries = AVCOL_PRI_BT709;
    codec->color_trc = yuv ? AVCOL_TRC_BT709 : AVCOL_TRC_IEC61966_2_1;
    codec->colorspace = yuv ? AVCOL_SPC_BT709 : AVCOL_SPC_RGB;
    codec->color_range = yuv ? AVCOL_RANGE_MPEG : AVCOL_RANGE_JPEG;
    codec->chroma_sample_location = yuv ? AVCHROMA_LOC_CENTER : AVCHROMA_LOC_UNSPECIFIED;
    if (muxer->oformat->flags & AVFMT_GLOBALHEADER) codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;

    AVDictionary* options = nullptr;
    if (format == VIDEO_MP4) {
        // The fastest preset: on two cores shared with a software renderer
        // the video is still made faster than it plays. The files are
        // larger than slower presets make them (about 2 Mbit/s at
        // 1024 x 768), at the same quality.
        av_dict_set(&options, "preset", "ultrafast", 0);
        av_dict_set(&options, "crf", "20", 0);
    } else if (format == VIDEO_WEBM) {
        av_dict_set(&options, "deadline", "realtime", 0);
        av_dict_set(&options, "cpu-used", "8", 0);
        av_dict_set(&options, "row-mt", "1", 0);
        av_dict_set(&options, "crf", "30", 0);
        av_dict_set(&options, "b", "0", 0);
    } else {
        // Version 3 codes slices side by side, checked by their own CRCs.
        av_dict_set(&options, "level", "3", 0);
        av_dict_set(&options, "slices", "4", 0);
        av_dict_set(&options, "slicecrc", "1", 0);
    }
    code = avcodec_open2(codec, found, &options);
    av_dict_free(&options);
    if (code < 0) return fail(std::string("cannot start the ") + choice.encoder + " encoder", code);

    stream = avformat_new_stream(muxer, nullptr);
    if (!stream) return fail("out of memory", AVERROR(ENOMEM));
    stream->time_base = codec->time_base;
    stream->avg_frame_rate = codec->framerate;
    code = avcodec_parameters_from_context(stream->codecpar, codec);
    if (code < 0) return fail("cannot describe the video stream", code);

    picture->format = codec->pix_fmt;
    picture->width = codec->width;
    picture->height = codec->height;
    code = av_frame_get_buffer(picture, 0);
    if (code < 0) return fail("out of memory", code);
    if (format == VIDEO_MP4) av_dict_set(&options, "movflags", "+faststart", 0);
    code = avformat_write_header(muxer, &options);
    av_dict_free(&options);
    return code < 0 ? fail("cannot start the file", code) : nullptr;
}

void encoder::convert(const queued_frame& frame)
{
    const size_t row = (size_t)width * 3;
    const auto row_at = [&](int r) {  // row r from the top
        return frame.rgb.data() + row * (size_t)(frame.bottom_first ? height - 1 - r : r);
    };
    if (picture->format == AV_PIX_FMT_YUV420P) {
        for (int r = 0; r < picture->height; r += 2)
            rgb_to_yuv420(row_at(r), row_at(std::min(r + 1, height - 1)), width, sums,
                          picture->data[0] + (size_t)picture->linesize[0] * (size_t)r,
                          picture->data[0] + (size_t)picture->linesize[0] * (size_t)(r + 1),
                          picture->data[1] + (size_t)picture->linesize[1] * (size_t)(r / 2),
                          picture->data[2] + (size_t)picture->linesize[2] * (size_t)(r / 2));
        return;
    }
    // FFV1 takes 8-bit RGB as blue, green, red and an unused byte: the same values, moved.
    for (int r = 0; r < height; ++r) {
        const unsigned char* from = row_at(r);
        uint8_t* to = picture->data[0] + (size_t)picture->linesize[0] * (size_t)r;
        for (int c = 0; c < width; ++c, from += 3, to += 4) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
            to[3] = 0;
        }
    }
}

const char* encoder::add(const queued_frame& frame)
{
    if (frame.width != width || frame.height != height) {
        message = "the frames changed size from " + std::to_string(width) + "x" + std::to_string(height) + " to " +
                  std::to_string(frame.width) + "x" + std::to_string(frame.height);
        return message.c_str();
    }
    // The encoder may still hold the last picture: it gets fresh memory then.
    int code = av_frame_make_writable(picture);
    if (code < 0) return fail("out of memory", code);
    convert(frame);
    picture->pts = next_pts++;
    code = avcodec_send_frame(codec, picture);
    return code < 0 ? fail("cannot encode a frame", code) : write_packets();
}

const char* encoder::write_packets()
{
    for (;;) {
        int code = avcodec_receive_packet(codec, packet);
        if (code == AVERROR(EAGAIN) || code == AVERROR_EOF) return nullptr;
        if (code < 0) return fail("cannot encode a frame", code);
        av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        code = av_interleaved_write_frame(muxer, packet);
        if (code < 0) return fail("cannot write a frame", code);
    }
}

const char* encoder::close()
{
    int code = avcodec_send_frame(codec, nullptr);
    if (code < 0) return fail("cannot end the encoding", code);
    if (const char* why = write_packets()) return why;
    code = av_write_trailer(muxer);
    if (code < 0) return fail("cannot end the file", code);
    avio_flush(pb);
    return pb->error < 0 ? fail("cannot end the file", pb->error) : nullptr;
}

}  // namespace

video_format video_format_of(const std::string& path)
{
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return VIDEO_NONE;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension) c = (char)std::tolower((unsigned char)c);
    return extension == "mp4" ? VIDEO_MP4 : extension == "webm" ? VIDEO_WEBM : extension == "mkv" ? VIDEO_MKV
                                                                                                    : VIDEO_NONE;
}

bool check_video_path(const std::string& path, std::string& error)
{
    if (!check_output_path(path, "video", error)) return false;
    struct stat st;
    if (video_format_of(path) != VIDEO_MP4 || stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return true;
    error = "cannot write video '" + path + "': an MP4 file is rewritten at its end and must be a regular file";
    return false;
}

// What the caller's thread and the writer's share, under `lock`.
struct video_writer::shared {
    std::mutex lock;
    std::condition_variable changed;
    std::deque<queued_frame> queue;
    std::vector<std::vector<unsigned char>> spare;  // buffers the writer is done with
    bool opened = false;    // the temporary is open
    bool ending = false;    // no more frames: complete the file
    bool dropping = false;  // no more frames: drop the file
    bool done = false;      // the writer has ended
    std::string failure;    // its error, once done
    std::thread writer;

    // The writer's thread: the whole file, from its first frame to the rename.
    void write(const std::string& path);
    // Encodes the frames as they come until the end or a failure.
    const char* encode(video_format format, int fd, const output_sink& put);
};

const char* video_writer::shared::encode(video_format format, int fd, const output_sink& put)
{
    {
        std::lock_guard<std::mutex> hold(lock);
        opened = true;
    }
    changed.notify_all();
    encoder video(format, fd, put);
    for (long count = 0;; ++count) {
        queued_frame frame;
        {
            std::unique_lock<std::mutex> hold(lock);
            changed.wait(hold, [&] { return !queue.empty() || ending || dropping; });
            if (dropping) return "the run stopped";
            if (queue.empty() && count == 0) return "the run ended before the video's first frame";
            if (queue.empty()) break;
            frame = std::move(queue.front());
            queue.pop_front();
        }
        changed.notify_all();
        if (const char* why = count == 0 ? video.open(frame.width, frame.height) : nullptr) return why;
        if (const char* why = video.add(frame)) return why;
        std::lock_guard<std::mutex> hold(lock);
        spare.push_back(std::move(frame.rgb));
    }
    return video.close();
}

void video_writer::shared::write(const std::string& path)
{
    std::string error;
    const bool written = write_output_descriptor(path, "video", [&](int fd, const output_sink& put) {
        return encode(video_format_of(path), fd, put);
    }, error);
    {
        std::lock_guard<std::mutex> hold(lock);
        done = true;
        if (!written) failure = error;
    }
    changed.notify_all();
}

video_writer::video_writer() : state(new shared) {}

video_writer::~video_writer()
{
    if (!state->writer.joinable()) return;
    {
        std::lock_guard<std::mutex> hold(state->lock);
        state->dropping = true;
    }
    state->changed.notify_all();
    state->writer.join();
}

bool video_writer::start(const std::string& path, std::string& error)
{
    // FFmpeg's own messages would break the one-line errors; failures are reported here.
    av_log_set_level(AV_LOG_QUIET);
    shared& s = *state;
    s.writer = std::thread([&s, path] { s.write(path); });
    std::unique_lock<std::mutex> hold(s.lock);
    s.changed.wait(hold, [&] { return s.opened || s.done; });
    if (!s.done) return true;
    error = s.failure;
    hold.unlock();
    s.writer.join();
    return false;
}

std::vector<unsigned char> video_writer::take_buffer()
{
    std::lock_guard<std::mutex> hold(state->lock);
    if (state->spare.empty()) return {};
    std::vector<unsigned char> buffer = std::move(state->spare.back());
    state->spare.pop_back();
    return buffer;
}

bool video_writer::add_frame(std::vector<unsigned char>&& rgb, int width, int height, bool bottom_first,
                             std::string& error)
{
    shared& s = *state;
    {
        std::unique_lock<std::mutex> hold(s.lock);
        s.changed.wait(hold, [&] { return s.queue.size() < QUEUE_LIMIT || s.done; });
        if (s.done) {
            error = s.failure;
            return false;
        }
        s.queue.push_back({std::move(rgb), width, height, bottom_first});
    }
    s.changed.notify_all();
    return true;
}

bool video_writer::finish(std::string& error)
{
    shared& s = *state;
    {
        std::lock_guard<std::mutex> hold(s.lock);
        s.ending = true;
    }
    s.changed.notify_all();
    s.writer.join();
    error = s.failure;
    return error.empty();
}
