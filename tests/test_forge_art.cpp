// The art toolkit: numbers, noise, plasma, ramps, blur, compositing, shapes,
// lighting, text and palette reduction.
#include "art_blur.h"
#include "art_canvas.h"
#include "art_composite.h"
#include "art_glow.h"
#include "art_light.h"
#include "art_noise.h"
#include "art_plasma.h"
#include "art_quantise.h"
#include "art_ramp.h"
#include "art_random.h"
#include "art_shape.h"
#include "art_text.h"

#include <cmath>
#include <gtest/gtest.h>
#include <set>

namespace {
double field_mean(const art_field& f) {
  double s = 0;
  for (float v : f.v)
    s += v;
  return s / double(f.v.size());
}

double field_variance(const art_field& f) {
  const double m = field_mean(f);
  double s = 0;
  for (float v : f.v)
    s += (v - m) * (v - m);
  return s / double(f.v.size());
}
} // namespace

TEST(ArtRandom, SeedsGiveFixedDistinctSequencesInRange) {
  art_rng a, b, c;
  art_rng_seed(&a, 42);
  art_rng_seed(&b, 42);
  art_rng_seed(&c, 43);
  int same_as_c = 0;
  for (int i = 0; i < 1000; i++) {
    const uint32_t x = art_rng_next(&a);
    EXPECT_EQ(x, art_rng_next(&b));
    same_as_c += x == art_rng_next(&c);
  }
  EXPECT_LT(same_as_c, 3);
  // The generator is a fixed algorithm: its first output for seed 1 never changes.
  art_rng_seed(&a, 1);
  art_rng_seed(&b, 1);
  EXPECT_EQ(art_rng_next(&a), art_rng_next(&b));
  uint32_t counts[7] = {};
  for (int i = 0; i < 70000; i++) {
    const float f = art_rng_float(&a);
    ASSERT_GE(f, 0.0f);
    ASSERT_LT(f, 1.0f);
    const uint32_t k = art_rng_below(&a, 7);
    ASSERT_LT(k, 7u);
    counts[k]++;
  }
  for (uint32_t n : counts)
    EXPECT_NEAR(double(n), 10000.0, 500.0);
  EXPECT_EQ(art_rng_below(&a, 0), 0u);
  EXPECT_NE(art_hash(1, 2, 3), art_hash(1, 2, 4));
  EXPECT_NE(art_hash(1, 2, 3), art_hash(2, 1, 3));
}

TEST(ArtNoise, GradientNoiseIsBoundedVariedAndPeriodicWhenAsked) {
  float lo = 1e9f, hi = -1e9f;
  for (int y = 0; y < 64; y++)
    for (int x = 0; x < 64; x++) {
      const float fx = float(x) * 0.173f, fy = float(y) * 0.211f;
      const float n = art_noise(fx, fy, 7);
      lo = std::min(lo, n), hi = std::max(hi, n);
      EXPECT_EQ(n, art_noise(fx, fy, 7));
      // Period 8: shifting by whole periods gives the same value.
      EXPECT_NEAR(art_noise(fx, fy, 7, 8, 8), art_noise(fx + 8.0f, fy - 16.0f, 7, 8, 8), 1e-5f);
    }
  EXPECT_GE(lo, -1.0f);
  EXPECT_LE(hi, 1.0f);
  EXPECT_LT(lo, -0.4f);
  EXPECT_GT(hi, 0.4f);
  EXPECT_EQ(art_noise(3, 5, 1), 0.0f) << "zero at lattice points";
  EXPECT_NE(art_noise(3.5f, 5.5f, 1), art_noise(3.5f, 5.5f, 2)) << "the seed matters";
}

TEST(ArtNoise, PeriodicFractalFieldsTileSeamlessly) {
  art_fractal p;
  p.period = 4;
  p.seed = 11;
  for (int32_t kind : {ART_FRACTAL_FBM, ART_FRACTAL_TURBULENCE, ART_FRACTAL_RIDGED}) {
    p.kind = kind;
    art_field f;
    art_field_init(&f, 64, 64);
    art_field_fractal(&f, &p, 4);
    EXPECT_GT(field_variance(f), 1e-3) << kind;
    // The column after the last equals the first column.
    for (int32_t y = 0; y < 64; y++)
      EXPECT_NEAR(art_fractal_at(&p, 4.0f, float(y) / 16.0f), art_at(&f, 0, y), 1e-5f) << kind;
    if (kind != ART_FRACTAL_FBM) {
      for (float v : f.v)
        ASSERT_GE(v, 0.0f);
    }
  }
}

TEST(ArtNoise, CellularDistancesAreOrderedAndPeriodic) {
  for (int i = 0; i < 500; i++) {
    const float x = float(i % 37) * 0.31f, y = float(i / 37) * 0.29f;
    float f1, f2, g1, g2;
    uint32_t id1, id2;
    art_cellular(x, y, 3, 5, &f1, &f2, &id1);
    ASSERT_GE(f1, 0.0f);
    ASSERT_LE(f1, f2);
    ASSERT_LT(f1, 1.5f);
    art_cellular(x + 5, y + 10, 3, 5, &g1, &g2, &id2);
    EXPECT_NEAR(f1, g1, 1e-4f);
    EXPECT_EQ(id1, id2);
  }
}

TEST(ArtPlasma, FractalPlasmaSpansTheRangeAndTiles) {
  art_field f;
  art_field_init(&f, 128, 128);
  ASSERT_EQ(art_plasma_fractal(&f, 0.55f, 5), 1);
  const auto [mn, mx] = std::minmax_element(f.v.begin(), f.v.end());
  EXPECT_FLOAT_EQ(*mn, 0.0f);
  EXPECT_FLOAT_EQ(*mx, 1.0f);
  // Across the wrap the steps are as small as inside the picture.
  double inner = 0, seam = 0;
  for (int32_t y = 0; y < 128; y++) {
    inner += std::fabs(art_at(&f, 64, y) - art_at(&f, 63, y));
    seam += std::fabs(art_at(&f, 0, y) - art_at(&f, 127, y));
  }
  EXPECT_LT(seam, inner * 2.5 + 1);
  art_field odd;
  art_field_init(&odd, 100, 100);
  EXPECT_EQ(art_plasma_fractal(&odd, 0.5f, 1), 0);
  art_field_init(&odd, 64, 32);
  EXPECT_EQ(art_plasma_fractal(&odd, 0.5f, 1), 0);

  art_field sine;
  art_field_init(&sine, 64, 48);
  art_plasma_sine(&sine, 4, 3, 9);
  EXPECT_GT(field_variance(sine), 0.01);
  EXPECT_FLOAT_EQ(*std::max_element(sine.v.begin(), sine.v.end()), 1.0f);
}

TEST(ArtRamp, InterpolatesBetweenStopsAndHoldsBeyondTheEnds) {
  const art_ramp ramp = {{{0.2f, {0, 0, 0, 1}}, {0.6f, {1, 0.5f, 0, 1}}, {1.0f, {1, 1, 1, 1}}}};
  EXPECT_FLOAT_EQ(art_ramp_at(&ramp, -3).r, 0);
  EXPECT_FLOAT_EQ(art_ramp_at(&ramp, 0.4f).r, 0.5f);
  EXPECT_FLOAT_EQ(art_ramp_at(&ramp, 0.4f).g, 0.25f);
  EXPECT_FLOAT_EQ(art_ramp_at(&ramp, 0.8f).g, 0.75f);
  EXPECT_FLOAT_EQ(art_ramp_at(&ramp, 7).b, 1);
  art_canvas c;
  art_canvas_init(&c, 10, 4);
  art_gradient_linear(&c, 0, 0, 10, 0, &ramp);
  EXPECT_LT(art_px(&c, 0, 0).r, art_px(&c, 5, 0).r);
  EXPECT_FLOAT_EQ(art_px(&c, 3, 0).r, art_px(&c, 3, 3).r) << "constant across the direction";
  art_canvas v;
  art_canvas_init(&v, 40, 40, {1, 1, 1, 1});
  art_vignette(&v, 0.8f, 0.3f, 1.0f);
  EXPECT_FLOAT_EQ(art_px(&v, 20, 20).r, 1.0f);
  EXPECT_LT(art_px(&v, 0, 0).r, 0.4f);
}

TEST(ArtBlur, KeepsTheMeanAndSpreadsAnImpulseBySigma) {
  art_field f;
  art_field_init(&f, 101, 101);
  art_at(&f, 50, 50) = 1;
  art_blur(&f, 6, true);
  double sum = 0, var = 0;
  for (int32_t y = 0; y < 101; y++)
    for (int32_t x = 0; x < 101; x++) {
      sum += art_at(&f, x, y);
      var += art_at(&f, x, y) * double((x - 50) * (x - 50));
    }
  EXPECT_NEAR(sum, 1.0, 1e-4);
  EXPECT_NEAR(std::sqrt(var / sum), 6.0, 0.8);
  EXPECT_NEAR(art_at(&f, 44, 50), art_at(&f, 56, 50), 1e-6f) << "symmetric";

  art_canvas c;
  art_canvas_init(&c, 16, 16, {0.2f, 0.4f, 0.6f, 1});
  art_px(&c, 3, 3) = {1, 1, 1, 1};
  art_blur_canvas(&c, 2, false);
  EXPECT_GT(art_px(&c, 4, 3).r, 0.2f);
  EXPECT_LT(art_px(&c, 3, 3).r, 1.0f);
  EXPECT_NEAR(art_px(&c, 15, 15).b, 0.6f, 1e-5f);
}

TEST(ArtComposite, BlendModesAndMasks) {
  art_colour d = {0.5f, 0.5f, 0.5f, 1};
  art_blend(&d, {1, 0, 0, 1}, 1, ART_BLEND_OVER);
  EXPECT_FLOAT_EQ(d.r, 1);
  EXPECT_FLOAT_EQ(d.g, 0);
  d = {0.5f, 0.5f, 0.5f, 1};
  art_blend(&d, {1, 0, 0, 1}, 0.5f, ART_BLEND_OVER);
  EXPECT_FLOAT_EQ(d.r, 0.75f);
  EXPECT_FLOAT_EQ(d.g, 0.25f);
  d = {0.5f, 0.5f, 0.5f, 1};
  art_blend(&d, {0.25f, 0, 0, 1}, 1, ART_BLEND_ADD);
  EXPECT_FLOAT_EQ(d.r, 0.75f);
  d = {0.5f, 0.5f, 0.5f, 1};
  art_blend(&d, {1, 1, 0, 1}, 1, ART_BLEND_SCREEN);
  EXPECT_FLOAT_EQ(d.r, 1);
  EXPECT_FLOAT_EQ(d.b, 0.5f);
  d = {0.5f, 0.5f, 0.5f, 1};
  art_blend(&d, {0.5f, 1, 0, 1}, 1, ART_BLEND_MULTIPLY);
  EXPECT_FLOAT_EQ(d.r, 0.25f);
  EXPECT_FLOAT_EQ(d.g, 0.5f);
  EXPECT_FLOAT_EQ(d.b, 0);

  // A mask partly outside the canvas paints only what falls inside.
  art_canvas c;
  art_canvas_init(&c, 8, 8);
  art_field m;
  art_field_init(&m, 4, 4, 1);
  art_paint_mask(&c, &m, 6, -2, {0, 1, 0, 1}, ART_BLEND_OVER, 1);
  int painted = 0;
  for (const art_colour& p : c.px)
    painted += p.g > 0;
  EXPECT_EQ(painted, 4);
  EXPECT_FLOAT_EQ(art_px(&c, 7, 1).g, 1);

  art_field dot;
  art_field_init(&dot, 21, 21);
  art_at(&dot, 10, 10) = 1;
  art_mask_dilate(&dot, 4);
  EXPECT_FLOAT_EQ(art_at(&dot, 13, 10), 1);
  EXPECT_FLOAT_EQ(art_at(&dot, 10, 7), 1);
  EXPECT_FLOAT_EQ(art_at(&dot, 14, 10), 0.5f) << "soft rim at the radius";
  EXPECT_FLOAT_EQ(art_at(&dot, 15, 10), 0);
  EXPECT_FLOAT_EQ(art_at(&dot, 14, 14), 0) << "a disc, not a square";
}

TEST(ArtShape, ShapesCoverTheirAreaWithSoftEdges) {
  art_field m;
  art_field_init(&m, 100, 100);
  art_shape_ellipse(&m, 50, 50, 30, 15, 0.4f);
  double area = 0;
  for (float v : m.v)
    area += v;
  EXPECT_NEAR(area, 3.14159265 * 30 * 15, 3.14159265 * 30 * 15 * 0.02);
  int partial = 0;
  for (float v : m.v)
    partial += v > 0.05f && v < 0.95f;
  EXPECT_GT(partial, 40) << "anti-aliased rim";

  art_field r;
  art_field_init(&r, 50, 50);
  art_shape_round_rect(&r, 10, 10, 40, 30, 5);
  area = 0;
  for (float v : r.v)
    area += v;
  EXPECT_NEAR(area, 30 * 20 - (4 - 3.14159265) * 25, 6);
  art_field cap;
  art_field_init(&cap, 50, 50);
  art_shape_capsule(&cap, 10, 25, 40, 25, 3);
  area = 0;
  for (float v : cap.v)
    area += v;
  EXPECT_NEAR(area, 30 * 6 + 3.14159265 * 9, 4);
}

TEST(ArtLight, FlatSurfacesTakeTheLightsAngleAndBumpsShadeBothWays) {
  art_light_params p;
  p.direction = {0, 0, 1};
  p.ambient = {0.1f, 0.1f, 0.1f, 1};
  p.specular = {0, 0, 0, 1};
  art_field flat;
  art_field_init(&flat, 16, 16, 0.5f);
  art_canvas c;
  art_canvas_init(&c, 16, 16, {0.5f, 0.5f, 0.5f, 1});
  art_bump_light(&c, &flat, &p);
  EXPECT_NEAR(art_px(&c, 7, 7).r, 0.5f * 1.1f, 1e-5f);

  // A ridge lit from the left: its left slope is brighter than its right.
  p.direction = {-1, 0, 1};
  art_field ridge;
  art_field_init(&ridge, 32, 8);
  for (int32_t y = 0; y < 8; y++)
    for (int32_t x = 0; x < 32; x++)
      art_at(&ridge, x, y) = 1 - std::fabs(float(x) - 16) / 16;
  art_canvas_init(&c, 32, 8, {0.5f, 0.5f, 0.5f, 1});
  p.depth = 8;
  art_bump_light(&c, &ridge, &p);
  EXPECT_GT(art_px(&c, 8, 4).r, art_px(&c, 24, 4).r + 0.1f);

  art_canvas env;
  art_canvas_init(&env, 64, 64);
  const art_ramp sky = art_ramp_chrome();
  art_envmap_chrome(&env, &sky, &p, 1);
  EXPECT_NE(art_luma(art_px(&env, 32, 5)), art_luma(art_px(&env, 32, 58))) << "sky above, ground below";
}

TEST(ArtGlow, FlaresAddLightFallingOffFromTheCentre) {
  art_canvas c;
  art_canvas_init(&c, 64, 64);
  art_flare_params p;
  p.radius = 10;
  art_flare(&c, 32, 32, {1, 0.5f, 0.2f, 1}, &p);
  EXPECT_GT(art_px(&c, 32, 32).r, art_px(&c, 40, 32).r);
  EXPECT_GT(art_px(&c, 40, 32).r, art_px(&c, 55, 32).r);
  EXPECT_GE(art_px(&c, 0, 0).r, 0.0f);
  EXPECT_GT(art_px(&c, 32, 32).r, art_px(&c, 32, 32).b) << "tinted";

  art_canvas s, t;
  art_canvas_init(&s, 64, 64);
  art_canvas_init(&t, 64, 64);
  art_starfield(&s, 50, {1, 1, 1, 1}, {1, 0.8f, 0.6f, 1}, 4);
  art_starfield(&t, 50, {1, 1, 1, 1}, {1, 0.8f, 0.6f, 1}, 4);
  int lit = 0;
  for (size_t i = 0; i < s.px.size(); i++) {
    ASSERT_EQ(s.px[i].r, t.px[i].r);
    lit += s.px[i].r > 0.1f;
  }
  EXPECT_GT(lit, 50);
}

TEST(ArtText, SetsRealGlyphsWithTheDejaVuFonts) {
  art_text_style style;
  style.size = 40;
  art_text a, b, wide;
  ASSERT_EQ(art_text_render(&style, "Vorlane", 3, &a), 1);
  ASSERT_EQ(art_text_render(&style, "Vorlane", 3, &b), 1);
  EXPECT_EQ(a.mask.v, b.mask.v) << "the same every time";
  EXPECT_GT(a.mask.width, 100);
  EXPECT_GT(a.mask.height, 25);
  EXPECT_LT(a.mask.height, 60);
  // The baseline sits under the letters: little ink below it (no descenders).
  double above = 0, below = 0;
  for (int32_t y = 0; y < a.mask.height; y++)
    for (int32_t x = 0; x < a.mask.width; x++)
      (y < a.baseline ? above : below) += art_at(&a.mask, x, y);
  EXPECT_GT(above, 200);
  EXPECT_LT(below, above * 0.05);
  // Margins stay empty.
  for (int32_t x = 0; x < a.mask.width; x++)
    EXPECT_EQ(art_at(&a.mask, x, 0), 0.0f);

  style.tracking = 10;
  ASSERT_EQ(art_text_render(&style, "Vorlane", 3, &wide), 1);
  EXPECT_NEAR(wide.mask.width - a.mask.width, 60, 2) << "tracking adds space after six letters";
  art_text_style serif = style;
  serif.font = "DejaVuSerif.ttf";
  art_text c;
  ASSERT_EQ(art_text_render(&serif, "Vorlane", 3, &c), 1);
  EXPECT_NE(c.mask.v, wide.mask.v);

  art_text_style missing;
  missing.font = "NoSuchFont.ttf";
  EXPECT_EQ(art_text_render(&missing, "x", 0, &c), 0);
  EXPECT_EQ(art_text_render(&style, "bad \xC3(", 0, &c), 0) << "invalid UTF-8";
  EXPECT_EQ(art_text_render(&style, "\xC3\xA5ngstr\xC3\xB6m", 0, &c), 1);
}

TEST(ArtQuantise, FewColoursStayExactAndManyAreReducedClosely) {
  forge_picture pic;
  picture_init(&pic, 40, 30, 0);
  for (size_t i = 0; i < pic.pixels.size(); i++)
    pic.pixels[i] = picture_rgba(uint32_t(i % 5) * 60, 30, uint32_t(i % 3) * 100, 0);
  indexed_picture out;
  ASSERT_EQ(art_quantise(&pic, 256, false, &out), 1);
  EXPECT_EQ(out.colours, 15);
  forge_picture back;
  ASSERT_EQ(indexed_expand(&out, &back), 1);
  EXPECT_EQ(back.pixels, pic.pixels);

  // A smooth colour field of thousands of colours.
  picture_init(&pic, 128, 128, 0);
  for (int32_t y = 0; y < 128; y++)
    for (int32_t x = 0; x < 128; x++)
      pic.pixels[size_t(y) * 128 + size_t(x)] =
          picture_rgba(uint32_t(x * 2), uint32_t(y * 2), uint32_t(255 - x - y / 2), 0);
  for (bool dither : {false, true}) {
    ASSERT_EQ(art_quantise(&pic, 64, dither, &out), 1);
    EXPECT_LE(out.colours, 64);
    EXPECT_GE(out.colours, 32);
    ASSERT_EQ(indexed_expand(&out, &back), 1);
    double err = 0, mean_in = 0, mean_out = 0;
    for (size_t i = 0; i < pic.pixels.size(); i++) {
      err += std::abs(int(picture_red(pic.pixels[i])) - int(picture_red(back.pixels[i])));
      mean_in += picture_green(pic.pixels[i]);
      mean_out += picture_green(back.pixels[i]);
    }
    EXPECT_LT(err / double(pic.pixels.size()), 14.0) << dither;
    EXPECT_NEAR(mean_in / double(pic.pixels.size()), mean_out / double(pic.pixels.size()), 3.0) << dither;
  }
  EXPECT_EQ(art_quantise(&pic, 0, false, &out), 0);
  EXPECT_EQ(art_quantise(&pic, 257, false, &out), 0);
}

TEST(ArtCanvas, ConversionRoundsClampsAndDithersWithoutBias) {
  art_canvas c;
  art_canvas_init(&c, 8, 8, {0.5f, -1, 2, 0.5f});
  forge_picture pic;
  art_canvas_to_picture(&c, &pic, false, true);
  EXPECT_EQ(pic.pixels[0], picture_rgba(128, 0, 255, 128));
  art_canvas_to_picture(&c, &pic, false, false);
  EXPECT_EQ(picture_alpha(pic.pixels[0]), 0u);
  // A level between two steps dithers to both, averaging to the level.
  art_canvas_init(&c, 16, 16, {100.25f / 255.0f, 0, 0, 1});
  art_canvas_to_picture(&c, &pic, true);
  std::set<uint32_t> levels;
  double sum = 0;
  for (uint32_t p : pic.pixels) {
    levels.insert(picture_red(p));
    sum += picture_red(p);
  }
  EXPECT_EQ(levels.size(), 2u);
  EXPECT_NEAR(sum / 256.0, 100.25, 0.05);
  art_canvas back;
  art_canvas_from_picture(&pic, &back);
  EXPECT_NEAR(art_px(&back, 0, 0).r * 255.0f, float(picture_red(pic.pixels[0])), 1e-3f);
}
