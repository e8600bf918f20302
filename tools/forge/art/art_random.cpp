#include "art_random.h"

void art_rng_seed(art_rng* rng, uint64_t seed, uint64_t stream) {
  rng->state = 0;
  rng->stream = stream << 1 | 1;
  art_rng_next(rng);
  rng->state += seed;
  art_rng_next(rng);
}

uint32_t art_rng_next(art_rng* rng) {
  const uint64_t old = rng->state;
  rng->state = old * 6364136223846793005ULL + rng->stream;
  const uint32_t xorshifted = uint32_t(((old >> 18) ^ old) >> 27);
  const uint32_t rot = uint32_t(old >> 59);
  return (xorshifted >> rot) | (xorshifted << ((32 - rot) & 31));
}

float art_rng_float(art_rng* rng) { return float(art_rng_next(rng) >> 8) * (1.0f / 16777216.0f); }

float art_rng_range(art_rng* rng, float lo, float hi) { return lo + (hi - lo) * art_rng_float(rng); }

uint32_t art_rng_below(art_rng* rng, uint32_t count) {
  if (count == 0)
    return 0;
  return uint32_t((uint64_t(art_rng_next(rng)) * count) >> 32);
}

static uint32_t art_mix(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7FEB352Du;
  x ^= x >> 15;
  x *= 0x846CA68Bu;
  x ^= x >> 16;
  return x;
}

uint32_t art_hash(uint32_t a, uint32_t b, uint32_t c) {
  return art_mix(art_mix(art_mix(a + 0x9E3779B9u) ^ (b + 0x85EBCA6Bu)) ^ (c + 0xC2B2AE35u));
}

float art_hash_float(uint32_t a, uint32_t b, uint32_t c) {
  return float(art_hash(a, b, c) >> 8) * (1.0f / 16777216.0f);
}
