// The tunnel flight on the build's data: building its scene from the
// archive, and its frame step at scene times spread over the whole flight
// (the tint and the white wash included, as in the show).
#include "music.h"
#include "render_scene.h"
#include "tunnel.h"
#include "tunnel_parts.h"
#include "vfs.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {
struct tunnel_bench {
  music_clock clock{};
  pixmap* frame = nullptr;
  show_context show{};
  std::string archive;
  bool ready = false;
};

// Keeps the readers' progress lines off standard output while f runs.
template <typename F> auto quietly(F f) {
  std::fflush(stdout);
  const int saved = dup(1), null = open("/dev/null", O_WRONLY);
  dup2(null, 1);
  auto result = f();
  std::fflush(stdout);
  dup2(saved, 1);
  close(saved);
  close(null);
  return result;
}

tunnel_bench* bench_setup() {
  static tunnel_bench b;
  if (b.ready)
    return &b;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
  b.archive = (self.parent_path().parent_path() / "bin" / "data.dat").string();
  pfs_device.parameter = b.archive.c_str();
  if (!vfs_device_enable(&pfs_device, 0) || !vfs_device_init(&pfs_device, 0, 0))
    return nullptr;
  b.frame = pixmap_create(320, 240, PIXMAP_DEPTH | PIXMAP_CLEAR);
  b.show = show_context{.clock = &b.clock, .frame = b.frame};
  if (!quietly([&] { return tunnel_init(&b.show); }))
    return nullptr;
  b.ready = true;
  return &b;
}
} // namespace

static void BM_tunnel_build_scene(benchmark::State& state) {
  if (!bench_setup()) {
    state.SkipWithError("no data.dat");
    return;
  }
  for (auto _ : state) {
    render_scene* s = quietly([] { return ase_build_scene("data/3dscene/finaljpg.ase", "data/3dscene/"); });
    benchmark::DoNotOptimize(s);
    render_scene_free(s);
  }
}
BENCHMARK(BM_tunnel_build_scene)->Unit(benchmark::kMillisecond);

// One frame at each of 64 scene times over the flight in turn; the section
// is the argument (0 to 4: the first to the last fifth of the flight).
static void BM_tunnel_frame(benchmark::State& state) {
  tunnel_bench* b = bench_setup();
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
