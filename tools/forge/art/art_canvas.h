// Working surfaces of the art toolkit: colour canvases and scalar fields in
// floating point (channels nominally 0 to 1), converted to pictures and maps
// at the end.
#pragma once

#include "picture.h"
#include "scx_writer.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct art_colour {
  float r = 0, g = 0, b = 0, a = 1;
};

struct art_canvas {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<art_colour> px; // width * height, top row first
};

// A scalar map: heights, masks, noise.
struct art_field {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<float> v; // width * height, top row first
};

int art_canvas_init(art_canvas* c, int32_t width, int32_t height, art_colour fill = {0, 0, 0, 1});
int art_field_init(art_field* f, int32_t width, int32_t height, float fill = 0);

inline art_colour& art_px(art_canvas* c, int32_t x, int32_t y) {
  return c->px[size_t(y) * size_t(c->width) + size_t(x)];
}
inline const art_colour& art_px(const art_canvas* c, int32_t x, int32_t y) {
  return c->px[size_t(y) * size_t(c->width) + size_t(x)];
}
inline float& art_at(art_field* f, int32_t x, int32_t y) { return f->v[size_t(y) * size_t(f->width) + size_t(x)]; }
inline float art_at(const art_field* f, int32_t x, int32_t y) { return f->v[size_t(y) * size_t(f->width) + size_t(x)]; }

// Channel k of a colour: 0 red, 1 green, 2 blue, 3 alpha.
inline float& art_channel(art_colour& c, int32_t k) { return k == 0 ? c.r : k == 1 ? c.g : k == 2 ? c.b : c.a; }

// Colour from 0-255 channel values.
art_colour art_rgb(int r, int g, int b, float a = 1);
art_colour art_mix(art_colour a, art_colour b, float t);
art_colour art_scale(art_colour c, float k);
art_colour art_add(art_colour a, art_colour b);
art_colour art_mul(art_colour a, art_colour b);
float art_clamp01(float v);
float art_smoothstep(float e0, float e1, float v);
float art_luma(art_colour c);

// Bilinear sample of a field, coordinates in pixels; wrap repeats the field,
// otherwise edges are clamped.
float art_field_sample(const art_field* f, float x, float y, bool wrap);
art_colour art_canvas_sample(const art_canvas* c, float x, float y, bool wrap);

// Smallest and largest value, then the field rescaled to [lo, hi].
void art_field_normalise(art_field* f, float lo = 0, float hi = 1);

// Conversion to 8-bit pixels: channels clamped to [0, 1] and rounded; with
// dither, a 4x4 ordered dither of +-half a step hides banding in smooth
// gradients. The fourth byte is alpha * 255 when keep_alpha, else 0.
void art_canvas_to_picture(const art_canvas* c, forge_picture* out, bool dither, bool keep_alpha = false);
void art_canvas_from_picture(const forge_picture* pic, art_canvas* out);
void art_field_to_scx(const art_field* f, scx_map* out);
