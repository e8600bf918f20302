// Section 0 of the intro: the picture burns in through the pattern map.
// Every pixel costs a few table lookups: the map through the scale table to
// a level, the level through the glow curve, and the picture's bytes through
// the darkening half of the shade table.
#include "intro_parts.h"

#include <cmath>

void intro_build_tables(intro_tables* t) {
  for (int32_t a = 0; a < 128; a++)
    for (int32_t v = 0; v < 256; v++)
      t->scale[a][v] = uint8_t(a * v / 128);
  for (int32_t v = 0; v < 256; v++) {
    const int32_t e = v > 128 ? v - 128 : 0;
    t->glow[v] = uint8_t(int32_t(255.0 - 255.0 * std::pow(0.9, double(e))));
  }
  for (int32_t i = 0; i < INTRO_WAVE; i++)
    t->depth_wave[i] = float(400.0 * std::sin(double(i) * 0.008283496254582462));
}

void intro_burn_step(intro_state* s, pixmap* frame) {
  const intro_tables* t = s->tables;
  uint8_t* out = s->work[1];
  const uint8_t* scale = t->scale[s->level < 127 ? s->level : 127];
  if (s->phase == 0) {
    // Bright map areas first: the base (the first working buffer) is 0.
    const uint8_t* base = s->work[0];
    for (int32_t i = 0; i < INTRO_PIXELS; i++)
      out[i] = t->glow[uint8_t(base[i] + scale[s->map[i]])];
  } else if (s->phase == 1) {
    // Then the rest, from the map's own value up.
    for (int32_t i = 0; i < INTRO_PIXELS; i++)
      out[i] = t->glow[uint8_t(s->map[i] + scale[s->map_inverse[i]])];
  }
  const uint32_t* src = s->picture->pixels;
  uint32_t* dst = frame->pixels;
  for (int32_t i = 0; i < INTRO_PIXELS; i++) {
    const uint8_t* row = s->shade + (out[i] >> 3) * 256;
    const uint32_t q = src[i];
    dst[i] = uint32_t(row[q & 255]) | uint32_t(row[(q >> 8) & 255]) << 8 | uint32_t(row[(q >> 16) & 255]) << 16 |
             (q & 0xFF000000u);
  }
  if (++s->level >= 128) {
    s->level = 0;
    s->phase++;
  }
}
