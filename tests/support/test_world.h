// Test helper: the generated world of either program, restored for each test.
#pragma once
#include "common/world.h"

// Puts the freshly generated world of the interactive program (or the
// screensaver) into `world`. The first call per build generates it; later
// calls copy a saved snapshot back, undoing whatever earlier tests changed.
void use_generated_world(bool saver_build = false);
