// Compositing: layers of colour laid over a canvas through masks, with the
// usual blend modes.
#pragma once

#include "art_canvas.h"

#include <cstddef>
#include <cstdint>

enum : int32_t {
  ART_BLEND_OVER = 0,     // alpha blend (source alpha times opacity)
  ART_BLEND_ADD = 1,      // dst + src * alpha
  ART_BLEND_SCREEN = 2,   // 1 - (1 - dst)(1 - src * alpha)
  ART_BLEND_MULTIPLY = 3, // dst * mix(1, src, alpha)
};

// Blends one colour into a pixel with the given coverage (0 to 1).
void art_blend(art_colour* dst, art_colour src, float coverage, int32_t mode);

// Lays src over dst with its top-left corner at (dx, dy); pixels falling
// outside dst are skipped.
void art_composite(art_canvas* dst, const art_canvas* src, int32_t dx, int32_t dy, int32_t mode, float opacity);

// Paints a flat colour through a mask placed at (dx, dy).
void art_paint_mask(art_canvas* dst, const art_field* mask, int32_t dx, int32_t dy, art_colour colour, int32_t mode,
                    float opacity);

// Paints a canvas of the mask's size through the mask (for filled text: the
// fill canvas gives the colour, the mask the coverage).
void art_paint_fill(art_canvas* dst, const art_field* mask, const art_canvas* fill, int32_t dx, int32_t dy,
                    int32_t mode, float opacity);

// Grows a mask by radius pixels (maximum over a disc), for outlines.
void art_mask_dilate(art_field* mask, float radius);

// Copies f shifted by (dx, dy) into a new field of the same size, zero where
// nothing falls (for shadows).
void art_field_shift(const art_field* f, int32_t dx, int32_t dy, art_field* out);

// Pads a field with margin pixels of value 0 on every side.
void art_field_pad(art_field* f, int32_t margin);
