// The windows' icon, from the PNG the build drew and embedded (cmake/embed_file.cmake).
#include "shell/sdl/window_icon.h"

#include <SDL.h>
#include <png.h>

#include <vector>

extern const unsigned char window_icon_png[];
extern const unsigned long window_icon_png_size;

void set_window_icon(SDL_Window* window)
{
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, window_icon_png, window_icon_png_size)) return;
    image.format = PNG_FORMAT_RGBA;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    // Reading frees the image's state, whether it succeeds or not.
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return;
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), (int)image.width, (int)image.height, 32,
                                                           (int)PNG_IMAGE_ROW_STRIDE(image), SDL_PIXELFORMAT_RGBA32);
    if (icon == nullptr) return;
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
}
