// Fish school: generation of the 20000 fish.
#include "common/random.h"
#include "common/world.h"
#include "objects/fish.h"

void generate_fish()
{
    // The screensaver keeps its school within 3000 of the centre on each axis.
    const int range = world.saver_build ? 6000 : 18000;
    const int offset = range / 2;
    for (fish_record& f : world.fish_table) {
        f.yaw = (float)(next_random() % 360);
        f.speed = (float)((double)(next_random() % 100) / 100.0 + 1.0);
        f.pitch = (float)(next_random() % 90 - 45);
        f.x = (float)(next_random() % range - offset);
        f.z = (float)(next_random() % range - offset);
        f.y = -600;
        f.tail_phase = 0;
        f.tail_rising = false;
        f.yaw_turn = f.yaw_turn_done = 0;
        f.pitch_turn = f.pitch_turn_done = 0;
    }
}
