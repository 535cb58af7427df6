// PNG images and the world dump, written as every output file is.
#include "shell/headless/output_file.h"

#include <png.h>

#include <csetjmp>

#include "scene/world_dump.h"

namespace {

// libpng reports errors by a long jump back here (its messages are left out:
// the caller reports a failure once); nothing here needs destruction across it.
bool encode_png(png_structp png, png_infop info, const output_sink& put, int width, int height, int channels,
                const unsigned char* pixels)
{
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    const auto write = [](png_structp png, png_bytep data, png_size_t length) {
        if (!(*static_cast<const output_sink*>(png_get_io_ptr(png)))(data, length)) png_error(png, "write failed");
    };
    png_set_write_fn(png, const_cast<output_sink*>(&put), write, [](png_structp) {});
    png_set_IHDR(png, info, (png_uint_32)width, (png_uint_32)height, 8,
                 channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Frames are written while rendering, fast; icons are small and written once, best.
    png_set_compression_level(png, channels == 4 ? 9 : 3);
    png_write_info(png, info);
    for (int r = 0; r < height; ++r) png_write_row(png, pixels + (size_t)r * (size_t)width * (size_t)channels);
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

bool write_png(const std::string& path, int width, int height, int channels, const unsigned char* pixels,
               std::string& error)
{
    return write_output_file(path, "", [&](const output_sink& put) {
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr,
                                                  [](png_structp png, png_const_charp) { png_longjmp(png, 1); },
                                                  [](png_structp, png_const_charp) {});
        png_infop info = png ? png_create_info_struct(png) : nullptr;
        const bool encoded = info && encode_png(png, info, put, width, height, channels, pixels);
        png_destroy_write_struct(&png, &info);
        return encoded ? nullptr : "the image could not be encoded";
    }, error);
}

bool write_world_dump(const std::string& path, std::string& error)
{
    return write_output_file(path, "world dump", [](const output_sink& put) -> const char* {
        write_world_dump(put);  // a refused piece is the file's failure, reported as such
        return nullptr;
    }, error);
}
