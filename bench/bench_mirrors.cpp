// The mirror hall on the build's data: its frame step at camera angles
// spread over the swing (bursts of the fountains included, as in the show),
// and the engine's scaled additive sprite at the sizes particles take.
#include "bench_show.h"
#include "mirrors.h"
#include "mirrors_parts.h"
#include "music.h"
#include "scene_raster.h"
#include "vfs.h"

#include <benchmark/benchmark.h>

namespace {
// Loads the hall once.
bench_show* bench_setup() {
  static bench_show* ready = nullptr;
  if (!ready) {
    bench_show* b = bench_show_open(0);
    if (b && bench_quietly([&] { return mirrors_init(&b->show); }))
      ready = b;
  }
  return ready;
}
} // namespace

// Frames at a frame rate of 60 (about 1.2 ticks a frame) over one turn of
// the camera; the rows run through the bars, so the fountains burst.
static void BM_mirrors_frame(benchmark::State& state) {
  bench_show* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  uint32_t row = 0;
  for (auto _ : state) {
    b->clock.frame_delta = 1.19f;
    b->clock.order = 14;
    b->clock.row = row;
    row = (row + 1) % 128;
    benchmark::DoNotOptimize(mirrors_frame());
  }
}
BENCHMARK(BM_mirrors_frame)->Unit(benchmark::kMicrosecond);

// One 128 x 128 sprite scaled down by the argument / 4, with the depth test.
static void BM_mirrors_sprite(benchmark::State& state) {
  rgb_image* target = rgb_image_create(320, 240, RGB_IMAGE_CLEAR | RGB_IMAGE_DEPTH);
  rgb_image* sprite = rgb_image_create(128, 128, RGB_IMAGE_CLEAR);
  for (int i = 0; i < 128 * 128; i++)
    sprite->pixels[i] = uint32_t(i * 2654435761u) & 0x7F7F7F;
  scene_sprite_options options;
  options.depth = 1000;
  const float f = float(state.range(0)) / 4.0f;
  for (auto _ : state) {
    scene_add_sprite(target, sprite, 160.0f, 120.0f, f, options);
    benchmark::DoNotOptimize(target->pixels[120 * 320 + 160]);
  }
  rgb_image_free(sprite);
  rgb_image_free(target);
}
BENCHMARK(BM_mirrors_sprite)->Arg(4)->Arg(12)->Arg(24);
