#include "art_plasma.h"

#include "art_random.h"

#include <cmath>

void art_plasma_sine(art_field* f, int32_t waves, int32_t max_frequency, uint32_t seed) {
  art_rng rng;
  art_rng_seed(&rng, seed, 7);
  if (max_frequency < 1)
    max_frequency = 1;
  struct wave {
    float fx, fy, phase;
  };
  std::vector<wave> list;
  const float tau = 6.28318531f;
  for (int32_t i = 0; i < waves; i++) {
    const int32_t kx = int32_t(art_rng_below(&rng, uint32_t(2 * max_frequency + 1))) - max_frequency;
    int32_t ky = int32_t(art_rng_below(&rng, uint32_t(2 * max_frequency + 1))) - max_frequency;
    if (kx == 0 && ky == 0)
      ky = 1;
    list.push_back({tau * float(kx), tau * float(ky), art_rng_range(&rng, 0, tau)});
  }
  const float cx = art_rng_float(&rng), cy = art_rng_float(&rng);
  const float radial = float(1 + art_rng_below(&rng, uint32_t(max_frequency)));
  for (int32_t y = 0; y < f->height; y++)
    for (int32_t x = 0; x < f->width; x++) {
      const float u = float(x) / float(f->width), v = float(y) / float(f->height);
      float s = 0;
      for (const wave& w : list)
        s += std::sin(w.fx * u + w.fy * v + w.phase);
      // A wave around a centre, measured on the torus so it tiles too.
      const float du = std::sin((u - cx) * 3.14159265f), dv = std::sin((v - cy) * 3.14159265f);
      s += std::sin(std::sqrt(du * du + dv * dv) * tau * radial);
      art_at(f, x, y) = s;
    }
  art_field_normalise(f);
}

int art_plasma_fractal(art_field* f, float roughness, uint32_t seed) {
  const int32_t n = f->width;
  if (n < 2 || n != f->height || (n & (n - 1)) != 0)
    return 0;
  art_rng rng;
  art_rng_seed(&rng, seed, 11);
  auto at = [&](int32_t x, int32_t y) -> float& { return art_at(f, x & (n - 1), y & (n - 1)); };
  at(0, 0) = 0;
  float amplitude = 1;
  for (int32_t step = n; step > 1; step /= 2) {
    const int32_t half = step / 2;
    // Diamond: centres of squares.
    for (int32_t y = 0; y < n; y += step)
      for (int32_t x = 0; x < n; x += step) {
        const float avg = (at(x, y) + at(x + step, y) + at(x, y + step) + at(x + step, y + step)) * 0.25f;
        at(x + half, y + half) = avg + art_rng_range(&rng, -amplitude, amplitude);
      }
    // Square: midpoints of edges.
    for (int32_t y = 0; y < n; y += half)
      for (int32_t x = ((y / half) & 1) ? 0 : half; x < n; x += step) {
        const float avg = (at(x - half, y) + at(x + half, y) + at(x, y - half) + at(x, y + half)) * 0.25f;
        at(x, y) = avg + art_rng_range(&rng, -amplitude, amplitude);
      }
    amplitude *= roughness;
  }
  art_field_normalise(f);
  return 1;
}
