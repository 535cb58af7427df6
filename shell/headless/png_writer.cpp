// PNG files through libpng: rendered frames out, and back in for the tests.
#include "shell/headless/png_writer.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include "shell/headless/output_file.h"

namespace {

// libpng's default handlers print to stderr; a failure here is reported once, by the caller.
void png_failed(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}
void png_warned(png_structp, png_const_charp) {}

void png_write_data(png_structp png, png_bytep data, png_size_t length)
{
    if (!static_cast<output_file*>(png_get_io_ptr(png))->write(data, length)) png_error(png, "write failed");
}
void png_flush_nothing(png_structp) {}

// libpng reports errors by long jump; the functions below keep nothing that
// needs destruction alive across the jump points.
// channels: 3 (RGB) or 4 (RGBA); level: zlib's compression level.
bool write_rows(output_file& file, int width, int height, int channels, int level, const unsigned char* pixels)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, png_failed, png_warned);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &file, png_write_data, png_flush_nothing);
    png_set_IHDR(png, info, (png_uint_32)width, (png_uint_32)height, 8,
                 channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, level);
    png_write_info(png, info);
    for (int r = 0; r < height; ++r) png_write_row(png, pixels + (size_t)r * (size_t)width * (size_t)channels);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

// Reads any 8- or 16-bit PNG as 8-bit RGB (channels 3) or RGBA (channels 4,
// opaque where the file has no alpha).
bool read_rows(FILE* file, int channels, int& width, int& height, std::vector<unsigned char>& pixels)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    if (channels == 4)
        png_set_add_alpha(png, 0xff, PNG_FILLER_AFTER);
    else
        png_set_strip_alpha(png);
    png_set_gray_to_rgb(png);
    png_read_update_info(png, info);
    width = (int)png_get_image_width(png, info);
    height = (int)png_get_image_height(png, info);
    const size_t row = (size_t)width * (size_t)channels;
    pixels.resize(row * (size_t)height);
    for (int r = 0; r < height; ++r) png_read_row(png, pixels.data() + row * (size_t)r, nullptr);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

// Written whole or not at all: the earlier file of that name stays until
// the new one is complete.
bool write_png(const char* path, int width, int height, int channels, int level, const unsigned char* pixels,
               std::string& error)
{
    output_file file;
    if (!file.open(path, "", error)) return false;
    if (!write_rows(file, width, height, channels, level, pixels) && !file.failed()) {
        file.abandon();
        error = std::string("cannot write '") + path + "': the image could not be encoded";
        return false;
    }
    return file.commit(error);
}

bool read_png(const char* path, int channels, int& width, int& height, std::string& pixels_out, std::string& error)
{
    FILE* file = std::fopen(path, "rb");
    if (!file) {
        error = std::string("cannot read '") + path + "': " + std::strerror(errno);
        return false;
    }
    std::vector<unsigned char> pixels;
    const bool read = read_rows(file, channels, width, height, pixels);
    std::fclose(file);
    if (!read) {
        error = std::string("'") + path + "' is not a readable PNG file";
        return false;
    }
    pixels_out.assign(pixels.begin(), pixels.end());
    return true;
}

}  // namespace

bool write_png_rgb(const char* path, int width, int height, const unsigned char* rgb, std::string& error)
{
    // Fast compression: frames are written while rendering.
    return write_png(path, width, height, 3, 3, rgb, error);
}

bool write_png_rgba(const char* path, int width, int height, const unsigned char* rgba, std::string& error)
{
    // Icons are small and written once: the best compression.
    return write_png(path, width, height, 4, 9, rgba, error);
}

bool read_png_rgb(const char* path, int& width, int& height, std::string& rgb, std::string& error)
{
    return read_png(path, 3, width, height, rgb, error);
}

bool read_png_rgba(const char* path, int& width, int& height, std::string& rgba, std::string& error)
{
    return read_png(path, 4, width, height, rgba, error);
}
