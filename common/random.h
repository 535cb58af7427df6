// next_random: the one pseudo-random generator of the system.
#pragma once
#include <cstdint>

#include "common/world.h"

constexpr uint32_t RANDOM_MULTIPLIER = 214013u;
constexpr uint32_t RANDOM_INCREMENT = 2531011u;

// Advances the generator and returns a number from 0 to 32767.
inline int next_random()
{
    world.random_state = world.random_state * RANDOM_MULTIPLIER + RANDOM_INCREMENT;
    return (int)((world.random_state >> 16) & 0x7FFF);
}

// The state after n further steps from `state`, in O(log n).
uint32_t random_state_after(uint32_t state, uint64_t n);
