#include "art_shape.h"

#include <algorithm>
#include <cmath>

// Coverage from a signed distance (negative inside), one pixel of softness.
static float art_coverage(float distance) { return art_clamp01(0.5f - distance); }

static void art_shape_put(art_field* mask, int32_t x, int32_t y, float distance) {
  float& v = art_at(mask, x, y);
  v = std::max(v, art_coverage(distance));
}

// Calls fn(x, y, px, py) for every pixel of the clipped box, pixel centres.
template <typename F> static void art_shape_box(art_field* mask, float x0, float y0, float x1, float y1, F fn) {
  const int32_t ix0 = std::max(0, int32_t(std::floor(x0)) - 1), iy0 = std::max(0, int32_t(std::floor(y0)) - 1);
  const int32_t ix1 = std::min(mask->width - 1, int32_t(std::ceil(x1)) + 1);
  const int32_t iy1 = std::min(mask->height - 1, int32_t(std::ceil(y1)) + 1);
  for (int32_t y = iy0; y <= iy1; y++)
    for (int32_t x = ix0; x <= ix1; x++)
      fn(x, y, float(x) + 0.5f, float(y) + 0.5f);
}

void art_shape_ellipse(art_field* mask, float cx, float cy, float rx, float ry, float angle) {
  if (rx <= 0 || ry <= 0)
    return;
  const float c = std::cos(angle), s = std::sin(angle), r = std::max(rx, ry);
  art_shape_box(mask, cx - r, cy - r, cx + r, cy + r, [&](int32_t x, int32_t y, float px, float py) {
    const float dx = px - cx, dy = py - cy;
    const float u = (dx * c + dy * s) / rx, v = (-dx * s + dy * c) / ry;
    const float k = std::sqrt(u * u + v * v);
    // Distance approximated by the radial scale at this angle.
    const float scale = k > 0 ? std::sqrt(dx * dx + dy * dy) / k : std::min(rx, ry);
    art_shape_put(mask, x, y, (k - 1) * scale);
  });
}

void art_shape_capsule(art_field* mask, float x0, float y0, float x1, float y1, float radius) {
  const float dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
  art_shape_box(mask, std::min(x0, x1) - radius, std::min(y0, y1) - radius, std::max(x0, x1) + radius,
                std::max(y0, y1) + radius, [&](int32_t x, int32_t y, float px, float py) {
                  const float t = len2 > 0 ? art_clamp01(((px - x0) * dx + (py - y0) * dy) / len2) : 0.0f;
                  const float qx = px - (x0 + dx * t), qy = py - (y0 + dy * t);
                  art_shape_put(mask, x, y, std::sqrt(qx * qx + qy * qy) - radius);
                });
}

void art_shape_round_rect(art_field* mask, float x0, float y0, float x1, float y1, float radius) {
  const float cx = (x0 + x1) * 0.5f, cy = (y0 + y1) * 0.5f;
  const float hx = (x1 - x0) * 0.5f, hy = (y1 - y0) * 0.5f;
  radius = std::min({radius, hx, hy});
  art_shape_box(mask, x0, y0, x1, y1, [&](int32_t x, int32_t y, float px, float py) {
    const float qx = std::fabs(px - cx) - (hx - radius), qy = std::fabs(py - cy) - (hy - radius);
    const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
    const float d = std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - radius;
    art_shape_put(mask, x, y, d);
  });
}
