// Texture routines for 256x256 textures that wrap in both directions, with
// texel coordinates stepped in 16.16 fixed point.
#include "colour_add.h"
#include "drawers.h"
#include "scan_frame.h"

namespace {
// Texels a wrapping routine may address.
constexpr int64_t FAST_TEXELS = 256 * 256;

enum fast_mode { FAST_PLAIN, FAST_DEPTH_PER_SPAN, FAST_ADDITIVE };

// Additive span: the depth (16.16) is stepped per pixel and only tested.
void span_additive_z(int32_t count, int32_t start, int32_t u, int32_t v, int32_t du, int32_t dv, int32_t z, int32_t dz,
                     const int32_t* depth, const uint32_t* texels, uint32_t* target) {
  uint32_t uu = uint32_t(u), vv = uint32_t(v);
  int64_t zz = z;
  uint32_t* out = target + start;
  const int32_t* d = depth + start;
  for (int32_t i = 0; i < count; i++) {
    if ((zz >> 16) < d[i])
      out[i] = colour_add_saturated(out[i], texels[((vv >> 8) & 0xFF00u) | ((uu >> 16) & 0xFFu)]);
    uu += uint32_t(du);
    vv += uint32_t(dv);
    zz += dz;
  }
}

template <fast_mode MODE> void fast_draw(const polygon* p, pixmap* target) {
  const float* uv = raster_uv(p);
  const pixmap* tex = p->texture[0];
  // A texture smaller than 256x256 would be read past its end.
  if (!target || !uv || !tex || int64_t(tex->width) * tex->height < FAST_TEXELS ||
      (MODE != FAST_PLAIN && !target->depth))
    return;
  constexpr int N = MODE == FAST_PLAIN ? 2 : 3;
  const vec3* v = p->v;
  scan_vertex<N> sv[3];
  for (int k = 0; k < 3; k++) {
    sv[k].y = v[k].y;
    sv[k].c[0] = v[k].x;
    sv[k].c[1] = uv[2 * k];
    sv[k].c[2] = uv[2 * k + 1];
    if constexpr (N == 3)
      sv[k].c[3] = v[k].z;
  }
  const uint32_t* texels = tex->pixels;
  uint32_t* pixels = target->pixels;
  int32_t* depth = target->depth;
  const int32_t* rows = target->rows;
  scan_triangle<N, false>(sv[0], sv[1], sv[2], target->width, target->height,
                          [&](int32_t row, int32_t l, int32_t r, const scan_values& left, const scan_values& right) {
                            float a[N], da[N];
                            scan_span_start<N>(left, right, a, da);
                            const int32_t u = raster_fixed16(a[0]), vv = raster_fixed16(a[1]);
                            const int32_t du = raster_fixed16(da[0]), dv = raster_fixed16(da[1]);
                            if constexpr (MODE == FAST_PLAIN) {
                              span_texture(r - l, rows[row] + l, u, vv, du, dv, texels, pixels);
                            } else {
                              const int32_t z = raster_fixed16_depth(a[2]), dz = raster_fixed16_depth(da[2]);
                              if constexpr (MODE == FAST_DEPTH_PER_SPAN)
                                span_texture_z(r - l, rows[row] + l, u, vv, du, dv, z, dz, depth, texels, pixels);
                              else
                                span_additive_z(r - l, rows[row] + l, u, vv, du, dv, z, dz, depth, texels, pixels);
                            }
                          });
}
} // namespace

void texture_fast(const polygon* p, pixmap* target) { fast_draw<FAST_PLAIN>(p, target); }

void texture_fast_z(const polygon* p, pixmap* target) { fast_draw<FAST_DEPTH_PER_SPAN>(p, target); }

void texture_additive_z(const polygon* p, pixmap* target) { fast_draw<FAST_ADDITIVE>(p, target); }
