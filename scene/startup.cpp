// Start-up: the four generators in the order that fixes the world.
#include "scene/startup.h"

#include "common/world.h"
#include "lakebed/height_field.h"
#include "objects/fish.h"
#include "objects/weeds.h"
#include "scene/title.h"

bool generate_world(bool (*stopped)(int& code))
{
    int code = 0;
    // Every generator draws from the one generator in turn, so this order is
    // part of the world: a new generator goes after the last one, or every
    // start builds a different world (and every dump changes).
    seed_title_points();
    if (!generate_lake_bed(nullptr, stopped) || (stopped && stopped(code))) return false;
    generate_weed_beds();
    generate_fish();
    return true;
}

bool start_world(bool saver_build, bool (*stopped)(int& code))
{
    set_start_values(saver_build);
    return generate_world(stopped);
}
