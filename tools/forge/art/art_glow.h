// Soft light: flares, glows around masks, star fields. All add light to the
// canvas.
#pragma once

#include "art_canvas.h"

#include <cstddef>
#include <cstdint>

struct art_flare_params {
  float radius = 32;       // halo radius in pixels
  float core = 0.15f;      // bright core, as a fraction of the radius
  int32_t rays = 0;        // streaks (0 for a round glow)
  float ray_length = 1.5f; // streak length, in radii
  float ring = 0;          // strength of a thin ring at the radius
  float intensity = 1;
  float angle = 0; // direction of the first streak, radians
};

// Adds a flare of the given colour centred at (cx, cy).
void art_flare(art_canvas* c, float cx, float cy, art_colour colour, const art_flare_params* p);

// Adds a glow around a mask placed at (dx, dy): the mask blurred by sigma,
// times colour and strength.
void art_glow_mask(art_canvas* c, const art_field* mask, int32_t dx, int32_t dy, float sigma, art_colour colour,
                   float strength);

// Adds count stars of random brightness, a few of them with small halos,
// tinted between the two colours.
void art_starfield(art_canvas* c, int32_t count, art_colour cool, art_colour warm, uint32_t seed);
