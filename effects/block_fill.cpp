#include "block_fill.h"

#include "colour_add.h"

#include <algorithm>

namespace {
constexpr int32_t BLOCK_COUNT_MASK = 0x7F;
constexpr int32_t BLOCK_SHADE_ROWS = 64;
constexpr int32_t BLOCK_SHADE_ROW_BYTES = 256;
// 8.8 fixed point: a difference over the 8 rows or columns of a block is
// stepped by difference * 256 / 8.
constexpr int64_t BLOCK_STEP_SCALE = 256 / BLOCK_SIZE;

// The shorter way across the wrap of a 256-wide texture.
int64_t block_wrap(int64_t d) {
  if (d > 127)
    return d - 256;
  if (d < -127)
    return d + 256;
  return d;
}

// Integer part of an 8.8 value (the accumulators wrap as unsigned numbers;
// only the low bits of the integer part address the texture).
int64_t block_whole(uint32_t value) { return int32_t(value) >> 8; }

// A value walked down one side of the block, in 8.8 fixed point.
struct block_edge {
  uint32_t value;
  uint32_t step;
};

block_edge block_side(int32_t top, int32_t bottom) {
  return {uint32_t(top) << 8, uint32_t(block_wrap(int64_t(bottom) - top) * BLOCK_STEP_SCALE)};
}

uint32_t block_row_step(uint32_t left, uint32_t right) {
  return uint32_t(block_wrap(block_whole(right) - block_whole(left)) * BLOCK_STEP_SCALE);
}

uint32_t block_texel(const uint32_t* texels, uint32_t u, uint32_t v) {
  return texels[((v >> 8) & 255) << 8 | ((u >> 8) & 255)];
}

// The rows of one block, clipped to the rows [row0, row1) and the columns
// [col0, col1) of the block. The edges of every row are stepped, drawn or not.
// origin is the index of the block's top-left pixel in pixels (it may lie
// outside the picture when the block is clipped).
template <bool SHADED, bool ADD>
void block_rows(uint32_t* pixels, int64_t origin, int32_t pitch, const uint32_t* texels, const uint8_t* shade,
                block_edge* left, block_edge* right, int32_t row0, int32_t row1, int32_t col0, int32_t col1) {
  for (int32_t r = 0; r < BLOCK_SIZE; r++) {
    if (r >= row0 && r < row1) {
      const int64_t at = origin + int64_t(r) * pitch;
      const uint32_t du = block_row_step(left[0].value, right[0].value);
      const uint32_t dv = block_row_step(left[1].value, right[1].value);
      const uint32_t ds = SHADED ? block_row_step(left[2].value, right[2].value) : 0;
      uint32_t u = left[0].value + du * uint32_t(col0);
      uint32_t v = left[1].value + dv * uint32_t(col0);
      uint32_t s = SHADED ? left[2].value + ds * uint32_t(col0) : 0;
      for (int32_t c = col0; c < col1; c++) {
        uint32_t texel = block_texel(texels, u, v);
        if constexpr (SHADED) {
          const uint8_t* row = shade + ((s >> 8) & (BLOCK_SHADE_ROWS - 1)) * BLOCK_SHADE_ROW_BYTES;
          texel = (texel & 0xFF000000u) | row[texel & 255] | uint32_t(row[texel >> 8 & 255]) << 8 |
                  uint32_t(row[texel >> 16 & 255]) << 16;
          s += ds;
        }
        pixels[at + c] = ADD ? colour_add_saturated(pixels[at + c], texel) : texel;
        u += du;
        v += dv;
      }
    }
    for (int32_t k = 0; k < (SHADED ? 3 : 2); k++) {
      left[k].value += left[k].step;
      right[k].value += right[k].step;
    }
  }
}
} // namespace

bool block_texture_fits(const pixmap* texture) {
  return texture && texture->pixels && texture->width == BLOCK_TEXTURE_SIZE && texture->height >= BLOCK_TEXTURE_SIZE;
}

void block_fill(int32_t x, int32_t y, pixmap* dst, const pixmap* texture, int32_t mode, const block_corner* tl,
                const block_corner* tr, const block_corner* bl, const block_corner* br, const uint8_t* shade_table) {
  const int32_t count = mode & BLOCK_COUNT_MASK;
  if (!dst || !dst->pixels || !block_texture_fits(texture) || (count != BLOCK_PLAIN && count != BLOCK_SHADED) ||
      (count == BLOCK_SHADED && !shade_table))
    return;
  // The part of the block inside the destination, in block coordinates.
  const int64_t row0 = std::max<int64_t>(0, -int64_t(y)),
                row1 = std::min<int64_t>(BLOCK_SIZE, int64_t(dst->height) - y);
  const int64_t col0 = std::max<int64_t>(0, -int64_t(x)), col1 = std::min<int64_t>(BLOCK_SIZE, int64_t(dst->width) - x);
  if (row0 >= row1 || col0 >= col1)
    return;
  block_edge left[3] = {block_side(tl->u, bl->u), block_side(tl->v, bl->v), block_side(tl->shade, bl->shade)};
  block_edge right[3] = {block_side(tr->u, br->u), block_side(tr->v, br->v), block_side(tr->shade, br->shade)};
  const auto run = count == BLOCK_SHADED ? (mode & BLOCK_ADD ? block_rows<true, true> : block_rows<true, false>)
                                         : (mode & BLOCK_ADD ? block_rows<false, true> : block_rows<false, false>);
  run(dst->pixels, int64_t(y) * dst->width + x, dst->width, texture->pixels, shade_table, left, right, int32_t(row0),
      int32_t(row1), int32_t(col0), int32_t(col1));
}
