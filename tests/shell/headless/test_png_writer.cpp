// PNG files of the headless renderer: a round trip and an unwritable path.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "shell/headless/png_writer.h"
#include "tests/support/scratch_folder.h"

TEST(PngWriter, RoundTripAndUnwritablePath)
{
    const std::filesystem::path folder = scratch_folder("png");
    std::filesystem::create_directories(folder);
    const int w = 3, h = 2;
    const unsigned char rgb[w * h * 3] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    std::string error;
    const std::string path = (folder / "small.png").string();
    ASSERT_TRUE(write_png_rgb(path.c_str(), w, h, rgb, error)) << error;
    int rw = 0, rh = 0;
    std::string back;
    ASSERT_TRUE(read_png_rgb(path.c_str(), rw, rh, back, error)) << error;
    EXPECT_EQ(rw, w);
    EXPECT_EQ(rh, h);
    EXPECT_EQ(back, std::string((const char*)rgb, sizeof rgb));
    EXPECT_FALSE(write_png_rgb((folder / "none" / "x.png").string().c_str(), w, h, rgb, error));
    EXPECT_NE(error.find("cannot write"), std::string::npos);
}
