// The diffuse cube's background: a dark studio of deep blue and purple haze
// over a warm perspective floor, dark enough in the middle for the clouds of
// light to read. The light object shows the same picture.
#include "art_blur.h"
#include "opening_art.h"

// The floor's lines: rays from the vanishing point and rows closing in on
// the horizon, thin and anti-aliased.
static float diffuse_floor_lines(float x, float y, float horizon, float vanish_x) {
  const float below = y - horizon;
  if (below <= 0.5f)
    return 0;
  // Depth of the floor under the row: 900 / distance below the horizon;
  // one pixel spans 900 / below^2 of it. Rows every 6 units of depth.
  const float depth = 900.0f / below;
  const float per_pixel = 900.0f / (below * below);
  const float cell_z = std::fabs(depth / 6.0f - std::floor(depth / 6.0f + 0.5f)) * 6.0f;
  const float row = art_clamp01(1.0f - cell_z / (1.1f * per_pixel)) * art_clamp01(1.2f - per_pixel / 4.0f);
  // Across: the floor coordinate under the pixel, a line every 4 units.
  const float across = (x - vanish_x) * depth / 120.0f;
  const float cell_x = std::fabs(across / 4.0f - std::floor(across / 4.0f + 0.5f)) * 4.0f;
  const float col = art_clamp01(1.0f - cell_x / (1.1f * depth / 120.0f));
  return std::max(row, col);
}

static int diffuse_background(std::vector<forge_file>* out, std::string* error) {
  const int32_t w = 320, h = 240;
  const float horizon = 168.0f, vanish_x = 160.0f;
  art_canvas c;
  art_canvas_init(&c, w, h);
  const art_ramp sky = {{{0.0f, art_rgb(3, 4, 20)},
                         {0.45f, art_rgb(14, 10, 46)},
                         {0.68f, art_rgb(34, 14, 62)},
                         {0.70f, art_rgb(10, 6, 28)},
                         {1.0f, art_rgb(4, 3, 14)}}};
  art_gradient_linear(&c, 0, 0, 0, float(h), &sky);

  art_fractal haze;
  haze.octaves = 6;
  haze.seed = 0x5D1F;
  art_fractal veil = haze;
  veil.kind = ART_FRACTAL_RIDGED;
  veil.seed = 0x71A3;
  art_field lines;
  art_field_init(&lines, w, h);
  for (int32_t y = 0; y < h; y++)
    for (int32_t x = 0; x < w; x++) {
      const float fx = float(x) + 0.5f, fy = float(y) + 0.5f;
      art_colour& p = art_px(&c, x, y);
      if (fy < horizon) {
        // Haze above the floor, thickest in a band behind the cube.
        const float n = art_clamp01(art_fractal_at(&haze, fx / 70.0f, fy / 70.0f) * 0.8f + 0.35f);
        const float r = art_fractal_at(&veil, fx / 45.0f, fy / 45.0f);
        const float band = std::exp(-std::pow((fy - 110.0f) / 70.0f, 2.0f));
        p = art_add(p, art_scale(art_rgb(70, 34, 140), n * band * 0.5f));
        p = art_add(p, art_scale(art_rgb(30, 70, 170), n * r * r * band * 0.45f));
      } else {
        // The floor reflects a little of the haze, darker towards the viewer.
        const float fade = art_clamp01((fy - horizon) / float(h - horizon));
        const float n = art_clamp01(art_fractal_at(&haze, fx / 60.0f, (2 * horizon - fy) / 40.0f) * 0.8f + 0.3f);
        p = art_add(p, art_scale(art_rgb(40, 20, 90), n * (1.0f - fade) * 0.35f));
      }
      art_at(&lines, x, y) = diffuse_floor_lines(fx, fy, horizon, vanish_x);
    }

  // The floor's lines glow orange, brightest near the horizon where they
  // crowd together, and fade out towards the viewer.
  art_field glow = lines;
  art_blur(&glow, 2.0f, false);
  for (int32_t y = 0; y < h; y++)
    for (int32_t x = 0; x < w; x++) {
      const float fy = float(y) + 0.5f;
      const float near = art_clamp01((fy - horizon) / float(h - horizon));
      const float k = (1.0f - 0.75f * near) * art_smoothstep(horizon, horizon + 12.0f, fy);
      art_colour& p = art_px(&c, x, y);
      p = art_add(p, art_scale(art_rgb(255, 130, 50), art_at(&lines, x, y) * 0.55f * k));
      p = art_add(p, art_scale(art_rgb(200, 70, 120), art_at(&glow, x, y) * 0.5f * k));
    }

  // A warm glow along the horizon, strongest behind the centre.
  for (int32_t y = 0; y < h; y++)
    for (int32_t x = 0; x < w; x++) {
      const float dx = (float(x) + 0.5f - vanish_x) / 190.0f, dy = (float(y) + 0.5f - horizon) / 9.0f;
      const float g = std::exp(-dx * dx - dy * dy);
      art_px(&c, x, y) = art_add(art_px(&c, x, y), art_scale(art_rgb(255, 140, 60), g * 0.55f));
    }
  // Faint stars, in the sky only.
  art_canvas stars;
  art_canvas_init(&stars, w, h);
  art_starfield(&stars, 140, art_rgb(150, 170, 255), art_rgb(255, 200, 160), 0x2B7);
  for (int32_t y = 0; y < h; y++)
    for (int32_t x = 0; x < w; x++) {
      const float k = 0.7f * (1.0f - art_smoothstep(horizon - 40.0f, horizon - 4.0f, float(y)));
      art_px(&c, x, y) = art_add(art_px(&c, x, y), art_scale(art_px(&stars, x, y), k));
    }
  art_vignette(&c, 0.55f, 0.45f, 1.05f);

  forge_picture pic;
  art_canvas_to_picture(&c, &pic, true);
  forge_file file;
  return opening_push(out, forge_make_pcx24("data/diffuse/bgpic.pcx", &pic, &file, error), &file);
}

void forge_gen_diffuse(forge_plan* plan) { forge_plan_add(plan, "diffuse cube background", diffuse_background); }
