#include "random.h"

// A linear congruential generator whose upper bits give 15-bit values.
static uint32_t demo_rand_state = 1;

void demo_srand(uint32_t seed) { demo_rand_state = seed; }

int32_t demo_rand() {
  demo_rand_state = demo_rand_state * 214013u + 2531011u;
  return int32_t((demo_rand_state >> 16) & 0x7FFF);
}
