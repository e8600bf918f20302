// The tunnel flight on the build's data: building its scene from the
// archive, and its frame step at scene times spread over the whole flight
// (the tint and the white wash included, as in the show).
#include "bench_show.h"
#include "music.h"
#include "render_scene.h"
#include "tunnel.h"
#include "tunnel_parts.h"
#include "vfs.h"

#include <benchmark/benchmark.h>

namespace {
// Loads the flight once.
bench_show* bench_setup() {
  static bench_show* ready = nullptr;
  if (!ready) {
    bench_show* b = bench_show_open(PIXMAP_DEPTH);
    if (b && bench_quietly([&] { return tunnel_init(&b->show); }))
      ready = b;
  }
  return ready;
}
} // namespace

static void BM_tunnel_build_scene(benchmark::State& state) {
  if (!bench_setup()) {
    state.SkipWithError("no data.dat");
    return;
  }
  for (auto _ : state) {
    render_scene* s = bench_quietly([] { return ase_build_scene("data/3dscene/finaljpg.ase", "data/3dscene/"); });
    benchmark::DoNotOptimize(s);
    render_scene_free(s);
  }
}
BENCHMARK(BM_tunnel_build_scene)->Unit(benchmark::kMillisecond);

// One frame at each of 64 scene times over the flight in turn; the section
// is the argument (0 to 4: the first to the last fifth of the flight).
static void BM_tunnel_frame(benchmark::State& state) {
  bench_show* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  tunnel_state* t = tunnel_get_state();
  const float begin = 7500.0f + 23300.0f * float(state.range(0)), span = 23300.0f;
  int32_t step = 0;
  for (auto _ : state) {
    t->scene->time = begin + span * float(step % 64) / 64.0f;
    t->fade_in = 0;
    b->clock.frame_delta = 0; // the time set here stands
    b->clock.order = 17;
    b->clock.row = 0;
    tunnel_frame();
    step++;
  }
}
BENCHMARK(BM_tunnel_frame)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);
