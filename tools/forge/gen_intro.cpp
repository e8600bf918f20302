// The intro's files: the burn-in picture (also the tiles' texture), its
// pattern map, the background of the tile wall and the title, the title, the
// four small emblems, two pictures kept but never shown, and the torus.
#include "art_blur.h"
#include "art_lettering.h"
#include "art_quantise.h"
#include "art_random.h"
#include "art_shape.h"
#include "lwo_writer.h"
#include "mesh_builders.h"
#include "opening_art.h"

static const float intro_horizon = 150;

// Sky over the horizon of the burn-in picture: night blue to purple to a
// warm glow on the horizon.
static art_colour intro_sky_at(float y) {
  static const art_ramp sky = {{{0.0f, art_rgb(3, 3, 22)},
                                {0.55f, art_rgb(26, 10, 66)},
                                {0.82f, art_rgb(120, 38, 100)},
                                {0.95f, art_rgb(235, 110, 60)},
                                {1.0f, art_rgb(255, 175, 80)}}};
  return art_ramp_at(&sky, art_clamp01(y / intro_horizon));
}

// A chrome sphere reflecting that world.
static void intro_chrome_sphere(art_canvas* c, float cx, float cy, float r) {
  const art_ramp world = {{{0.0f, art_rgb(10, 12, 60)},
                           {0.3f, art_rgb(70, 40, 150)},
                           {0.44f, art_rgb(230, 110, 90)},
                           {0.49f, art_rgb(255, 220, 160)},
                           {0.5f, art_rgb(255, 250, 235)},
                           {0.52f, art_rgb(18, 10, 40)},
                           {0.7f, art_rgb(50, 30, 120)},
                           {1.0f, art_rgb(110, 80, 220)}}};
  art_light_params light;
  light.direction = {0.55f, -0.45f, 0.7f};
  light.specular = {1.0f, 0.85f, 0.6f, 1};
  light.shininess = 60;
  const int32_t size = int32_t(2 * r) + 2;
  art_canvas env;
  art_canvas_init(&env, size, size);
  art_envmap_chrome(&env, &world, &light, 0x5FE4);
  for (int32_t y = 0; y < c->height; y++)
    for (int32_t x = 0; x < c->width; x++) {
      const float cover = opening_disc_cover(float(x) + 0.5f, float(y) + 0.5f, cx, cy, r);
      if (cover <= 0)
        continue;
      const float ex = (float(x) + 0.5f - cx) / (2 * r) * float(size - 2) + float(size) * 0.5f;
      const float ey = (float(y) + 0.5f - cy) / (2 * r) * float(size - 2) + float(size) * 0.5f;
      const art_colour e = art_canvas_sample(&env, ex, ey, false);
      art_blend(&art_px(c, x, y), e, cover, ART_BLEND_OVER);
    }
}

// The burn-in picture: a chrome sphere over a glowing grid floor, a striped
// setting sun and a starry purple sky.
static void intro_getmet_canvas(art_canvas* c) {
  art_canvas_init(c, 320, 240);
  for (int32_t y = 0; y < c->height; y++)
    for (int32_t x = 0; x < c->width; x++)
      art_px(c, x, y) = intro_sky_at(float(y) + 0.5f);
  art_canvas stars;
  art_canvas_init(&stars, 320, 240, art_rgb(0, 0, 0));
  art_starfield(&stars, 140, art_rgb(170, 190, 255), art_rgb(255, 210, 170), 0x6E7);
  for (int32_t y = 0; y < 240; y++)
    for (int32_t x = 0; x < 320; x++) {
      const float fade = art_clamp01(1.0f - float(y) / 120.0f);
      art_px(c, x, y) = art_add(art_px(c, x, y), art_scale(art_px(&stars, x, y), fade));
    }

  // The sun: a disc on the horizon, orange to gold, cut by thinning stripes.
  const float sx = 236, sy = intro_horizon - 6, sr = 46;
  for (int32_t y = 0; y < int32_t(intro_horizon); y++)
    for (int32_t x = 0; x < 320; x++) {
      const float fx = float(x) + 0.5f, fy = float(y) + 0.5f;
      float cover = opening_disc_cover(fx, fy, sx, sy, sr);
      if (cover <= 0)
        continue;
      const float t = art_clamp01((fy - (sy - sr)) / (sr * 1.6f));
      // Stripes across the lower part, widening downwards.
      const float band = fy - (sy - sr * 0.5f);
      if (band > 0)
        cover *= art_clamp01(std::fmod(band, 8.0f) - band / 6.0f);
      const art_colour sun = art_mix(art_rgb(255, 230, 120), art_rgb(250, 80, 90), t);
      art_blend(&art_px(c, x, y), sun, art_clamp01(cover), ART_BLEND_OVER);
    }
  art_flare_params haze;
  haze.radius = 70;
  haze.core = 0;
  haze.intensity = 0.3f;
  art_flare(c, sx, sy, art_rgb(255, 120, 60), &haze);

  // The floor: deep blue, a perspective grid glowing violet, the sun's
  // reflection in warm streaks.
  for (int32_t y = int32_t(intro_horizon); y < 240; y++)
    for (int32_t x = 0; x < 320; x++) {
      const float fy = float(y) + 0.5f - intro_horizon, fx = float(x) + 0.5f - 160.0f;
      const float depth = 1.0f / std::max(fy, 0.5f); // distance along the floor
      art_colour p = art_mix(art_rgb(30, 10, 60), art_rgb(6, 4, 26), art_clamp01(fy / 50.0f));
      // Grid: lines every 1 unit across and along, in floor coordinates.
      const float gz = 60.0f * depth, gx = fx * depth * 0.9f;
      const float line_z = std::fabs(gz - std::round(gz)) / (std::fabs(60.0f * depth * depth) + 1e-3f);
      const float line_x = std::fabs(gx - std::round(gx)) / (std::fabs(0.9f * depth) + 1e-3f);
      const float lz = art_clamp01(1.2f - line_z), lx = art_clamp01(1.2f - line_x);
      const float near = art_clamp01(fy / 20.0f);
      const float grid = std::max(lz, lx) * near;
      p = art_add(p, art_scale(art_rgb(150, 90, 255), grid * 0.9f));
      p = art_add(p, art_scale(art_rgb(90, 120, 255), grid * grid * 0.4f));
      // The sun's reflection.
      const float reflect = std::exp(-std::pow((float(x) - 236.0f) / 30.0f, 2.0f)) * std::exp(-fy / 40.0f);
      const float ripple = 0.5f + 0.5f * std::sin(fy * 1.7f + std::sin(float(x) * 0.3f) * 2.0f);
      p = art_add(p, art_scale(art_rgb(255, 130, 60), reflect * ripple * 0.55f));
      art_px(c, x, y) = p;
    }
  // A glow along the horizon.
  for (int32_t y = 0; y < 240; y++)
    for (int32_t x = 0; x < 320; x++) {
      const float d = (float(y) + 0.5f - intro_horizon) / 5.0f;
      art_px(c, x, y) = art_add(art_px(c, x, y), art_scale(art_rgb(255, 140, 80), 0.35f * std::exp(-d * d)));
    }

  // The sphere's shadow on the floor, then the sphere.
  art_field shadow;
  art_field_init(&shadow, 320, 240);
  art_shape_ellipse(&shadow, 104, 196, 60, 10, 0);
  art_blur(&shadow, 5, false);
  art_paint_mask(c, &shadow, 0, 0, art_rgb(0, 0, 8), ART_BLEND_OVER, 0.75f);
  intro_chrome_sphere(c, 104, 122, 62);
  art_vignette(c, 0.4f, 0.6f, 1.1f);
}

static int intro_gif(const std::string& name, const art_canvas* c, int32_t colours, bool dither,
                     std::vector<forge_file>* out, std::string* error) {
  forge_picture pic;
  art_canvas_to_picture(c, &pic, false);
  indexed_picture indexed;
  if (!art_quantise(&pic, colours, dither, &indexed)) {
    *error = name + ": cannot reduce the colours";
    return 0;
  }
  forge_file file;
  return opening_push(out, forge_make_gif(name, &indexed, GIF_PALETTE_GLOBAL, &file, error), &file);
}

static int intro_getmet(std::vector<forge_file>* out, std::string* error) {
  art_canvas c;
  intro_getmet_canvas(&c);
  return intro_gif("data/intro/getmet.gif", &c, 256, true, out, error);
}

// The burn-in pattern: bright first, dark last. A flower of flame tongues
// burning out from the sphere's centre, with a turbulent edge.
static int intro_pattern(std::vector<forge_file>* out, std::string* error) {
  art_field f;
  art_field_init(&f, 320, 240);
  art_fractal flame;
  flame.kind = ART_FRACTAL_TURBULENCE;
  flame.octaves = 5;
  flame.seed = 0xC1A1;
  const float cx = 104, cy = 122;
  for (int32_t y = 0; y < 240; y++)
    for (int32_t x = 0; x < 320; x++) {
      const float dx = float(x) + 0.5f - cx, dy = float(y) + 0.5f - cy;
      const float r = std::sqrt(dx * dx + dy * dy) / 260.0f, a = std::atan2(dy, dx);
      const float tongue = 0.07f * std::sin(7.0f * a + r * 14.0f) + 0.05f * std::sin(3.0f * a - r * 9.0f);
      const float n = art_fractal_at(&flame, float(x) / 40.0f, float(y) / 40.0f);
      art_at(&f, x, y) = -(r + tongue + 0.22f * n);
    }
  art_field_normalise(&f, 0, 1);
  scx_map map;
  art_field_to_scx(&f, &map);
  forge_file file;
  return opening_push(out, forge_make_scx("data/intro/clmap1.scx", &map, &file, error), &file);
}

// The ringed planet the tile wall and the title play over: dark, so that the
// tiles, the glowing title and the torus lines stand out.
static void intro_ringbild_canvas(art_canvas* c) {
  art_canvas_init(c, 320, 240);
  opening_space(c, 70, 200, 60, 0x41B6, 260);
  for (art_colour& p : c->px)
    p = art_scale(p, 0.75f);
  const float cx = 214, cy = 124, r = 62, tilt = -0.32f;
  const float ct = std::cos(tilt), st = std::sin(tilt);
  const art_vec3 sun = art_normalise({-0.62f, -0.5f, 0.55f});
  art_fractal swirl;
  swirl.octaves = 5;
  swirl.seed = 0x9A1E;
  const art_ramp bands = {{{0.0f, art_rgb(40, 50, 140)},
                           {0.25f, art_rgb(90, 70, 170)},
                           {0.4f, art_rgb(200, 120, 110)},
                           {0.5f, art_rgb(90, 60, 160)},
                           {0.7f, art_rgb(50, 80, 180)},
                           {0.85f, art_rgb(140, 110, 200)},
                           {1.0f, art_rgb(40, 40, 120)}}};
  // Ring plane coordinates of a pixel: distance from the centre in planet
  // radii, and which side of the planet it lies on.
  auto ring_at = [&](float x, float y, float* radius, float* side) {
    const float dx = x - cx, dy = y - cy;
    const float u = dx * ct + dy * st, v = -dx * st + dy * ct;
    *radius = std::sqrt(u * u + (v / 0.26f) * (v / 0.26f)) / r;
    *side = v;
  };
  auto ring_colour = [&](float radius, float* alpha) {
    if (radius < 1.3f || radius > 2.35f) {
      *alpha = 0;
      return art_rgb(0, 0, 0);
    }
    const float t = (radius - 1.3f) / 1.05f;
    float density = 0.55f + 0.25f * std::sin(t * 37.0f) + 0.2f * std::sin(t * 91.0f + 1.0f);
    density *= art_smoothstep(0.0f, 0.06f, t) * (1.0f - art_smoothstep(0.9f, 1.0f, t));
    if (t > 0.55f && t < 0.6f)
      density *= 0.15f; // a gap
    *alpha = art_clamp01(density) * 0.8f;
    return art_mix(art_rgb(230, 190, 170), art_rgb(140, 120, 220), t);
  };
  for (int32_t y = 0; y < 240; y++)
    for (int32_t x = 0; x < 320; x++) {
      const float fx = float(x) + 0.5f, fy = float(y) + 0.5f;
      art_colour& p = art_px(c, x, y);
      float radius, side, alpha;
      ring_at(fx, fy, &radius, &side);
      const art_colour ring = ring_colour(radius, &alpha);
      // Rings behind the planet first.
      if (side < 0)
        art_blend(&p, art_scale(ring, 0.55f), alpha, ART_BLEND_OVER);
      art_vec3 n;
      const float cover = opening_disc_cover(fx, fy, cx, cy, r);
      if (cover > 0 &&
          opening_sphere_normal(std::min(std::max(fx, cx - r + 0.01f), cx + r - 0.01f), fy, cx, cy, r + 0.5f, &n)) {
        const float lat = (-n.x * st + n.y * ct);
        const float h = art_fractal_at(&swirl, n.x * 3.0f, lat * 9.0f);
        art_colour s = art_ramp_at(&bands, art_clamp01(0.5f + 0.5f * lat + 0.12f * h));
        const float lambert = std::max(0.0f, art_dot(n, sun));
        const float rim = std::pow(1.0f - n.z, 3.0f) * std::max(0.0f, art_dot(n, sun) + 0.3f);
        s = art_scale(s, 0.12f + 0.8f * lambert);
        s = art_add(s, art_scale(art_rgb(255, 140, 60), rim * 0.9f));
        // The rings' shadow across the planet.
        float sr, sside, salpha;
        ring_at(fx - 10.0f, fy - 18.0f, &sr, &sside);
        ring_colour(sr, &salpha);
        s = art_scale(s, 1.0f - salpha * 0.6f);
        art_blend(&p, s, cover, ART_BLEND_OVER);
      }
      if (side >= 0)
        art_blend(&p, ring, alpha, ART_BLEND_OVER);
    }
  art_flare_params atmosphere;
  atmosphere.radius = r * 1.05f;
  atmosphere.core = 0;
  atmosphere.ring = 0.25f;
  atmosphere.intensity = 0.12f;
  art_flare(c, cx, cy, art_rgb(120, 130, 255), &atmosphere);
  art_vignette(c, 0.5f, 0.5f, 1.05f);
}

static int intro_ringbild(std::vector<forge_file>* out, std::string* error) {
  art_canvas c;
  intro_ringbild_canvas(&c);
  forge_picture pic;
  art_canvas_to_picture(&c, &pic, true);
  forge_file file;
  return opening_push(out, forge_make_pcx24("data/intro/ringbild.pcx", &pic, &file, error), &file);
}

// The title: "Vorlane" in chrome with a warm underside, centred where its
// zoom starts, and a line under it. Black wherever it is not drawn.
static int intro_title(std::vector<forge_file>* out, std::string* error) {
  forge_picture pic;
  std::string failed;
  opening_cutout(
      320, 240,
      [&failed](art_canvas* c) {
        art_text_style big;
        big.font = "DejaVuSans-Bold.ttf";
        big.size = 60;
        big.tracking = 2;
        art_lettering chrome;
        chrome.fill = art_ramp_chrome();
        chrome.outline = art_rgb(14, 8, 40);
        chrome.outline_width = 2;
        chrome.shadow = {0, 0, 0, 0};
        chrome.glow_sigma = 0;
        chrome.bevel = 2.5f;
        chrome.light.depth = 6;
        chrome.light.ambient = {0.6f, 0.6f, 0.65f, 1};
        chrome.light.diffuse = {0.55f, 0.55f, 0.55f, 1};
        chrome.light.shininess = 30;
        art_letter_checked(c, &big, "Vorlane", art_letter_centre(&big, "Vorlane", 164), 112, &chrome, &failed);

        art_text_style small;
        small.font = "DejaVuSans.ttf";
        small.size = 11;
        small.tracking = 5;
        art_lettering warm;
        warm.fill = {{{0, art_rgb(255, 225, 160)}, {1, art_rgb(245, 140, 40)}}};
        warm.outline = art_rgb(20, 8, 30);
        warm.outline_width = 0.8f;
        warm.shadow = {0, 0, 0, 0};
        warm.glow_sigma = 0;
        warm.bevel = 0;
        art_letter_checked(c, &small, "A PEXIL PRODUCTION", art_letter_centre(&small, "A PEXIL PRODUCTION", 164), 140,
                           &warm, &failed);
        art_field line;
        art_field_init(&line, c->width, c->height);
        art_shape_capsule(&line, 70, 124, 258, 124, 1.3f);
        art_canvas fill;
        art_canvas_init(&fill, c->width, c->height);
        const art_ramp streak = {
            {{0, art_rgb(90, 60, 200)}, {0.5f, art_rgb(255, 200, 120)}, {1, art_rgb(90, 60, 200)}}};
        art_gradient_linear(&fill, 70, 0, 258, 0, &streak);
        art_paint_fill(c, &line, &fill, 0, 0, ART_BLEND_OVER, 1);
      },
      &pic);
  if (!failed.empty()) {
    *error = failed;
    return 0;
  }
  forge_file file;
  return opening_push(out, forge_make_tga("data/intro/vorlane.tga", &pic, 24, TGA_ORIGIN_BOTTOM_LEFT, &file, error),
                      &file);
}

// The four emblems: small glass buttons with a chrome rim, each with its
// sign, drawn at four times the size and reduced.
static void intro_emblem_canvas(int32_t which, art_canvas* out) {
  const int32_t k = 4, big = 16 * k;
  art_canvas c;
  art_canvas_init(&c, big, big, art_rgb(0, 0, 0));
  art_field body, rim, inner;
  art_field_init(&body, big, big);
  art_field_init(&inner, big, big);
  art_shape_round_rect(&body, 1, 1, float(big - 1), float(big - 1), 12);
  art_shape_round_rect(&inner, 6, 6, float(big - 6), float(big - 6), 8);
  rim = body;
  for (size_t i = 0; i < rim.v.size(); i++)
    rim.v[i] = std::max(0.0f, body.v[i] - inner.v[i]);
  const art_ramp glass = {{{0, art_rgb(40, 40, 110)}, {0.5f, art_rgb(12, 10, 48)}, {1, art_rgb(26, 14, 60)}}};
  art_canvas fill;
  art_canvas_init(&fill, big, big);
  art_gradient_linear(&fill, 0, 0, 0, float(big), &glass);
  art_paint_fill(&c, &body, &fill, 0, 0, ART_BLEND_OVER, 1);
  const art_ramp chrome = art_ramp_chrome();
  art_gradient_linear(&fill, 0, 0, float(big) * 0.3f, float(big), &chrome);
  art_paint_fill(&c, &rim, &fill, 0, 0, ART_BLEND_OVER, 1);

  art_field sign;
  art_field_init(&sign, big, big);
  art_colour top, bottom;
  switch (which) {
  case 0: // a sun
    art_shape_ellipse(&sign, 32, 32, 11, 11, 0);
    for (int32_t i = 0; i < 8; i++) {
      const float a = float(i) * 0.7853982f;
      art_shape_capsule(&sign, 32 + 15 * std::cos(a), 32 + 15 * std::sin(a), 32 + 20 * std::cos(a),
                        32 + 20 * std::sin(a), 2.2f);
    }
    top = art_rgb(255, 235, 140), bottom = art_rgb(250, 120, 30);
    break;
  case 1: // a sphere
    art_shape_ellipse(&sign, 32, 32, 17, 17, 0);
    top = art_rgb(200, 220, 255), bottom = art_rgb(40, 70, 200);
    break;
  case 2: // a diamond
    for (int32_t y = 0; y < big; y++)
      for (int32_t x = 0; x < big; x++) {
        const float d = std::fabs(float(x) + 0.5f - 32) / 17 + std::fabs(float(y) + 0.5f - 32) / 20;
        art_at(&sign, x, y) = art_clamp01((1 - d) * 12);
      }
    top = art_rgb(240, 200, 255), bottom = art_rgb(120, 50, 200);
    break;
  default: { // a ring
    art_field hole;
    art_field_init(&hole, big, big);
    art_shape_ellipse(&sign, 32, 32, 18, 18, 0);
    art_shape_ellipse(&hole, 32, 32, 10, 10, 0);
    for (size_t i = 0; i < sign.v.size(); i++)
      sign.v[i] = std::max(0.0f, sign.v[i] - hole.v[i]);
    top = art_rgb(255, 230, 170), bottom = art_rgb(200, 110, 30);
    break;
  }
  }
  art_canvas paint;
  art_canvas_init(&paint, big, big);
  const art_ramp ramp = {{{0, top}, {1, bottom}}};
  art_gradient_linear(&paint, 0, 12, 0, 52, &ramp);
  art_field height = sign;
  art_blur(&height, 2.5f, false);
  art_light_params light;
  light.depth = 10;
  light.ambient = {0.55f, 0.55f, 0.6f, 1};
  light.diffuse = {0.6f, 0.6f, 0.6f, 1};
  art_bump_light(&paint, &height, &light);
  art_glow_mask(&c, &sign, 0, 0, 4, bottom, 0.5f);
  art_paint_fill(&c, &sign, &paint, 0, 0, ART_BLEND_OVER, 1);
  opening_reduce(&c, k, out);
}

static int intro_emblems(std::vector<forge_file>* out, std::string* error) {
  for (int32_t i = 0; i < 4; i++) {
    art_canvas c;
    intro_emblem_canvas(i, &c);
    forge_picture pic;
    art_canvas_to_picture(&c, &pic, false);
    indexed_picture indexed;
    if (!art_quantise(&pic, 256, false, &indexed)) {
      *error = "emblem: cannot reduce the colours";
      return 0;
    }
    forge_file file;
    const std::string name = "data/intro/l" + std::to_string(i + 1) + ".pcx";
    if (!opening_push(out, forge_make_pcx8(name, &indexed, &file, error), &file))
      return 0;
  }
  return 1;
}

// A little gherkin on a glass plate: loaded with the intro, never shown.
static int intro_pickle(std::vector<forge_file>* out, std::string* error) {
  art_canvas c;
  art_canvas_init(&c, 96, 64);
  const art_ramp back = {{{0, art_rgb(20, 12, 50)}, {1, art_rgb(6, 4, 20)}}};
  art_gradient_radial(&c, 48, 30, 70, &back);
  art_field plate, body;
  art_field_init(&plate, 96, 64);
  art_field_init(&body, 96, 64);
  art_shape_ellipse(&plate, 48, 48, 40, 9, 0);
  art_paint_mask(&c, &plate, 0, 0, art_rgb(120, 140, 230), ART_BLEND_OVER, 0.35f);
  art_shape_ellipse(&body, 48, 36, 30, 11, -0.18f);
  art_shape_capsule(&body, 76, 30, 82, 27, 2);
  art_field height = body;
  art_fractal bumps;
  bumps.octaves = 3;
  bumps.seed = 0x91C;
  for (int32_t y = 0; y < 64; y++)
    for (int32_t x = 0; x < 96; x++) {
      const float b = art_fractal_at(&bumps, float(x) / 4.0f, float(y) / 4.0f);
      art_at(&height, x, y) = art_at(&body, x, y) * (1.0f + 0.12f * b);
    }
  art_blur(&height, 2, false);
  art_canvas green;
  art_canvas_init(&green, 96, 64, art_rgb(90, 170, 60));
  art_light_params light;
  light.depth = 12;
  art_bump_light(&green, &height, &light);
  art_paint_fill(&c, &body, &green, 0, 0, ART_BLEND_OVER, 1);
  return intro_gif("data/intro/pickle.gif", &c, 64, true, out, error);
}

// Lines of the show's names, dim on deep blue: loaded with the intro, never
// shown.
static int intro_bgtext(std::vector<forge_file>* out, std::string* error) {
  art_canvas c;
  art_canvas_init(&c, 256, 128, art_rgb(6, 6, 30));
  art_text_style style;
  style.font = "DejaVuSans-Bold.ttf";
  style.size = 14;
  style.tracking = 3;
  art_lettering dim;
  dim.fill = {{{0, art_rgb(90, 70, 170)}, {1, art_rgb(50, 40, 120)}}};
  dim.outline_width = 0;
  dim.shadow = {0, 0, 0, 0};
  dim.glow = art_rgb(120, 60, 200);
  dim.glow_sigma = 3;
  dim.glow_strength = 0.3f;
  dim.bevel = 0;
  const char* lines[] = {"VORLANE  PEXIL", "TREMORY  VORLANE", "PEXIL  TREMORY", "VORLANE  PEXIL"};
  for (int32_t i = 0; i < 4; i++)
    if (!art_letter_checked(&c, &style, lines[i], float(-20 + 24 * (i % 2)), float(24 + 30 * i), &dim, error))
      return 0;
  return intro_gif("data/intro/bgtext.gif", &c, 32, false, out, error);
}

// The torus the title section turns: 20 rings of 10 sides (400 triangles),
// 150 units round its ring and 38 thick, so its outer edge is 188 from its
// centre. The effect moves it 160 to the right and 200 towards the eye, where
// only its left arc is in the frame; tilted back and leaning, the arc sweeps
// through the frame as it turns about the vertical. No texture.
static int intro_torus(std::vector<forge_file>* out, std::string* error) {
  forge_mesh m;
  if (!forge_mesh_torus(&m, 150, 38, 20, 10)) {
    *error = "torus: cannot build the mesh";
    return 0;
  }
  forge_mesh_transform(&m, {1, 1, 1}, {1.2f, 0, 0.35f}, {0, 0, 0});
  lwo_writer_surface surface;
  surface.name = "Torus";
  surface.colour[0] = 255, surface.colour[1] = 170, surface.colour[2] = 60;
  forge_file file;
  file.name = "data/intro/torus.lwo";
  file.format = "LightWave object, " + std::to_string(m.positions.size()) + " points, " +
                std::to_string(m.faces.size()) + " triangles";
  if (!write_lwo(&m, {surface}, &file.bytes)) {
    *error = "torus: the LightWave writer refused the mesh";
    return 0;
  }
  out->push_back(std::move(file));
  return 1;
}

void forge_gen_intro(forge_plan* plan) {
  forge_plan_add(plan, "intro torus", intro_torus);
  forge_plan_add(plan, "intro picture", intro_getmet);
  forge_plan_add(plan, "intro pattern map", intro_pattern);
  forge_plan_add(plan, "intro background", intro_ringbild);
  forge_plan_add(plan, "intro title", intro_title);
  forge_plan_add(plan, "intro emblems", intro_emblems);
  forge_plan_add(plan, "intro pickle", intro_pickle);
  forge_plan_add(plan, "intro text", intro_bgtext);
}
