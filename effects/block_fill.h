// The 8x8 block filler: one block of a picture filled from a 256 x 256
// texture by bilinear interpolation of the texture coordinates (and a shade)
// given at its four corners, in 8.8 fixed point. Differences take the shorter
// way across the texture's wrap, so a warp grid may run off one edge of the
// texture and on at the other. The net, the magnet and the end part fill
// their pictures block by block with it.
#pragma once

#include "pixmap.h"

#include <cstdint>

constexpr int32_t BLOCK_SIZE = 8;           // pixels per block side
constexpr int32_t BLOCK_TEXTURE_SIZE = 256; // textures are read as 256-wide arrays

// Modes: the low 7 bits count the interpolants, bit 0x80 adds.
enum : int32_t {
  BLOCK_PLAIN = 2,  // u, v: the pixel is the texel
  BLOCK_SHADED = 3, // u, v, shade: each channel of the texel through shade-table row (shade AND 63)
  BLOCK_ADD = 0x80, // the (shaded) texel is added to the pixel with per-channel saturation
};

// One corner of a block: texture column and row, and the shade row.
struct block_corner {
  int32_t u;
  int32_t v;
  int32_t shade;
};

// True for a texture the filler reads: 256 pixels wide and at least 256 high.
bool block_texture_fits(const pixmap* texture);

// Fills the block whose top-left pixel is (x, y) from the corners at its
// top-left, top-right, bottom-left and bottom-right. Pixels outside the
// destination are skipped; a texture that does not fit, a shaded mode
// without a shade table or a mode of another count draws nothing.
void block_fill(int32_t x, int32_t y, pixmap* dst, const pixmap* texture, int32_t mode, const block_corner* tl,
                const block_corner* tr, const block_corner* bl, const block_corner* br, const uint8_t* shade_table);
