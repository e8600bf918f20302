// The radial-blur credits and the end part on the build's data: the credits'
// frame step through the whole of orders 11 and 12 as the show plays them
// and their dot scroller alone; the end part's frame step while the end
// screen scrolls, and its distance-scaled blur alone.
#include "bench_show.h"
#include "blend.h"
#include "blurp.h"
#include "blurp_parts.h"
#include "endpart.h"
#include "endpart_parts.h"
#include "music.h"
#include "vfs.h"

#include <benchmark/benchmark.h>

namespace {
constexpr float TICKS_PER_FRAME = 1000.0f / 14.0f / 60.0f; // at 60 frames a second
constexpr float ROWS_PER_TICK = 14.0f / 60.0f;             // 60 ms rows

// Opens build/bin/data.dat once; every call initialises the effect afresh.
bench_show* bench_setup(int32_t (*init)(show_context*)) {
  bench_show* b = bench_show_open(0);
  return b && init(&b->show) ? b : nullptr;
}

// The song's position a given number of ticks into order 11.
void set_position(music_clock* c, float ticks) {
  const uint32_t rows = uint32_t(ticks * ROWS_PER_TICK);
  c->frame_delta = TICKS_PER_FRAME;
  c->order = 11 + rows / 128;
  c->row = rows % 128;
}
} // namespace

// One frame step, averaged over the credits from their first frame to the
// last (about 920 frames); the init between runs is not timed.
static void BM_CreditsFrame(benchmark::State& state) {
  bench_show* b = bench_setup(blurp_init);
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  float ticks = 0;
  for (auto _ : state) {
    set_position(&b->clock, ticks);
    if (!blurp_frame()) {
      state.PauseTiming();
      bench_setup(blurp_init);
      ticks = 0;
      state.ResumeTiming();
    }
    ticks += TICKS_PER_FRAME;
  }
}
BENCHMARK(BM_CreditsFrame)->Unit(benchmark::kMicrosecond);

// The scroller alone, the phrase filling its window.
static void BM_CreditsScroller(benchmark::State& state) {
  bench_show* b = bench_setup(blurp_init);
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  blurp_state* s = blurp_get_state();
  for (auto _ : state) {
    s->scroll = 60.0f;
    blurp_scroller(s, 1.0f);
    benchmark::DoNotOptimize(s->work->pixels[0]);
  }
}
BENCHMARK(BM_CreditsScroller)->Unit(benchmark::kMicrosecond);

// One end part frame step in the middle of its song.
static void BM_EndpartFrame(benchmark::State& state) {
  bench_show* b = bench_setup(endpart_init);
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  b->clock.frame_delta = TICKS_PER_FRAME;
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
  if (!bench_setup(endpart_init)) {
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
