// Skipping the generator ahead: n steps of x -> a x + c composed by squaring.
#include "common/random.h"

uint32_t random_state_after(uint32_t state, uint64_t n)
{
    uint32_t mul = 1, add = 0;  // the accumulated step x -> mul x + add
    uint32_t step_mul = RANDOM_MULTIPLIER, step_add = RANDOM_INCREMENT;
    while (n) {
        if (n & 1) {
            mul = mul * step_mul;
            add = add * step_mul + step_add;
        }
        step_add = step_add * step_mul + step_add;
        step_mul = step_mul * step_mul;
        n >>= 1;
    }
    return state * mul + add;
}
