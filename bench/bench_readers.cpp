// Decode time of the picture readers through the file layer (stdio_device),
// for a 320x240 and a 1024x1024 picture of each format.
#include "gif.h"
#include "jpeg.h"
#include "pcx.h"
#include "picture_fixtures.h"
#include "scx.h"
#include "tga.h"
#include "vfs.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>

namespace {

// Fixture files, written once into a temporary directory removed at exit.
struct bench_files {
  std::string dir;
  std::map<std::string, std::string> paths;
  bench_files() {
    std::string templ = (std::filesystem::temp_directory_path() / "vorlane-bench-XXXXXX").string();
    if (mkdtemp(templ.data()))
      dir = templ;
  }
  ~bench_files() {
    std::error_code ec;
    if (!dir.empty())
      std::filesystem::remove_all(dir, ec);
  }
  const std::string& get(const std::string& format, int w, int h) {
    const std::string name = format + "-" + std::to_string(w) + "x" + std::to_string(h);
    auto it = paths.find(name);
    if (it != paths.end())
      return it->second;
    const fixture_bytes rgb = fixture_rgb(w, h, 7);
    const fixture_bytes indices = fixture_indices(w, h, 256, 7);
    fixture_bytes bytes;
    if (format == "pcx8") {
      bytes = fixture_pcx(w, h, 1, indices, fixture_palette(256, 7));
    } else if (format == "pcx24") {
      bytes = fixture_pcx(w, h, 3, rgb, {});
    } else if (format == "gif") {
      fixture_gif gif;
      gif.screen_w = w;
      gif.screen_h = h;
      gif.palette = fixture_palette(256, 7);
      gif.images.push_back({0, 0, w, h, false, {}, indices});
      bytes = fixture_gif_giflib(gif);
    } else if (format == "tga24" || format == "tga32") {
      std::vector<uint32_t> pixels(size_t(w) * size_t(h));
      for (size_t i = 0; i < pixels.size(); i++)
        pixels[i] = uint32_t(rgb[i * 3] | rgb[i * 3 + 1] << 8 | rgb[i * 3 + 2] << 16 | (i & 255) << 24);
      fixture_tga_options options;
      options.origin = 0;
      bytes = fixture_tga(w, h, format == "tga24" ? 24 : 32, pixels, options);
    } else if (format == "jpeg" || format == "jpeg_progressive") {
      bytes = fixture_jpeg(w, h, rgb, 85, format == "jpeg_progressive");
    } else if (format == "scx") {
      bytes = fixture_scx(w, h, indices, 7);
    }
    const std::string path = dir + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    return paths[name] = path;
  }
};

bench_files files;

// Standard output goes to /dev/null while the readers run (the GIF reader
// narrates), and comes back for the report.
struct quiet_stdout {
  int saved;
  quiet_stdout() {
    std::fflush(stdout);
    saved = dup(1);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    close(null);
  }
  ~quiet_stdout() {
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
  }
};

void bench_decode(benchmark::State& state, const char* format, pixmap* (*load)(const char*)) {
  const int w = int(state.range(0)), h = int(state.range(1));
  const std::string path = files.get(format, w, h);
  vfs_device_enable(&stdio_device, 0);
  quiet_stdout quiet;
  for (auto _ : state) {
    pixmap* pm = load(path.c_str());
    if (!pm) {
      state.SkipWithError("the reader refused the file");
      break;
    }
    benchmark::DoNotOptimize(pm->pixels);
    pixmap_free(pm);
  }
  state.SetItemsProcessed(state.iterations() * w * h);
  state.counters["file_kb"] = double(std::filesystem::file_size(path)) / 1024.0;
}

void bench_scx(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  const std::string path = files.get("scx", w, h);
  vfs_device_enable(&stdio_device, 0);
  for (auto _ : state) {
    scx_bitmap* map = scx_load(path.c_str());
    if (!map) {
      state.SkipWithError("the reader refused the file");
      break;
    }
    benchmark::DoNotOptimize(map->pixels);
    scx_free(map);
  }
  state.SetItemsProcessed(state.iterations() * w * h);
}

void sizes(benchmark::internal::Benchmark* b) {
  b->Args({320, 240})->Args({1024, 1024})->Unit(benchmark::kMicrosecond);
}

} // namespace

BENCHMARK_CAPTURE(bench_decode, pcx8, "pcx8", pcx_load)->Apply(sizes);
BENCHMARK_CAPTURE(bench_decode, pcx24, "pcx24", pcx_load)->Apply(sizes);
BENCHMARK_CAPTURE(bench_decode, gif, "gif", gif_load)->Apply(sizes);
BENCHMARK_CAPTURE(bench_decode, tga24, "tga24", tga_load)->Apply(sizes);
BENCHMARK_CAPTURE(bench_decode, tga32, "tga32", tga_load)->Apply(sizes);
BENCHMARK_CAPTURE(bench_decode, jpeg, "jpeg", jpeg_load)->Apply(sizes);
BENCHMARK_CAPTURE(bench_decode, jpeg_progressive, "jpeg_progressive", jpeg_load)->Apply(sizes);
BENCHMARK(bench_scx)->Apply(sizes);
