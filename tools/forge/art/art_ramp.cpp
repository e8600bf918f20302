#include "art_ramp.h"

#include <cmath>

art_colour art_ramp_at(const art_ramp* ramp, float t) {
  const auto& s = ramp->stops;
  if (s.empty())
    return {};
  if (t <= s.front().at)
    return s.front().colour;
  for (size_t i = 1; i < s.size(); i++)
    if (t <= s[i].at) {
      const float span = s[i].at - s[i - 1].at;
      return art_mix(s[i - 1].colour, s[i].colour, span > 0 ? (t - s[i - 1].at) / span : 1.0f);
    }
  return s.back().colour;
}

art_ramp art_ramp_show() {
  return {{{0.00f, art_rgb(2, 3, 14)},
           {0.30f, art_rgb(16, 22, 84)},
           {0.55f, art_rgb(74, 28, 128)},
           {0.75f, art_rgb(196, 72, 92)},
           {0.88f, art_rgb(255, 170, 40)},
           {1.00f, art_rgb(255, 244, 214)}}};
}

art_ramp art_ramp_chrome() {
  return {{{0.00f, art_rgb(28, 40, 110)},
           {0.30f, art_rgb(150, 180, 240)},
           {0.47f, art_rgb(250, 252, 255)},
           {0.50f, art_rgb(30, 20, 50)},
           {0.62f, art_rgb(90, 50, 110)},
           {0.85f, art_rgb(255, 170, 60)},
           {1.00f, art_rgb(255, 236, 190)}}};
}

void art_field_colourise(const art_field* f, const art_ramp* ramp, art_canvas* out) {
  art_canvas_init(out, f->width, f->height);
  for (size_t i = 0; i < f->v.size(); i++)
    out->px[i] = art_ramp_at(ramp, f->v[i]);
}

void art_gradient_linear(art_canvas* c, float x0, float y0, float x1, float y1, const art_ramp* ramp) {
  const float dx = x1 - x0, dy = y1 - y0;
  const float len2 = dx * dx + dy * dy;
  for (int32_t y = 0; y < c->height; y++)
    for (int32_t x = 0; x < c->width; x++) {
      const float t = len2 > 0 ? ((float(x) + 0.5f - x0) * dx + (float(y) + 0.5f - y0) * dy) / len2 : 0.0f;
      art_px(c, x, y) = art_ramp_at(ramp, t);
    }
}

void art_gradient_radial(art_canvas* c, float cx, float cy, float radius, const art_ramp* ramp) {
  for (int32_t y = 0; y < c->height; y++)
    for (int32_t x = 0; x < c->width; x++) {
      const float dx = float(x) + 0.5f - cx, dy = float(y) + 0.5f - cy;
      art_px(c, x, y) = art_ramp_at(ramp, radius > 0 ? std::sqrt(dx * dx + dy * dy) / radius : 0.0f);
    }
}

void art_vignette(art_canvas* c, float strength, float inner, float outer) {
  const float hx = float(c->width) * 0.5f, hy = float(c->height) * 0.5f;
  const float half_diagonal = std::sqrt(hx * hx + hy * hy);
  for (int32_t y = 0; y < c->height; y++)
    for (int32_t x = 0; x < c->width; x++) {
      const float dx = float(x) + 0.5f - hx, dy = float(y) + 0.5f - hy;
      const float s = art_smoothstep(inner, outer, std::sqrt(dx * dx + dy * dy) / half_diagonal);
      art_colour& p = art_px(c, x, y);
      const float k = 1 - strength * s;
      p.r *= k, p.g *= k, p.b *= k;
    }
}
