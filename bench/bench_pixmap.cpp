// Whole-frame blits of 320x240: plain, blending and fade.
#include "pixmap.h"

#include <benchmark/benchmark.h>

namespace {
pixmap* make_source(uint32_t flags) {
  pixmap* pm = pixmap_create(320, 240, flags);
  uint32_t x = 7;
  for (int i = 0; i < 320 * 240; i++) {
    x = x * 1664525u + 1013904223u;
    pm->pixels[i] = x;
  }
  return pm;
}
} // namespace

// A whole-frame blit; with PIXMAP_BLEND on the source it blends by byte 3.
static void BM_blit(benchmark::State& state) {
  pixmap* src = make_source(uint32_t(state.range(0)));
  pixmap* dst = pixmap_create(320, 240, PIXMAP_CLEAR);
  for (auto _ : state) {
    pixmap_blit(dst, 0, 0, src, 0, 0, 320, 240);
    benchmark::ClobberMemory();
  }
  pixmap_free(src);
  pixmap_free(dst);
}
BENCHMARK(BM_blit)->Arg(0)->Arg(PIXMAP_BLEND)->ArgNames({"flags"})->Unit(benchmark::kMicrosecond);

static void BM_fade_blit(benchmark::State& state) {
  pixmap* src = make_source(0);
  pixmap* dst = pixmap_create(320, 240, PIXMAP_CLEAR);
  float factor = 0.25f;
  for (auto _ : state) {
    pixmap_fade_blit(dst, 0, 0, src, 0, 0, 0x00FFC400, factor, 320, 240);
    benchmark::ClobberMemory();
  }
  pixmap_free(src);
  pixmap_free(dst);
}
BENCHMARK(BM_fade_blit)->Unit(benchmark::kMicrosecond);

// A fade whose factor changes every frame rebuilds its table each call.
static void BM_fade_blit_changing_factor(benchmark::State& state) {
  pixmap* src = make_source(0);
  pixmap* dst = pixmap_create(320, 240, PIXMAP_CLEAR);
  int n = 0;
  for (auto _ : state) {
    pixmap_fade_blit(dst, 0, 0, src, 0, 0, 0x00FFC400, float(n++ % 100) / 100.0f, 320, 240);
    benchmark::ClobberMemory();
  }
  pixmap_free(src);
  pixmap_free(dst);
}
BENCHMARK(BM_fade_blit_changing_factor)->Unit(benchmark::kMicrosecond);
