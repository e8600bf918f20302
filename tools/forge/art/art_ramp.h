// Colour ramps, gradients and vignettes.
#pragma once

#include "art_canvas.h"

#include <vector>

struct art_ramp_stop {
  float at;
  art_colour colour;
};

// Stops in increasing order of `at`; colours are interpolated linearly
// between them and held beyond the ends.
struct art_ramp {
  std::vector<art_ramp_stop> stops;
};

art_colour art_ramp_at(const art_ramp* ramp, float t);

// The show's palette: deep blue to purple to warm orange to white.
art_ramp art_ramp_show();
// Chrome: sky, bright horizon, dark ground, warm reflection.
art_ramp art_ramp_chrome();

// Colours a field through a ramp (values taken as ramp positions).
void art_field_colourise(const art_field* f, const art_ramp* ramp, art_canvas* out);

// Fills the canvas with a linear gradient: ramp position 0 at (x0, y0) and 1
// at (x1, y1), measured along that direction.
void art_gradient_linear(art_canvas* c, float x0, float y0, float x1, float y1, const art_ramp* ramp);
// Radial gradient: 0 at the centre, 1 at the radius.
void art_gradient_radial(art_canvas* c, float cx, float cy, float radius, const art_ramp* ramp);

// Darkens towards the corners: colour * (1 - strength * s), s going smoothly
// from 0 at `inner` to 1 at `outer` (fractions of the half diagonal).
void art_vignette(art_canvas* c, float strength, float inner, float outer);
