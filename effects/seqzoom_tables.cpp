// The zoomer's tables, made once at init: the polar map of the screen and
// the ring lookup into the pictures.
#include "seqzoom_parts.h"

#include <cmath>

seqzoom_polar seqzoom_polar_at(int32_t px, int32_t py) {
  const double x = double(px - SEQZOOM_WIDTH / 2), y = double(py - SEQZOOM_HEIGHT / 2);
  seqzoom_polar e;
  e.angle = int32_t((std::atan2(y, x) + M_PI) / (2.0 * M_PI) * 255.0);
  const int32_t r = int32_t(std::sqrt(x * x + y * y));
  // One depth step is a factor 128/127 in radius; radius 220 is depth 200.
  e.depth = r > 0 ? int32_t(200.0 - std::log(double(r) / 220.0) / std::log(0.9921875)) : SEQZOOM_NO_DEPTH;
  return e;
}

void seqzoom_fill_polar_map(seqzoom_polar* map) {
  for (int32_t py = 0; py < SEQZOOM_HEIGHT; py++)
    for (int32_t px = 0; px < SEQZOOM_WIDTH; px++)
      map[py * SEQZOOM_WIDTH + px] = seqzoom_polar_at(px, py);
}

void seqzoom_fill_band(const uint32_t** lookup, int32_t base, const pixmap* p) {
  const int32_t w = p->width, h = p->height;
  for (int32_t i = 0; i < SEQZOOM_BAND; i++)
    for (int32_t j = 0; j < SEQZOOM_ANGLES; j++) {
      const double t = M_PI + double(j) * M_PI / 128.0;
      const int32_t sx = int32_t(double(i) * std::cos(t)) + w / 2;
      const int32_t sy = int32_t(double(i) * std::sin(t)) + h / 2;
      const uint32_t* ref = nullptr;
      if (sx > 0 && sx < w && sy > 0 && sy < h)
        ref = p->pixels + p->rows[sy] + sx;
      lookup[(base + i) * SEQZOOM_ANGLES + j] = ref;
    }
}
