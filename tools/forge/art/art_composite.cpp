#include "art_composite.h"

#include <algorithm>
#include <cmath>

void art_blend(art_colour* dst, art_colour src, float coverage, int32_t mode) {
  const float a = art_clamp01(coverage * src.a);
  if (a <= 0)
    return;
  switch (mode) {
  case ART_BLEND_ADD:
    dst->r += src.r * a, dst->g += src.g * a, dst->b += src.b * a;
    break;
  case ART_BLEND_SCREEN:
    dst->r = 1 - (1 - dst->r) * (1 - src.r * a);
    dst->g = 1 - (1 - dst->g) * (1 - src.g * a);
    dst->b = 1 - (1 - dst->b) * (1 - src.b * a);
    break;
  case ART_BLEND_MULTIPLY:
    dst->r *= 1 + (src.r - 1) * a, dst->g *= 1 + (src.g - 1) * a, dst->b *= 1 + (src.b - 1) * a;
    break;
  default:
    dst->r += (src.r - dst->r) * a, dst->g += (src.g - dst->g) * a, dst->b += (src.b - dst->b) * a;
    dst->a = dst->a + (1 - dst->a) * a;
    break;
  }
}

void art_composite(art_canvas* dst, const art_canvas* src, int32_t dx, int32_t dy, int32_t mode, float opacity) {
  for (int32_t y = 0; y < src->height; y++) {
    const int32_t ty = y + dy;
    if (ty < 0 || ty >= dst->height)
      continue;
    for (int32_t x = 0; x < src->width; x++) {
      const int32_t tx = x + dx;
      if (tx >= 0 && tx < dst->width)
        art_blend(&art_px(dst, tx, ty), art_px(src, x, y), opacity, mode);
    }
  }
}

void art_paint_mask(art_canvas* dst, const art_field* mask, int32_t dx, int32_t dy, art_colour colour, int32_t mode,
                    float opacity) {
  for (int32_t y = 0; y < mask->height; y++) {
    const int32_t ty = y + dy;
    if (ty < 0 || ty >= dst->height)
      continue;
    for (int32_t x = 0; x < mask->width; x++) {
      const int32_t tx = x + dx;
      if (tx >= 0 && tx < dst->width)
        art_blend(&art_px(dst, tx, ty), colour, art_at(mask, x, y) * opacity, mode);
    }
  }
}

void art_paint_fill(art_canvas* dst, const art_field* mask, const art_canvas* fill, int32_t dx, int32_t dy,
                    int32_t mode, float opacity) {
  if (fill->width != mask->width || fill->height != mask->height)
    return;
  for (int32_t y = 0; y < mask->height; y++) {
    const int32_t ty = y + dy;
    if (ty < 0 || ty >= dst->height)
      continue;
    for (int32_t x = 0; x < mask->width; x++) {
      const int32_t tx = x + dx;
      if (tx >= 0 && tx < dst->width)
        art_blend(&art_px(dst, tx, ty), art_px(fill, x, y), art_at(mask, x, y) * opacity, mode);
    }
  }
}

void art_mask_dilate(art_field* mask, float radius) {
  if (radius <= 0)
    return;
  const int32_t r = int32_t(std::ceil(radius));
  // Disc offsets with a soft rim so the grown edge stays anti-aliased.
  struct tap {
    int32_t dx, dy;
    float weight;
  };
  std::vector<tap> taps;
  for (int32_t j = -r; j <= r; j++)
    for (int32_t i = -r; i <= r; i++) {
      const float d = std::sqrt(float(i * i + j * j));
      const float w = art_clamp01(radius + 0.5f - d);
      if (w > 0)
        taps.push_back({i, j, w});
    }
  const art_field src = *mask;
  for (int32_t y = 0; y < mask->height; y++)
    for (int32_t x = 0; x < mask->width; x++) {
      float best = 0;
      for (const tap& t : taps) {
        const int32_t sx = x + t.dx, sy = y + t.dy;
        if (sx >= 0 && sy >= 0 && sx < src.width && sy < src.height)
          best = std::max(best, art_at(&src, sx, sy) * t.weight);
      }
      art_at(mask, x, y) = best;
    }
}

void art_field_shift(const art_field* f, int32_t dx, int32_t dy, art_field* out) {
  art_field_init(out, f->width, f->height);
  for (int32_t y = 0; y < f->height; y++)
    for (int32_t x = 0; x < f->width; x++) {
      const int32_t sx = x - dx, sy = y - dy;
      if (sx >= 0 && sy >= 0 && sx < f->width && sy < f->height)
        art_at(out, x, y) = art_at(f, sx, sy);
    }
}

void art_field_pad(art_field* f, int32_t margin) {
  if (margin <= 0)
    return;
  art_field out;
  art_field_init(&out, f->width + 2 * margin, f->height + 2 * margin);
  for (int32_t y = 0; y < f->height; y++)
    for (int32_t x = 0; x < f->width; x++)
      art_at(&out, x + margin, y + margin) = art_at(f, x, y);
  *f = std::move(out);
}
