// The shared blending helpers on a 320x240 frame.
#include "blend.h"

#include <benchmark/benchmark.h>

namespace {
pixmap* noise(int32_t w, int32_t h, uint32_t seed) {
  pixmap* pm = pixmap_create(w, h, 0);
  uint32_t x = seed;
  for (int64_t i = 0; i < int64_t(w) * h; i++) {
    x = x * 1664525u + 1013904223u;
    pm->pixels[i] = x;
  }
  return pm;
}
} // namespace

static void BM_radial_blur(benchmark::State& state) {
  pixmap *frame = noise(320, 240, 1), *source = noise(320, 240, 2);
  for (auto _ : state) {
    radial_blur(frame, source, 160.0f, 120.0f, 0.1f);
    benchmark::ClobberMemory();
  }
  pixmap_free(frame);
  pixmap_free(source);
}
BENCHMARK(BM_radial_blur)->Unit(benchmark::kMicrosecond);

static void BM_radial_blur_weighted(benchmark::State& state) {
  build_mul_tables();
  pixmap *frame = noise(320, 240, 1), *source = noise(320, 240, 2);
  for (auto _ : state) {
    radial_blur_weighted(frame, source, 160.0f, 120.0f, 40, 0.1f);
    benchmark::ClobberMemory();
  }
  pixmap_free(frame);
  pixmap_free(source);
}
BENCHMARK(BM_radial_blur_weighted)->Unit(benchmark::kMicrosecond);

static void BM_cross_fade(benchmark::State& state) {
  build_mul_tables();
  pixmap *frame = noise(320, 240, 1), *a = noise(320, 240, 2), *b = noise(320, 240, 3);
  int t = 0;
  for (auto _ : state) {
    cross_fade(frame, 0, 0, a, b, t++ & 63);
    benchmark::ClobberMemory();
  }
  pixmap_free(frame);
  pixmap_free(a);
  pixmap_free(b);
}
BENCHMARK(BM_cross_fade)->Unit(benchmark::kMicrosecond);

// A 256x256 flare over the middle of the frame.
static void BM_add_sprite_scaled(benchmark::State& state) {
  pixmap *frame = noise(320, 240, 1), *flare = noise(64, 64, 2);
  for (auto _ : state) {
    add_sprite_scaled(160, 120, frame, flare, 0.0f, 256);
    benchmark::ClobberMemory();
  }
  pixmap_free(frame);
  pixmap_free(flare);
}
BENCHMARK(BM_add_sprite_scaled)->Unit(benchmark::kMicrosecond);
