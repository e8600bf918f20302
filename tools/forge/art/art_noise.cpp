#include "art_noise.h"

#include "art_random.h"

#include <cmath>

// Sixteen unit gradients evenly spread over the circle.
static const float art_grad[16][2] = {
    {1.0f, 0.0f},  {0.92387953f, 0.38268343f},   {0.70710678f, 0.70710678f},   {0.38268343f, 0.92387953f},
    {0.0f, 1.0f},  {-0.38268343f, 0.92387953f},  {-0.70710678f, 0.70710678f},  {-0.92387953f, 0.38268343f},
    {-1.0f, 0.0f}, {-0.92387953f, -0.38268343f}, {-0.70710678f, -0.70710678f}, {-0.38268343f, -0.92387953f},
    {0.0f, -1.0f}, {0.38268343f, -0.92387953f},  {0.70710678f, -0.70710678f},  {0.92387953f, -0.38268343f},
};

static int32_t art_lattice(int32_t i, int32_t period) {
  if (period <= 0)
    return i;
  const int32_t m = i % period;
  return m < 0 ? m + period : m;
}

static float art_corner(int32_t ix, int32_t iy, float dx, float dy, uint32_t seed, int32_t px, int32_t py) {
  const uint32_t h = art_hash(uint32_t(art_lattice(ix, px)), uint32_t(art_lattice(iy, py)), seed) & 15;
  return art_grad[h][0] * dx + art_grad[h][1] * dy;
}

static float art_fade(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }

float art_noise(float x, float y, uint32_t seed, int32_t period_x, int32_t period_y) {
  const float fx = std::floor(x), fy = std::floor(y);
  const int32_t ix = int32_t(fx), iy = int32_t(fy);
  const float dx = x - fx, dy = y - fy;
  const float n00 = art_corner(ix, iy, dx, dy, seed, period_x, period_y);
  const float n10 = art_corner(ix + 1, iy, dx - 1, dy, seed, period_x, period_y);
  const float n01 = art_corner(ix, iy + 1, dx, dy - 1, seed, period_x, period_y);
  const float n11 = art_corner(ix + 1, iy + 1, dx - 1, dy - 1, seed, period_x, period_y);
  const float u = art_fade(dx), v = art_fade(dy);
  const float a = n00 + (n10 - n00) * u;
  const float b = n01 + (n11 - n01) * u;
  // The largest possible value of 2D gradient noise is sqrt(1/2); scale to 1.
  return (a + (b - a) * v) * 1.41421356f;
}

float art_fractal_at(const art_fractal* p, float x, float y) {
  float sum = 0, amplitude = 1, total = 0, frequency = 1;
  int32_t period = p->period;
  for (int32_t o = 0; o < p->octaves; o++) {
    const uint32_t seed = art_hash(p->seed, uint32_t(o));
    float n = art_noise(x * frequency, y * frequency, seed, period, period);
    if (p->kind == ART_FRACTAL_TURBULENCE)
      n = std::fabs(n);
    else if (p->kind == ART_FRACTAL_RIDGED) {
      n = 1 - std::fabs(n);
      n *= n;
    }
    sum += n * amplitude;
    total += amplitude;
    amplitude *= p->gain;
    frequency *= 2;
    period *= 2;
  }
  return total > 0 ? sum / total : 0;
}

void art_field_fractal(art_field* f, const art_fractal* p, float cells) {
  if (f->width < 1)
    return;
  const float k = cells / float(f->width);
  for (int32_t y = 0; y < f->height; y++)
    for (int32_t x = 0; x < f->width; x++)
      art_at(f, x, y) = art_fractal_at(p, float(x) * k, float(y) * k);
}

void art_cellular(float x, float y, uint32_t seed, int32_t period, float* f1, float* f2, uint32_t* cell_id) {
  const float fx = std::floor(x), fy = std::floor(y);
  const int32_t ix = int32_t(fx), iy = int32_t(fy);
  float d1 = 1e9f, d2 = 1e9f;
  uint32_t id = 0;
  for (int32_t j = -1; j <= 1; j++)
    for (int32_t i = -1; i <= 1; i++) {
      const uint32_t cx = uint32_t(art_lattice(ix + i, period)), cy = uint32_t(art_lattice(iy + j, period));
      const uint32_t h = art_hash(cx, cy, seed);
      const float px = float(ix + i) + float(h & 0xFFFF) / 65536.0f;
      const float py = float(iy + j) + float(h >> 16) / 65536.0f;
      const float d = std::sqrt((px - x) * (px - x) + (py - y) * (py - y));
      if (d < d1) {
        d2 = d1;
        d1 = d;
        id = art_hash(cx, cy, seed ^ 0x5BD1E995u);
      } else if (d < d2) {
        d2 = d;
      }
    }
  *f1 = d1;
  *f2 = d2;
  if (cell_id)
    *cell_id = id;
}
