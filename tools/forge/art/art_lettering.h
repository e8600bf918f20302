// Designed lettering: set text laid onto a canvas with a glow behind it, a
// drop shadow, an outline, a fill from a ramp running top to bottom, and a
// bevel lit like a height field (chrome and glass looks).
#pragma once

#include "art_canvas.h"
#include "art_light.h"
#include "art_ramp.h"
#include "art_text.h"

#include <string>

struct art_lettering {
  art_ramp fill; // top (0) to bottom (1) of the letters' box
  art_colour outline = {0.02f, 0.02f, 0.08f, 1};
  float outline_width = 1.5f;          // pixels; 0 for none
  art_colour shadow = {0, 0, 0, 0.7f}; // alpha is the shadow's strength
  int32_t shadow_dx = 2, shadow_dy = 3;
  float shadow_blur = 2;
  art_colour glow = {1.0f, 0.55f, 0.1f, 1};
  float glow_sigma = 6; // 0 for none
  float glow_strength = 0.8f;
  float bevel = 2.5f;     // blur of the bevel's height field, 0 for a flat fill
  art_light_params light; // bevel lighting (depth is the bevel's height)
};

// Sets text in style and lays it on the canvas with its pen start at x and
// its baseline at y. Returns 1, or 0 when the text cannot be set.
int art_letter(art_canvas* c, const art_text_style* style, const char* utf8, float x, float y,
               const art_lettering* look);

// art_letter for the generators' jobs: when the text cannot be set, sets
// *error to a message naming the text and the font's path and returns 0. An
// error already in *error is kept, so a picture reports its first failure.
int art_letter_checked(art_canvas* c, const art_text_style* style, const char* utf8, float x, float y,
                       const art_lettering* look, std::string* error);

// The pen start that centres the text's ink horizontally on cx.
float art_letter_centre(const art_text_style* style, const char* utf8, float cx);
