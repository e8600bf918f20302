// The galaxy: its star field, the logos' wipe tables, fade-in and stamping,
// and the frame step on the build's data driven by a hand-set clock.
#include "galaxy.h"
#include "galaxy_parts.h"
#include "jpeg.h"
#include "mem.h"
#include "opening_fixtures.h"
#include "pcx.h"
#include "random.h"
#include "testkit.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(GalaxyStars, RingsArmsAndTheGeneratorsValues) {
  demo_srand(77);
  galaxy_stars stars{};
  galaxy_make_stars(&stars);
  // Two values of the shared generator per star, nothing more.
  demo_srand(77);
  for (int i = 0; i < 2 * GALAXY_STARS; i++)
    demo_rand();
  const int32_t next = demo_rand();
  demo_srand(77);
  galaxy_make_stars(&stars);
  EXPECT_EQ(demo_rand(), next);

  for (int32_t s = 0; s < GALAXY_RINGS; s++)
    for (int32_t k = 0; k < GALAXY_ARMS; k++) {
      SCOPED_TRACE(testing::Message() << "ring " << s << " arm " << k);
      const vec3& p = stars.position[s * GALAXY_ARMS + k];
      ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
      const float g = float(s) * 1.3333334f;
      EXPECT_NEAR(std::hypot(p.x, p.y), g, 1e-3f * (1 + g)) << "on its ring";
      EXPECT_NEAR(stars.size[s * GALAXY_ARMS + k], 32.0f - g / 4.0f, 1e-3f);
      // z is one of -d, 0, d.
      const float d = 2.0f / (0.1f + g / 128.0f);
      EXPECT_TRUE(std::fabs(p.z) < 1e-4f || std::fabs(std::fabs(p.z) - d) < 1e-3f * d) << p.z;
      if (s == 0)
        continue;
      // Arm k sits at k eighths of a turn plus the twist, give or take the
      // jitter, which shrinks further out.
      const double twist = double(s) * 0.008181230868723419;
      const double jitter = 4 * 0.1 * 0.39269908169872414 / (g / 64.0);
      double a = std::atan2(double(p.y), double(p.x)) - twist - double(k) * 0.7853981633974483;
      a = std::remainder(a, 2 * M_PI);
      EXPECT_LE(std::fabs(a), jitter + 1e-4);
    }
}

TEST(GalaxyStars, RingZeroSitsAtTheCentre) {
  for (uint32_t seed : {1u, 2u, 12345u}) {
    demo_srand(seed);
    galaxy_stars stars{};
    galaxy_make_stars(&stars);
    for (int32_t k = 0; k < GALAXY_ARMS; k++) {
      EXPECT_EQ(stars.position[k].x, 0.0f);
      EXPECT_EQ(stars.position[k].y, 0.0f);
      EXPECT_TRUE(std::fabs(stars.position[k].z) == 0.0f || std::fabs(std::fabs(stars.position[k].z) - 20.0f) < 1e-4f);
    }
  }
}

TEST(GalaxyLogos, WipeTablesCountTheDistanceFromTheirCorner) {
  opening_pixmap logo(pixmap_create(30, 20, 0));
  float* a = galaxy_make_wipe(logo.get(), 0);
  float* b = galaxy_make_wipe(logo.get(), 1);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_FLOAT_EQ(a[0], 1.0f);
  EXPECT_FLOAT_EQ(a[3 * 30 + 4], 1.05f);
  EXPECT_FLOAT_EQ(a[19 * 30 + 29], 1.0f + 0.01f * std::sqrt(19.0f * 19 + 29.0f * 29));
  // Measured from the point just past the bottom-right corner.
  EXPECT_FLOAT_EQ(b[19 * 30 + 29], 1.0f + 0.01f * std::sqrt(2.0f));
  EXPECT_FLOAT_EQ(b[0], 1.0f + 0.01f * std::sqrt(20.0f * 20 + 30.0f * 30));
  mem_free(a);
  mem_free(b);
}

namespace {
// A logo whose left half has red 0 (never drawn) and right half red 200.
opening_pixmap half_logo(int32_t w, int32_t h) {
  opening_pixmap logo(pixmap_create(w, h, 0));
  for (int32_t y = 0; y < h; y++)
    for (int32_t x = 0; x < w; x++)
      logo->pixels[y * w + x] = x < w / 2 ? 0x00604000u : 0x00306090u + uint32_t(x) * 0x10000u;
  return logo;
}
} // namespace

TEST(GalaxyLogos, FadeInFollowsTheWipeAndSkipsRedZero) {
  opening_pixmap logo = half_logo(40, 10);
  opening_pixmap frame = opening_noise(64, 48, 3);
  const opening_pixmap before = opening_noise(64, 48, 3);
  galaxy_logo l{logo.get(), galaxy_make_wipe(logo.get(), 0), 4, 30};
  ASSERT_NE(l.wipe, nullptr);

  // At first every wipe value is at least 1: the frame stays as it was.
  galaxy_fade_logo(frame.get(), &l, 0.0f);
  for (int32_t i = 0; i < 64 * 48; i++)
    ASSERT_EQ(opening_rgb(frame->pixels[i]), opening_rgb(before->pixels[i])) << i;

  // Pixel (20, 0) is 20 from the corner: wipe 1.2, after 50 ticks 0.7.
  galaxy_fade_logo(frame.get(), &l, 50.0f);
  galaxy_fade_logo(frame.get(), &l, 0.0f);
  const uint32_t lp = logo->pixels[20], bp = before->pixels[30 * 64 + 24], fp = frame->pixels[30 * 64 + 24];
  for (int k = 0; k < 3; k++)
    EXPECT_EQ(opening_channel(fp, k),
              uint32_t(int(0.3f * float(opening_channel(lp, k))) + int(0.7f * float(opening_channel(bp, k)))))
        << k;
  // After 200 more ticks every wipe value is 0: the drawn half shows the logo.
  galaxy_fade_logo(frame.get(), &l, 200.0f);
  for (float w : std::vector<float>(l.wipe, l.wipe + 400))
    ASSERT_EQ(w, 0.0f) << "not below 0";
  galaxy_fade_logo(frame.get(), &l, 0.0f);
  for (int32_t y = 0; y < 10; y++)
    for (int32_t x = 0; x < 40; x++) {
      const uint32_t f = frame->pixels[(30 + y) * 64 + 4 + x];
      if (x < 20)
        EXPECT_EQ(f, before->pixels[(30 + y) * 64 + 4 + x]) << "red 0 is never drawn";
      else
        EXPECT_EQ(opening_rgb(f), opening_rgb(logo->pixels[y * 40 + x]));
    }
  // Outside the logo's rectangle nothing changed.
  for (int32_t y = 0; y < 48; y++)
    for (int32_t x = 0; x < 64; x++)
      if (y < 30 || y >= 40 || x < 4 || x >= 44) {
        ASSERT_EQ(frame->pixels[y * 64 + x], before->pixels[y * 64 + x]);
      }
  mem_free(l.wipe);
}

TEST(GalaxyLogos, AMixedPixelTakesBothSidesTruncated) {
  opening_pixmap logo(pixmap_create(1, 1, 0));
  logo->pixels[0] = 0x00C86401u; // red 1, green 100, blue 200
  opening_pixmap frame(pixmap_create(1, 1, 0));
  frame->pixels[0] = 0xAB0A3C65u; // red 101, green 60, blue 10
  galaxy_logo l{logo.get(), galaxy_make_wipe(logo.get(), 0), 0, 0};
  // Wipe 1 less 0.25: f = 0.75.
  galaxy_fade_logo(frame.get(), &l, 25.0f);
  galaxy_fade_logo(frame.get(), &l, 0.0f);
  const uint32_t out = frame->pixels[0];
  EXPECT_EQ(opening_channel(out, 0), uint32_t(int(0.25f * 1) + int(0.75f * 101)));
  EXPECT_EQ(opening_channel(out, 1), uint32_t(int(0.25f * 100) + int(0.75f * 60)));
  EXPECT_EQ(opening_channel(out, 2), uint32_t(int(0.25f * 200) + int(0.75f * 10)));
  EXPECT_EQ(out >> 24, 0xABu) << "the frame's fourth byte stays";
  mem_free(l.wipe);
}

TEST(GalaxyLogos, StampingCopiesRedNonzeroPixelsAndClips) {
  opening_pixmap logo = half_logo(40, 10);
  opening_pixmap bg = opening_noise(50, 36, 9);
  const opening_pixmap before = opening_noise(50, 36, 9);
  galaxy_logo l{logo.get(), nullptr, 20, 30}; // hangs over the right and bottom edges
  galaxy_stamp_logo(bg.get(), &l);
  for (int32_t y = 0; y < 36; y++)
    for (int32_t x = 0; x < 50; x++) {
      const int32_t lx = x - 20, ly = y - 30;
      const bool inside = lx >= 0 && ly >= 0 && lx < 40 && ly < 10;
      if (inside && (logo->pixels[ly * 40 + lx] & 255))
        EXPECT_EQ(bg->pixels[y * 50 + x], logo->pixels[ly * 40 + lx]);
      else
        EXPECT_EQ(bg->pixels[y * 50 + x], before->pixels[y * 50 + x]);
    }
}

// ---- The frame step on the build's data ----

namespace {
struct galaxy_fixture : ::testing::Test {
  testkit_tempdir dir;
  music_clock clock{};
  opening_pixmap frame{pixmap_create(320, 240, PIXMAP_CLEAR)};
  uint8_t shade[64 * 256] = {};
  show_context show{.clock = &clock, .frame = frame.get(), .shade = shade};

  void SetUp() override {
    std::string error;
    ASSERT_EQ(opening_use_archive(dir.path, opening_build_files(), &error), 1) << error;
    testing::internal::CaptureStdout();
    const int32_t ok = galaxy_init(&show);
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(ok, 1);
  }
  void TearDown() override { opening_release_archive(); }

  int32_t step(float fd, uint32_t order, uint32_t row) {
    opening_clock_set(&clock, fd, order, row);
    return galaxy_frame();
  }
  // The frame equals the background's 320 x 240 window at column sx.
  bool shows_background(int32_t sx) const {
    const pixmap* bg = galaxy_get_state()->background;
    for (int32_t y = 0; y < 240; y++)
      for (int32_t x = 0; x < 320; x++)
        if (frame->pixels[y * 320 + x] != bg->pixels[bg->rows[y] + sx + x])
          return false;
    return true;
  }
};
} // namespace

TEST_F(galaxy_fixture, TheBackgroundScrollsAndTheStarsComeAfter160Ticks) {
  const galaxy_state* g = galaxy_get_state();
  EXPECT_EQ(step(0, 0, 0), 1);
  EXPECT_TRUE(shows_background(320));
  // 159 ticks: the scroll is at 240.5, no star yet.
  EXPECT_EQ(step(159, 0, 0), 1);
  EXPECT_FLOAT_EQ(g->scroll, 240.5f);
  EXPECT_EQ(step(1, 0, 0), 1);
  EXPECT_TRUE(shows_background(240)) << "the scroll reached 240 only after the copy";
  EXPECT_EQ(g->time, 0.0f);
  // Below 240 the galaxy is drawn; its stars start at size 0 and grow.
  step(10, 0, 0);
  EXPECT_EQ(g->time, 5.0f);
  EXPECT_TRUE(shows_background(240)) << "size factor 0: no star is big enough yet";
  for (int i = 0; i < 30; i++)
    step(10, 1, 0);
  EXPECT_FALSE(shows_background(int32_t(g->scroll + 5)));
  EXPECT_FLOAT_EQ(g->size_factor, std::min(g->time - 5.0f, 240.0f) / 240.0f);
  // The scroll stops at 0.
  step(1000, 1, 0);
  EXPECT_EQ(g->scroll, 0.0f);
}

TEST_F(galaxy_fixture, StarsPerArmCountsWholeRings) {
  galaxy_state* g = galaxy_get_state();
  g->scroll = 100;
  g->size_factor = 1;
  g->path_radius = 0;
  auto draw = [&](float per_arm) {
    pixmap_fill_rect(frame.get(), 0, 0, 320, 240, 0);
    g->stars_per_arm = per_arm;
    galaxy_draw_stars(g, 160, 120);
    return std::vector<uint32_t>(frame->pixels, frame->pixels + 320 * 240);
  };
  EXPECT_EQ(draw(95.5f), draw(96.0f)) << "i < 95.5 still takes ring 95";
  EXPECT_NE(draw(40.0f), draw(96.0f));
  const std::vector<uint32_t> none = draw(0.0f);
  EXPECT_EQ(std::count(none.begin(), none.end(), 0u), 320 * 240);
}

TEST_F(galaxy_fixture, LogosFadeInOnOrderTwoAndAreStampedFromOrderThree) {
  const galaxy_state* g = galaxy_get_state();
  const pixmap* logo = g->logos[0].picture;
  // Find a drawn pixel of the group logo and one it never draws.
  int32_t drawn = -1, blank = -1;
  for (int32_t i = 0; i < logo->width * logo->height; i++)
    (logo->pixels[i] & 255 ? drawn : blank) = i;
  ASSERT_GE(drawn, 0);
  ASSERT_GE(blank, 0);
  const int32_t dx = drawn % logo->width, dy = drawn / logo->width + 20;
  const int32_t bx = blank % logo->width, by = blank / logo->width + 20;
  step(0, 2, 0);
  step(600, 2, 0); // every wipe value down to 0
  step(0, 2, 0);
  EXPECT_EQ(opening_rgb(frame->pixels[dy * 320 + dx]), opening_rgb(logo->pixels[drawn]));
  const pixmap* bg = g->background;
  const int32_t sx = int32_t(g->scroll);
  EXPECT_EQ(frame->pixels[by * 320 + bx], bg->pixels[bg->rows[by] + sx + bx]);
  // Order 3: the logos become part of the background.
  EXPECT_EQ(g->stamped, 0);
  step(0, 3, 0);
  EXPECT_EQ(g->stamped, 1);
  EXPECT_EQ(bg->pixels[bg->rows[dy] + dx], logo->pixels[drawn]);
}

TEST_F(galaxy_fixture, FromRow49OfOrderThreeTheBackgroundFadesToBlack) {
  galaxy_state* g = galaxy_get_state();
  step(700, 3, 48);
  EXPECT_EQ(g->fade, 0.0f) << "row 48 still scrolls";
  step(0, 3, 49);
  EXPECT_FLOAT_EQ(g->fade, 0.0f);
  step(50, 3, 50);
  EXPECT_FLOAT_EQ(g->fade, 0.5f);
  // Stars per arm and zoom move from row 33 on.
  EXPECT_LT(g->stars_per_arm, 96.0f);
  EXPECT_GT(g->zoom, 1.0f);
  step(0, 3, 51);
  const pixmap* bg = g->background;
  // The copy is the background's left part at half brightness (no star may
  // touch a pixel for the check: compare only the darkest rows' parity).
  int32_t halved = 0, checked = 0;
  for (int32_t x = 0; x < 320; x += 7) {
    const uint32_t b = bg->pixels[bg->rows[1] + x], f = frame->pixels[320 + x];
    checked++;
    halved += std::abs(int(opening_channel(f, 2)) - int(std::lround(opening_channel(b, 2) * 0.5))) <= 1;
  }
  EXPECT_GT(halved, checked * 3 / 4);
  step(100, 3, 60);
  step(0, 3, 61);
  EXPECT_EQ(g->fade, 1.0f) << "at most 1";
}

TEST(GalaxyInit, MissingOrBrokenPicturesFailCleanly) {
  const opening_files& all = opening_build_files();
  ASSERT_TRUE(all.count("galaxy/galaxybg.jpg"));
  music_clock clock{};
  opening_pixmap frame(pixmap_create(320, 240, PIXMAP_CLEAR));
  struct variant {
    const char* what;
    std::string name;
    std::vector<uint8_t> bytes; // empty: the file is left out
  };
  std::vector<variant> cases = {
      {"no flare", "galaxy/gflare2.jpg", {}},
      {"no label logo", "galaxy/tremory.pcx", {}},
      {"truncated background", "galaxy/galaxybg.jpg",
       std::vector<uint8_t>(all.at("galaxy/galaxybg.jpg").begin(), all.at("galaxy/galaxybg.jpg").begin() + 300)},
      {"narrow background", "galaxy/galaxybg.jpg", all.at("galaxy/gflare2.jpg")},
      {"truncated logo", "galaxy/pexil.pcx",
       std::vector<uint8_t>(all.at("galaxy/pexil.pcx").begin(), all.at("galaxy/pexil.pcx").begin() + 100)}};
  for (const variant& v : cases) {
    SCOPED_TRACE(v.what);
    testkit_tempdir dir;
    opening_files files = all;
    if (v.bytes.empty())
      files.erase(v.name);
    else
      files[v.name] = v.bytes;
    std::string error;
    ASSERT_EQ(opening_use_archive(dir.path, files, &error), 1) << error;
    testing::internal::CaptureStdout();
    show_context show{.clock = &clock, .frame = frame.get()};
    EXPECT_EQ(galaxy_init(&show), 0);
    testing::internal::GetCapturedStdout();
    opening_release_archive();
  }
}

// ---- The galaxy's files as the forge made them ----

namespace {
struct galaxy_data : ::testing::Test {
  testkit_tempdir dir;
  void SetUp() override {
    std::string error;
    ASSERT_EQ(opening_use_archive(dir.path, opening_build_files(), &error), 1) << error;
  }
  void TearDown() override { opening_release_archive(); }
};
} // namespace

TEST_F(galaxy_data, TheLogosAreKeyedOnRedAndFitTheirPlaces) {
  struct logo {
    const char* name;
    int32_t max_height;
  };
  for (const logo l : {logo{"data/galaxy/pexil.pcx", 140}, logo{"data/galaxy/tremory.pcx", 80}}) {
    SCOPED_TRACE(l.name);
    opening_pixmap p(pcx_load(l.name));
    ASSERT_NE(p, nullptr);
    EXPECT_LE(p->width, 320);
    EXPECT_LE(p->height, l.max_height);
    int64_t drawn = 0;
    for (int32_t i = 0; i < p->width * p->height; i++) {
      const uint32_t c = opening_rgb(p->pixels[i]);
      // Black background; every other pixel has red above 0, so it is drawn.
      ASSERT_TRUE(c == 0 || (c & 255) > 0) << i;
      drawn += c != 0;
    }
    const double share = double(drawn) / (p->width * p->height);
    EXPECT_GT(share, 0.1) << "lettering, not a speck";
    EXPECT_LT(share, 0.7) << "lettering, not a block";
  }
}

TEST_F(galaxy_data, TheBackgroundIsAWideDarkBlueSky) {
  opening_pixmap bg(jpeg_load("data/galaxy/galaxybg.jpg"));
  ASSERT_NE(bg, nullptr);
  EXPECT_GE(bg->width, 640);
  EXPECT_GE(bg->height, 240);
  double r = 0, g = 0, b = 0;
  const int64_t n = int64_t(bg->width) * bg->height;
  for (int64_t i = 0; i < n; i++) {
    r += opening_channel(bg->pixels[i], 0);
    g += opening_channel(bg->pixels[i], 1);
    b += opening_channel(bg->pixels[i], 2);
  }
  r /= double(n), g /= double(n), b /= double(n);
  EXPECT_LT((r + g + b) / 3, 70) << "dark enough for additive stars";
  EXPECT_GT(b, g) << "deep blue and purple";
  EXPECT_GT(r, g);
  EXPECT_GT(b - g, 10);
}

TEST_F(galaxy_data, TheFlareIsASoftLightOnBlack) {
  opening_pixmap f(jpeg_load("data/galaxy/gflare2.jpg"));
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(f->width, f->height);
  const int32_t w = f->width, c = w / 2;
  // Bright in the middle, black all round the edge so stretched copies show no square.
  EXPECT_GT(opening_channel(f->pixels[c * w + c], 0), 200u);
  for (int32_t i = 0; i < w; i++)
    for (uint32_t p : {f->pixels[i], f->pixels[(w - 1) * w + i], f->pixels[i * w], f->pixels[i * w + w - 1]})
      for (int k = 0; k < 3; k++)
        ASSERT_LE(opening_channel(p, k), 6u) << i;
  // The light falls off from the centre.
  EXPECT_GT(opening_channel(f->pixels[c * w + c + w / 8], 2), opening_channel(f->pixels[c * w + c + w / 4], 2));
}
