// The sequence zoomer's and the image cube's per-frame work on made-up
// pictures, and the forge's time for their data.
#include "blend.h"
#include "flares.h"
#include "forge_plan.h"
#include "icube_parts.h"
#include "mat3.h"
#include "render_context.h"
#include "seqzoom_parts.h"

#include <benchmark/benchmark.h>

#include <vector>

void forge_gen_seqzoom(forge_plan* plan);
void forge_gen_icube(forge_plan* plan);

namespace {
pixmap* noise_picture(int32_t w, int32_t h, uint32_t seed) {
  pixmap* p = pixmap_create(w, h, 0);
  uint32_t x = seed;
  for (int64_t i = 0; i < int64_t(w) * h; i++) {
    x = x * 1664525u + 1013904223u;
    p->pixels[i] = x >> 8;
  }
  return p;
}
} // namespace

// One polar pass half-way through the plunge (target: well under 2 ms).
static void BM_SeqzoomPolarPass(benchmark::State& state) {
  std::vector<seqzoom_polar> map(SEQZOOM_PIXELS);
  seqzoom_fill_polar_map(map.data());
  pixmap* pictures[3] = {noise_picture(400, 400, 1), noise_picture(400, 400, 2), noise_picture(400, 400, 3)};
  std::vector<const uint32_t*> lookup(SEQZOOM_RINGS * SEQZOOM_ANGLES);
  for (int32_t k = 0; k < 3; k++)
    seqzoom_fill_band(lookup.data(), 200 * k, pictures[2 - k]);
  pixmap* frame = pixmap_create(320, 240, 0);
  for (auto _ : state) {
    seqzoom_polar_pass(frame, map.data(), lookup.data(), int32_t(state.range(0)));
    benchmark::DoNotOptimize(frame->pixels[0]);
  }
  pixmap_free(frame);
  for (pixmap* p : pictures)
    pixmap_free(p);
}
BENCHMARK(BM_SeqzoomPolarPass)->Arg(800)->Arg(400)->Arg(0)->Unit(benchmark::kMicrosecond);

static void BM_SeqzoomFlyIn(benchmark::State& state) {
  pixmap* ring = noise_picture(320, 240, 4);
  pixmap* frame = pixmap_create(320, 240, 0);
  for (auto _ : state) {
    seqzoom_fly_in(frame, ring, 120.0f);
    benchmark::DoNotOptimize(frame->pixels[0]);
  }
  pixmap_free(frame);
  pixmap_free(ring);
}
BENCHMARK(BM_SeqzoomFlyIn)->Unit(benchmark::kMicrosecond);

// The four flares at their largest.
static void BM_SeqzoomFlares(benchmark::State& state) {
  pixmap* sprite = noise_picture(128, 128, 5);
  pixmap* images[3] = {sprite, sprite, sprite};
  pixmap* frame = pixmap_create(320, 240, 0);
  flare flares[FLARES_COUNT];
  for (auto _ : state) {
    flares_reset(flares);
    flares_draw(flares, images, frame, 8, 0.0f);
    benchmark::DoNotOptimize(frame->pixels[0]);
  }
  pixmap_free(frame);
  pixmap_free(sprite);
}
BENCHMARK(BM_SeqzoomFlares)->Unit(benchmark::kMicrosecond);

// The cube as the frame step draws it, at several turns.
static void BM_IcubeCube(benchmark::State& state) {
  pixmap* frame = pixmap_create(320, 240, 0);
  render_context* rc = render_context_create(1, frame, 320, 240, 400);
  icube_state s{};
  s.frame = frame;
  s.rc = rc;
  s.anim_rate = 0.1f;
  for (auto& set : s.pictures)
    for (pixmap*& p : set)
      p = noise_picture(256, 256, 6);
  for (int k = 0; k < 2; k++) {
    s.triangle[k] = polygon_create();
    s.triangle[k]->flags = ICUBE_POLY_FLAGS;
    s.triangle[k]->drawer = icube_draw_triangle;
    s.triangle[k]->uv_count = 6;
  }
  for (auto _ : state) {
    pixmap_fill_rect(frame, 0, 0, 320, 240, 0);
    icube_draw_cube(&s, 7.0f);
    benchmark::DoNotOptimize(frame->pixels[0]);
  }
  for (auto& set : s.pictures)
    for (pixmap* p : set)
      pixmap_free(p);
  polygon_free(s.triangle[0]);
  polygon_free(s.triangle[1]);
  render_context_free(rc);
  pixmap_free(frame);
}
BENCHMARK(BM_IcubeCube)->Unit(benchmark::kMicrosecond);

// The zoomer's (0) and the cube's (1) data, on one thread (target: about
// 0.3 s together).
static void BM_ForgeZoomerData(benchmark::State& state) {
  forge_plan plan;
  if (state.range(0) == 0)
    forge_gen_seqzoom(&plan);
  else
    forge_gen_icube(&plan);
  for (auto _ : state) {
    std::vector<forge_file> files;
    std::string error;
    if (!forge_run(&plan, 1, &files, &error))
      state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(files.data());
  }
}
BENCHMARK(BM_ForgeZoomerData)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
