// Pixel work of the mirror scene renderer: mapped triangles with or without
// the depth test, and scaled additive sprites. Colours are added per byte
// with saturation; byte 3 of a target pixel never changes.
#pragma once

#include "colour_add.h"
#include "mirror_scene.h"

#include <cstdint>

// A corner of a mapped triangle: screen position, texture position in
// texels, and depth value.
struct scene_corner {
  float sx, sy;
  float u, v;
  float d;
};

// Fills the triangle with texels of the texture (coordinates limited to the
// texture). With depth, a pixel is written only where trunc(d) is greater
// than the stored depth, which then becomes trunc(d).
void scene_fill_triangle(rgb_image* target, const rgb_image* texture, const scene_corner* a, const scene_corner* b,
                         const scene_corner* c, bool depth);

// Sprite options: brightness 0 to 256 (256 = as stored), or a table of 256
// bytes through which every colour byte goes instead; and, when depth is not
// negative, the depth test (a pixel changes only where the stored depth is
// less than depth; the buffer is not written).
struct scene_sprite_options {
  int32_t brightness = 256;
  const uint8_t* levels = nullptr;
  int32_t depth = -1;
};

// Adds the image scaled down by f (f texels per target pixel) centred at
// (cx, cy), clipped to the target.
void scene_add_sprite(rgb_image* target, const rgb_image* image, float cx, float cy, float f,
                      const scene_sprite_options& options);
