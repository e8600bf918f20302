#include "random.h"

#include <ctime>

// A linear congruential generator whose upper bits give 15-bit values.
static uint32_t demo_rand_state = 1;
static int demo_rand_fixed = 0;
static uint32_t demo_rand_fixed_seed = 1;

void demo_srand(uint32_t seed) { demo_rand_state = seed; }

int32_t demo_rand() {
  demo_rand_state = demo_rand_state * 214013u + 2531011u;
  return int32_t((demo_rand_state >> 16) & 0x7FFF);
}

void demo_srand_clock() { demo_srand(demo_rand_fixed ? demo_rand_fixed_seed : uint32_t(std::time(nullptr))); }

void demo_rand_fix_seed(uint32_t seed) {
  demo_rand_fixed = 1;
  demo_rand_fixed_seed = seed;
  demo_srand(seed);
}
