// tarvelin_glyphs: writes the overlay font's glyphs, rasterised as on Linux, as a C++ source file for the web page.
#include <cstdio>
#include <string>
#include <vector>

#include "render/font.h"
#include "shell/freetype/font_freetype.h"
#include "shell/output_file.h"

namespace {

struct glyph_entry {
    bool present = false;
    int width = 0, height = 0;
    float xorig = 0, yorig = 0, xmove = 0;
    size_t offset = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    const std::string first = argc > 1 ? argv[1] : "";
    if (first == "--help") {
        std::fputs("usage: tarvelin_glyphs FILE.cpp\n  writes the overlay font's glyphs as a C++ source file\n", stdout);
        return 0;
    }
    if (argc != 2 || first.empty() || first[0] == '-') {
        std::fprintf(stderr, "tarvelin_glyphs: %s (see --help)\n",
                     argc < 2 ? "the output file is missing"
                     : argc > 2 ? "one output file only"
                     : ("unknown option '" + first + "'").c_str());
        return 2;
    }
    std::string path, family;
    int index = 0;
    if (!find_font_file(path, index, family)) {
        std::fprintf(stderr, "tarvelin_glyphs: no monospaced font found\n");
        return 1;
    }
    glyph_entry glyphs[FONT_CODE_COUNT];
    std::vector<unsigned char> bits;
    const bool made = rasterise_font(path.c_str(), index, FONT_PIXEL_HEIGHT,
                                     [&](int code, int width, int height, float xorig, float yorig, float xmove,
                                         const unsigned char* rows) {
                                         glyph_entry& g = glyphs[code - FONT_FIRST_CODE];
                                         g = {true, width, height, xorig, yorig, xmove, bits.size()};
                                         bits.insert(bits.end(), rows, rows + (size_t)((width + 7) / 8) * height);
                                     });
    if (!made) {
        std::fprintf(stderr, "tarvelin_glyphs: cannot read the font file '%s'\n", path.c_str());
        return 1;
    }
    std::string text = "// The overlay font's glyphs at " + std::to_string(FONT_PIXEL_HEIGHT) + " pixels from " +
                       family + ", made by tarvelin_glyphs.\n#include \"shell/web/glyph_table.h\"\n\n";
    text += "const char BAKED_FONT_FAMILY[] = \"" + family + "\";\n";
    text += "const unsigned char BAKED_GLYPH_BITS[] = {";
    for (size_t k = 0; k < bits.size(); ++k) text += (k % 16 ? " " : "\n    ") + std::to_string(bits[k]) + ",";
    text += "\n    0};\nconst baked_glyph BAKED_GLYPHS[FONT_CODE_COUNT] = {\n";
    for (const glyph_entry& g : glyphs) {
        char line[160];
        std::snprintf(line, sizeof line, "    {%s, %d, %d, %.9g, %.9g, %.9g, %zu},\n", g.present ? "true" : "false",
                      g.width, g.height, (double)g.xorig, (double)g.yorig, (double)g.xmove, g.offset);
        text += line;
    }
    text += "};\n";
    std::string error;
    if (!write_text_file(argv[1], "glyph table", text, error)) {
        std::fprintf(stderr, "tarvelin_glyphs: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
