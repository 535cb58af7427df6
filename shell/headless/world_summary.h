// A few lines describing the generated world.
#pragma once
#include <cstdio>

void print_world_summary(FILE* out, double generation_seconds);
