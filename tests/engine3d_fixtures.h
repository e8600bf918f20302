// Shared helpers of the 3D engine's tests.
#pragma once

#include "pixmap.h"
#include "polygon.h"

#include <cstdint>
#include <memory>
#include <set>
#include <utility>
#include <vector>

struct pixmap_deleter {
  void operator()(pixmap* pm) const { pixmap_free(pm); }
};
using pixmap_ptr = std::unique_ptr<pixmap, pixmap_deleter>;

// A pixmap filled with one value (and the far depth when it has a depth buffer).
inline pixmap_ptr make_target(int32_t width, int32_t height, uint32_t fill = 0, bool depth = false) {
  pixmap_ptr pm(pixmap_create(width, height, depth ? PIXMAP_DEPTH | PIXMAP_CLEAR : 0));
  pixmap_fill_rect(pm.get(), 0, 0, width, height, fill);
  return pm;
}

// A 256x256 texture whose texel (u, v) holds u in byte 0, v in byte 1 and 0x7F in byte 3.
inline pixmap_ptr make_coordinate_texture(int32_t width = 256, int32_t height = 256) {
  pixmap_ptr pm(pixmap_create(width, height, 0));
  for (int32_t v = 0; v < height; v++)
    for (int32_t u = 0; u < width; u++)
      pm->pixels[pm->rows[v] + u] = uint32_t(u & 255) | uint32_t(v & 255) << 8 | 0x7Fu << 24;
  return pm;
}

inline uint32_t coordinate_texel(int32_t u, int32_t v) {
  return uint32_t(u & 255) | uint32_t(v & 255) << 8 | 0x7Fu << 24;
}

// A polygon with the given flags and three vertices (screen or camera space).
inline polygon make_polygon(uint32_t flags, vec3 v0, vec3 v1, vec3 v2) {
  polygon p{};
  p.flags = flags;
  p.v[0] = v0;
  p.v[1] = v1;
  p.v[2] = v2;
  p.stride = 3;
  return p;
}

// Gives the polygon one texture layer with coordinates (u_k, v_k) per vertex.
inline void set_texture(polygon* p, pixmap* texture, float u0, float v0, float u1, float v1, float u2, float v2) {
  p->texture[0] = texture;
  p->layer[0] = 0;
  p->uv_count = 6;
  p->stride = 5;
  const float uv[6] = {u0, v0, u1, v1, u2, v2};
  for (int i = 0; i < 6; i++)
    p->uv[i] = uv[i];
}

// The set of pixels (x, y) whose value differs from background.
inline std::set<std::pair<int32_t, int32_t>> changed_pixels(const pixmap* pm, uint32_t background) {
  std::set<std::pair<int32_t, int32_t>> out;
  for (int32_t y = 0; y < pm->height; y++)
    for (int32_t x = 0; x < pm->width; x++)
      if (pm->pixels[pm->rows[y] + x] != background)
        out.insert({x, y});
  return out;
}

// Pixel set from rows given as (row, first column, last column) inclusive.
inline std::set<std::pair<int32_t, int32_t>> row_spans(std::initializer_list<std::vector<int32_t>> spans) {
  std::set<std::pair<int32_t, int32_t>> out;
  for (const auto& s : spans)
    for (int32_t x = s[1]; x <= s[2]; x++)
      out.insert({x, s[0]});
  return out;
}
