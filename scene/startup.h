// Start-up: the world of either program, generated in its fixed order.
#pragma once

// seed_title_points, generate_lake_bed, generate_weed_beds, generate_fish, in this order.
void generate_world();
// Start values for the interactive program or the screensaver, then generate_world.
void start_world(bool saver_build);
