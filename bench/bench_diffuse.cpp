// The diffuse cube's frame step on the build's data, with the blobs in
// motion (the clouds at their usual size) and with every blob on one spot
// (the densest clouds, the largest glows); the light object with its
// beams short and at their longest.
#include "bench_show.h"
#include "blend.h"
#include "dcube.h"
#include "dcube_parts.h"
#include "lobj.h"
#include "lobj_parts.h"
#include "music.h"
#include "vfs.h"

#include <benchmark/benchmark.h>

namespace {
// Loads the effects once.
bench_show* bench_setup() {
  static bench_show* ready = nullptr;
  if (!ready) {
    bench_show* b = bench_show_open(0);
    if (b && bench_quietly([&] { return dcube_init(&b->show) && lobj_init(&b->show); }))
      ready = b;
  }
  return ready;
}
} // namespace

static void BM_dcube_frame(benchmark::State& state) {
  bench_show* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  bench_set_clock(&b->clock, 1.2f, 30, 20);
  for (auto _ : state) {
    dcube_frame();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_dcube_frame)->Unit(benchmark::kMicrosecond);

static void BM_dcube_frame_dense(benchmark::State& state) {
  bench_show* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  bench_set_clock(&b->clock, 0.0f, 30, 20);
  dcube_state* s = dcube_get_state();
  for (auto _ : state) {
    for (dcube_blob& blob : s->blobs)
      blob.x = blob.y = blob.z = 0;
    dcube_frame();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_dcube_frame_dense)->Unit(benchmark::kMicrosecond);

static void BM_lobj_frame(benchmark::State& state) {
  bench_show* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  bench_set_clock(&b->clock, 1.2f, 37, 8);
  lobj_state* s = lobj_get_state();
  const float scale = float(state.range(0));
  for (auto _ : state) {
    s->beam_scale = scale / 0.9f;
    lobj_frame();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_lobj_frame)->Arg(2)->Arg(7)->Unit(benchmark::kMicrosecond);
