// The forge's own pseudo-random numbers and hashes: fixed algorithms, so the
// same seed gives the same data on every run and every machine.
#pragma once

#include <cstddef>
#include <cstdint>

// A permuted congruential generator (32-bit output, 64-bit state).
struct art_rng {
  uint64_t state;
  uint64_t stream;
};

void art_rng_seed(art_rng* rng, uint64_t seed, uint64_t stream = 0);
uint32_t art_rng_next(art_rng* rng);
// Uniform in [0, 1), 24 bits of resolution.
float art_rng_float(art_rng* rng);
// Uniform in [lo, hi).
float art_rng_range(art_rng* rng, float lo, float hi);
// Uniform integer in [0, count); 0 when count is 0.
uint32_t art_rng_below(art_rng* rng, uint32_t count);

// Mixes the inputs into a well-spread 32-bit value.
uint32_t art_hash(uint32_t a, uint32_t b = 0, uint32_t c = 0);
// art_hash mapped to [0, 1).
float art_hash_float(uint32_t a, uint32_t b = 0, uint32_t c = 0);
