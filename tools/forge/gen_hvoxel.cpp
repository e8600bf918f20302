// The hypervoxel's files: the background (a ringed moon in the top-left
// corner, where the zoom starts 8x magnified, over deep space and the limb
// of a great banded planet), the ball's chrome environment map, and its two
// height fields: round lumps, and spiral ridges winding round the ball.
#include "art_blur.h"
#include "opening_art.h"

namespace {
constexpr float PI = 3.14159265358979323846f;

// A ringed moon at (cx, cy), lit from the upper right: a banded purple body
// with an orange crescent, and a tilted ring passing in front of its lower
// half and behind its upper half.
void hvoxel_moon(art_canvas* c, float cx, float cy, float r) {
  const art_vec3 light = art_normalise({0.75f, -0.45f, 0.5f});
  const float tilt = -0.35f, flat = 0.28f;
  const float ct = std::cos(tilt), st = std::sin(tilt);
  art_fractal bands;
  bands.octaves = 3;
  bands.seed = 0x3A1;
  const art_ramp body = {{{0.0f, art_rgb(60, 40, 140)},
                          {0.35f, art_rgb(130, 70, 170)},
                          {0.55f, art_rgb(230, 140, 90)},
                          {0.7f, art_rgb(110, 60, 160)},
                          {1.0f, art_rgb(40, 30, 110)}}};
  for (int32_t y = 0; y < c->height; y++)
    for (int32_t x = 0; x < c->width; x++) {
      const float px = float(x) + 0.5f, py = float(y) + 0.5f;
      // The ring's plane: (rx, ry) turned by the tilt, ry stretched.
      const float dx = px - cx, dy = py - cy;
      const float rx = dx * ct + dy * st, ry = (-dx * st + dy * ct) / flat;
      const float d = std::sqrt(rx * rx + ry * ry) / r;
      const float ring = art_smoothstep(1.45f, 1.55f, d) * (1.0f - art_smoothstep(2.15f, 2.3f, d)) *
                         (0.65f + 0.35f * std::sin(d * 38.0f));
      const bool front = ry > 0.0f;
      const art_colour ring_col = art_mix(art_rgb(255, 170, 80), art_rgb(200, 190, 255), art_clamp01(d - 1.6f));
      const float cover = opening_disc_cover(px, py, cx, cy, r);
      art_colour& p = art_px(c, x, y);
      if (!front)
        p = art_add(p, art_scale(ring_col, 0.8f * ring * (1.0f - cover)));
      art_vec3 n;
      if (opening_sphere_normal(px, py, cx, cy, r, &n) || cover > 0.0f) {
        if (cover > 0.0f && !opening_sphere_normal(px, py, cx, cy, r, &n))
          n = art_normalise({dx, dy, 0.05f});
        const float lat = n.y * 0.5f + 0.5f + 0.08f * art_fractal_at(&bands, n.x * 2.0f, n.y * 6.0f);
        const float lambert = std::max(0.0f, art_dot(n, light));
        const float rim = std::pow(1.0f - n.z, 3.0f);
        art_colour s = art_scale(art_ramp_at(&body, lat), 0.08f + 0.95f * lambert);
        s = art_add(s, art_scale(art_rgb(255, 150, 60), rim * lambert * 0.9f));
        p = art_mix(p, s, cover);
      }
      if (front)
        p = art_add(p, art_scale(ring_col, 0.8f * ring));
    }
  // The moon's glow.
  art_flare_params glow;
  glow.radius = r * 3.0f;
  glow.core = 0.0f;
  glow.intensity = 0.35f;
  art_flare(c, cx + r * 0.3f, cy - r * 0.2f, art_rgb(150, 90, 255), &glow);
}

// The limb of a great banded planet across the bottom, lit from behind with
// a warm rim of atmosphere.
void hvoxel_planet(art_canvas* c, float cx, float cy, float r) {
  art_fractal storms;
  storms.octaves = 5;
  storms.seed = 0x9E2;
  const art_ramp bands = {{{0.0f, art_rgb(20, 24, 80)},
                           {0.3f, art_rgb(50, 60, 160)},
                           {0.5f, art_rgb(110, 60, 170)},
                           {0.62f, art_rgb(210, 100, 110)},
                           {0.75f, art_rgb(60, 60, 160)},
                           {1.0f, art_rgb(20, 20, 70)}}};
  for (int32_t y = 0; y < c->height; y++)
    for (int32_t x = 0; x < c->width; x++) {
      const float px = float(x) + 0.5f, py = float(y) + 0.5f;
      const float d = std::sqrt((px - cx) * (px - cx) + (py - cy) * (py - cy));
      art_colour& p = art_px(c, x, y);
      // Atmosphere: a glow hugging the limb, strongest facing the sun.
      const float facing = art_clamp01(0.5f + 0.5f * (px - cx) / r);
      const float air = std::exp(-std::pow((d - r) / 7.0f, 2.0f));
      p = art_add(p, art_scale(art_mix(art_rgb(120, 70, 255), art_rgb(255, 150, 50), facing), air * 0.85f));
      const float cover = art_clamp01(r - d + 0.5f);
      if (cover <= 0.0f)
        continue;
      const float lat = (py - (cy - r)) / 90.0f;
      const float t = lat + 0.12f * art_fractal_at(&storms, px / 50.0f, py / 14.0f);
      const float shade = 0.25f + 0.75f * std::pow(art_clamp01((d - r + 60.0f) / 60.0f), 2.0f) * (0.4f + facing);
      p = art_mix(p, art_scale(art_ramp_at(&bands, t - std::floor(t)), shade), cover);
    }
}

int hvoxel_background(std::vector<forge_file>* out, std::string* error) {
  art_canvas c;
  art_canvas_init(&c, 320, 240);
  opening_space(&c, 30.0f, 150.0f, 70.0f, 0x6B1, 260);
  hvoxel_planet(&c, 230.0f, 720.0f, 560.0f);
  // The corner the zoom starts in: a ringed moon and two bright stars.
  hvoxel_moon(&c, 22.0f, 16.0f, 6.5f);
  art_flare_params star;
  star.radius = 3.0f;
  star.rays = 4;
  star.ray_length = 2.5f;
  star.intensity = 0.9f;
  art_flare(&c, 6.5f, 24.5f, art_rgb(255, 210, 160), &star);
  star.radius = 2.0f;
  art_flare(&c, 35.5f, 5.5f, art_rgb(170, 190, 255), &star);
  art_vignette(&c, 0.35f, 0.55f, 1.1f);
  forge_picture pic;
  art_canvas_to_picture(&c, &pic, true);
  jpeg_options options;
  options.quality = 94;
  options.full_chroma = true; // the corner is seen 8x magnified
  forge_file file;
  return opening_push(out, forge_make_jpeg("data/hvoxel/bgpic.jpg", &pic, &options, &file, error), &file);
}

// Chrome in the show's colours, upside down: the ball's texture rows run
// from its bottom to its top.
int hvoxel_envmap(std::vector<forge_file>* out, std::string* error) {
  art_canvas c;
  art_canvas_init(&c, 256, 256);
  const art_ramp sky = {{{0.00f, art_rgb(30, 24, 100)},
                         {0.30f, art_rgb(120, 110, 230)},
                         {0.46f, art_rgb(240, 236, 255)},
                         {0.50f, art_rgb(255, 170, 80)},
                         {0.54f, art_rgb(30, 16, 60)},
                         {0.75f, art_rgb(60, 28, 110)},
                         {0.92f, art_rgb(255, 120, 40)},
                         {1.00f, art_rgb(255, 230, 170)}}};
  art_light_params light;
  light.direction = {0.5f, -0.6f, 0.6f};
  light.specular = art_rgb(255, 240, 210);
  light.shininess = 50;
  art_envmap_chrome(&c, &sky, &light, 0x4F0C);
  art_canvas flipped = c;
  for (int32_t y = 0; y < 256; y++)
    for (int32_t x = 0; x < 256; x++)
      art_px(&flipped, x, y) = art_px(&c, x, 255 - y);
  forge_picture pic;
  art_canvas_to_picture(&flipped, &pic, true);
  jpeg_options options;
  options.quality = 92;
  forge_file file;
  return opening_push(out, forge_make_jpeg("data/hvoxel/envmap.jpg", &pic, &options, &file, error), &file);
}

// A 128 x 128 height field from a function of the field's position in
// periods (0 to 1 across and down); values 0 to 1. Rows tile (they scroll
// round the ball).
int hvoxel_height_map(std::vector<forge_file>* out, std::string* error, const char* name,
                      float (*shape)(float, float)) {
  art_field f;
  art_field_init(&f, 128, 128);
  for (int32_t y = 0; y < 128; y++)
    for (int32_t x = 0; x < 128; x++)
      art_at(&f, x, y) = art_clamp01(shape((float(x) + 0.5f) / 128.0f, (float(y) + 0.5f) / 128.0f));
  scx_map map;
  art_field_to_scx(&f, &map);
  forge_file file;
  return opening_push(out, forge_make_scx(name, &map, &file, error), &file);
}

// Round lumps in a staggered lattice: four rows of four around the ball
// (heights 0.5 to 1 of the radius).
float hvoxel_lumps(float u, float v) {
  const float a = std::sin(2 * PI * 4 * u + 2 * PI * v) * std::sin(2 * PI * 4 * v);
  return 0.45f + 0.45f * a * std::fabs(a) + 0.1f * std::cos(2 * PI * 8 * v);
}

// Three ridges winding once round the ball as they climb it (heights 0.73
// to 1.33 of the radius).
float hvoxel_spiral(float u, float v) {
  const float s = std::cos(2 * PI * (3 * v + u));
  return 0.3f + 0.45f * std::pow(0.5f + 0.5f * s, 1.5f);
}

int hvoxel_lumps_map(std::vector<forge_file>* out, std::string* error) {
  return hvoxel_height_map(out, error, "data/hvoxel/hdata7.scx", hvoxel_lumps);
}
int hvoxel_spiral_map(std::vector<forge_file>* out, std::string* error) {
  return hvoxel_height_map(out, error, "data/hvoxel/hdata4.scx", hvoxel_spiral);
}
} // namespace

void forge_gen_hvoxel(forge_plan* plan) {
  forge_plan_add(plan, "hypervoxel background", hvoxel_background);
  forge_plan_add(plan, "hypervoxel environment map", hvoxel_envmap);
  forge_plan_add(plan, "hypervoxel lumps", hvoxel_lumps_map);
  forge_plan_add(plan, "hypervoxel spiral", hvoxel_spiral_map);
}
