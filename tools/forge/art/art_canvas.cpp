#include "art_canvas.h"

#include <algorithm>
#include <cmath>

int art_canvas_init(art_canvas* c, int32_t width, int32_t height, art_colour fill) {
  if (width < 0 || height < 0)
    return 0;
  c->width = width;
  c->height = height;
  c->px.assign(size_t(width) * size_t(height), fill);
  return 1;
}

int art_field_init(art_field* f, int32_t width, int32_t height, float fill) {
  if (width < 0 || height < 0)
    return 0;
  f->width = width;
  f->height = height;
  f->v.assign(size_t(width) * size_t(height), fill);
  return 1;
}

art_colour art_rgb(int r, int g, int b, float a) {
  return {float(r) / 255.0f, float(g) / 255.0f, float(b) / 255.0f, a};
}

art_colour art_mix(art_colour a, art_colour b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

art_colour art_scale(art_colour c, float k) { return {c.r * k, c.g * k, c.b * k, c.a}; }

art_colour art_add(art_colour a, art_colour b) { return {a.r + b.r, a.g + b.g, a.b + b.b, a.a}; }

art_colour art_mul(art_colour a, art_colour b) { return {a.r * b.r, a.g * b.g, a.b * b.b, a.a}; }

float art_clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

float art_smoothstep(float e0, float e1, float v) {
  if (e0 == e1)
    return v < e0 ? 0.0f : 1.0f;
  const float t = art_clamp01((v - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

float art_luma(art_colour c) { return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b; }

static int32_t art_wrap(int32_t i, int32_t n) {
  const int32_t m = i % n;
  return m < 0 ? m + n : m;
}

static void art_sample_setup(int32_t w, int32_t h, float x, float y, bool wrap, int32_t* xi, int32_t* yi, float* fx,
                             float* fy) {
  const float flx = std::floor(x), fly = std::floor(y);
  *fx = x - flx;
  *fy = y - fly;
  int32_t x0 = int32_t(flx), y0 = int32_t(fly);
  int32_t x1 = x0 + 1, y1 = y0 + 1;
  if (wrap) {
    x0 = art_wrap(x0, w), x1 = art_wrap(x1, w), y0 = art_wrap(y0, h), y1 = art_wrap(y1, h);
  } else {
    x0 = std::clamp(x0, 0, w - 1), x1 = std::clamp(x1, 0, w - 1);
    y0 = std::clamp(y0, 0, h - 1), y1 = std::clamp(y1, 0, h - 1);
  }
  xi[0] = x0, xi[1] = x1, yi[0] = y0, yi[1] = y1;
}

float art_field_sample(const art_field* f, float x, float y, bool wrap) {
  if (f->width < 1 || f->height < 1)
    return 0;
  int32_t xi[2], yi[2];
  float fx, fy;
  art_sample_setup(f->width, f->height, x, y, wrap, xi, yi, &fx, &fy);
  const float a = art_at(f, xi[0], yi[0]), b = art_at(f, xi[1], yi[0]);
  const float c = art_at(f, xi[0], yi[1]), d = art_at(f, xi[1], yi[1]);
  return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

art_colour art_canvas_sample(const art_canvas* c, float x, float y, bool wrap) {
  if (c->width < 1 || c->height < 1)
    return {};
  int32_t xi[2], yi[2];
  float fx, fy;
  art_sample_setup(c->width, c->height, x, y, wrap, xi, yi, &fx, &fy);
  const art_colour top = art_mix(art_px(c, xi[0], yi[0]), art_px(c, xi[1], yi[0]), fx);
  const art_colour bottom = art_mix(art_px(c, xi[0], yi[1]), art_px(c, xi[1], yi[1]), fx);
  return art_mix(top, bottom, fy);
}

void art_field_normalise(art_field* f, float lo, float hi) {
  if (f->v.empty())
    return;
  const auto [mn, mx] = std::minmax_element(f->v.begin(), f->v.end());
  const float a = *mn, range = *mx - *mn;
  for (float& v : f->v)
    v = range > 0 ? lo + (v - a) / range * (hi - lo) : lo;
}

static uint32_t art_to_byte(float v, float bias) {
  const float s = art_clamp01(v) * 255.0f + 0.5f + bias;
  return uint32_t(std::clamp(int32_t(s), 0, 255));
}

void art_canvas_to_picture(const art_canvas* c, forge_picture* out, bool dither, bool keep_alpha) {
  static const int bayer[16] = {0, 8, 2, 10, 12, 4, 14, 6, 3, 11, 1, 9, 15, 7, 13, 5};
  picture_init(out, c->width, c->height, 0);
  for (int32_t y = 0; y < c->height; y++)
    for (int32_t x = 0; x < c->width; x++) {
      const art_colour& p = art_px(c, x, y);
      const float bias = dither ? (float(bayer[(y & 3) * 4 + (x & 3)]) + 0.5f) / 16.0f - 0.5f : 0.0f;
      out->pixels[size_t(y) * size_t(c->width) + size_t(x)] = picture_rgba(
          art_to_byte(p.r, bias), art_to_byte(p.g, bias), art_to_byte(p.b, bias), keep_alpha ? art_to_byte(p.a, 0) : 0);
    }
}

void art_canvas_from_picture(const forge_picture* pic, art_canvas* out) {
  art_canvas_init(out, pic->width, pic->height);
  for (size_t i = 0; i < out->px.size(); i++) {
    const uint32_t p = pic->pixels[i];
    out->px[i] =
        art_rgb(int(picture_red(p)), int(picture_green(p)), int(picture_blue(p)), float(picture_alpha(p)) / 255.0f);
  }
}

void art_field_to_scx(const art_field* f, scx_map* out) {
  out->width = f->width;
  out->height = f->height;
  out->pixels.resize(f->v.size());
  for (size_t i = 0; i < f->v.size(); i++)
    out->pixels[i] = uint8_t(art_to_byte(f->v[i], 0));
}
