// The forge: the whole data set, and the toolkit's heavier operations.
#include "art_blur.h"
#include "art_noise.h"
#include "art_quantise.h"
#include "art_text.h"
#include "forge_plan.h"
#include "gif_writer.h"
#include "pcx_writer.h"

#include <benchmark/benchmark.h>

// The full data set, as the build generates it (target: under 30 s on two cores).
static void BM_ForgeDataSet(benchmark::State& state) {
  forge_plan plan;
  forge_plan_all(&plan);
  for (auto _ : state) {
    std::vector<forge_file> files;
    std::string error;
    if (!forge_run(&plan, int32_t(state.range(0)), &files, &error))
      state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(files.data());
  }
}
BENCHMARK(BM_ForgeDataSet)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

static forge_picture bench_picture(int32_t w, int32_t h) {
  forge_picture pic;
  picture_init(&pic, w, h, 0);
  art_fractal p;
  for (int32_t y = 0; y < h; y++)
    for (int32_t x = 0; x < w; x++) {
      const float n = art_fractal_at(&p, float(x) / 32, float(y) / 32) * 0.5f + 0.5f;
      pic.pixels[size_t(y) * size_t(w) + size_t(x)] = picture_rgba(uint32_t(n * 255), uint32_t(x), uint32_t(y), 0);
    }
  return pic;
}

static void BM_WritePcx24(benchmark::State& state) {
  const forge_picture pic = bench_picture(320, 240);
  std::vector<uint8_t> out;
  for (auto _ : state)
    benchmark::DoNotOptimize(write_pcx24(&pic, &out));
}
BENCHMARK(BM_WritePcx24)->Unit(benchmark::kMicrosecond);

static void BM_QuantiseAndWriteGif(benchmark::State& state) {
  const forge_picture pic = bench_picture(256, 256);
  std::vector<uint8_t> out;
  for (auto _ : state) {
    indexed_picture ip;
    art_quantise(&pic, 256, true, &ip);
    benchmark::DoNotOptimize(write_gif(&ip, GIF_PALETTE_GLOBAL, &out));
  }
}
BENCHMARK(BM_QuantiseAndWriteGif)->Unit(benchmark::kMillisecond);

static void BM_FractalNoise256(benchmark::State& state) {
  art_field f;
  art_field_init(&f, 256, 256);
  art_fractal p;
  p.octaves = 6;
  for (auto _ : state)
    art_field_fractal(&f, &p, 8);
}
BENCHMARK(BM_FractalNoise256)->Unit(benchmark::kMillisecond);

static void BM_Blur320x240(benchmark::State& state) {
  art_field f;
  art_field_init(&f, 320, 240, 0.5f);
  for (auto _ : state)
    art_blur(&f, 6, false);
}
BENCHMARK(BM_Blur320x240)->Unit(benchmark::kMicrosecond);

static void BM_TextRender64(benchmark::State& state) {
  art_text_style style;
  style.size = 64;
  for (auto _ : state) {
    art_text t;
    benchmark::DoNotOptimize(art_text_render(&style, "Vorlane", 4, &t));
  }
}
BENCHMARK(BM_TextRender64)->Unit(benchmark::kMicrosecond);
