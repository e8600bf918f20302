// The program's one pseudo-random generator: values 0 to 32767, shared by
// every user, seeded once.
#pragma once

#include <cstdint>

constexpr int32_t DEMO_RAND_MAX = 32767;

void demo_srand(uint32_t seed);
int32_t demo_rand();

// Seeds from the current time, as the show does during its inits; after
// demo_rand_fix_seed the given seed is used instead, so a run can be
// reproduced.
void demo_srand_clock();
void demo_rand_fix_seed(uint32_t seed);
