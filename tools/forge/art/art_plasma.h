// Plasmas: the classic sum of sine waves, and the fractal (diamond-square)
// cloud plasma.
#pragma once

#include "art_canvas.h"

#include <cstddef>
#include <cstdint>

// Sine plasma: the sum of `waves` waves with random whole-number frequencies
// (1 to max_frequency cycles across the field, so it tiles), directions and
// phases from the seed, plus a radial wave; result rescaled to [0, 1].
void art_plasma_sine(art_field* f, int32_t waves, int32_t max_frequency, uint32_t seed);

// Diamond-square plasma on a square field whose side is a power of two (it
// tiles); roughness is the amplitude factor per halving of the step, 0.4
// (smooth) to 0.75 (grainy); result rescaled to [0, 1].
// Returns 0 for a field of another shape.
int art_plasma_fractal(art_field* f, float roughness, uint32_t seed);
