// The magnet, the qube, the net and the hypervoxel on the build's data: the
// block filler alone, the magnet's field and its end phase, the qube's
// frame, the net drawn shaded, its sheet stage, and the hypervoxel's frame
// step (while the background zooms and after).
#include "bench_show.h"
#include "blend.h"
#include "block_fill.h"
#include "hypervoxel.h"
#include "hypervoxel_parts.h"
#include "magnet.h"
#include "magnet_parts.h"
#include "music.h"
#include "net.h"
#include "net_parts.h"
#include "qube.h"
#include "render_context.h"
#include "shade.h"
#include "vfs.h"

#include <benchmark/benchmark.h>

namespace {
// Loads the effects once.
bench_show* bench_setup() {
  static bench_show* ready = nullptr;
  if (!ready) {
    bench_show* b = bench_show_open(PIXMAP_DEPTH);
    if (b && bench_quietly([&] {
          return net_init(&b->show) && magnet_init(&b->show) && qube_init(&b->show) && hypervoxel_init(&b->show);
        }))
      ready = b;
  }
  return ready;
}
} // namespace

// The 1,200 blocks of a frame, shaded (argument 1) or plain (0).
static void BM_block_fill_frame(benchmark::State& state) {
  bench_show* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  const net_state* s = net_get_state();
  const int32_t mode = state.range(0) ? BLOCK_SHADED : BLOCK_PLAIN;
  for (auto _ : state) {
    for (int32_t k = 0; k < NET_BLOCK_ROWS; k++)
      for (int32_t c = 0; c < NET_BLOCK_COLUMNS; c++) {
        const block_corner* tl = &s->corners[k * NET_COLUMNS + c];
        block_fill(8 * c, 8 * k, b->frame, s->envmap, mode, tl, tl + 1, tl + NET_COLUMNS, tl + NET_COLUMNS + 1,
                   b->shade);
      }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_block_fill_frame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The net drawn whole into the frame, as in its scene before order 29.
static void BM_net_draw(benchmark::State& state) {
  bench_show* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  net_get_state()->reveal = 30.0f;
  bench_set_clock(&b->clock, 1.2f, 24, 0);
  for (auto _ : state) {
    net_draw(b->frame);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_net_draw)->Unit(benchmark::kMicrosecond);

// The sheet stage: the net into the work picture, the backdrop, the sheet
// folding; restarted every 400 frames.
static void BM_net_sheet_stage(benchmark::State& state) {
  bench_show* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  net_state* s = net_get_state();
  bench_set_clock(&b->clock, 1.2f, 29, 0);
  int32_t n = 0;
  for (auto _ : state) {
    if (n++ % 400 == 0) {
      net_sheet_reset(&s->sheet);
      s->sheet_clock = 0.0f;
      s->stage_clock = 300.0f;
    }
    benchmark::DoNotOptimize(net_frame());
  }
}
BENCHMARK(BM_net_sheet_stage)->Unit(benchmark::kMicrosecond);

// The hypervoxel's frame step: while zooming (0) and over the still
// picture (1).
static void BM_hypervoxel_frame(benchmark::State& state) {
  bench_show* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  hvoxel_state* s = hvoxel_get_state();
  bench_set_clock(&b->clock, 1.2f, 30, 0);
  for (auto _ : state) {
    if (state.range(0) == 0) {
      s->zoom = 0.0f;
      s->zooming = 1;
    }
    benchmark::DoNotOptimize(hypervoxel_frame());
  }
}
BENCHMARK(BM_hypervoxel_frame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The magnet's frame: the field with the cube (0), the end phase with the
// net (1); the scene is restarted whenever it ends.
static void BM_magnet_frame(benchmark::State& state) {
  bench_show* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  magnet_state* s = magnet_get_state();
  bench_set_clock(&b->clock, 1.2f, 22, 10);
  for (auto _ : state) {
    if (s->cube.done || s->scene_clock >= MAGNET_SCENE_TIME) {
      magnet_field_reset(&s->field);
      magnet_cube_reset(&s->cube);
      s->scene_clock = 0.0f;
      s->cube.glow = 128.0f;
    }
    s->field.strength = state.range(0) ? 200.0f : 120.0f;
    benchmark::DoNotOptimize(magnet_frame());
  }
}
BENCHMARK(BM_magnet_frame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The qube's frame: feedback, net, cube, flares and the weighted blur.
static void BM_qube_frame(benchmark::State& state) {
  bench_show* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  bench_set_clock(&b->clock, 1.2f, 26, 0);
  for (auto _ : state)
    benchmark::DoNotOptimize(qube_frame());
}
BENCHMARK(BM_qube_frame)->Unit(benchmark::kMicrosecond);
