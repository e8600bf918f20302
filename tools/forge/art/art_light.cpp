#include "art_light.h"

#include "art_noise.h"

#include <algorithm>
#include <cmath>

art_vec3 art_normalise(art_vec3 v) {
  const float len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  return len > 0 ? art_vec3{v.x / len, v.y / len, v.z / len} : art_vec3{0, 0, 1};
}

float art_dot(art_vec3 a, art_vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

static float art_height_at(const art_field* h, int32_t x, int32_t y, bool wrap) {
  if (wrap) {
    x %= h->width, y %= h->height;
    x += x < 0 ? h->width : 0, y += y < 0 ? h->height : 0;
  } else {
    x = std::clamp(x, 0, h->width - 1), y = std::clamp(y, 0, h->height - 1);
  }
  return art_at(h, x, y);
}

art_vec3 art_height_normal(const art_field* height, int32_t x, int32_t y, float depth, bool wrap) {
  const float dx = (art_height_at(height, x + 1, y, wrap) - art_height_at(height, x - 1, y, wrap)) * 0.5f * depth;
  const float dy = (art_height_at(height, x, y + 1, wrap) - art_height_at(height, x, y - 1, wrap)) * 0.5f * depth;
  return art_normalise({-dx, -dy, 1});
}

static float art_highlight(art_vec3 n, art_vec3 light, float shininess) {
  const art_vec3 half = art_normalise({light.x, light.y, light.z + 1});
  const float s = std::max(0.0f, art_dot(n, half));
  return std::pow(s, shininess);
}

void art_bump_light(art_canvas* c, const art_field* height, const art_light_params* p) {
  if (height->width != c->width || height->height != c->height)
    return;
  const art_vec3 light = art_normalise(p->direction);
  for (int32_t y = 0; y < c->height; y++)
    for (int32_t x = 0; x < c->width; x++) {
      const art_vec3 n = art_height_normal(height, x, y, p->depth, p->wrap);
      const float lambert = std::max(0.0f, art_dot(n, light));
      const float shine = art_highlight(n, light, p->shininess);
      art_colour& px = art_px(c, x, y);
      const art_colour lit = art_add(p->ambient, art_scale(p->diffuse, lambert));
      px = art_add(art_mul(px, lit), art_scale(p->specular, shine));
    }
}

// Normal of the sphere seen at pixel (x, y) of a map of the given size; points
// outside the circle take the normal of the nearest rim point.
static art_vec3 art_sphere_normal(int32_t x, int32_t y, int32_t w, int32_t h) {
  float u = (float(x) + 0.5f) / float(w) * 2 - 1, v = (float(y) + 0.5f) / float(h) * 2 - 1;
  const float r2 = u * u + v * v;
  if (r2 > 1) {
    const float r = std::sqrt(r2);
    u /= r, v /= r;
    return {u, v, 0};
  }
  return {u, v, std::sqrt(1 - r2)};
}

void art_envmap_chrome(art_canvas* c, const art_ramp* sky, const art_light_params* p, uint32_t seed) {
  const art_vec3 light = art_normalise(p->direction);
  art_fractal clouds;
  clouds.octaves = 4;
  clouds.seed = seed;
  for (int32_t y = 0; y < c->height; y++)
    for (int32_t x = 0; x < c->width; x++) {
      const art_vec3 n = art_sphere_normal(x, y, c->width, c->height);
      // Reflect the viewing ray (into the picture) about the normal.
      const art_vec3 r = {2 * n.z * n.x, 2 * n.z * n.y, 2 * n.z * n.z - 1};
      const float elevation = -r.y; // y runs down the picture
      const float azimuth = std::atan2(r.x, r.z);
      float t = 0.5f - 0.5f * elevation;
      t += 0.05f * art_fractal_at(&clouds, azimuth * 2.0f, elevation * 3.0f);
      art_colour col = art_ramp_at(sky, t);
      const float shine = std::pow(std::max(0.0f, art_dot(r, light)), p->shininess);
      art_px(c, x, y) = art_add(col, art_scale(p->specular, shine));
    }
}

void art_specular_map(art_canvas* c, art_colour base, const art_light_params* p) {
  const art_vec3 light = art_normalise(p->direction);
  for (int32_t y = 0; y < c->height; y++)
    for (int32_t x = 0; x < c->width; x++) {
      const art_vec3 n = art_sphere_normal(x, y, c->width, c->height);
      const float lambert = std::max(0.0f, art_dot(n, light));
      const float shine = art_highlight(n, light, p->shininess);
      const art_colour lit = art_add(p->ambient, art_scale(p->diffuse, lambert));
      art_px(c, x, y) = art_add(art_mul(base, lit), art_scale(p->specular, shine));
    }
}
