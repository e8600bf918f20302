// The galaxy's, the intro's, the zoomer's and the image cube's frame steps on
// the build's data, each in its busiest stretch: the whole galaxy in flight,
// the second burn-in phase, the tile wall flying apart, the title's glow with
// the torus and the blur, the zoom with and without the fly-in, and the cube
// with its flares and text.
#include "bench_show.h"
#include "galaxy.h"
#include "galaxy_parts.h"
#include "icube.h"
#include "intro.h"
#include "intro_parts.h"
#include "music.h"
#include "render_context.h"
#include "seqzoom.h"
#include "seqzoom_parts.h"
#include "shade.h"
#include "vfs.h"

#include <benchmark/benchmark.h>

namespace {
// Loads the effects once, in the show's order.
bench_show* bench_setup() {
  static bench_show* ready = nullptr;
  if (!ready) {
    bench_show* b = bench_show_open(0);
    if (b && bench_quietly([&] {
          return galaxy_init(&b->show) && intro_init(&b->show) && seqzoom_init(&b->show) && icube_init(&b->show);
        }))
      ready = b;
  }
  return ready;
}
} // namespace

static void BM_galaxy_frame(benchmark::State& state) {
  bench_show* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  galaxy_state* g = galaxy_get_state();
  bench_set_clock(&b->clock, 1.2f, 1, 0);
  for (auto _ : state) {
    // In flight: every star at full size around the screen's centre.
    g->scroll = 100;
    g->time = 300;
    g->size_factor = 1;
    g->path_radius = 0;
    galaxy_frame();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_galaxy_frame)->Unit(benchmark::kMicrosecond);

static void BM_intro_burn(benchmark::State& state) {
  bench_show* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  intro_state* s = intro_get_state();
  bench_set_clock(&b->clock, 1.2f, 4, 0);
  for (auto _ : state) {
    s->phase = 1;
    s->level = 64;
    intro_frame(0);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_intro_burn)->Unit(benchmark::kMicrosecond);

static void BM_intro_wall(benchmark::State& state) {
  bench_show* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  intro_state* s = intro_get_state();
  bench_set_clock(&b->clock, 1.2f, 6, 0);
  for (auto _ : state) {
    // Round and round the first 400 ticks of the wall.
    if (s->section1_time > 400 || !intro_frame(1)) {
      state.PauseTiming();
      s->section1_time = 0;
      s->x_offset = 0;
      s->gamma = 0;
      s->depth = 0;
      s->last_delta = 0;
      intro_free_tiles(s->tiles);
      intro_make_tiles(s->tiles, s->picture);
      state.ResumeTiming();
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_intro_wall)->Unit(benchmark::kMicrosecond);

static void BM_intro_title(benchmark::State& state) {
  bench_show* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  intro_state* s = intro_get_state();
  bench_set_clock(&b->clock, 1.2f, 7, 8);
  for (auto _ : state) {
    // The glow with the torus at full brightness.
    s->section2_time = 200;
    s->threshold = 0;
    s->torus_brightness = 255;
    intro_frame(2);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_intro_title)->Unit(benchmark::kMicrosecond);

// The zoom from 800 (the fly-in over it) down to 0, round and round.
static void BM_seqzoom_frame(benchmark::State& state) {
  bench_show* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  seqzoom_state* s = seqzoom_get_state();
  bench_set_clock(&b->clock, 1.2f, 8, 0);
  for (auto _ : state) {
    if (!seqzoom_frame()) {
      s->zoom = 800.0f;
      s->approach = 0.0f;
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_seqzoom_frame)->Unit(benchmark::kMicrosecond);

// The cube turning with the zoomer's flares on and the text typing.
static void BM_icube_frame(benchmark::State& state) {
  bench_show* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  bench_set_clock(&b->clock, 1.2f, 9, 0);
  for (auto _ : state) {
    icube_frame();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_icube_frame)->Unit(benchmark::kMicrosecond);
