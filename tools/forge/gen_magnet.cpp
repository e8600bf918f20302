// The magnet's texture: blue steel plates, brushed and riveted, eaten by
// warm orange rust along their seams. It tiles, since the field bends it off
// every edge.
#include "opening_art.h"

static int magnet_texture(std::vector<forge_file>* out, std::string* error) {
  const int32_t n = 256, plate = 64; // four plates across, four down
  art_fractal rust;
  rust.octaves = 6;
  rust.period = 8;
  rust.seed = 0x7057;
  art_fractal grain = rust;
  grain.period = 32;
  grain.octaves = 3;
  grain.seed = 0x9A11;
  art_fractal pits = rust;
  pits.kind = ART_FRACTAL_TURBULENCE;
  pits.period = 16;
  pits.seed = 0x31C;
  const art_ramp steel = {{{0.0f, art_rgb(30, 38, 80)}, {0.5f, art_rgb(80, 96, 150)}, {1.0f, art_rgb(170, 180, 220)}}};
  const art_ramp rusted = {{{0.0f, art_rgb(60, 20, 16)},
                            {0.4f, art_rgb(150, 60, 24)},
                            {0.75f, art_rgb(230, 120, 40)},
                            {1.0f, art_rgb(255, 190, 110)}}};
  art_canvas c;
  art_canvas_init(&c, n, n);
  for (int32_t y = 0; y < n; y++)
    for (int32_t x = 0; x < n; x++) {
      const float u = (float(x) + 0.5f) / float(n), v = (float(y) + 0.5f) / float(n);
      // Distance to the nearest plate seam, in pixels.
      const float sx = float(x % plate) + 0.5f, sy = float(y % plate) + 0.5f;
      const float seam = std::min(std::min(sx, float(plate) - sx), std::min(sy, float(plate) - sy));
      // Brushed steel: grain stretched along the rows, a sheen per plate.
      const float brush = art_fractal_at(&grain, u * 32.0f, v * 4.0f);
      const float sheen = 0.5f + 0.35f * std::sin((sx + sy) / float(plate) * 3.0f + float(x / plate + y / plate));
      art_colour p = art_ramp_at(&steel, art_clamp01(sheen + 0.25f * brush));
      // Rust creeps in from the seams and wherever the fractal is high.
      const float r = art_fractal_at(&rust, u * 8.0f, v * 8.0f) + 0.9f * std::exp(-seam / 6.0f) - 0.15f;
      const float cover = art_smoothstep(0.15f, 0.45f, r);
      const float flake = art_clamp01(art_fractal_at(&pits, u * 16.0f, v * 16.0f) * 1.4f);
      p = art_mix(p, art_ramp_at(&rusted, flake), cover);
      // The seam's groove and a lit edge below and right of it.
      p = art_scale(p, 0.45f + 0.55f * art_smoothstep(0.0f, 2.5f, seam));
      if (seam > 2.0f && seam < 3.5f && (sx < 4.0f || sy < 4.0f))
        p = art_add(p, art_scale(art_rgb(120, 130, 180), 0.35f));
      // Rivets near the plates' corners.
      for (const float cx : {8.0f, float(plate) - 8.0f})
        for (const float cy : {8.0f, float(plate) - 8.0f}) {
          art_vec3 normal;
          if (opening_sphere_normal(sx, sy, cx, cy, 3.5f, &normal)) {
            const float lit = std::max(0.0f, art_dot(normal, art_normalise({-0.5f, -0.6f, 0.6f})));
            p = art_mix(p,
                        art_add(art_scale(art_rgb(140, 150, 200), 0.2f + lit),
                                art_scale(art_rgb(255, 220, 180), std::pow(lit, 12.0f))),
                        opening_disc_cover(sx, sy, cx, cy, 3.5f));
          }
        }
      art_px(&c, x, y) = p;
    }
  forge_picture pic;
  art_canvas_to_picture(&c, &pic, true);
  forge_file file;
  return opening_push(out, forge_make_pcx24("data/magnet/rost.pcx", &pic, &file, error), &file);
}

void forge_gen_magnet(forge_plan* plan) { forge_plan_add(plan, "magnet texture", magnet_texture); }
