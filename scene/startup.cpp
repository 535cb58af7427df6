// Start-up: the four generators in the order that fixes the world.
#include "scene/startup.h"

#include "common/world.h"
#include "lakebed/height_field.h"
#include "objects/fish.h"
#include "objects/weeds.h"
#include "scene/title.h"

void generate_world()
{
    // Every generator draws from the one generator in turn, so this order is
    // part of the world: a new generator goes after the last one, or every
    // start builds a different world (and every dump changes).
    seed_title_points();
    generate_lake_bed();
    generate_weed_beds();
    generate_fish();
}

void start_world(bool saver_build)
{
    set_start_values(saver_build);
    generate_world();
}
