// GIF writer through giflib: one image, not interlaced, its palette either
// global (the usual place) or local to the image.
#pragma once

#include "picture.h"

#include <cstddef>
#include <cstdint>
#include <vector>

enum : int32_t {
  GIF_PALETTE_GLOBAL = 0,
  GIF_PALETTE_LOCAL = 1,
};

// Replace out with the file's bytes. The palette is written with the smallest
// power-of-two size (2 to 256) that holds pic->colours entries. Return 1, or
// 0 for an empty or oversized picture, an index beyond the palette or a
// failure inside giflib.
int write_gif(const indexed_picture* pic, int32_t palette_place, std::vector<uint8_t>* out);
