// The end part on the build's data: its frame step while the end screen
// scrolls, and the distance-scaled blur alone.
#include "blend.h"
#include "endpart.h"
#include "endpart_parts.h"
#include "music.h"
#include "vfs.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {
struct endpart_bench {
  music_clock clock{};
  pixmap* frame = nullptr;
  show_context show{};
  std::string archive;
  bool ready = false;
};

// Loads the end part once from build/bin/data.dat.
endpart_bench* bench_setup() {
  static endpart_bench b;
  if (b.ready)
    return &b;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
  b.archive = (self.parent_path().parent_path() / "bin" / "data.dat").string();
  pfs_device.parameter = b.archive.c_str();
  if (!vfs_device_enable(&pfs_device, 0) || !vfs_device_init(&pfs_device, 0, 0))
    return nullptr;
  build_mul_tables();
  b.frame = pixmap_create(320, 240, PIXMAP_CLEAR);
  b.show.clock = &b.clock;
  b.show.frame = b.frame;
  if (!endpart_init(&b.show))
    return nullptr;
  b.ready = true;
  return &b;
}
} // namespace

// One frame step in the middle of the song (60 frames a second).
static void BM_EndpartFrame(benchmark::State& state) {
  endpart_bench* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  b->clock.frame_delta = 1000.0f / 14.0f / 60.0f;
  b->clock.order = 8;
  b->clock.row = 20;
  for (auto _ : state) {
    endpart_frame();
    if (endpart_get_state()->scroll >= ENDPART_LAST_SCROLL)
      endpart_get_state()->scroll = 0;
  }
}
BENCHMARK(BM_EndpartFrame)->Unit(benchmark::kMicrosecond);

static void BM_EndpartScaledBlur(benchmark::State& state) {
  endpart_bench* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  endpart_state* s = endpart_get_state();
  for (auto _ : state) {
    radial_blur_scaled(s->frame, s->work, 190.0f, 90.0f, ENDPART_BLUR_WEIGHT, ENDPART_BLUR_DIVISOR);
    benchmark::DoNotOptimize(s->frame->pixels[0]);
  }
}
BENCHMARK(BM_EndpartScaledBlur)->Unit(benchmark::kMicrosecond);
