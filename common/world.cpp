// The world-state record and its start values.
#include "common/world.h"

#include <cstring>

world_state world;

void set_start_values(bool saver_build)
{
    world.saver_build = saver_build;
    world.random_state = 1;

    world.fullscreen = true;
    world.mode_width = 1024;
    world.mode_height = 768;
    world.large_layout = true;
    world.active = true;
    world.done = false;

    if (saver_build) {
        world.camera_x = 300;
        world.camera_y = -800;
        world.camera_z = 0;
    } else {
        world.camera_x = 0;
        world.camera_y = -600;
        world.camera_z = -50;
    }
    world.camera_pitch = 10;
    world.camera_yaw = -90;
    world.camera_speed = 3;

    world.title_running = true;

    world.view_range = 320;
    world.lamp_strength = 5000;
    // The lamp starts at full strength in all three colours; the first
    // main-view frame gives ambient and diffuse their blue tint.
    const float start = (float)(world.lamp_strength * 0.0005f);
    const float alphas[3] = {0.1f, 0.1f, 1.0f};
    float* colours[3] = {world.lamp_ambient, world.lamp_diffuse, world.lamp_specular};
    for (int c = 0; c < 3; ++c) {
        colours[c][0] = colours[c][1] = colours[c][2] = start;
        colours[c][3] = alphas[c];
    }

    world.water_level = 300;
    world.bubbles_pending = true;
    world.finder_sweep = 100;
}

void reset_world(bool saver_build)
{
    std::memset(&world, 0, sizeof world);
    set_start_values(saver_build);
}
