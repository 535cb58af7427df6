// Test helper: PNG files read back through libpng.
#include "tests/support/png_file.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace {

// libpng reports errors by long jump; nothing here needs destruction across it.
bool read_rows(FILE* file, int channels, int& width, int& height, std::string& pixels)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    bool read = false;
    if (setjmp(png_jmpbuf(png)) == 0) {
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
        pixels.assign(row * (size_t)height, '\0');
        for (int r = 0; r < height; ++r) png_read_row(png, (png_bytep)&pixels[row * (size_t)r], nullptr);
        png_read_end(png, nullptr);
        read = true;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return read;
}

}  // namespace

bool read_png(const std::string& path, int channels, int& width, int& height, std::string& pixels,
              std::string& error)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot read '" + path + "': " + std::strerror(errno);
        return false;
    }
    const bool read = read_rows(file, channels, width, height, pixels);
    std::fclose(file);
    if (!read) error = "'" + path + "' is not a readable PNG file";
    return read;
}
