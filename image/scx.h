// SCX reader: 8-bit single-channel maps (height fields, displacement and
// lookup maps) with a 778-byte header, loaded whole into a byte bitmap.
#pragma once

#include <cstdint>

// Offset of the pixel bytes in every file.
constexpr int32_t SCX_DATA_OFFSET = 778;

// The most pixel bytes a file may lack; they stay zero. A declared size beyond
// what the file holds by more than this is refused.
constexpr int64_t SCX_MAX_MISSING = int64_t(1) << 20;

struct scx_bitmap {
  int32_t width;
  int32_t height;
  uint8_t* pixels; // width * height values, top row first
};

// Reads a map through the file layer, or none. The caller owns the record and
// releases it with scx_free.
scx_bitmap* scx_load(const char* path);
void scx_free(scx_bitmap* bitmap);
