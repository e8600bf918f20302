// The zoomer's two pictures of a frame: the fly-in stretch of the ring
// picture and the polar pass through the nested pictures.
#include "seqzoom_parts.h"

#include <algorithm>

void seqzoom_polar_pass(pixmap* frame, const seqzoom_polar* map, const uint32_t* const* lookup, int32_t z) {
  for (int32_t py = 0; py < SEQZOOM_HEIGHT; py++) {
    uint32_t* out = frame->pixels + frame->rows[py];
    const seqzoom_polar* m = map + py * SEQZOOM_WIDTH;
    for (int32_t px = 0; px < SEQZOOM_WIDTH; px++) {
      const int64_t row = int64_t(z) + m[px].depth;
      // Rows 0 and 600 are outside as well; such pixels keep what they had.
      if (row > 0 && row < SEQZOOM_RINGS) {
        const uint32_t* ref = lookup[row * SEQZOOM_ANGLES + m[px].angle];
        out[px] = ref ? *ref : 0;
      }
    }
  }
}

namespace {
// trunc(v) limited to [lo, hi]; a value that is not a number gives lo.
int32_t clamp_trunc(double v, int32_t lo, int32_t hi) {
  if (!(v > double(lo)))
    return lo;
  return v < double(hi) ? int32_t(v) : hi;
}
} // namespace

void seqzoom_fly_in(pixmap* frame, const pixmap* ring, float approach) {
  const int32_t width = frame->width, height = frame->height;
  if (!ring || ring->width <= 0 || ring->height <= 0 || width <= 0 || height <= 0)
    return;
  // The rectangle shrinks symmetrically about the picture's centre; past 160
  // it turns over and mirrors the picture.
  const float a = float(double(approach) * 0.79);
  const int64_t x0 = clamp_trunc(a, -1000000, 1000000), x1 = clamp_trunc(320.0f - a, -1000000, 1000000);
  const double b = double(approach) * 0.59;
  const int32_t y0 = clamp_trunc(b, -1000000, 1000000), y1 = clamp_trunc(240.0 - b, -1000000, 1000000);
  const int64_t step = ((x1 - x0) * 65536) / width;
  const float v_step = float(double(y1 - y0) / double(height));
  // Source columns are the same for every row. The rectangle stays inside
  // the picture for the whole fly-in; the limits only guard a clock that
  // jumps far ahead or a picture smaller than the frame.
  int32_t columns[SEQZOOM_WIDTH];
  const int32_t drawn_width = std::min(width, SEQZOOM_WIDTH);
  int64_t acc = x0 * 65536;
  for (int32_t x = 0; x < drawn_width; x++, acc += step)
    columns[x] = int32_t(std::clamp<int64_t>(acc >> 16, 0, ring->width - 1));
  float v = float(y0);
  for (int32_t y = 0; y < height; y++, v += v_step) {
    const int32_t sy = clamp_trunc(v, 0, ring->height - 1);
    const uint32_t* src = ring->pixels + ring->rows[sy];
    uint32_t* out = frame->pixels + frame->rows[y];
    for (int32_t x = 0; x < drawn_width; x++)
      out[x] = src[columns[x]];
  }
}
