// The program's one pseudo-random generator: values 0 to 32767, shared by
// every user, seeded once.
#pragma once

#include <cstdint>

constexpr int32_t DEMO_RAND_MAX = 32767;

void demo_srand(uint32_t seed);
int32_t demo_rand();
