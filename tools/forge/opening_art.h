// Art shared by the opening's generators (galaxy and intro): deep-space skies
// and cut-out lettering for pictures drawn only where their red byte is set.
#pragma once

#include "art_canvas.h"
#include "art_composite.h"
#include "art_glow.h"
#include "art_light.h"
#include "art_noise.h"
#include "art_quantise.h"
#include "art_ramp.h"
#include "forge_formats.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

// A deep-space sky: a dark blue-to-purple gradient, nebula clouds (purple and
// blue, warm where they are densest) along a band, and stars. The band runs
// through (0, band_y0) and (width, band_y1); seed varies the clouds.
inline void opening_space(art_canvas* c, float band_y0, float band_y1, float band_width, uint32_t seed, int32_t stars) {
  const art_ramp sky = {
      {{0.0f, art_rgb(2, 3, 16)}, {0.5f, art_rgb(9, 8, 38)}, {0.8f, art_rgb(20, 9, 50)}, {1.0f, art_rgb(8, 5, 24)}}};
  art_gradient_linear(c, 0, 0, 0, float(c->height), &sky);
  art_fractal cloud;
  cloud.octaves = 6;
  cloud.seed = seed;
  art_fractal wisp = cloud;
  wisp.kind = ART_FRACTAL_RIDGED;
  wisp.seed = seed * 7 + 3;
  art_fractal dust = cloud;
  dust.seed = seed * 13 + 5;
  const float w = float(c->width);
  for (int32_t y = 0; y < c->height; y++)
    for (int32_t x = 0; x < c->width; x++) {
      const float u = float(x) / 90.0f, v = float(y) / 90.0f;
      const float centre = band_y0 + (band_y1 - band_y0) * float(x) / w;
      const float off = (float(y) - centre) / band_width;
      const float band = std::exp(-off * off);
      const float n = art_clamp01(art_fractal_at(&cloud, u, v) * 0.9f + 0.3f) * band;
      const float r = art_fractal_at(&wisp, u * 1.7f, v * 1.7f);
      // Dark lanes of dust cut through the brightest parts.
      const float lane = art_clamp01(0.6f + 1.6f * art_fractal_at(&dust, u * 2.2f, v * 2.2f));
      art_colour& p = art_px(c, x, y);
      p = art_add(p, art_scale(art_rgb(80, 36, 150), n * 0.55f * lane));
      p = art_add(p, art_scale(art_rgb(36, 70, 180), n * r * r * 0.55f * lane));
      p = art_add(p, art_scale(art_rgb(230, 110, 50), std::pow(n, 3.0f) * 0.5f * lane));
    }
  art_starfield(c, stars, art_rgb(170, 190, 255), art_rgb(255, 210, 160), seed + 101);
}

// Pictures drawn where their red byte is nonzero: the artwork is drawn twice,
// once over black and once over white, which gives its coverage. Pixels
// covered at least half are kept (red at least 1), all others become black.
inline void opening_cutout(int32_t width, int32_t height, const std::function<void(art_canvas*)>& draw,
                           forge_picture* out) {
  art_canvas black, white;
  art_canvas_init(&black, width, height, art_rgb(0, 0, 0));
  art_canvas_init(&white, width, height, art_rgb(255, 255, 255));
  draw(&black);
  draw(&white);
  art_canvas cut;
  art_canvas_init(&cut, width, height, art_rgb(0, 0, 0));
  for (size_t i = 0; i < cut.px.size(); i++) {
    const art_colour& a = black.px[i];
    const art_colour& b = white.px[i];
    const float cover = 1.0f - ((b.r - a.r) + (b.g - a.g) + (b.b - a.b)) / 3.0f;
    if (cover >= 0.5f)
      cut.px[i] = {a.r / cover, a.g / cover, a.b / cover, 1};
  }
  art_canvas_to_picture(&cut, out, false);
  for (size_t i = 0; i < cut.px.size(); i++) {
    const art_colour& a = black.px[i];
    const art_colour& b = white.px[i];
    const float cover = 1.0f - ((b.r - a.r) + (b.g - a.g) + (b.b - a.b)) / 3.0f;
    uint32_t& p = out->pixels[i];
    if (cover >= 0.5f)
      p = picture_rgba(std::max<uint32_t>(1, picture_red(p)), picture_green(p), picture_blue(p), 0);
    else
      p = 0;
  }
}

// Appends a made file, or passes the failure on.
inline int opening_push(std::vector<forge_file>* out, int made, forge_file* file) {
  if (!made)
    return 0;
  out->push_back(std::move(*file));
  return 1;
}

// A glow sprite as a GIF: the canvas in 256 colours, anything darker than a
// few steps exact black (the corner's palette entry too), so stretched
// copies added over a picture show no square.
inline int opening_sprite_gif(const std::string& name, const art_canvas* c, std::vector<forge_file>* out,
                              std::string* error) {
  forge_picture pic;
  art_canvas_to_picture(c, &pic, false);
  for (uint32_t& px : pic.pixels)
    if (picture_red(px) + picture_green(px) + picture_blue(px) < 6)
      px = 0;
  indexed_picture indexed;
  if (!art_quantise(&pic, 256, false, &indexed)) {
    *error = name + ": cannot reduce the colours";
    return 0;
  }
  // The darkest cluster's mean is a shade above black.
  const int32_t black = indexed.indices[0];
  indexed.palette[3 * black] = indexed.palette[3 * black + 1] = indexed.palette[3 * black + 2] = 0;
  forge_file file;
  return opening_push(out, forge_make_gif(name, &indexed, GIF_PALETTE_GLOBAL, &file, error), &file);
}

// Reduces a canvas by a whole factor, averaging each block (drawing large and
// reducing gives clean edges on tiny pictures).
inline void opening_reduce(const art_canvas* big, int32_t factor, art_canvas* out) {
  art_canvas_init(out, big->width / factor, big->height / factor);
  const float n = float(factor * factor);
  for (int32_t y = 0; y < out->height; y++)
    for (int32_t x = 0; x < out->width; x++) {
      art_colour sum = {0, 0, 0, 0};
      for (int32_t j = 0; j < factor; j++)
        for (int32_t i = 0; i < factor; i++) {
          const art_colour& p = art_px(big, x * factor + i, y * factor + j);
          sum = {sum.r + p.r, sum.g + p.g, sum.b + p.b, sum.a + p.a};
        }
      art_px(out, x, y) = {sum.r / n, sum.g / n, sum.b / n, sum.a / n};
    }
}

// A disc of the given radius seen as a lit sphere: its unit normal at a
// pixel (x right, y down, z out of the picture), or false outside.
inline bool opening_sphere_normal(float x, float y, float cx, float cy, float r, art_vec3* n) {
  const float dx = (x - cx) / r, dy = (y - cy) / r;
  const float d2 = dx * dx + dy * dy;
  if (d2 >= 1.0f)
    return false;
  *n = {dx, dy, std::sqrt(1.0f - d2)};
  return true;
}

// Coverage of a disc at a pixel centre, anti-aliased over one pixel.
inline float opening_disc_cover(float x, float y, float cx, float cy, float r) {
  const float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
  return art_clamp01(r - d + 0.5f);
}
