// The diffuse cube's frame step on the build's data, with the blobs in
// motion (the clouds at their usual size) and with every blob on one spot
// (the densest clouds, the largest glows); the light object with its
// beams short and at their longest.
#include "blend.h"
#include "dcube.h"
#include "dcube_parts.h"
#include "lobj.h"
#include "lobj_parts.h"
#include "music.h"
#include "vfs.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {
struct diffuse_bench {
  music_clock clock{};
  pixmap* frame = nullptr;
  show_context show{};
  std::string archive;
  bool ready = false;
};

// Loads the effects once from build/bin/data.dat.
diffuse_bench* bench_setup() {
  static diffuse_bench b;
  if (b.ready)
    return &b;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
  b.archive = (self.parent_path().parent_path() / "bin" / "data.dat").string();
  pfs_device.parameter = b.archive.c_str();
  if (!vfs_device_enable(&pfs_device, 0) || !vfs_device_init(&pfs_device, 0, 0))
    return nullptr;
  build_mul_tables();
  b.frame = pixmap_create(320, 240, PIXMAP_CLEAR);
  // The readers' progress lines go to standard output: keep them off it.
  std::fflush(stdout);
  const int saved = dup(1), null = open("/dev/null", O_WRONLY);
  dup2(null, 1);
  b.show = show_context{.clock = &b.clock, .frame = b.frame};
  const bool ok = dcube_init(&b.show) && lobj_init(&b.show);
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

static void BM_dcube_frame(benchmark::State& state) {
  diffuse_bench* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  set_clock(&b->clock, 1.2f, 30, 20);
  for (auto _ : state) {
    dcube_frame();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_dcube_frame)->Unit(benchmark::kMicrosecond);

static void BM_dcube_frame_dense(benchmark::State& state) {
  diffuse_bench* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  set_clock(&b->clock, 0.0f, 30, 20);
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
  diffuse_bench* b = bench_setup();
  if (!b) {
    state.SkipWithError("no data.dat");
    return;
  }
  set_clock(&b->clock, 1.2f, 37, 8);
  lobj_state* s = lobj_get_state();
  const float scale = float(state.range(0));
  for (auto _ : state) {
    s->beam_scale = scale / 0.9f;
    lobj_frame();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_lobj_frame)->Arg(2)->Arg(7)->Unit(benchmark::kMicrosecond);
