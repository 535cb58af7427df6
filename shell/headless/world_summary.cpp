// A few lines describing the generated world.
#include "shell/headless/world_summary.h"

#include "common/world.h"

void print_world_summary(FILE* out, double generation_seconds)
{
    float lowest = world.bed_height[0][0], highest = lowest;
    for (int i = 0; i < BED_SIZE; ++i)
        for (int j = 0; j < BED_SIZE; ++j) {
            const float h = world.bed_height[i][j];
            if (h < lowest) lowest = h;
            if (h > highest) highest = h;
        }
    std::fprintf(out, "%s world generated in %.3f s\n",
                 world.saver_build ? "screensaver" : "interactive", generation_seconds);
    std::fprintf(out, "  lake bed: %d x %d vertices, heights %.3f to %.3f (centre %.3f)\n", BED_SIZE,
                 BED_SIZE, lowest, highest, world.bed_height[1000][1000]);
    std::fprintf(out, "  plants: %d ribbon weeds, %d red leaves\n", world.ribbon_count, world.leaf_count);
    std::fprintf(out, "  fish: %d\n", FISH_COUNT);
    std::fprintf(out, "  camera: (%.1f, %.1f, %.1f), yaw %.0f, pitch %.0f\n", world.camera_x,
                 world.camera_y, world.camera_z, world.camera_yaw, world.camera_pitch);
}
