// The galaxy's, the intro's, the zoomer's and the image cube's frame steps on
// the build's data, each in its busiest stretch: the whole galaxy in flight,
// the second burn-in phase, the tile wall flying apart, the title's glow with
// the torus and the blur, the zoom with and without the fly-in, and the cube
// with its flares and text.
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

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {
struct opening_bench {
  music_clock clock{};
  pixmap* frame = nullptr;
  show_context show{};
  render_context* rc = nullptr;
  uint8_t shade[SHADE_TABLE_BYTES];
  std::string archive;
  bool ready = false;
};

// Loads the effects once from build/bin/data.dat, in the show's order.
opening_bench* bench_setup() {
  static opening_bench b;
  if (b.ready)
    return &b;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
  b.archive = (self.parent_path().parent_path() / "bin" / "data.dat").string();
  pfs_device.parameter = b.archive.c_str();
  if (!vfs_device_enable(&pfs_device, 0) || !vfs_device_init(&pfs_device, 0, 0))
    return nullptr;
  shade_table_build(b.shade, 255, 0);
  b.frame = pixmap_create(320, 240, PIXMAP_CLEAR);
  b.rc = render_context_create(1, b.frame, 320, 240, 400);
  // The readers' progress lines go to standard output: keep them off it.
  std::fflush(stdout);
  const int saved = dup(1), null = open("/dev/null", O_WRONLY);
  dup2(null, 1);
  b.show = show_context{.clock = &b.clock, .frame = b.frame, .shade = b.shade, .rc = b.rc};
  const bool ok = galaxy_init(&b.show) && intro_init(&b.show) && seqzoom_init(&b.show) && icube_init(&b.show);
  std::fflush(stdout);
  dup2(saved, 1);
  close(saved);
  close(null);
  if (!ok)
    return nullptr;
  b.ready = true;
  return &b;
}

void set_clock(music_clock* c, float fd, uint32_t order, uint32_t row) {
  c->frame_delta = fd;
  c->order = order;
  c->row = row;
}
} // namespace

static void BM_galaxy_frame(benchmark::State& state) {
  opening_bench* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  galaxy_state* g = galaxy_get_state();
  set_clock(&b->clock, 1.2f, 1, 0);
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
  opening_bench* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  intro_state* s = intro_get_state();
  set_clock(&b->clock, 1.2f, 4, 0);
  for (auto _ : state) {
    s->phase = 1;
    s->level = 64;
    intro_frame(0);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_intro_burn)->Unit(benchmark::kMicrosecond);

static void BM_intro_wall(benchmark::State& state) {
  opening_bench* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  intro_state* s = intro_get_state();
  set_clock(&b->clock, 1.2f, 6, 0);
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
  opening_bench* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  intro_state* s = intro_get_state();
  set_clock(&b->clock, 1.2f, 7, 8);
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
  opening_bench* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  seqzoom_state* s = seqzoom_get_state();
  set_clock(&b->clock, 1.2f, 8, 0);
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
  opening_bench* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  set_clock(&b->clock, 1.2f, 9, 0);
  for (auto _ : state) {
    icube_frame();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_icube_frame)->Unit(benchmark::kMicrosecond);
