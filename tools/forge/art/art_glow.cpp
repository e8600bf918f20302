#include "art_glow.h"

#include "art_blur.h"
#include "art_composite.h"
#include "art_random.h"

#include <algorithm>
#include <cmath>

void art_flare(art_canvas* c, float cx, float cy, art_colour colour, const art_flare_params* p) {
  if (p->radius <= 0)
    return;
  const float reach = p->radius * std::max(2.5f, p->rays > 0 ? p->ray_length + 0.5f : 0.0f);
  const int32_t x0 = std::max(0, int32_t(cx - reach)), x1 = std::min(c->width - 1, int32_t(cx + reach) + 1);
  const int32_t y0 = std::max(0, int32_t(cy - reach)), y1 = std::min(c->height - 1, int32_t(cy + reach) + 1);
  for (int32_t y = y0; y <= y1; y++)
    for (int32_t x = x0; x <= x1; x++) {
      const float dx = float(x) + 0.5f - cx, dy = float(y) + 0.5f - cy;
      const float d = std::sqrt(dx * dx + dy * dy) / p->radius;
      float light = std::exp(-d * d * 2.2f) * 0.6f + 0.4f / (1 + d * d * 14.0f) - 0.4f / (1 + 6.25f * 14.0f);
      light = std::max(0.0f, light);
      if (p->core > 0)
        light += std::exp(-(d * d) / (p->core * p->core));
      if (p->rays > 0 && d > 0) {
        const float angle = (std::atan2(dy, dx) - p->angle) * float(p->rays) * 0.5f;
        const float streak = std::pow(std::fabs(std::cos(angle)), 60.0f);
        light += streak * std::max(0.0f, 1 - d / p->ray_length) * 0.8f;
      }
      if (p->ring > 0)
        light += p->ring * std::exp(-(d - 1) * (d - 1) * 400.0f);
      art_colour& px = art_px(c, x, y);
      px = art_add(px, art_scale(colour, light * p->intensity));
    }
}

void art_glow_mask(art_canvas* c, const art_field* mask, int32_t dx, int32_t dy, float sigma, art_colour colour,
                   float strength) {
  art_field glow = *mask;
  const int32_t margin = int32_t(std::ceil(sigma * 3));
  art_field_pad(&glow, margin);
  art_blur(&glow, sigma, false);
  for (float& v : glow.v)
    v *= strength;
  art_colour k = colour;
  k.a = 1;
  art_paint_mask(c, &glow, dx - margin, dy - margin, k, 1 /* add */, 1);
}

void art_starfield(art_canvas* c, int32_t count, art_colour cool, art_colour warm, uint32_t seed) {
  art_rng rng;
  art_rng_seed(&rng, seed, 3);
  for (int32_t i = 0; i < count; i++) {
    const float x = art_rng_range(&rng, 0, float(c->width)), y = art_rng_range(&rng, 0, float(c->height));
    const float r = art_rng_float(&rng);
    const float brightness = 0.15f + 0.85f * r * r * r;
    const art_colour tint = art_mix(cool, warm, art_rng_float(&rng));
    // A star covers the pixels around it by distance, so it sits between pixels.
    const float size = 0.6f + brightness * 0.8f;
    for (int32_t py = int32_t(y) - 2; py <= int32_t(y) + 2; py++)
      for (int32_t px = int32_t(x) - 2; px <= int32_t(x) + 2; px++) {
        if (px < 0 || py < 0 || px >= c->width || py >= c->height)
          continue;
        const float ddx = float(px) + 0.5f - x, ddy = float(py) + 0.5f - y;
        const float w = std::exp(-(ddx * ddx + ddy * ddy) / (size * size));
        art_px(c, px, py) = art_add(art_px(c, px, py), art_scale(tint, brightness * w));
      }
    if (brightness > 0.8f) {
      art_flare_params halo;
      halo.radius = 3 + 4 * brightness;
      halo.core = 0;
      halo.rays = 4;
      halo.ray_length = 2.5f;
      halo.intensity = 0.35f;
      halo.angle = art_rng_range(&rng, 0, 1.5707963f);
      art_flare(c, x, y, tint, &halo);
    }
  }
}
