// The object and scene readers, the render scene's build, per-frame
// animation and drawing: files made by the forge's writers, read through the
// file layer (stdio_device). The readers print their progress lines as usual.
#include "ase.h"
#include "ase_writer.h"
#include "jpeg_writer.h"
#include "lwo.h"
#include "lwo_writer.h"
#include "mesh_builders.h"
#include "polygondrawer.h"
#include "render_scene.h"
#include "text_tokenizer.h"
#include "vfs.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

void write_bytes(const std::string& path, const void* data, size_t size) {
  std::ofstream out(path, std::ios::binary);
  out.write(static_cast<const char*>(data), std::streamsize(size));
}

// Fixture files, written once into a temporary directory removed at exit.
struct bench_scene_files {
  std::string dir;
  std::string object; // geosphere of 2880 triangles, two surfaces
  std::string scene;  // 12 animated objects, about 9000 triangles, a camera
  std::string text;   // the scene's text
  int32_t scene_faces = 0;
  forge_mesh ball, ring, box;

  bench_scene_files() {
    std::string templ = (std::filesystem::temp_directory_path() / "vorlane-bench-XXXXXX").string();
    if (!mkdtemp(templ.data()))
      return;
    dir = templ;
    forge_mesh_geosphere(&ball, 10, 12);
    forge_mesh_torus(&ring, 10, 3, 24, 12);
    forge_mesh_box(&box, 4, 4, 4);
    std::vector<lwo_writer_surface> surfaces(2);
    surfaces[0].name = "Outside";
    surfaces[1].name = "Inside";
    std::vector<uint8_t> bytes;
    write_lwo(&ball, surfaces, &bytes);
    object = dir + "/ball.lwo";
    write_bytes(object, bytes.data(), bytes.size());

    forge_picture pic;
    picture_init(&pic, 64, 64, 0x00405060);
    jpeg_options options;
    write_jpeg(&pic, &options, &bytes);
    write_bytes(dir + "/tex.jpg", bytes.data(), bytes.size());
    ase_writer_scene s;
    s.materials = {{"Tex", "tex.jpg", 0.2f}};
    const forge_mesh* meshes[3] = {&ball, &ring, &box};
    for (int i = 0; i < 12; i++) {
      ase_writer_object o;
      o.name = "Object" + std::to_string(i);
      o.mesh = meshes[i % 3];
      o.position = {float(i % 4) * 30 - 45, float(i / 4) * 30 - 30, -150};
      for (int k = 0; k < 40; k++) {
        o.tracks.positions.push_back({5 * k, {o.position.x, o.position.y + float(k % 7), o.position.z}});
        o.tracks.rotations.push_back({5 * k, {{0.3f, 1, 0.2f}, 0.1f * float(k)}});
      }
      scene_faces += int32_t(o.mesh->faces.size());
      s.objects.push_back(o);
    }
    ase_writer_camera cam;
    for (int k = 0; k < 40; k++) {
      cam.tracks.positions.push_back({5 * k, {0, 0, float(k)}});
      cam.tracks.rotations.push_back({5 * k, {{0, 0, 1}, 0.01f * float(k)}});
    }
    s.cameras = {cam};
    write_ase(&s, &text);
    scene = dir + "/world.ase";
    write_bytes(scene, text.data(), text.size());
  }
  ~bench_scene_files() {
    std::error_code ec;
    if (!dir.empty())
      std::filesystem::remove_all(dir, ec);
  }
};

bench_scene_files& files() {
  static bench_scene_files f;
  return f;
}

void BM_lwo_load(benchmark::State& state) {
  const std::string& path = files().object;
  for (auto _ : state) {
    mesh_object* o = mesh_object_create();
    benchmark::DoNotOptimize(lwo_load(path.c_str(), files().dir.c_str(), o));
    lwo_object_free(o);
  }
  state.SetLabel("2880 triangles");
}
BENCHMARK(BM_lwo_load)->Unit(benchmark::kMicrosecond);

void BM_text_tokens(benchmark::State& state) {
  const std::string& text = files().text;
  int64_t tokens = 0;
  for (auto _ : state) {
    text_tokenizer* t = text_tokenizer_create(text.c_str(), nullptr, "\"", nullptr, nullptr, nullptr, nullptr,
                                              TOKENIZER_SEPARATORS_DEFAULT);
    char buffer[TOKEN_SIZE];
    while (token_next(t, buffer))
      tokens++;
    text_tokenizer_free(t);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
  state.counters["tokens"] = benchmark::Counter(double(tokens), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_text_tokens)->Unit(benchmark::kMillisecond);

void BM_ase_load(benchmark::State& state) {
  for (auto _ : state) {
    ase_scene* s = ase_load(files().scene.c_str(), files().dir.c_str());
    benchmark::DoNotOptimize(s);
    ase_scene_free(s);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(files().text.size()));
}
BENCHMARK(BM_ase_load)->Unit(benchmark::kMillisecond);

void BM_ase_build_scene(benchmark::State& state) {
  for (auto _ : state) {
    render_scene* s = ase_build_scene(files().scene.c_str(), files().dir.c_str());
    benchmark::DoNotOptimize(s);
    render_scene_free(s);
  }
}
BENCHMARK(BM_ase_build_scene)->Unit(benchmark::kMillisecond);

// One frame's animation step: 13 tracks of 40 position and 40 rotation keys.
void BM_render_scene_animate(benchmark::State& state) {
  render_scene* s = ase_build_scene(files().scene.c_str(), files().dir.c_str());
  float t = 0;
  for (auto _ : state) {
    s->time = t;
    t = t > 200 ? 0 : t + 0.7f;
    render_scene_animate(s);
    benchmark::ClobberMemory();
  }
  render_scene_free(s);
}
BENCHMARK(BM_render_scene_animate)->Unit(benchmark::kMicrosecond);

// One frame drawn into 320x240 with the tunnel flight's focal length.
void BM_render_scene_draw(benchmark::State& state) {
  render_scene* s = ase_build_scene(files().scene.c_str(), files().dir.c_str());
  pixmap* target = pixmap_create(320, 240, PIXMAP_DEPTH);
  render_context* k = render_context_create(0, target, 320, 240, 256);
  select_polygondrawer(int32_t(state.range(0)));
  s->time = 50;
  render_scene_animate(s);
  for (auto _ : state) {
    render_scene_draw(s, k);
    benchmark::ClobberMemory();
  }
  state.SetLabel(std::to_string(files().scene_faces) + " triangles, drawer " + std::to_string(state.range(0)));
  render_context_free(k);
  pixmap_free(target);
  render_scene_free(s);
}
BENCHMARK(BM_render_scene_draw)->Arg(2)->Arg(24)->Unit(benchmark::kMicrosecond);

} // namespace
