// Pictures handed to the writers. Pixels use the pixmap byte layout (red,
// green, blue, fourth byte in memory order), so a pixmap converts without
// change. These records own their storage in standard containers and never go
// through the memory helpers, so the forge may build them on worker threads.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

struct pixmap;

// A true-colour picture, top row first.
struct forge_picture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels; // width * height
};

// A picture of palette indices, top row first.
struct indexed_picture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> indices;       // width * height
  std::array<uint8_t, 768> palette{}; // red, green, blue of each entry
  int32_t colours = 256;              // entries in use (1 to 256)
};

// Sets the size and fills every pixel with value; 0 for a negative size.
int picture_init(forge_picture* pic, int32_t width, int32_t height, uint32_t value);
int indexed_init(indexed_picture* pic, int32_t width, int32_t height, int32_t colours);

// Copies a pixmap's pixels; 0 for a pixmap without pixels.
int picture_from_pixmap(forge_picture* pic, const pixmap* pm);

// Expands indices through the palette (fourth byte 0); 0 on a bad picture.
int indexed_expand(const indexed_picture* in, forge_picture* out);

// A picture with exactly width * height pixels (and a palette index table of
// the same size for indexed pictures).
bool picture_valid(const forge_picture* pic);
bool indexed_valid(const indexed_picture* pic);

inline uint32_t picture_rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
  return (r & 255) | (g & 255) << 8 | (b & 255) << 16 | (a & 255) << 24;
}
inline uint32_t picture_red(uint32_t p) { return p & 255; }
inline uint32_t picture_green(uint32_t p) { return p >> 8 & 255; }
inline uint32_t picture_blue(uint32_t p) { return p >> 16 & 255; }
inline uint32_t picture_alpha(uint32_t p) { return p >> 24; }
