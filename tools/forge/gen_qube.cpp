// The qube's files: the flare burning at the cube's corners, and the cube's
// texture: a bevelled chrome frame with orange inlay around the 192 x 192
// square that the feedback copy fills every frame.
#include "art_quantise.h"
#include "opening_art.h"

// A warm star with four long rays over a violet halo, on black (it is added).
static int qube_flare(std::vector<forge_file>* out, std::string* error) {
  const int32_t n = 64;
  art_canvas c;
  art_canvas_init(&c, n, n);
  art_flare_params halo;
  halo.radius = 14.0f;
  halo.core = 0.0f;
  halo.intensity = 0.55f;
  art_flare(&c, 32.0f, 32.0f, art_rgb(130, 80, 255), &halo);
  art_flare_params star;
  star.radius = 8.0f;
  star.core = 0.22f;
  star.rays = 4;
  star.ray_length = 3.6f;
  star.angle = 0.35f;
  star.ring = 0.25f;
  art_flare(&c, 32.0f, 32.0f, art_rgb(255, 190, 110), &star);
  // Fade to black well inside the square, so stretched copies show no edge.
  for (int32_t y = 0; y < n; y++)
    for (int32_t x = 0; x < n; x++) {
      const float d = std::hypot(float(x) + 0.5f - 32.0f, float(y) + 0.5f - 32.0f) / 32.0f;
      art_px(&c, x, y) = art_scale(art_px(&c, x, y), 1.0f - art_smoothstep(0.75f, 0.98f, d));
    }
  forge_picture pic;
  art_canvas_to_picture(&c, &pic, false);
  indexed_picture indexed;
  if (!art_quantise(&pic, 256, false, &indexed)) {
    *error = "qube flare: cannot reduce the colours";
    return 0;
  }
  // The corner's entry becomes exact black.
  const int32_t black = indexed.indices[0];
  indexed.palette[3 * black] = indexed.palette[3 * black + 1] = indexed.palette[3 * black + 2] = 0;
  forge_file file;
  return opening_push(out, forge_make_gif("data/qube/flare2.gif", &indexed, GIF_PALETTE_GLOBAL, &file, error), &file);
}

// The frame: chrome bands lit as a bevel rising towards the middle of the
// border, an orange inlay line round the window, glass-blue corner studs.
static int qube_texture(std::vector<forge_file>* out, std::string* error) {
  const int32_t n = 256, inner0 = 32, inner1 = 224;
  const art_ramp chrome = art_ramp_chrome();
  const art_vec3 light = art_normalise({-0.5f, -0.6f, 0.65f});
  art_canvas c;
  art_canvas_init(&c, n, n);
  for (int32_t y = 0; y < n; y++)
    for (int32_t x = 0; x < n; x++) {
      const float px = float(x) + 0.5f, py = float(y) + 0.5f;
      // Distances to the outer edge and to the window, and the bevel's slope.
      const float outer = std::min(std::min(px, float(n) - px), std::min(py, float(n) - py));
      const float inner =
          std::max(std::max(float(inner0) - px, px - float(inner1)), std::max(float(inner0) - py, py - float(inner1)));
      art_colour p = art_rgb(4, 4, 16);
      if (inner > 0.0f) {
        // The border's profile rises from both edges; its normal tilts
        // towards the nearer edge along the nearer axis.
        const float across = outer / float(inner0); // 0 at the outer edge, 1 at the window
        const float slope = std::cos(across * float(M_PI));
        const bool vertical = std::min(px, float(n) - px) < std::min(py, float(n) - py);
        const float sign_x = px < float(n) / 2 ? -1.0f : 1.0f, sign_y = py < float(n) / 2 ? -1.0f : 1.0f;
        const art_vec3 normal =
            art_normalise({vertical ? sign_x * slope * 0.8f : 0.0f, vertical ? 0.0f : sign_y * slope * 0.8f, 1.0f});
        const float lit = std::max(0.0f, art_dot(normal, light));
        p = art_ramp_at(&chrome, art_clamp01(0.15f + 0.7f * (1.0f - lit) + 0.1f * std::sin(across * 9.0f)));
        p = art_add(p, art_scale(art_rgb(255, 240, 220), std::pow(lit, 30.0f) * 0.6f));
        // The orange inlay, two pixels out from the window.
        p = art_add(p, art_scale(art_rgb(255, 130, 40), std::exp(-std::pow((inner - 3.0f) / 1.2f, 2.0f)) * 0.9f));
        // A dark groove at the outer edge.
        p = art_scale(p, art_smoothstep(0.0f, 2.0f, outer));
      }
      for (const float cx : {16.0f, float(n) - 16.0f})
        for (const float cy : {16.0f, float(n) - 16.0f}) {
          art_vec3 s;
          if (opening_sphere_normal(px, py, cx, cy, 9.0f, &s)) {
            const float lit = std::max(0.0f, art_dot(s, light));
            const art_colour glass = art_add(art_scale(art_rgb(60, 90, 230), 0.3f + 0.8f * lit),
                                             art_scale(art_rgb(255, 255, 255), std::pow(lit, 40.0f)));
            p = art_mix(p, glass, opening_disc_cover(px, py, cx, cy, 9.0f));
          }
        }
      art_px(&c, x, y) = p;
    }
  forge_picture pic;
  art_canvas_to_picture(&c, &pic, true);
  jpeg_options options;
  options.quality = 92;
  forge_file file;
  return opening_push(out, forge_make_jpeg("data/qube/envmap.jpg", &pic, &options, &file, error), &file);
}

void forge_gen_qube(forge_plan* plan) {
  forge_plan_add(plan, "qube flare", qube_flare);
  forge_plan_add(plan, "qube texture", qube_texture);
}
