// The picture fitted to a window of any size: its rectangle, the viewport and overlay through it, the bars.
#include "render/picture_fit.h"

#include "common/gl.h"
#include "common/world.h"
#include "render/font.h"

namespace {

bool fitted = false;
// The picture in the window of the last fit_picture_to_window.
picture_rect picture = {0, 0, 1, 1};

int at_least_one(int value)
{
    return value < 1 ? 1 : value;
}

}  // namespace

picture_rect fit_picture(int frame_width, int frame_height, int window_width, int window_height)
{
    const long long fw = at_least_one(frame_width), fh = at_least_one(frame_height);
    const long long ww = at_least_one(window_width), wh = at_least_one(window_height);
    picture_rect r;
    if (ww * fh >= wh * fw) {
        // The window is wider than the frame: full height, bars left and right.
        r.height = (int)wh;
        r.width = (int)((wh * fw * 2 + fh) / (fh * 2));  // rounded to the nearest pixel
    } else {
        r.width = (int)ww;
        r.height = (int)((ww * fh * 2 + fw) / (fw * 2));
    }
    r.width = at_least_one(r.width < ww ? r.width : (int)ww);
    r.height = at_least_one(r.height < wh ? r.height : (int)wh);
    r.x = (int)((ww - r.width) / 2);
    r.y = (int)((wh - r.height) / 2);
    return r;
}

void set_picture_fitted(bool on)
{
    fitted = on;
    set_font_scale(picture_scale());
}

bool picture_fitted()
{
    return fitted;
}

void fit_picture_to_window(int width, int height)
{
    if (!fitted) return;
    picture = fit_picture(world.mode_width, world.mode_height, width, height);
    restore_picture_scissor();
    set_font_scale(picture_scale());
    refresh_font_size();
}

picture_rect fitted_picture()
{
    if (fitted) return picture;
    return {0, 0, world.mode_width, world.mode_height};
}

double picture_scale()
{
    if (!fitted || world.mode_height <= 0) return 1.0;
    return (double)picture.height / (double)world.mode_height;
}

void set_frame_viewport(int x, int y, int width, int height)
{
    if (!fitted) {
        glViewport(x, y, width, height);
        return;
    }
    // Frame pixels to window pixels: the edges are scaled and rounded, so
    // rectangles that share an edge in the frame share it in the window.
    const long long fw = at_least_one(world.mode_width), fh = at_least_one(world.mode_height);
    auto map_x = [&](long long v) { return picture.x + (int)((v * picture.width * 2 + fw) / (fw * 2)); };
    auto map_y = [&](long long v) { return picture.y + (int)((v * picture.height * 2 + fh) / (fh * 2)); };
    const int left = map_x(x), right = map_x((long long)x + width);
    const int bottom = map_y(y), top = map_y((long long)y + height);
    glViewport(left, bottom, at_least_one(right - left), at_least_one(top - bottom));
}

void overlay_extent(int& width, int& height)
{
    if (fitted) {
        width = world.mode_width;
        height = world.mode_height;
    } else {
        width = world.client_width;
        height = world.client_height;
    }
}

void restore_picture_scissor()
{
    if (!fitted) {
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    glScissor(picture.x, picture.y, picture.width, picture.height);
    glEnable(GL_SCISSOR_TEST);
}

void clear_picture_bars()
{
    // A picture that fills its window has no bars to clear.
    if (!fitted || (picture.x == 0 && picture.y == 0 && picture.width == world.client_width &&
                    picture.height == world.client_height))
        return;
    // The frame's own clear colour (the fog's, set by the previous frame)
    // and the scissor box come back with the attributes.
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glPopAttrib();
}
