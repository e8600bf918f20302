#include "tunnel_art.h"

#include "art_blur.h"
#include "art_glow.h"
#include "art_light.h"
#include "art_noise.h"
#include "art_ramp.h"
#include "art_random.h"
#include "art_shape.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t size = 256;
constexpr float PI = 3.14159265358979f;

// Distance in pixels from (x, y) to the border of the inset rectangle
// [m, size - m]^2: positive inside.
float inside_by(float x, float y, float m) {
  return std::min(std::min(x - m, float(size) - m - x), std::min(y - m, float(size) - m - y));
}

// Adds light where the mask is, with a soft glow around it.
void glow_into(art_canvas* c, const art_field& mask, art_colour core, art_colour halo, float sigma, bool wrap) {
  art_field soft = mask;
  art_blur(&soft, sigma, wrap);
  for (size_t i = 0; i < c->px.size(); i++) {
    c->px[i] = art_add(c->px[i], art_scale(halo, soft.v[i]));
    c->px[i] = art_add(c->px[i], art_scale(core, mask.v[i]));
  }
}

} // namespace

void tunnel_art_panels(art_canvas* c) {
  art_canvas_init(c, size, size);
  art_field height;
  art_field_init(&height, size, size);
  art_fractal brushed;
  brushed.octaves = 4;
  brushed.period = 4;
  brushed.seed = 0x7A11;
  for (int32_t y = 0; y < size; y++)
    for (int32_t x = 0; x < size; x++) {
      const float fx = float(x) + 0.5f, fy = float(y) + 0.5f;
      // A plateau with a bevelled rim, sunk seams at the border.
      const float d = inside_by(fx, fy, 6);
      float h = art_smoothstep(0, 10, d);
      // Rivets near the corners.
      for (float cy : {20.0f, 236.0f})
        for (float cx : {20.0f, 236.0f}) {
          const float r = std::hypot(fx - cx, fy - cy);
          if (r < 6)
            h += 0.6f * std::sqrt(1 - r * r / 36);
        }
      // A sunk groove across the panel holds the light slot.
      const float slot = std::fabs(fy - 128);
      h -= 0.5f * (1 - art_smoothstep(10, 14, slot)) * art_smoothstep(40, 48, std::min(fx, 256 - fx));
      art_at(&height, x, y) = h;
      // Brushed along the tunnel: noise stretched in v.
      const float n = art_fractal_at(&brushed, fx / 64.0f, fy / 256.0f * 4.0f / 16.0f);
      const float grain = 0.85f + 0.15f * n;
      art_colour base = art_mix(art_rgb(70, 78, 120), art_rgb(96, 86, 140), art_clamp01(0.5f + n));
      base = art_scale(base, grain);
      if (d < 2)
        base = art_rgb(12, 10, 26);
      art_px(c, x, y) = base;
    }
  art_light_params light;
  light.direction = {-0.3f, -0.7f, 0.65f};
  light.depth = 6;
  light.wrap = true;
  light.ambient = {0.25f, 0.22f, 0.35f, 1};
  light.diffuse = {0.95f, 0.9f, 1.0f, 1};
  light.specular = {0.6f, 0.5f, 0.4f, 1};
  light.shininess = 20;
  art_bump_light(c, &height, &light);
  // The orange slot, glowing over the groove.
  art_field slot;
  art_field_init(&slot, size, size);
  art_shape_round_rect(&slot, 52, 123, 204, 133, 4);
  glow_into(c, slot, art_rgb(255, 200, 110), art_rgb(255, 110, 30, 1), 7, true);
}

void tunnel_art_ribs(art_canvas* c) {
  art_canvas_init(c, size, size);
  art_fractal flow;
  flow.kind = ART_FRACTAL_RIDGED;
  flow.octaves = 5;
  flow.period = 4;
  flow.seed = 0x51B5;
  art_fractal cloud;
  cloud.octaves = 4;
  cloud.period = 4;
  cloud.seed = 0x2C3;
  const art_ramp chrome = art_ramp_chrome();
  for (int32_t y = 0; y < size; y++)
    for (int32_t x = 0; x < size; x++) {
      const float u = (float(x) + 0.5f) / float(size), v = (float(y) + 0.5f) / float(size);
      // Energy streaming along the tube (v), banded across it.
      const float r = art_fractal_at(&flow, u * 4, v * 4);
      const float n = 0.5f + 0.5f * art_fractal_at(&cloud, u * 4, v * 4);
      art_colour p = art_mix(art_rgb(14, 6, 40), art_rgb(70, 24, 130), n);
      p = art_add(p, art_scale(art_rgb(110, 70, 255), std::pow(r, 3.0f) * 0.8f));
      p = art_add(p, art_scale(art_rgb(255, 120, 200), std::pow(r, 8.0f) * 0.5f));
      // The rib: a chrome band at both ends of v, with a hot core line.
      const float d = std::min(v, 1 - v) * float(size);
      if (d < 26) {
        const float t = d / 26;
        const art_colour band = art_ramp_at(&chrome, 0.15f + 0.7f * t * (2 - t));
        const float edge = art_smoothstep(22, 26, d);
        p = art_mix(band, p, edge);
        p = art_scale(p, 0.55f + 0.45f * (1 - edge));
      }
      p = art_add(p, art_scale(art_rgb(120, 230, 255), std::exp(-d * d / 8.0f) * 1.2f));
      p = art_add(p, art_scale(art_rgb(60, 120, 255), std::exp(-d * d / 200.0f) * 0.4f));
      art_px(c, x, y) = p;
    }
}

void tunnel_art_hall(art_canvas* c) {
  art_canvas_init(c, size, size);
  art_field height, crack;
  art_field_init(&height, size, size);
  art_field_init(&crack, size, size);
  const art_ramp facets = {{{0.0f, art_rgb(20, 16, 70)},
                            {0.4f, art_rgb(52, 34, 130)},
                            {0.75f, art_rgb(90, 60, 190)},
                            {1.0f, art_rgb(40, 90, 180)}}};
  art_fractal vein;
  vein.octaves = 3;
  vein.period = 8;
  vein.seed = 0x4A11;
  for (int32_t y = 0; y < size; y++)
    for (int32_t x = 0; x < size; x++) {
      const float u = (float(x) + 0.5f) / float(size) * 5, v = (float(y) + 0.5f) / float(size) * 5;
      float f1, f2;
      uint32_t id;
      art_cellular(u, v, 0x6A1, 5, &f1, &f2, &id);
      const float gap = f2 - f1;
      art_at(&height, x, y) = art_smoothstep(0, 0.25f, gap) * (1 - 0.5f * f1);
      art_at(&crack, x, y) = 1 - art_smoothstep(0.0f, 0.06f, gap);
      const float n = art_fractal_at(&vein, u * 1.6f, v * 1.6f);
      art_px(c, x, y) = art_ramp_at(&facets, art_clamp01(art_hash_float(id, 7) * 0.8f + 0.2f * n + 0.1f));
    }
  art_light_params light;
  light.direction = {0.4f, -0.6f, 0.7f};
  light.depth = 10;
  light.wrap = true;
  light.ambient = {0.3f, 0.28f, 0.4f, 1};
  light.diffuse = {0.9f, 0.85f, 1.0f, 1};
  light.specular = {0.7f, 0.75f, 1.0f, 1};
  light.shininess = 40;
  art_bump_light(c, &height, &light);
  glow_into(c, crack, art_rgb(255, 170, 70), art_rgb(230, 80, 30), 3, true);
}

void tunnel_art_shaft(art_canvas* c) {
  art_canvas_init(c, size, size);
  art_field cyan, orange;
  art_field_init(&cyan, size, size);
  art_field_init(&orange, size, size);
  // Base: dark navy with a fine grid.
  for (int32_t y = 0; y < size; y++)
    for (int32_t x = 0; x < size; x++) {
      const bool grid = (x % 16) == 0 || (y % 16) == 0;
      art_px(c, x, y) = grid ? art_rgb(22, 30, 70) : art_rgb(8, 10, 34);
    }
  // Traces run from cell to cell on a 16-pixel grid, turning now and then.
  art_rng rng;
  art_rng_seed(&rng, 0x5AF7);
  for (int32_t i = 0; i < 26; i++) {
    art_field* mask = (i % 5 == 0) ? &orange : &cyan;
    float x = 16.0f * float(1 + art_rng_below(&rng, 15)), y = 16.0f * float(1 + art_rng_below(&rng, 15));
    art_shape_ellipse(mask, x, y, 3.5f, 3.5f, 0);
    for (int32_t step = 0; step < 5; step++) {
      const bool along = art_rng_below(&rng, 3) != 0; // mostly along the shaft
      const float len = 16.0f * float(1 + art_rng_below(&rng, 4));
      const float sign = art_rng_below(&rng, 2) ? 1.0f : -1.0f;
      float nx = along ? x : x + sign * len, ny = along ? y + sign * len : y;
      nx = std::clamp(nx, 16.0f, 240.0f);
      ny = std::clamp(ny, 16.0f, 240.0f);
      art_shape_capsule(mask, x, y, nx, ny, 1.3f);
      x = nx, y = ny;
    }
    art_shape_ellipse(mask, x, y, 3.0f, 3.0f, 0);
  }
  glow_into(c, cyan, art_rgb(150, 240, 255), art_rgb(30, 110, 255), 4, true);
  glow_into(c, orange, art_rgb(255, 210, 120), art_rgb(255, 100, 20), 4, true);
  // The corners of the square: bright rails along u = 0 and u = 1.
  for (int32_t y = 0; y < size; y++)
    for (int32_t x = 0; x < size; x++) {
      const float d = std::min(float(x) + 0.5f, float(size) - 0.5f - float(x));
      art_colour& p = art_px(c, x, y);
      p = art_add(p, art_scale(art_rgb(255, 150, 60), std::exp(-d * d / 6.0f)));
      p = art_add(p, art_scale(art_rgb(180, 60, 140), std::exp(-d * d / 120.0f) * 0.5f));
    }
}

void tunnel_art_throat(art_canvas* c) {
  art_canvas_init(c, size, size);
  const art_ramp deep = {{{0.0f, art_rgb(30, 10, 70)},
                          {0.35f, art_rgb(90, 20, 120)},
                          {0.6f, art_rgb(200, 60, 110)},
                          {0.8f, art_rgb(255, 150, 60)},
                          {1.0f, art_rgb(255, 250, 235)}}};
  for (int32_t x = 0; x < size; x++) {
    const float u = (float(x) + 0.5f) / float(size);
    // Streaks: a brightness per column, periodic around the tube.
    const float streak = 0.5f + 0.5f * art_noise(u * 24, 0.5f, 0x7E, 24, 0);
    const float fine = 0.5f + 0.5f * art_noise(u * 64, 3.5f, 0x7F, 64, 0);
    for (int32_t y = 0; y < size; y++) {
      const float v = (float(y) + 0.5f) / float(size);
      art_colour p = art_ramp_at(&deep, v);
      const float s = std::pow(streak, 4.0f) * 0.9f + std::pow(fine, 6.0f) * 0.5f;
      p = art_add(art_scale(p, 0.75f + 0.25f * v), art_scale(art_rgb(255, 190, 255), s * (0.3f + 0.7f * v)));
      art_px(c, x, y) = p;
    }
  }
}

void tunnel_art_exit(art_canvas* c) {
  art_canvas_init(c, size / 2, size / 2);
  const art_ramp light = {{{0.0f, art_rgb(255, 255, 255)},
                           {0.3f, art_rgb(255, 246, 225)},
                           {0.6f, art_rgb(255, 180, 90)},
                           {0.85f, art_rgb(255, 200, 150)},
                           {1.0f, art_rgb(255, 240, 225)}}};
  art_gradient_radial(c, 64, 64, 64, &light);
  art_flare_params rays;
  rays.radius = 40;
  rays.core = 0.2f;
  rays.rays = 6;
  rays.ray_length = 1.6f;
  rays.intensity = 0.6f;
  rays.angle = PI / 12;
  art_flare(c, 64, 64, art_rgb(255, 240, 220), &rays);
}
