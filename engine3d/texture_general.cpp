// Texture routines for textures of any size, coordinates normalised by the
// texture's size; with or without a per-pixel depth test.
#include "drawers.h"
#include "scan_frame.h"

namespace {
template <bool DEPTH> void general_draw(const polygon* p, pixmap* target) {
  const float* uv = raster_uv(p);
  const pixmap* tex = p->texture[0];
  if (!target || !uv || !tex || tex->width <= 0 || tex->height <= 0 || (DEPTH && !target->depth))
    return;
  const float w = float(tex->width), h = float(tex->height);
  const float last_col = float(tex->width - 1), last_row = float(tex->height - 1);
  const int32_t last_texel = tex->width * tex->height - 1;
  const uint32_t* texels = tex->pixels;
  uint32_t* pixels = target->pixels;
  int32_t* depth = target->depth;
  const int32_t* rows = target->rows;
  const vec3* v = p->v;
  constexpr int N = DEPTH ? 3 : 2;
  scan_vertex<N> sv[3];
  for (int k = 0; k < 3; k++) {
    sv[k].y = v[k].y;
    sv[k].c[0] = v[k].x;
    sv[k].c[1] = uv[2 * k] / w;
    sv[k].c[2] = uv[2 * k + 1] / h;
    if constexpr (DEPTH)
      sv[k].c[3] = v[k].z;
  }
  scan_triangle<N, false>(sv[0], sv[1], sv[2], target->width, target->height,
                          [&](int32_t row, int32_t l, int32_t r, const scan_values& left, const scan_values& right) {
                            float a[3] = {}, da[3] = {};
                            scan_span_start<N>(left, right, a, da);
                            float u = a[0], vv = a[1], z = a[2];
                            const int32_t base = rows[row];
                            for (int32_t x = l; x < r; x++) {
                              if (!DEPTH || raster_trunc(z) < depth[base + x]) {
                                // Texel row trunc(v h), column from u w, kept inside the texture.
                                const float texel_row = float(int32_t(raster_clamp(vv * h, 0, last_row)));
                                const int32_t index = int32_t(w * texel_row + raster_clamp(u * w, 0, last_col));
                                pixels[base + x] = texels[index < last_texel ? index : last_texel];
                                if (DEPTH)
                                  depth[base + x] = raster_trunc(z);
                              }
                              u += da[0];
                              vv += da[1];
                              if (DEPTH)
                                z += da[2];
                            }
                          });
}
} // namespace

void texture_general(const polygon* p, pixmap* target) { general_draw<false>(p, target); }

void texture_general_z(const polygon* p, pixmap* target) { general_draw<true>(p, target); }
