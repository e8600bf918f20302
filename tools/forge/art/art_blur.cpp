#include "art_blur.h"

#include <algorithm>
#include <cmath>

// Blurs count values spaced by stride, using tmp (count values) as scratch.
static void art_box_line(float* data, int32_t count, size_t stride, int32_t radius, bool wrap, float* tmp) {
  for (int32_t i = 0; i < count; i++)
    tmp[i] = data[size_t(i) * stride];
  auto src = [&](int32_t i) {
    if (wrap) {
      i %= count;
      return tmp[i < 0 ? i + count : i];
    }
    return tmp[std::clamp(i, 0, count - 1)];
  };
  double sum = 0;
  for (int32_t i = -radius; i <= radius; i++)
    sum += src(i);
  const double scale = 1.0 / double(2 * radius + 1);
  for (int32_t i = 0; i < count; i++) {
    data[size_t(i) * stride] = float(sum * scale);
    sum += src(i + radius + 1) - src(i - radius);
  }
}

void art_box_blur(art_field* f, int32_t radius, bool wrap) {
  if (radius < 1 || f->width < 1 || f->height < 1)
    return;
  std::vector<float> tmp(size_t(std::max(f->width, f->height)));
  for (int32_t y = 0; y < f->height; y++)
    art_box_line(&f->v[size_t(y) * size_t(f->width)], f->width, 1, radius, wrap, tmp.data());
  for (int32_t x = 0; x < f->width; x++)
    art_box_line(&f->v[size_t(x)], f->height, size_t(f->width), radius, wrap, tmp.data());
}

// Radii of three box passes whose combined variance is close to sigma^2
// (each pass of radius r adds r (r + 1) / 3).
static void art_blur_radii(float sigma, int32_t radii[3]) {
  const float target = sigma * sigma;
  for (int32_t i = 0; i < 3; i++) {
    const float per = target / 3.0f;
    // r (r + 1) / 3 = per  =>  r = (-1 + sqrt(1 + 12 per)) / 2
    radii[i] = int32_t(std::lround((-1.0f + std::sqrt(1.0f + 12.0f * per)) * 0.5f));
  }
}

void art_blur(art_field* f, float sigma, bool wrap) {
  int32_t radii[3];
  art_blur_radii(sigma, radii);
  for (int32_t r : radii)
    art_box_blur(f, r, wrap);
}

void art_blur_canvas(art_canvas* c, float sigma, bool wrap) {
  art_field channel;
  art_field_init(&channel, c->width, c->height);
  for (int32_t k = 0; k < 4; k++) {
    for (size_t i = 0; i < c->px.size(); i++)
      channel.v[i] = art_channel(c->px[i], k);
    art_blur(&channel, sigma, wrap);
    for (size_t i = 0; i < c->px.size(); i++)
      art_channel(c->px[i], k) = channel.v[i];
  }
}
