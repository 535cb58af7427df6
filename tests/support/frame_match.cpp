// frame_match: how closely two frames agree, for comparing the drawing paths.
// Usage: frame_match [--tolerance L] [--least P] [--differences OUT.png] A.png B.png
// Prints "P% of pixels within L levels" (a pixel is within when each of its
// channels differs by at most L) and exits 1 when P is below the least share
// asked for (default 99), 2 on a usage or file error. --differences writes
// a picture of where they differ: black where within, else the difference
// of each channel made four times brighter.
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <string>

#include <png.h>

#include "tests/support/png_file.h"

namespace {

bool write_rgb_png(const std::string& path, int width, int height, const std::string& rgb)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = (png_uint_32)width;
    image.height = (png_uint_32)height;
    image.format = PNG_FORMAT_RGB;
    const bool written = png_image_write_to_stdio(&image, file, 0, rgb.data(), 0, nullptr) != 0;
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv)
{
    int tolerance = 8;
    double least = 99.0;
    std::string differences;
    int k = 1;
    for (; k + 1 < argc && argv[k][0] == '-'; k += 2) {
        const std::string option = argv[k];
        if (option == "--tolerance")
            tolerance = std::atoi(argv[k + 1]);
        else if (option == "--least")
            least = std::atof(argv[k + 1]);
        else if (option == "--differences")
            differences = argv[k + 1];
        else
            break;
    }
    if (argc - k != 2) {
        std::fprintf(stderr, "usage: frame_match [--tolerance L] [--least P] A.png B.png\n");
        return 2;
    }
    int width[2], height[2];
    std::string pixels[2], error;
    for (int f = 0; f < 2; ++f)
        if (!read_png(argv[k + f], 3, width[f], height[f], pixels[f], error)) {
            std::fprintf(stderr, "frame_match: %s\n", error.c_str());
            return 2;
        }
    if (width[0] != width[1] || height[0] != height[1]) {
        std::printf("0%% of pixels within %d levels (%dx%d against %dx%d)\n", tolerance, width[0], height[0],
                    width[1], height[1]);
        return 1;
    }
    const size_t count = (size_t)width[0] * (size_t)height[0];
    size_t within = 0;
    std::string picture(count * 3, '\0');
    for (size_t p = 0; p < count; ++p) {
        bool close = true;
        for (size_t c = 0; c < 3; ++c) {
            const int a = (unsigned char)pixels[0][p * 3 + c], b = (unsigned char)pixels[1][p * 3 + c];
            close = close && std::abs(a - b) <= tolerance;
            picture[p * 3 + c] = (char)std::min(255, 4 * std::abs(a - b));
        }
        within += close;
        if (close) picture.replace(p * 3, 3, 3, '\0');
    }
    if (!differences.empty() && !write_rgb_png(differences, width[0], height[0], picture)) {
        std::fprintf(stderr, "frame_match: cannot write '%s'\n", differences.c_str());
        return 2;
    }
    const double share = count ? 100.0 * (double)within / (double)count : 100.0;
    std::printf("%.3f%% of pixels within %d levels\n", share, tolerance);
    return share >= least ? 0 : 1;
}
