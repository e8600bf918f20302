// TGA reader: uncompressed true-colour Targa pictures (image type 2) of 16,
// 24 or 32 bits per pixel, turned upright whatever origin the file declares.
#pragma once

#include "pixmap.h"

#include <cstdint>

constexpr int32_t TGA_HEADER_SIZE = 18;

// Origin of the stored rows, (descriptor >> 4) & 3.
enum : int32_t {
  TGA_BOTTOM_LEFT = 0,
  TGA_BOTTOM_RIGHT = 1,
  TGA_TOP_LEFT = 2,
  TGA_TOP_RIGHT = 3,
};

struct tga_header {
  int32_t id_length;
  int32_t colour_map_type;
  int32_t image_type;
  int32_t colour_map_length;
  int32_t colour_map_entry_bits;
  int32_t width;
  int32_t height;
  int32_t bits_per_pixel;
  int32_t descriptor;
};

// Reads a TGA file through the file layer into a new pixmap (flags
// PIXMAP_CLEAR), or none.
pixmap* tga_load(const char* path);

// Reads and checks the header only. 1, or 0 when the file cannot be opened or
// is not a picture tga_load reads.
int tga_read_info(const char* path, tga_header* header);
