// The shell's own files: the loading picture and the hidden sprite.
#include "art_blur.h"
#include "art_canvas.h"
#include "art_composite.h"
#include "art_glow.h"
#include "art_lettering.h"
#include "art_light.h"
#include "art_noise.h"
#include "art_ramp.h"
#include "art_shape.h"
#include "forge_formats.h"

#include <algorithm>
#include <cmath>

// The progress bar the shell draws over the loading picture.
static const int32_t shell_bar_x0 = 80, shell_bar_x1 = 210, shell_bar_y0 = 40, shell_bar_y1 = 44;

// Deep space: a blue-to-purple sky with a nebula and stars.
static void shell_sky(art_canvas* c) {
  const art_ramp sky = {{{0.0f, art_rgb(3, 4, 22)},
                         {0.45f, art_rgb(14, 10, 52)},
                         {0.75f, art_rgb(34, 12, 70)},
                         {1.0f, art_rgb(12, 6, 30)}}};
  art_gradient_linear(c, 0, 0, 0, float(c->height), &sky);
  art_fractal cloud;
  cloud.octaves = 6;
  cloud.seed = 0x10AD;
  art_fractal wisp = cloud;
  wisp.kind = ART_FRACTAL_RIDGED;
  wisp.seed = 0x51C;
  for (int32_t y = 0; y < c->height; y++)
    for (int32_t x = 0; x < c->width; x++) {
      const float u = float(x) / 80.0f, v = float(y) / 80.0f;
      // A band of nebula running diagonally across the upper half.
      const float band = std::exp(-std::pow((v * 80.0f - 70.0f - u * 80.0f * 0.25f) / 60.0f, 2.0f));
      const float n = art_clamp01(art_fractal_at(&cloud, u, v) * 0.9f + 0.35f) * band;
      const float w = art_fractal_at(&wisp, u * 1.5f, v * 1.5f);
      art_colour& p = art_px(c, x, y);
      p = art_add(p, art_scale(art_rgb(70, 40, 150), n * 0.55f));
      p = art_add(p, art_scale(art_rgb(40, 70, 170), n * w * w * 0.5f));
      p = art_add(p, art_scale(art_rgb(190, 80, 60), std::pow(n, 3.0f) * 0.35f));
    }
  art_starfield(c, 220, art_rgb(170, 190, 255), art_rgb(255, 210, 160), 0x5747);
}

// A planet rising at the bottom, lit from behind by a warm sun on its rim.
static void shell_planet(art_canvas* c) {
  const float cx = 160, cy = 520, r = 330;
  art_fractal land;
  land.octaves = 6;
  land.seed = 0x91A7;
  const art_ramp surface = {{{0.0f, art_rgb(6, 10, 40)},
                             {0.45f, art_rgb(18, 30, 90)},
                             {0.6f, art_rgb(40, 30, 110)},
                             {1.0f, art_rgb(90, 60, 150)}}};
  const art_vec3 sun = art_normalise({0.35f, -0.9f, -0.25f});
  for (int32_t y = 0; y < c->height; y++)
    for (int32_t x = 0; x < c->width; x++) {
      const float dx = (float(x) + 0.5f - cx) / r, dy = (float(y) + 0.5f - cy) / r;
      const float d2 = dx * dx + dy * dy;
      art_colour& p = art_px(c, x, y);
      const float edge = std::sqrt(d2);
      if (d2 < 1) {
        const float nz = std::sqrt(1 - d2);
        // Surface texture by the point on the sphere.
        const float h = art_fractal_at(&land, dx * 6.0f + 3.0f, dy * 6.0f / (nz + 0.3f));
        art_colour s = art_ramp_at(&surface, art_clamp01(h * 0.7f + 0.5f));
        const float lambert = std::max(0.0f, dx * sun.x + dy * sun.y + nz * sun.z);
        const float rim = std::pow(1 - nz, 3.0f);
        s = art_scale(s, 0.35f + 0.9f * lambert);
        s = art_add(s, art_scale(art_rgb(255, 140, 50), rim * std::max(0.0f, -dy * 1.4f + dx * 0.6f) * 1.6f));
        const float cover = art_clamp01((1 - edge) * r + 0.5f);
        p = art_mix(p, s, cover);
      }
      // Atmosphere: a thin glowing shell just outside the rim.
      const float out = (edge - 1) * r;
      if (out > -60 && out < 60) {
        const float glow = std::exp(-std::fabs(out) / 7.0f) * 0.8f + std::exp(-std::fabs(out) / 25.0f) * 0.25f;
        const float warm = art_clamp01(0.5f + (dx - dy) * 1.2f);
        p = art_add(p, art_scale(art_mix(art_rgb(60, 90, 230), art_rgb(255, 150, 60), warm), glow));
      }
    }
  art_flare_params sunrise;
  sunrise.radius = 22;
  sunrise.core = 0.25f;
  sunrise.rays = 4;
  sunrise.ray_length = 2.2f;
  sunrise.angle = 0.12f;
  sunrise.intensity = 1.1f;
  art_flare(c, 236, 201, art_rgb(255, 170, 80), &sunrise);
}

// A dark glass panel with a chrome rim behind the progress bar, its track
// nearly black so the orange bar stands out.
static int shell_bar_panel(art_canvas* c, std::string* error) {
  art_field panel;
  art_field_init(&panel, c->width, c->height);
  art_shape_round_rect(&panel, 68, 30, 222, 54, 8);
  art_field rim = panel, inner;
  art_field_init(&inner, c->width, c->height);
  art_shape_round_rect(&inner, 69.5f, 31.5f, 220.5f, 52.5f, 6.5f);
  for (size_t i = 0; i < rim.v.size(); i++)
    rim.v[i] = std::max(0.0f, rim.v[i] - inner.v[i]);
  art_paint_mask(c, &panel, 0, 0, art_rgb(4, 4, 16), ART_BLEND_OVER, 0.72f);
  // Glass: a soft highlight over the upper half.
  for (int32_t y = 31; y < 42; y++)
    for (int32_t x = 70; x < 221; x++) {
      const float t = 1 - float(y - 31) / 11.0f;
      art_blend(&art_px(c, x, y), art_rgb(150, 170, 255), art_at(&panel, x, y) * t * t * 0.16f, ART_BLEND_ADD);
    }
  // Rim: chrome, bright on top and dark below.
  for (int32_t y = 28; y < 57; y++)
    for (int32_t x = 66; x < 225; x++) {
      const float t = float(y - 30) / 24.0f;
      const art_colour chrome = art_mix(art_rgb(220, 230, 255), art_rgb(70, 60, 120), art_clamp01(t));
      art_blend(&art_px(c, x, y), chrome, art_at(&rim, x, y), ART_BLEND_OVER);
    }
  // The bar's track: a recessed groove one pixel larger than the bar.
  art_field track;
  art_field_init(&track, c->width, c->height);
  art_shape_round_rect(&track, float(shell_bar_x0 - 2), float(shell_bar_y0 - 2), float(shell_bar_x1 + 2),
                       float(shell_bar_y1 + 2), 2.5f);
  art_paint_mask(c, &track, 0, 0, art_rgb(1, 1, 6), ART_BLEND_OVER, 1);
  for (int32_t x = shell_bar_x0 - 1; x <= shell_bar_x1; x++)
    art_blend(&art_px(c, x, shell_bar_y1 + 1), art_rgb(90, 100, 170), 0.6f, ART_BLEND_OVER);

  // A small label under the panel.
  art_text_style label;
  label.font = "DejaVuSans.ttf";
  label.size = 7.5f;
  label.tracking = 2.5f;
  art_lettering look;
  look.fill = {{{0, art_rgb(200, 210, 255)}, {1, art_rgb(130, 140, 210)}}};
  look.outline_width = 0;
  look.shadow = {0, 0, 0, 0.8f};
  look.shadow_dx = 1, look.shadow_dy = 1, look.shadow_blur = 0.7f;
  look.glow_sigma = 0;
  look.bevel = 0;
  return art_letter_checked(c, &label, "LOADING", art_letter_centre(&label, "LOADING", 145), 66, &look, error);
}

static int shell_title(art_canvas* c, std::string* error) {
  art_text_style title;
  title.font = "DejaVuSans-Bold.ttf";
  title.size = 64;
  title.tracking = 1;
  art_lettering chrome;
  chrome.fill = art_ramp_chrome();
  chrome.outline = art_rgb(8, 6, 30);
  chrome.outline_width = 2;
  chrome.shadow = {0, 0, 0, 0.85f};
  chrome.shadow_dx = 3, chrome.shadow_dy = 4, chrome.shadow_blur = 3;
  chrome.glow = art_rgb(255, 120, 30);
  chrome.glow_sigma = 9;
  chrome.glow_strength = 0.9f;
  chrome.bevel = 2.5f;
  chrome.light.depth = 6;
  chrome.light.ambient = {0.55f, 0.55f, 0.6f, 1};
  chrome.light.diffuse = {0.6f, 0.6f, 0.6f, 1};
  chrome.light.shininess = 30;
  if (!art_letter_checked(c, &title, "Vorlane", art_letter_centre(&title, "Vorlane", 160), 136, &chrome, error))
    return 0;

  // A streak of light under the title.
  art_flare_params streak;
  streak.radius = 5;
  streak.core = 0.3f;
  streak.rays = 2;
  streak.ray_length = 28;
  streak.intensity = 0.9f;
  art_flare(c, 160, 148, art_rgb(255, 190, 110), &streak);

  art_text_style group;
  group.font = "DejaVuSans-Bold.ttf";
  group.size = 17;
  group.tracking = 7;
  art_lettering warm;
  warm.fill = {{{0, art_rgb(255, 236, 170)}, {0.5f, art_rgb(255, 176, 40)}, {1, art_rgb(200, 90, 20)}}};
  warm.outline = art_rgb(20, 8, 30);
  warm.outline_width = 1.2f;
  warm.shadow = {0, 0, 0, 0.8f};
  warm.shadow_dx = 2, warm.shadow_dy = 2, warm.shadow_blur = 1.5f;
  warm.glow = art_rgb(255, 110, 20);
  warm.glow_sigma = 5;
  warm.glow_strength = 0.6f;
  warm.bevel = 1.2f;
  warm.light.depth = 3;
  return art_letter_checked(c, &group, "PEXIL", art_letter_centre(&group, "PEXIL", 160), 174, &warm, error);
}

static int shell_loadpic(std::vector<forge_file>* out, std::string* error) {
  art_canvas c;
  art_canvas_init(&c, 320, 240);
  shell_sky(&c);
  shell_planet(&c);
  art_vignette(&c, 0.55f, 0.55f, 1.05f);
  if (!shell_bar_panel(&c, error) || !shell_title(&c, error))
    return 0;
  forge_picture pic;
  art_canvas_to_picture(&c, &pic, true);
  forge_file file;
  if (!forge_make_pcx24("data/loadpic.pcx", &pic, &file, error))
    return 0;
  out->push_back(std::move(file));
  return 1;
}

// The hidden sprite: a little goat, drawn at four times the size and reduced,
// see-through where the key colour (red 255) is.
static int shell_sprite(std::vector<forge_file>* out, std::string* error) {
  const int32_t size = 32, k = 4, big = size * k;
  art_field body, horn, dark;
  art_field_init(&body, big, big);
  art_field_init(&horn, big, big);
  art_field_init(&dark, big, big);
  auto s = [&](float v) { return v * float(k); };
  // Body, neck, head and snout: a round little goat facing right.
  art_shape_ellipse(&body, s(12.5f), s(19), s(8.5f), s(5.8f), 0);
  art_shape_capsule(&body, s(18), s(17), s(21), s(12.5f), s(3.4f));
  art_shape_ellipse(&body, s(22), s(10.8f), s(4.9f), s(4.3f), 0.3f);
  art_shape_ellipse(&body, s(26), s(13.2f), s(2.9f), s(2.4f), 0.3f);
  // Legs, tail, ear, beard.
  art_shape_capsule(&body, s(7), s(22), s(7), s(28.5f), s(1.7f));
  art_shape_capsule(&body, s(10.5f), s(22.5f), s(10.5f), s(29), s(1.7f));
  art_shape_capsule(&body, s(15.5f), s(22.5f), s(15.5f), s(29), s(1.7f));
  art_shape_capsule(&body, s(18.5f), s(22), s(19), s(28.5f), s(1.7f));
  art_shape_capsule(&body, s(4.8f), s(16), s(2.8f), s(12.8f), s(1.4f));
  art_shape_ellipse(&body, s(16.8f), s(10.6f), s(3.2f), s(1.3f), 0.35f);
  art_shape_capsule(&body, s(24.6f), s(15.2f), s(25.2f), s(19), s(1.1f));
  // A horn sweeping back, and hooves.
  art_shape_capsule(&horn, s(21.5f), s(7), s(19.5f), s(3.3f), s(1.2f));
  art_shape_capsule(&horn, s(19.5f), s(3.3f), s(16.6f), s(2.6f), s(0.95f));
  art_shape_capsule(&horn, s(16.6f), s(2.6f), s(15), s(4), s(0.7f));
  for (float x : {7.0f, 10.5f, 15.5f, 19.0f})
    art_shape_round_rect(&dark, s(x - 1.9f), s(27.6f), s(x + 1.9f), s(30.6f), s(0.7f));
  art_field all = body;
  for (size_t i = 0; i < all.v.size(); i++)
    all.v[i] = std::max({all.v[i], horn.v[i], dark.v[i]});

  // Shade the fur as a bump-lit height field, the horns as polished gold.
  art_canvas big_c;
  art_canvas_init(&big_c, big, big, {0, 0, 0, 0});
  art_field height = body;
  art_blur(&height, s(1.2f), false);
  art_canvas fur;
  art_canvas_init(&fur, big, big, art_rgb(214, 208, 240));
  art_light_params light;
  light.depth = 40;
  light.ambient = {0.35f, 0.33f, 0.5f, 1};
  light.diffuse = {0.75f, 0.75f, 0.72f, 1};
  light.specular = {0.18f, 0.16f, 0.14f, 1};
  art_bump_light(&fur, &height, &light);
  art_field horn_h = horn;
  art_blur(&horn_h, s(0.6f), false);
  art_canvas gold;
  art_canvas_init(&gold, big, big, art_rgb(255, 170, 40));
  light.specular = {1, 0.9f, 0.6f, 1};
  art_bump_light(&gold, &horn_h, &light);
  for (size_t i = 0; i < big_c.px.size(); i++) {
    art_colour p = art_mix(fur.px[i], gold.px[i], horn.v[i]);
    p = art_mix(p, art_rgb(40, 30, 60), dark.v[i]);
    p.a = all.v[i];
    big_c.px[i] = p;
  }

  // Reduce, cut out at half coverage, outline in deep navy.
  art_canvas small;
  art_canvas_init(&small, size, size, {0, 0, 0, 0});
  for (int32_t y = 0; y < size; y++)
    for (int32_t x = 0; x < size; x++) {
      art_colour sum = {0, 0, 0, 0};
      float weight = 0;
      for (int32_t j = 0; j < k; j++)
        for (int32_t i = 0; i < k; i++) {
          const art_colour& p = art_px(&big_c, x * k + i, y * k + j);
          sum = {sum.r + p.r * p.a, sum.g + p.g * p.a, sum.b + p.b * p.a, sum.a + p.a};
          weight += p.a;
        }
      art_colour& q = art_px(&small, x, y);
      q = weight > 0 ? art_colour{sum.r / weight, sum.g / weight, sum.b / weight, sum.a / float(k * k)}
                     : art_colour{0, 0, 0, 0};
    }
  // The eye, with a glint, and the nostril.
  art_px(&small, 23, 10) = art_rgb(10, 8, 30);
  art_px(&small, 23, 9) = art_rgb(10, 8, 30);
  art_px(&small, 22, 9) = art_rgb(250, 250, 255);
  art_px(&small, 27, 12) = art_rgb(90, 70, 120);
  const art_colour outline = art_rgb(16, 12, 44);
  art_canvas cut = small;
  for (int32_t y = 0; y < size; y++)
    for (int32_t x = 0; x < size; x++) {
      const bool inside = art_px(&small, x, y).a >= 0.5f;
      bool near = false;
      for (int32_t j = -1; j <= 1; j++)
        for (int32_t i = -1; i <= 1; i++) {
          const int32_t sx = x + i, sy = y + j;
          if ((i == 0) != (j == 0) && sx >= 0 && sy >= 0 && sx < size && sy < size && art_px(&small, sx, sy).a >= 0.5f)
            near = true;
        }
      art_colour& p = art_px(&cut, x, y);
      if (inside)
        p.a = 1;
      else if (near)
        p = outline;
      else
        p = {0, 0, 0, 0};
    }

  forge_picture pic;
  art_canvas_to_picture(&cut, &pic, false, true);
  for (uint32_t& p : pic.pixels) {
    if (picture_alpha(p) == 0)
      p = picture_rgba(255, 0, 255, 0); // the key: red 255
    else
      p = picture_rgba(std::min<uint32_t>(picture_red(p), 254), picture_green(p), picture_blue(p), 255);
  }
  forge_file file;
  if (!forge_make_tga("data/lillget1.tga", &pic, 32, TGA_ORIGIN_BOTTOM_LEFT, &file, error))
    return 0;
  out->push_back(std::move(file));
  return 1;
}

void forge_gen_shell(forge_plan* plan) {
  forge_plan_add(plan, "loading picture", shell_loadpic);
  forge_plan_add(plan, "hidden sprite", shell_sprite);
}
