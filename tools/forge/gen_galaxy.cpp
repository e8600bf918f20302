// The galaxy's files: the deep-space panorama it scrolls over, the flare its
// stars are drawn with, and the two logos that wipe in.
#include "art_blur.h"
#include "art_lettering.h"
#include "art_shape.h"
#include "opening_art.h"

// The panorama: 640 x 240, shown from column 320 down to 0; the logos are
// stamped into its left half (rows 20 to 240).
static int galaxy_background(std::vector<forge_file>* out, std::string* error) {
  art_canvas c;
  art_canvas_init(&c, 640, 240);
  opening_space(&c, 190, 40, 70, 0x6A1A, 520);
  // A second, fainter cloud low on the left, behind the logos.
  art_canvas low;
  art_canvas_init(&low, 640, 240);
  opening_space(&low, 210, 240, 45, 0x3C0F, 0);
  for (size_t i = 0; i < c.px.size(); i++)
    c.px[i] = art_add(c.px[i], art_scale(low.px[i], 0.35f));
  // A warm cluster in the nebula on the right, where the show begins, and a
  // cool one further left.
  art_flare_params cluster;
  cluster.radius = 60;
  cluster.core = 0.04f;
  cluster.intensity = 0.45f;
  art_flare(&c, 505, 92, art_rgb(255, 150, 70), &cluster);
  cluster.radius = 40;
  cluster.intensity = 0.3f;
  art_flare(&c, 250, 60, art_rgb(110, 130, 255), &cluster);
  art_flare_params bright;
  bright.radius = 9;
  bright.core = 0.2f;
  bright.rays = 4;
  bright.ray_length = 3.5f;
  bright.angle = 0.3f;
  bright.intensity = 0.8f;
  art_flare(&c, 590, 40, art_rgb(200, 215, 255), &bright);
  art_flare(&c, 372, 205, art_rgb(255, 200, 150), &bright);
  art_vignette(&c, 0.35f, 0.6f, 1.1f);

  forge_picture pic;
  art_canvas_to_picture(&c, &pic, true);
  jpeg_options options;
  options.quality = 92;
  forge_file file;
  return opening_push(out, forge_make_jpeg("data/galaxy/galaxybg.jpg", &pic, &options, &file, error), &file);
}

// The star flare: a small white-blue core in a lavender halo, fading to black
// well inside the square so that stretched copies show no edges.
static int galaxy_flare(std::vector<forge_file>* out, std::string* error) {
  const int32_t size = 64;
  art_canvas c;
  art_canvas_init(&c, size, size);
  const art_colour core = art_rgb(255, 248, 255), halo = art_rgb(110, 100, 255), warm = art_rgb(255, 150, 80);
  for (int32_t y = 0; y < size; y++)
    for (int32_t x = 0; x < size; x++) {
      const float dx = (float(x) + 0.5f - 32.0f) / 32.0f, dy = (float(y) + 0.5f - 32.0f) / 32.0f;
      const float d = std::sqrt(dx * dx + dy * dy);
      const float edge = 1.0f - art_smoothstep(0.55f, 0.98f, d);
      const float hot = std::exp(-d * d / (0.1f * 0.1f));
      const float glow = std::exp(-d * d / (0.32f * 0.32f));
      const float rim = std::exp(-(d - 0.22f) * (d - 0.22f) / 0.004f);
      art_colour p = art_scale(core, hot * 0.85f);
      p = art_add(p, art_scale(halo, glow * 0.32f * edge));
      p = art_add(p, art_scale(warm, rim * 0.05f * edge));
      art_px(&c, x, y) = p;
    }
  forge_picture pic;
  art_canvas_to_picture(&c, &pic, false);
  jpeg_options options;
  options.quality = 95;
  options.full_chroma = true;
  forge_file file;
  return opening_push(out, forge_make_jpeg("data/galaxy/gflare2.jpg", &pic, &options, &file, error), &file);
}

// Lettering without glow or shadow, so the cut-out keeps only the letters.
static art_lettering galaxy_letters(const art_ramp& fill, art_colour outline, float outline_width, float bevel) {
  art_lettering look;
  look.fill = fill;
  look.outline = outline;
  look.outline_width = outline_width;
  look.shadow = {0, 0, 0, 0};
  look.glow_sigma = 0;
  look.bevel = bevel;
  look.light.depth = 5;
  look.light.ambient = {0.6f, 0.6f, 0.65f, 1};
  look.light.diffuse = {0.55f, 0.55f, 0.55f, 1};
  look.light.shininess = 30;
  return look;
}

// The group's logo: "PEXIL" in chrome over an orange streak, and a small
// "presents". Drawn at (0, 20) of the frame.
static int galaxy_group_logo(std::vector<forge_file>* out, std::string* error) {
  forge_picture pic;
  std::string failed;
  opening_cutout(
      320, 120,
      [&failed](art_canvas* c) {
        art_field streak;
        art_field_init(&streak, c->width, c->height);
        art_shape_capsule(&streak, 34, 96, 286, 96, 1.6f);
        art_canvas warm;
        art_canvas_init(&warm, c->width, c->height);
        const art_ramp line = {{{0, art_rgb(120, 40, 20)}, {0.5f, art_rgb(255, 190, 90)}, {1, art_rgb(120, 40, 20)}}};
        art_gradient_linear(&warm, 34, 0, 286, 0, &line);
        art_paint_fill(c, &streak, &warm, 0, 0, ART_BLEND_OVER, 1);

        art_text_style big;
        big.font = "DejaVuSans-Bold.ttf";
        big.size = 78;
        big.tracking = 6;
        const art_lettering chrome = galaxy_letters(art_ramp_chrome(), art_rgb(10, 6, 34), 2.0f, 2.5f);
        art_letter_checked(c, &big, "PEXIL", art_letter_centre(&big, "PEXIL", 160), 84, &chrome, &failed);

        art_text_style small;
        small.font = "DejaVuSans.ttf";
        small.size = 10;
        small.tracking = 4;
        const art_ramp gold = {{{0, art_rgb(255, 230, 170)}, {1, art_rgb(240, 140, 40)}}};
        const art_lettering label = galaxy_letters(gold, art_rgb(20, 8, 30), 0.8f, 0);
        art_letter_checked(c, &small, "PRESENTS", art_letter_centre(&small, "PRESENTS", 160), 113, &label, &failed);
      },
      &pic);
  if (!failed.empty()) {
    *error = failed;
    return 0;
  }
  forge_file file;
  return opening_push(out, forge_make_pcx24("data/galaxy/pexil.pcx", &pic, &file, error), &file);
}

// The companion label: "TREMORY" in blue glass with a warm rim, and its
// line. Drawn at (0, 160) of the frame.
static int galaxy_label_logo(std::vector<forge_file>* out, std::string* error) {
  forge_picture pic;
  std::string failed;
  opening_cutout(
      320, 72,
      [&failed](art_canvas* c) {
        art_text_style name;
        name.font = "DejaVuSans-Bold.ttf";
        name.size = 38;
        name.tracking = 7;
        const art_ramp glass = {{{0.0f, art_rgb(225, 235, 255)},
                                 {0.45f, art_rgb(130, 150, 255)},
                                 {0.55f, art_rgb(70, 50, 170)},
                                 {1.0f, art_rgb(150, 90, 220)}}};
        const art_lettering look = galaxy_letters(glass, art_rgb(235, 125, 35), 1.4f, 2.0f);
        art_letter_checked(c, &name, "TREMORY", art_letter_centre(&name, "TREMORY", 160), 42, &look, &failed);

        art_text_style small;
        small.font = "DejaVuSans.ttf";
        small.size = 9;
        small.tracking = 3.5f;
        const art_ramp pale = {{{0, art_rgb(200, 210, 255)}, {1, art_rgb(150, 160, 230)}}};
        const art_lettering label = galaxy_letters(pale, art_rgb(12, 8, 40), 0.7f, 0);
        art_letter_checked(c, &small, "SOUND AND VISION", art_letter_centre(&small, "SOUND AND VISION", 160), 62,
                           &label, &failed);
      },
      &pic);
  if (!failed.empty()) {
    *error = failed;
    return 0;
  }
  forge_file file;
  return opening_push(out, forge_make_pcx24("data/galaxy/tremory.pcx", &pic, &file, error), &file);
}

void forge_gen_galaxy(forge_plan* plan) {
  forge_plan_add(plan, "galaxy background", galaxy_background);
  forge_plan_add(plan, "galaxy flare", galaxy_flare);
  forge_plan_add(plan, "group logo", galaxy_group_logo);
  forge_plan_add(plan, "label logo", galaxy_label_logo);
}
