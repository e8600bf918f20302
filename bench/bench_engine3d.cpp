// Speed of the drawer sets, the texture span and the polygon pipeline.
#include "drawers.h"
#include "pixmap.h"
#include "polygondrawer.h"
#include "render_context.h"
#include "render_polygon.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {
constexpr int32_t WIDTH = 320, HEIGHT = 240;
constexpr float FIRST_DEPTH = 1000000.0f;

struct bench_scene {
  pixmap* target = pixmap_create(WIDTH, HEIGHT, PIXMAP_DEPTH | PIXMAP_CLEAR);
  pixmap* texture = pixmap_create(256, 256, 0);
  bench_scene() {
    for (int32_t i = 0; i < 256 * 256; i++)
      texture->pixels[i] = uint32_t(i) * 2654435761u;
  }
  ~bench_scene() {
    pixmap_free(target);
    pixmap_free(texture);
  }
  void reset_depth() { pixmap_fill_rect(target, 0, 0, WIDTH, HEIGHT, 0); }
};

// A right triangle of the given pixel area, front-facing, its texture
// coordinates inside the texture.
polygon make_triangle(pixmap* texture, float x, float y, float leg, float z, uint32_t flags) {
  polygon p{};
  p.flags = flags;
  p.colour = 0x00FFAA55;
  p.v[0] = {x, y, z};
  p.v[1] = {x + leg, y, z};
  p.v[2] = {x, y + leg, z};
  p.texture[0] = texture;
  p.uv_count = 6;
  p.stride = 5;
  const float uv[6] = {10, 10, 200, 30, 20, 220};
  std::copy(uv, uv + 6, p.uv);
  p.vertex_shade[0] = 255;
  p.vertex_shade[1] = 128;
  p.vertex_shade[2] = 40;
  return p;
}

// Triangles per second of one drawer set on triangles of one area, placed
// over a grid of the target; every triangle is nearer than the last, so the
// depth tests pass.
void drawer_set(benchmark::State& state, uint32_t flags) {
  const int32_t set = int32_t(state.range(0));
  const float area = float(state.range(1));
  const float leg = std::sqrt(2 * area);
  bench_scene scene;
  select_polygondrawer(set);
  float z = FIRST_DEPTH;
  int32_t cell = 0;
  const int32_t columns = int32_t(float(WIDTH - 2) / (leg + 1)), rows = int32_t(float(HEIGHT - 2) / (leg + 1));
  for (auto _ : state) {
    const float x = 1 + float(cell % columns) * (leg + 1), y = 1 + float(cell / columns % rows) * (leg + 1);
    polygon p = make_triangle(scene.texture, x, y, leg, z, flags);
    draw_triangle(&p, scene.target);
    benchmark::DoNotOptimize(scene.target->pixels[0]);
    cell++;
    z -= 1;
    if (z < 1000) {
      state.PauseTiming();
      scene.reset_depth();
      z = FIRST_DEPTH;
      state.ResumeTiming();
    }
  }
  state.SetItemsProcessed(state.iterations());
  state.SetLabel(current_polygondrawer()->name);
  select_polygondrawer(POLYGONDRAWER_CORRECT);
}

void BM_drawer_set_texture(benchmark::State& state) { drawer_set(state, POLY_TEXTURE); }
void BM_drawer_set_solid(benchmark::State& state) { drawer_set(state, POLY_SOLID); }
void BM_drawer_set_gouraud(benchmark::State& state) { drawer_set(state, POLY_TEXTURE | POLY_GOURAUD); }

BENCHMARK(BM_drawer_set_texture)->ArgsProduct({{1, 2, 8, 18, 24, 32}, {16, 64, 256}});
BENCHMARK(BM_drawer_set_solid)->ArgsProduct({{1, 2}, {16, 64, 256}});
BENCHMARK(BM_drawer_set_gouraud)->ArgsProduct({{1}, {16, 64, 256}});

// Pixels per second of the inner span, one whole row at a time.
void BM_span_texture(benchmark::State& state) {
  bench_scene scene;
  int32_t row = 0;
  for (auto _ : state) {
    span_texture(WIDTH, row * WIDTH, 3 << 16, row << 16, 0x14000, 0x3000, scene.texture->pixels, scene.target->pixels);
    benchmark::DoNotOptimize(scene.target->pixels[row * WIDTH]);
    row = (row + 1) % HEIGHT;
  }
  state.SetItemsProcessed(state.iterations() * WIDTH);
}
BENCHMARK(BM_span_texture);

// Textured pixels per second of texture_fast on a triangle of half the target.
void BM_texture_fast_pixels(benchmark::State& state) {
  bench_scene scene;
  polygon p = make_triangle(scene.texture, 0, 0, 239, 0, POLY_TEXTURE);
  p.v[1].x = 319;
  pixmap_fill_rect(scene.target, 0, 0, WIDTH, HEIGHT, 0);
  texture_fast(&p, scene.target);
  int64_t pixels = 0;
  for (int32_t i = 0; i < WIDTH * HEIGHT; i++)
    pixels += scene.target->pixels[i] != 0;
  for (auto _ : state) {
    texture_fast(&p, scene.target);
    benchmark::DoNotOptimize(scene.target->pixels[0]);
  }
  state.SetItemsProcessed(state.iterations() * pixels);
  state.counters["pixels"] = double(pixels);
}
BENCHMARK(BM_texture_fast_pixels);

void draw_nothing(const polygon*, pixmap*) {}

// render_polygon on a small triangle (about 16 pixels) in the middle of the
// view. Argument 0: a drawer that draws nothing, so the time is the
// pipeline's alone (lighting off, clipping, projection, culling, dispatch);
// 1: drawn by the FAST set's texture routine.
void BM_render_polygon_small(benchmark::State& state) {
  bench_scene scene;
  render_context* k = render_context_create(0, scene.target, WIDTH, HEIGHT, 400);
  select_polygondrawer(POLYGONDRAWER_FAST);
  const bool draw = state.range(0) != 0;
  polygon p = make_triangle(scene.texture, 0, 0, 5.66f, 0, POLY_TEXTURE | (draw ? 0u : uint32_t(POLY_CUSTOM)));
  // Camera y grows upwards: flip the triangle to keep it front-facing.
  p.v[2].y = -p.v[2].y;
  p.drawer = draw_nothing;
  int32_t i = 0;
  for (auto _ : state) {
    const float dx = float(i % 64) - 32, dy = float(i / 64 % 48) - 24;
    p.v[0].x = dx;
    p.v[1].x = dx + 5.66f;
    p.v[2].x = dx;
    p.v[0].y = p.v[1].y = dy;
    p.v[2].y = dy - 5.66f;
    render_polygon(k, &p);
    benchmark::DoNotOptimize(k->scratch->v[0].x);
    i++;
  }
  state.SetItemsProcessed(state.iterations());
  render_context_free(k);
  select_polygondrawer(POLYGONDRAWER_CORRECT);
}
BENCHMARK(BM_render_polygon_small)->Arg(0)->Arg(1);

// The same triangle, already projected, drawn with draw_triangle alone.
void BM_draw_triangle_small(benchmark::State& state) {
  bench_scene scene;
  select_polygondrawer(POLYGONDRAWER_FAST);
  int32_t i = 0;
  for (auto _ : state) {
    const float dx = float(i % 64) - 32, dy = float(i / 64 % 48) - 24;
    polygon p = make_triangle(scene.texture, 160 + dx, 120 - dy, 5.66f, 0, POLY_TEXTURE);
    draw_triangle(&p, scene.target);
    benchmark::DoNotOptimize(scene.target->pixels[0]);
    i++;
  }
  state.SetItemsProcessed(state.iterations());
  select_polygondrawer(POLYGONDRAWER_CORRECT);
}
BENCHMARK(BM_draw_triangle_small);
} // namespace
