// Pixmaps: the one image type of the system. Pixels are 32-bit words holding
// the bytes red, green, blue, alpha in memory order (red in bits 0-7).
#pragma once

#include <cstdint>

enum : uint32_t {
  PIXMAP_BLEND = 1, // as a blit source: blend by byte 3 instead of copying
  PIXMAP_DEPTH = 2, // has (and maintains) a depth buffer
  PIXMAP_CLEAR = 4, // created opaque black, depth at the far value
};

constexpr int32_t PIXMAP_FAR_DEPTH = 0x7FFFFFFF;

struct pixmap {
  int32_t width;
  int32_t height;
  uint32_t flags;
  int32_t* rows;    // rows[y] = y * width
  int32_t* depth;   // width * height values, or none
  uint32_t* pixels; // width * height pixels, top row first
  int32_t reserved;
};

// The largest number of pixels a pixmap may hold (row offsets stay 32-bit).
constexpr int64_t PIXMAP_MAX_PIXELS = 0x7FFFFFFF / 4;

extern int32_t pixmap_error;

pixmap* pixmap_create(int32_t width, int32_t height, uint32_t flags);
void pixmap_free(pixmap* pm);
void pixmap_put_pixel(pixmap* pm, int32_t x, int32_t y, uint32_t value);
uint32_t pixmap_get_pixel(const pixmap* pm, int32_t x, int32_t y);
void pixmap_fill_rect(pixmap* pm, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t value);
void pixmap_blit(pixmap* dst, int32_t dx, int32_t dy, const pixmap* src, int32_t sx, int32_t sy, int32_t w, int32_t h);
void pixmap_fade_blit(pixmap* dst, int32_t dx, int32_t dy, const pixmap* src, int32_t sx, int32_t sy, uint32_t colour,
                      float factor, int32_t w, int32_t h);
const char* pixmap_error_text();

// The rectangle copy of pixmap_blit after clipping against a source of
// src_w x src_h and a destination of dst_w x dst_h: a negative source start
// moves the destination by the same amount. Returns 0 when nothing remains.
struct pixmap_copy_rect {
  int32_t dx, dy, sx, sy, w, h;
};
int pixmap_clip_copy(int32_t dst_w, int32_t dst_h, int32_t dx, int32_t dy, int32_t src_w, int32_t src_h, int32_t sx,
                     int32_t sy, int32_t w, int32_t h, pixmap_copy_rect* out);

// Pixel byte helpers.
constexpr uint32_t pixmap_rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
  return (r & 255) | (g & 255) << 8 | (b & 255) << 16 | (a & 255) << 24;
}
