#include "scene_raster.h"

#include "scan_frame.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int32_t SCENE_FIXED_ONE = 65536;
// Textures and sprites are stepped in 16.16 fixed point within 32 bits.
constexpr int32_t SCENE_MAX_TEXTURE_SIDE = 32767;
constexpr float SCENE_DEPTH_LIMIT = float(RGB_IMAGE_FAR);

// Texture coordinates of a span's ends are kept this far (in texels) inside
// the texture, so that the rounding of the fixed-point steps between them
// (less than a unit of 1/65536 per pixel) never leaves it.
constexpr float SCENE_TEXEL_MARGIN = 1.0f / 32.0f;

// A texture coordinate limited to the texture, in 16.16.
int32_t scene_fixed_texel(float t, int32_t side) {
  return int32_t(raster_clamp(t, SCENE_TEXEL_MARGIN, float(side) - SCENE_TEXEL_MARGIN) * float(SCENE_FIXED_ONE));
}

uint32_t scene_scale_colour(uint32_t c, uint32_t level) {
  return (((c & 0xFF00FF) * level >> 8) & 0xFF00FF) | (((c & 0xFF00) * level >> 8) & 0xFF00);
}

template <bool DEPTH>
void scene_span(rgb_image* target, const rgb_image* texture, int32_t row, int32_t l, int32_t r, const scan_values& left,
                const scan_values& right) {
  float s[3], ds[3];
  scan_span_start<3>(left, right, s, ds);
  const int32_t n = r - l;
  const float last = float(n - 1);
  // Per-pixel steps from the span's first to its last value.
  const float per = n > 1 ? 1.0f / last : 0.0f;
  const int32_t tw = texture->width, th = texture->height;
  // Both ends are limited to the texture; the values between them then are too.
  int32_t u = scene_fixed_texel(s[0], tw), v = scene_fixed_texel(s[1], th);
  const int32_t du = int32_t(float(scene_fixed_texel(s[0] + ds[0] * last, tw) - u) * per);
  const int32_t dv = int32_t(float(scene_fixed_texel(s[1] + ds[1] * last, th) - v) * per);
  // Depth in 16.16 fixed point, limited like the texture coordinates.
  const float d0 = raster_clamp(s[2], 0.0f, SCENE_DEPTH_LIMIT);
  const float d1 = raster_clamp(s[2] + ds[2] * last, 0.0f, SCENE_DEPTH_LIMIT);
  int64_t d = int64_t(d0 * float(SCENE_FIXED_ONE));
  const int64_t dd = int64_t((d1 - d0) * float(SCENE_FIXED_ONE) * per);
  const size_t at = size_t(row) * size_t(target->width) + size_t(l);
  uint32_t* p = target->pixels + at;
  int32_t* z = DEPTH ? target->zbuffer + at : nullptr;
  const uint32_t* tex = texture->pixels;
  for (int32_t i = 0; i < n; i++, u += du, v += dv, d += dd) {
    if (DEPTH) {
      // Depth values are whole numbers: a face at the same depth as the one
      // drawn before it stays behind.
      const int32_t depth = int32_t(d >> 16);
      if (depth <= z[i])
        continue;
      z[i] = depth;
    }
    const uint32_t texel = tex[(v >> 16) * tw + (u >> 16)];
    p[i] = (p[i] & 0xFF000000) | (texel & 0xFFFFFF);
  }
}
// The target rectangle a sprite covers and where its first pixel samples the
// image (16.16).
struct scene_sprite_rect {
  int64_t left, right, top, bottom;
  int64_t u0, v0, step;
};

template <bool DEPTH>
void scene_sprite_rows(rgb_image* target, const rgb_image* image, const scene_sprite_rect& r, uint32_t level,
                       const uint8_t* levels, int32_t depth) {
  // Black adds nothing, so black texels are passed over, unless the table
  // makes black into a colour; hidden pixels are passed over before the
  // table is read too.
  const bool black_stays = !levels || levels[0] == 0;
  int64_t v = r.v0;
  for (int64_t y = r.top; y < r.bottom; y++, v += r.step) {
    const uint32_t* src = image->pixels + (v >> 16) * image->width;
    const size_t at = size_t(y) * size_t(target->width);
    uint32_t* dst = target->pixels + at;
    const int32_t* z = DEPTH ? target->zbuffer + at : nullptr;
    int64_t u = r.u0;
    for (int64_t x = r.left; x < r.right; x++, u += r.step) {
      uint32_t c = src[u >> 16] & 0xFFFFFF;
      if ((c == 0 && black_stays) || (DEPTH && z[x] >= depth))
        continue;
      if (levels)
        c = uint32_t(levels[c & 255]) | uint32_t(levels[c >> 8 & 255]) << 8 | uint32_t(levels[c >> 16]) << 16;
      if (level < 256)
        c = scene_scale_colour(c, level);
      dst[x] = colour_add_saturated(dst[x], c);
    }
  }
}
} // namespace

void scene_fill_triangle(rgb_image* target, const rgb_image* texture, const scene_corner* a, const scene_corner* b,
                         const scene_corner* c, bool depth) {
  if (!texture || texture->width > SCENE_MAX_TEXTURE_SIDE || texture->height > SCENE_MAX_TEXTURE_SIDE ||
      (depth && !target->zbuffer))
    return;
  const scan_vertex<3> va = {a->sy, {a->sx, a->u, a->v, a->d}};
  const scan_vertex<3> vb = {b->sy, {b->sx, b->u, b->v, b->d}};
  const scan_vertex<3> vc = {c->sy, {c->sx, c->u, c->v, c->d}};
  if (depth)
    scan_triangle<3, false>(va, vb, vc, target->width, target->height,
                            [&](int32_t row, int32_t l, int32_t r, const scan_values& left, const scan_values& right) {
                              scene_span<true>(target, texture, row, l, r, left, right);
                            });
  else
    scan_triangle<3, false>(va, vb, vc, target->width, target->height,
                            [&](int32_t row, int32_t l, int32_t r, const scan_values& left, const scan_values& right) {
                              scene_span<false>(target, texture, row, l, r, left, right);
                            });
}

void scene_add_sprite(rgb_image* target, const rgb_image* image, float cx, float cy, float f,
                      const scene_sprite_options& options) {
  if (!image || image->width > SCENE_MAX_TEXTURE_SIDE || image->height > SCENE_MAX_TEXTURE_SIDE || !std::isfinite(cx) ||
      !std::isfinite(cy) || !(f > 0) || f * float(SCENE_FIXED_ONE) > float(1 << 30) ||
      (options.depth >= 0 && !target->zbuffer))
    return;
  const int64_t step = std::max<int64_t>(1, int64_t(f * float(SCENE_FIXED_ONE)));
  // The covered square, no wider than the steps through the image allow.
  const int64_t w =
      std::min<int64_t>(int64_t(float(image->width) / f), (int64_t(image->width) * SCENE_FIXED_ONE - 1) / step + 1);
  const int64_t h =
      std::min<int64_t>(int64_t(float(image->height) / f), (int64_t(image->height) * SCENE_FIXED_ONE - 1) / step + 1);
  if (w <= 0 || h <= 0)
    return;
  const float far = 1.0e9f;
  const int64_t x0 = int64_t(raster_clamp(cx, -far, far)) - w / 2;
  const int64_t y0 = int64_t(raster_clamp(cy, -far, far)) - h / 2;
  const int64_t left = std::max<int64_t>(x0, 0), right = std::min<int64_t>(x0 + w, target->width);
  const int64_t top = std::max<int64_t>(y0, 0), bottom = std::min<int64_t>(y0 + h, target->height);
  if (left >= right || top >= bottom)
    return;
  const uint32_t level = uint32_t(std::clamp(options.brightness, 0, 256));
  const scene_sprite_rect rect = {left, right, top, bottom, (left - x0) * step, (top - y0) * step, step};
  if (options.depth >= 0)
    scene_sprite_rows<true>(target, image, rect, level, options.levels, options.depth);
  else
    scene_sprite_rows<false>(target, image, rect, level, options.levels, 0);
}
