// The image cube's two picture animations, 16 frames of 256 x 256 each, that
// loop without a seam: the f pictures, a chrome "V" over a flowing plasma,
// and the v pictures, a tunnel of glowing rings running towards the viewer.
// Both sit in a chrome frame, so the cube's edges read as metal beams.
#include "art_blur.h"
#include "art_lettering.h"
#include "art_shape.h"
#include "opening_art.h"

namespace {
constexpr int32_t cube_size = 256;
constexpr int32_t cube_frames = 16;
constexpr float two_pi = 6.2831853f;

// Colour and coverage of the still parts (frame, lettering) over the
// animated ones.
struct cube_overlay {
  art_canvas colour;
  std::vector<float> cover;
};

// The chrome frame round every picture: 9 pixels, bevelled.
void frame_border(art_canvas* c) {
  art_field body, inner;
  art_field_init(&body, cube_size, cube_size);
  art_field_init(&inner, cube_size, cube_size);
  art_shape_round_rect(&body, 0, 0, float(cube_size), float(cube_size), 0);
  art_shape_round_rect(&inner, 9, 9, float(cube_size - 9), float(cube_size - 9), 6);
  art_field rim = body;
  for (size_t i = 0; i < rim.v.size(); i++)
    rim.v[i] = std::max(0.0f, body.v[i] - inner.v[i]);
  art_canvas fill;
  art_canvas_init(&fill, cube_size, cube_size);
  const art_ramp chrome = art_ramp_chrome();
  art_gradient_linear(&fill, 0, 0, float(cube_size) * 0.4f, float(cube_size), &chrome);
  art_field height = rim;
  art_blur(&height, 2.0f, false);
  art_light_params light;
  light.depth = 6;
  light.ambient = {0.55f, 0.55f, 0.6f, 1};
  light.diffuse = {0.6f, 0.6f, 0.6f, 1};
  art_bump_light(&fill, &height, &light);
  art_paint_fill(c, &rim, &fill, 0, 0, ART_BLEND_OVER, 1);
}

// Draws the still parts twice, over black and over white, which gives their
// colour and coverage.
void make_overlay(const std::function<void(art_canvas*)>& draw, cube_overlay* out) {
  art_canvas black, white;
  art_canvas_init(&black, cube_size, cube_size, art_rgb(0, 0, 0));
  art_canvas_init(&white, cube_size, cube_size, art_rgb(255, 255, 255));
  draw(&black);
  draw(&white);
  art_canvas_init(&out->colour, cube_size, cube_size);
  out->cover.assign(black.px.size(), 0.0f);
  for (size_t i = 0; i < black.px.size(); i++) {
    const art_colour& a = black.px[i];
    const art_colour& b = white.px[i];
    const float cover = art_clamp01(1.0f - ((b.r - a.r) + (b.g - a.g) + (b.b - a.b)) / 3.0f);
    out->cover[i] = cover;
    if (cover > 0.001f)
      out->colour.px[i] = {a.r / cover, a.g / cover, a.b / cover, 1};
  }
}

void lay_overlay(art_canvas* c, const cube_overlay* o) {
  for (size_t i = 0; i < c->px.size(); i++)
    c->px[i] = art_mix(c->px[i], o->colour.px[i], o->cover[i]);
}

int push_frame(char set, int32_t k, const art_canvas* c, std::vector<forge_file>* out, std::string* error) {
  forge_picture pic;
  art_canvas_to_picture(c, &pic, true);
  jpeg_options options;
  options.quality = 88;
  char name[48];
  std::snprintf(name, sizeof name, "data/icube/anim/%c%02d.jpg", set, int(k));
  forge_file file;
  return opening_push(out, forge_make_jpeg(name, &pic, &options, &file, error), &file);
}

// The "V" and the frame of the f pictures, and the mask the pulsing glow
// follows.
void f_overlay(cube_overlay* o, art_field* glow) {
  art_text_style big;
  big.font = "DejaVuSans-Bold.ttf";
  big.size = 170;
  art_text v;
  art_text_render(&big, "V", 24, &v);
  *glow = v.mask;
  art_blur(glow, 9.0f, false);
  make_overlay(
      [&](art_canvas* c) {
        art_lettering chrome;
        chrome.fill = art_ramp_chrome();
        chrome.outline = art_rgb(16, 8, 40);
        chrome.outline_width = 3;
        chrome.shadow = {0, 0, 0, 0.6f};
        chrome.shadow_dx = 4;
        chrome.shadow_dy = 5;
        chrome.shadow_blur = 4;
        chrome.glow_sigma = 0;
        chrome.bevel = 4;
        chrome.light.depth = 9;
        chrome.light.ambient = {0.6f, 0.6f, 0.65f, 1};
        chrome.light.diffuse = {0.55f, 0.55f, 0.55f, 1};
        chrome.light.shininess = 30;
        art_letter(c, &big, "V", art_letter_centre(&big, "V", 128), 192, &chrome);
        frame_border(c);
      },
      o);
  // Where the glow mask sits: the letter's pen start and baseline as laid.
  art_field placed;
  art_field_init(&placed, cube_size, cube_size);
  const int32_t dx = int32_t(art_letter_centre(&big, "V", 128)) - v.left, dy = 192 - v.baseline;
  for (int32_t y = 0; y < cube_size; y++)
    for (int32_t x = 0; x < cube_size; x++) {
      const int32_t gx = x - dx, gy = y - dy;
      if (gx >= 0 && gy >= 0 && gx < glow->width && gy < glow->height)
        art_at(&placed, x, y) = art_at(glow, gx, gy);
    }
  *glow = placed;
}

// Frames first to last of the f pictures: a plasma of sine waves whose
// phases turn once over the 16 frames, in the show's colours, with the "V"
// glowing in time.
int f_frames(int32_t first, int32_t last, std::vector<forge_file>* out, std::string* error) {
  cube_overlay o;
  art_field glow;
  f_overlay(&o, &glow);
  const art_ramp plasma = {{{0.0f, art_rgb(8, 6, 34)},
                            {0.3f, art_rgb(40, 24, 110)},
                            {0.55f, art_rgb(110, 50, 170)},
                            {0.75f, art_rgb(235, 110, 70)},
                            {0.88f, art_rgb(255, 190, 110)},
                            {1.0f, art_rgb(40, 24, 110)}}};
  // The three waves' phases at every pixel; each frame turns them by its
  // own angle through the sum formula, so no sine is taken per frame.
  const size_t n = size_t(cube_size) * size_t(cube_size);
  std::vector<float> wave_sin[3], wave_cos[3];
  for (int w = 0; w < 3; w++) {
    wave_sin[w].resize(n);
    wave_cos[w].resize(n);
  }
  for (int32_t y = 0; y < cube_size; y++)
    for (int32_t x = 0; x < cube_size; x++) {
      const float u = float(x) / float(cube_size), v = float(y) / float(cube_size);
      const float du = u - 0.5f, dv = v - 0.5f;
      const float a[3] = {two_pi * (2.0f * u + 0.5f * std::sin(two_pi * v)), two_pi * (3.0f * v - u),
                          two_pi * 4.0f * std::sqrt(du * du + dv * dv)};
      const size_t i = size_t(y) * size_t(cube_size) + size_t(x);
      for (int w = 0; w < 3; w++) {
        wave_sin[w][i] = std::sin(a[w]);
        wave_cos[w][i] = std::cos(a[w]);
      }
    }
  art_canvas c;
  art_canvas_init(&c, cube_size, cube_size);
  for (int32_t k = first; k <= last; k++) {
    const float phase = two_pi * float(k - 1) / float(cube_frames);
    const float pulse = 0.55f + 0.45f * std::cos(phase);
    // Wave 1 runs with the phase, wave 2 twice as fast against it, wave 3 against it.
    const float turn[3] = {phase, -2.0f * phase, -phase};
    float ts[3], tc[3];
    for (int w = 0; w < 3; w++) {
      ts[w] = std::sin(turn[w]);
      tc[w] = std::cos(turn[w]);
    }
    for (size_t i = 0; i < n; i++) {
      float s = 0;
      for (int w = 0; w < 3; w++)
        s += wave_sin[w][i] * tc[w] + wave_cos[w][i] * ts[w];
      const float t = 0.5f + s / 6.0f;
      art_colour p = art_ramp_at(&plasma, art_clamp01(t));
      c.px[i] = art_add(p, art_scale(art_rgb(255, 140, 50), glow.v[i] * pulse * 0.9f));
    }
    lay_overlay(&c, &o);
    art_vignette(&c, 0.25f, 0.5f, 1.2f);
    if (!push_frame('f', k, &c, out, error))
      return 0;
  }
  return 1;
}

// Frames first to last of the v pictures: square rings of light rushing out
// of a dark centre; the rings move two spacings over the 16 frames, so the
// animation loops. Every other ring is warm.
int v_frames(int32_t first, int32_t last, std::vector<forge_file>* out, std::string* error) {
  cube_overlay o;
  make_overlay([](art_canvas* c) { frame_border(c); }, &o);
  // What does not move: the distance from the centre (rounded square
  // rings, a superellipse), the walls' colour and seams, the glow far off.
  const size_t n = size_t(cube_size) * size_t(cube_size);
  std::vector<float> reach(n), near(n);
  std::vector<art_colour> still(n);
  for (int32_t y = 0; y < cube_size; y++)
    for (int32_t x = 0; x < cube_size; x++) {
      const float dx = (float(x) + 0.5f) / 128.0f - 1.0f, dy = (float(y) + 0.5f) / 128.0f - 1.0f;
      const float d = std::pow(std::pow(std::fabs(dx), 6.0f) + std::pow(std::fabs(dy), 6.0f), 1.0f / 6.0f);
      const size_t i = size_t(y) * size_t(cube_size) + size_t(x);
      reach[i] = 3.0f / std::max(d, 0.02f); // depth, growing towards the centre
      near[i] = art_smoothstep(0.03f, 0.25f, d);
      art_colour p = art_mix(art_rgb(2, 2, 14), art_rgb(22, 12, 60), art_clamp01(d));
      const float seam = std::exp(-std::pow((std::fabs(dx) - std::fabs(dy)) * 40.0f, 2.0f)) * d;
      p = art_add(p, art_scale(art_rgb(80, 90, 220), seam * 0.4f));
      still[i] = art_add(p, art_scale(art_rgb(150, 110, 255), std::exp(-d * d * 40.0f) * 0.25f));
    }
  art_canvas c;
  art_canvas_init(&c, cube_size, cube_size);
  for (int32_t k = first; k <= last; k++) {
    const float shift = float(k - 1) / float(cube_frames) * 2.0f;
    for (size_t i = 0; i < n; i++) {
      const float depth = reach[i] + shift;
      const float fog = art_clamp01(1.2f - depth / 12.0f) * near[i];
      if (fog <= 0) {
        c.px[i] = still[i];
        continue;
      }
      const float f = depth - std::floor(depth);
      const float line = std::exp(-(f - 0.5f) * (f - 0.5f) * 90.0f);
      const bool warm = int32_t(std::floor(depth)) % 2 == 0;
      const art_colour light = warm ? art_rgb(255, 150, 60) : art_rgb(110, 120, 255);
      c.px[i] = art_add(still[i], art_scale(light, line * fog * (warm ? 1.1f : 0.8f)));
    }
    lay_overlay(&c, &o);
    if (!push_frame('v', k, &c, out, error))
      return 0;
  }
  return 1;
}
} // namespace

void forge_gen_icube(forge_plan* plan) {
  // Half an animation per job, so the frames are made on two threads.
  forge_plan_add(plan, "cube f 1-8",
                 [](std::vector<forge_file>* out, std::string* e) { return f_frames(1, 8, out, e); });
  forge_plan_add(plan, "cube f 9-16",
                 [](std::vector<forge_file>* out, std::string* e) { return f_frames(9, 16, out, e); });
  forge_plan_add(plan, "cube v 1-8",
                 [](std::vector<forge_file>* out, std::string* e) { return v_frames(1, 8, out, e); });
  forge_plan_add(plan, "cube v 9-16",
                 [](std::vector<forge_file>* out, std::string* e) { return v_frames(9, 16, out, e); });
}
