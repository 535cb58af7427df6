// Start-up: the world of either program, generated in its fixed order.
#pragma once

// seed_title_points, generate_lake_bed, generate_weed_beds, generate_fish, in
// this order. Between passes it asks `stopped`, when given, and ends early
// with false once it says yes (a stop signal during start-up).
bool generate_world(bool (*stopped)(int& code) = nullptr);
// Start values for the interactive program or the screensaver, then generate_world.
bool start_world(bool saver_build, bool (*stopped)(int& code) = nullptr);
