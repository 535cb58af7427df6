// The picture fitted to any window: the rectangle's arithmetic, and the
// screensaver's frame drawn fitted into windows of other sizes, compared
// with the same frame drawn in its own 1024 x 768 window.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "common/gl.h"
#include "common/world.h"
#include "render/design_frame.h"
#include "render/font.h"
#include "render/gl_setup.h"
#include "render/picture_fit.h"
#include "scene/frame.h"
#include "tests/support/gl_context.h"
#include "tests/support/test_world.h"

namespace {

void expect_rect(const picture_rect& r, int x, int y, int w, int h)
{
    EXPECT_EQ(r.x, x);
    EXPECT_EQ(r.y, y);
    EXPECT_EQ(r.width, w);
    EXPECT_EQ(r.height, h);
}

}  // namespace

TEST(PictureFit, SameShapeFillsTheWindow)
{
    expect_rect(fit_picture(1024, 768, 1024, 768), 0, 0, 1024, 768);
    expect_rect(fit_picture(1024, 768, 320, 240), 0, 0, 320, 240);
    expect_rect(fit_picture(1024, 768, 4096, 3072), 0, 0, 4096, 3072);
}

TEST(PictureFit, WiderWindowsGetBarsLeftAndRightTallerOnesAboveAndBelow)
{
    expect_rect(fit_picture(1024, 768, 1920, 1080), 240, 0, 1440, 1080);
    expect_rect(fit_picture(1024, 768, 3840, 2160), 480, 0, 2880, 2160);
    expect_rect(fit_picture(1024, 768, 1280, 768), 128, 0, 1024, 768);
    expect_rect(fit_picture(1024, 768, 1280, 1024), 0, 32, 1280, 960);
    expect_rect(fit_picture(1024, 768, 1024, 1024), 0, 128, 1024, 768);
    // Two monitors side by side: one wide desktop.
    expect_rect(fit_picture(1024, 768, 3840, 1080), 1200, 0, 1440, 1080);
    // Odd leftovers put the extra pixel after the picture.
    expect_rect(fit_picture(1024, 768, 321, 240), 0, 0, 320, 240);
    expect_rect(fit_picture(1024, 768, 322, 240), 1, 0, 320, 240);
}

TEST(PictureFit, SidesAreRoundedAndNeverEmpty)
{
    // Windows' settings preview: 152 x 112.
    expect_rect(fit_picture(1024, 768, 152, 112), 1, 0, 149, 112);
    expect_rect(fit_picture(1024, 768, 1, 1), 0, 0, 1, 1);
    expect_rect(fit_picture(1024, 768, 1, 1000), 0, 499, 1, 1);
    expect_rect(fit_picture(1024, 768, 0, 0), 0, 0, 1, 1);
    expect_rect(fit_picture(1024, 768, -5, 100), 0, 49, 1, 1);
    expect_rect(fit_picture(0, 0, 640, 480), 80, 0, 480, 480);
    // Every picture lies inside its window, whatever the sizes.
    for (int w = 1; w < 400; w += 7)
        for (int h = 1; h < 400; h += 11) {
            const picture_rect r = fit_picture(1024, 768, w, h);
            ASSERT_GE(r.x, 0);
            ASSERT_GE(r.y, 0);
            ASSERT_LE(r.x + r.width, w) << w << "x" << h;
            ASSERT_LE(r.y + r.height, h) << w << "x" << h;
            ASSERT_TRUE(r.width == w || r.height == h) << w << "x" << h;
        }
    // Huge windows do not overflow.
    expect_rect(fit_picture(1024, 768, 2000000000, 1500000000), 0, 0, 2000000000, 1500000000);
}

namespace {

struct frame_image {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;  // bottom row first

    const unsigned char* at(int x, int y) const { return &rgba[((size_t)y * width + x) * 4]; }
};

// The saver's main view in a window of width x height: two frames from the
// same world (the first sets the clear colour the second clears with);
// fitted or not. Returns false when there is no GL context to be had.
bool draw_saver_frames(int width, int height, bool fitted, frame_image& image)
{
    use_generated_world(true);
    world.title_running = false;
    set_picture_fitted(fitted);
    if (!make_test_gl_context(width, height)) return false;
    // As the program opens a host's window: the frame's size first, then
    // the window's own size from its first event.
    on_resize(world.mode_width, world.mode_height);
    setup_gl();
    on_resize(width, height);
    run_frame();
    run_frame();
    image.width = width;
    image.height = height;
    image.rgba.assign((size_t)width * height * 4, 0);
    read_test_pixels(0, 0, width, height, image.rgba.data());
    return true;
}

// Pixels in the rectangle that are not pure black.
long lit_pixels(const frame_image& image, int x0, int y0, int w, int h)
{
    long n = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) {
            const unsigned char* p = image.at(x, y);
            if (p[0] || p[1] || p[2]) ++n;
        }
    return n;
}

// The credit line's unlit pure-red text: its pixel count and bounding box.
struct red_text {
    long count = 0;
    int left = 1 << 30, right = -1, bottom = 1 << 30, top = -1;
};

red_text find_red_text(const frame_image& image)
{
    red_text t;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const unsigned char* p = image.at(x, y);
            if (p[0] >= 250 && p[1] <= 5 && p[2] <= 5) {
                ++t.count;
                t.left = std::min(t.left, x);
                t.right = std::max(t.right, x);
                t.bottom = std::min(t.bottom, y);
                t.top = std::max(t.top, y);
            }
        }
    return t;
}

// Frames drawn at the window's size unless a test chooses otherwise.
class FittedSaverFrames : public ::testing::Test {
protected:
    void SetUp() override { set_picture_resolution(RESOLUTION_WINDOW); }
    void TearDown() override
    {
        set_picture_fitted(false);
        set_picture_resolution(RESOLUTION_AUTO);
    }
};

}  // namespace

TEST_F(FittedSaverFrames, AtTheFramesOwnScaleThePictureIsTheSamePixelForPixel)
{
    frame_image own, wide, tall, same;
    if (!draw_saver_frames(1024, 768, false, own)) GTEST_SKIP() << test_gl_context_error();
    ASSERT_TRUE(draw_saver_frames(1280, 768, true, wide));
    ASSERT_TRUE(draw_saver_frames(1024, 1024, true, tall));
    ASSERT_TRUE(draw_saver_frames(1024, 768, true, same));
    EXPECT_EQ(same.rgba, own.rgba) << "a fitted window of the frame's size differs";

    long wide_diff = 0, tall_diff = 0;
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            if (!std::equal(own.at(x, y), own.at(x, y) + 3, wide.at(x + 128, y))) ++wide_diff;
            if (!std::equal(own.at(x, y), own.at(x, y) + 3, tall.at(x, y + 128))) ++tall_diff;
        }
    // Moved by whole pixels, the picture is the same but for the odd pixel on
    // the edge of a thin shape, where the viewport's arithmetic rounds a
    // vertex to the other side of a pixel centre.
    const long edge_pixels = 1024 * 768 / 1000;
    EXPECT_LT(wide_diff, edge_pixels) << "the picture centred in 1280 x 768 differs";
    EXPECT_LT(tall_diff, edge_pixels) << "the picture centred in 1024 x 1024 differs";
    // The bars are black.
    EXPECT_EQ(lit_pixels(wide, 0, 0, 128, 768), 0);
    EXPECT_EQ(lit_pixels(wide, 1152, 0, 128, 768), 0);
    EXPECT_EQ(lit_pixels(tall, 0, 0, 1024, 128), 0);
    EXPECT_EQ(lit_pixels(tall, 0, 896, 1024, 128), 0);
    // The credit line's text, drawn at whole pixels, moves with the picture
    // exactly.
    const red_text own_text = find_red_text(own), wide_text = find_red_text(wide),
                   tall_text = find_red_text(tall);
    EXPECT_EQ(wide_text.count, own_text.count);
    EXPECT_EQ(tall_text.count, own_text.count);
    EXPECT_EQ(wide_text.left, own_text.left + 128);
    EXPECT_EQ(wide_text.bottom, own_text.bottom);
    EXPECT_EQ(tall_text.left, own_text.left);
    EXPECT_EQ(tall_text.bottom, own_text.bottom + 128);
}

TEST_F(FittedSaverFrames, ScaledPicturesKeepTheirBarsBlackAndTheCreditLineInside)
{
    frame_image own;
    if (!draw_saver_frames(1024, 768, false, own)) GTEST_SKIP() << test_gl_context_error();
    const red_text own_text = find_red_text(own);
    if (own_text.count == 0) GTEST_SKIP() << "no font: the credit line is not drawn";

    const struct {
        int width, height;
    } windows[] = {{320, 240}, {1920, 1080}, {152, 112}, {1280, 1024}};
    for (const auto& window : windows) {
        SCOPED_TRACE(testing::Message() << window.width << "x" << window.height);
        frame_image image;
        ASSERT_TRUE(draw_saver_frames(window.width, window.height, true, image));
        const picture_rect pic = fit_picture(1024, 768, window.width, window.height);
        const double scale = (double)pic.height / 768.0;

        // Black outside the picture, the lake (almost nothing black) inside.
        const long outside = lit_pixels(image, 0, 0, window.width, window.height) -
                             lit_pixels(image, pic.x, pic.y, pic.width, pic.height);
        EXPECT_EQ(outside, 0);
        EXPECT_GT(lit_pixels(image, pic.x, pic.y, pic.width, pic.height),
                  (long)pic.width * pic.height * 9 / 10);

        // The credit line: inside the picture, where the frame has it.
        const red_text text = find_red_text(image);
        ASSERT_GT(text.count, 0);
        EXPECT_GE(text.left, pic.x);
        EXPECT_LT(text.right, pic.x + pic.width);
        EXPECT_GE(text.bottom, pic.y);
        if (window.width >= 320) {
            // Where the frame has it (a font of a pixel or two, as in the
            // settings preview, drops whole glyphs), with a font scaled as
            // the picture is: about as wide.
            EXPECT_NEAR(text.left, pic.x + own_text.left * scale, 2 + 2 * scale);
            EXPECT_NEAR(text.bottom, pic.y + own_text.bottom * scale, 2 + 2 * scale);
            EXPECT_NEAR(text.right - text.left, (own_text.right - own_text.left) * scale,
                        0.2 * (own_text.right - own_text.left) * scale + 3);
        }
    }
}

TEST_F(FittedSaverFrames, TheFontFollowsThePicturesScale)
{
    set_picture_fitted(false);
    EXPECT_EQ(font_pixel_height(), FONT_PIXEL_HEIGHT);
    use_generated_world(true);
    if (!make_test_gl_context(64, 64)) GTEST_SKIP() << test_gl_context_error();
    set_picture_fitted(true);
    on_resize(1920, 1080);
    EXPECT_EQ(font_pixel_height(), 14);  // 10 x 1080 / 768 = 14.06
    // Drawing is held inside the picture.
    expect_rect(fitted_picture(), 240, 0, 1440, 1080);
    GLint box[4] = {};
    glGetIntegerv(GL_SCISSOR_BOX, box);
    EXPECT_EQ(box[0], 240);
    EXPECT_EQ(box[2], 1440);
    EXPECT_EQ(box[3], 1080);
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    on_resize(320, 240);
    EXPECT_EQ(font_pixel_height(), 3);
    on_resize(5, 4);
    EXPECT_EQ(font_pixel_height(), 1);
    on_resize(1024, 768);
    EXPECT_EQ(font_pixel_height(), FONT_PIXEL_HEIGHT);
    // The lists are built again only when the height changes.
    setup_gl();
    const unsigned int base = world.font_base;
    if (base == 0) GTEST_SKIP() << "no font";
    on_resize(1280, 768);
    EXPECT_EQ(world.font_base, base);
    on_resize(2048, 1536);
    EXPECT_NE(world.font_base, 0u);
    EXPECT_EQ(font_pixel_height(), 20);
}

TEST_F(FittedSaverFrames, DesignSizeFramesAreTheFrameItselfScaledIntoTheWindow)
{
    frame_image own, doubled, barred;
    if (!draw_saver_frames(1024, 768, false, own)) GTEST_SKIP() << test_gl_context_error();
    set_picture_resolution(RESOLUTION_DESIGN);
    ASSERT_TRUE(draw_saver_frames(2048, 1536, true, doubled));
    EXPECT_TRUE(drawing_design_size());
    ASSERT_TRUE(draw_saver_frames(1440, 768, true, barred));
    // A whole scale repeats each pixel; at scale 1 the picture is the frame
    // moved into the middle, exactly, with black bars beside it.
    long doubled_diff = 0, barred_diff = 0;
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            for (int k = 0; k < 4; ++k)
                if (!std::equal(own.at(x, y), own.at(x, y) + 3, doubled.at(2 * x + k % 2, 2 * y + k / 2)))
                    ++doubled_diff;
            if (!std::equal(own.at(x, y), own.at(x, y) + 3, barred.at(x + 208, y))) ++barred_diff;
        }
    EXPECT_EQ(doubled_diff, 0);
    EXPECT_EQ(barred_diff, 0);
    EXPECT_EQ(lit_pixels(barred, 0, 0, 208, 768) + lit_pixels(barred, 1232, 0, 208, 768), 0);

    // Chosen by itself only on a software renderer, and only to scale up.
    EXPECT_TRUE(is_software_renderer("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(is_software_renderer("GDI Generic"));
    EXPECT_FALSE(is_software_renderer("NVIDIA GeForce RTX 4090/PCIe/SSE2"));
    EXPECT_FALSE(is_software_renderer(nullptr));
    set_picture_resolution(RESOLUTION_AUTO);
    const bool software = is_software_renderer((const char*)glGetString(GL_RENDERER));
    on_resize(1920, 1080);
    EXPECT_EQ(drawing_design_size(), software);
    on_resize(1024, 1000);
    EXPECT_FALSE(drawing_design_size());
    set_picture_resolution(RESOLUTION_WINDOW);
    on_resize(1920, 1080);
    EXPECT_FALSE(drawing_design_size());
}
