// Procedural noise: gradient noise, its fractal sums and cellular noise, all
// optionally periodic so textures tile without seams.
#pragma once

#include "art_canvas.h"

#include <cstddef>
#include <cstdint>

// Gradient noise at (x, y) in lattice units, about -1 to 1. A period of 0
// means none; otherwise the noise repeats every period_x by period_y units.
float art_noise(float x, float y, uint32_t seed, int32_t period_x = 0, int32_t period_y = 0);

enum : int32_t {
  ART_FRACTAL_FBM = 0,        // plain sum of octaves, about -1 to 1
  ART_FRACTAL_TURBULENCE = 1, // sum of absolute values, 0 to about 1
  ART_FRACTAL_RIDGED = 2,     // sharp crests, 0 to about 1
};

struct art_fractal {
  int32_t kind = ART_FRACTAL_FBM;
  int32_t octaves = 5;
  float gain = 0.5f;  // amplitude factor per octave
  int32_t period = 0; // lattice period of the first octave (0 = none); doubles each octave
  uint32_t seed = 1;
};

// Fractal sum at (x, y) in lattice units of the first octave, normalised by
// the total amplitude.
float art_fractal_at(const art_fractal* p, float x, float y);

// Fills a field with the fractal; `cells` lattice units across the width, so a
// periodic fractal with period = cells tiles the field exactly.
void art_field_fractal(art_field* f, const art_fractal* p, float cells);

// Cellular (Worley) noise: distances from (x, y) to the nearest and second
// nearest feature point (one jittered point per lattice cell), in cell units.
// A period above 0 repeats the cells in both directions.
void art_cellular(float x, float y, uint32_t seed, int32_t period, float* f1, float* f2, uint32_t* cell_id = nullptr);
