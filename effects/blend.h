// Pixel operations the effects share: fixed-weight colour mixing through
// mul_table, cross-fade, two radial blurs, an additive scaled sprite and a
// text printer with the built-in 8x8 font. Channels are the three low bytes.
#pragma once

#include "colour_add.h"
#include "pixmap.h"

#include <cstdint>

// mul_table[k][v] = trunc(k * v / 64) for k < 64; row 64 is all zero.
extern uint8_t mul_table[65][256];
extern int mul_table_built;

void build_mul_tables();

// Writes the mix of two equally sized pictures at (x, y): weight t (0 to 63)
// gives A t/64 and B (63 - t)/64 per channel. Does nothing before the table
// is built.
void cross_fade(pixmap* dst, int32_t x, int32_t y, const pixmap* a, const pixmap* b, int32_t t);

// Smears the frame outwards from the centre: each pixel becomes the average
// of a frame pixel nearer the centre (factor f of the way) and the source.
void radial_blur(pixmap* frame, const pixmap* source, float cx, float cy, float f);

// As radial_blur with the sample weighted w/64 and the source (64 - w)/64.
void radial_blur_weighted(pixmap* frame, const pixmap* source, float cx, float cy, int32_t w, float f);

// As radial_blur_weighted with a factor that grows with the distance from
// the centre: distance / q, taken every eighth column (the end part's blur).
void radial_blur_scaled(pixmap* frame, const pixmap* source, float cx, float cy, int32_t w, float q);

// Adds the sprite, stretched to a square of side trunc(base - level / 8)
// (at most 512) centred at (cx, cy), with saturation.
void add_sprite_scaled(int32_t cx, int32_t cy, pixmap* dst, const pixmap* sprite, float level, int32_t base);

// Formats and draws text additively; a null pixmap means the previous call's.
// Returns the advance drawn since the last line break.
int32_t text_printf(pixmap* pm, int32_t x, int32_t y, uint32_t colour, const char* format, ...)
    __attribute__((format(printf, 5, 6)));
