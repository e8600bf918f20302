// TGA writer: uncompressed true colour (image type 2) at 16, 24 or 32 bits
// per pixel, stored from the chosen origin.
//
// 16-bit pixels keep the top five bits of each channel (bits 10-14 red, 5-9
// green, 0-4 blue, bit 15 clear); 32-bit pixels carry the fourth byte as
// alpha and declare 8 alpha bits.
#pragma once

#include "picture.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Origins as the descriptor's bits 4-5 give them.
enum : int32_t {
  TGA_ORIGIN_BOTTOM_LEFT = 0,
  TGA_ORIGIN_BOTTOM_RIGHT = 1,
  TGA_ORIGIN_TOP_LEFT = 2,
  TGA_ORIGIN_TOP_RIGHT = 3,
};

// Replace out with the file's bytes. Return 1, or 0 for an empty or oversized
// picture, another depth or an unknown origin.
int write_tga(const forge_picture* pic, int32_t bits, int32_t origin, std::vector<uint8_t>* out);
