// The end part: the distance-scaled radial blur, the ripple grid, the end
// screen's scroll and the fades, and init and frame on the build's data
// (and broken data).
#include "blend.h"
#include "endpart.h"
#include "endpart_parts.h"
#include "opening_fixtures.h"
#include "testkit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {
std::vector<uint32_t> pixels_of(const pixmap* p) {
  return std::vector<uint32_t>(p->pixels, p->pixels + int64_t(p->width) * p->height);
}

uint32_t weighted(uint32_t sample, uint32_t source, int32_t w) {
  uint32_t out = sample & 0xFF000000u;
  for (int k = 0; k < 3; k++)
    out |= uint32_t(mul_table[w][opening_channel(sample, k)] + mul_table[64 - w][opening_channel(source, k)])
           << (8 * k);
  return out;
}

// The scaled blur as its rules read: rows from the centre row up, then from
// the centre row (again) down; each half row outwards from the centre; the
// factor distance / q taken from the row's distance at the start of a half
// row and from the full distance at every eighth column, where the sample
// row is taken again.
void reference_scaled(pixmap* frame, const pixmap* source, float cx, float cy, int32_t w, float q) {
  const int32_t cx0 = int32_t(cx), cx1 = int32_t(cx + 1), cy0 = int32_t(cy);
  auto half = [&](int32_t y, int32_t from, int32_t to, int32_t step) {
    float r = std::fabs(cy - float(y)) / q;
    int32_t sy = int32_t(float(y) + r * (cy - float(y)));
    for (int32_t x = from; x != to; x += step) {
      if ((x & 7) == 0) {
        r = std::sqrt((cx - float(x)) * (cx - float(x)) + (cy - float(y)) * (cy - float(y))) / q;
        sy = int32_t(float(y) + r * (cy - float(y)));
      }
      const int32_t sx = int32_t(float(x) + r * (cx - float(x)));
      frame->pixels[y * frame->width + x] =
          weighted(frame->pixels[sy * frame->width + sx], source->pixels[y * frame->width + x], w);
    }
  };
  auto row = [&](int32_t y) {
    half(y, cx0, -1, -1);
    half(y, cx1, frame->width, 1);
  };
  for (int32_t y = cy0; y >= 0; y--)
    row(y);
  for (int32_t y = cy0; y < frame->height; y++)
    row(y);
}
} // namespace

TEST(EndpartBlur, TheSmearGrowsWithTheDistanceTakenEveryEighthColumn) {
  build_mul_tables();
  for (const auto& c :
       std::vector<std::array<float, 3>>{{160, 120, 1024}, {203.7f, 61.2f, 1024}, {17.5f, 230.9f, 400}}) {
    SCOPED_TRACE(testing::Message() << c[0] << "," << c[1] << " / " << c[2]);
    opening_pixmap frame = opening_noise(320, 240, 11), source = opening_noise(320, 240, 12);
    opening_pixmap expected = opening_noise(320, 240, 11);
    radial_blur_scaled(frame.get(), source.get(), c[0], c[1], 58, c[2]);
    reference_scaled(expected.get(), source.get(), c[0], c[1], 58, c[2]);
    for (int32_t i = 0; i < 320 * 240; i++)
      ASSERT_EQ(frame->pixels[i], expected->pixels[i]) << i % 320 << "," << i / 320;
  }
}

TEST(EndpartBlur, NearTheCentreEachPixelMixesWithItselfAndTheCentreRowTwice) {
  // A divisor so large that every sample is the pixel itself.
  build_mul_tables();
  opening_pixmap frame = opening_noise(320, 240, 21), source = opening_noise(320, 240, 22);
  const std::vector<uint32_t> before = pixels_of(frame.get());
  radial_blur_scaled(frame.get(), source.get(), 100.5f, 70.5f, 40, 1.0e12f);
  for (int32_t y : {0, 69, 70, 71, 239})
    for (int32_t x : {0, 99, 100, 101, 319}) {
      const uint32_t src = source->pixels[y * 320 + x];
      uint32_t want = weighted(before[size_t(y * 320 + x)], src, 40);
      if (y == 70)
        want = weighted(want, src, 40);
      EXPECT_EQ(frame->pixels[y * 320 + x], want) << x << "," << y;
    }
}

TEST(EndpartBlur, NeverReadsOutsideTheFrame) {
  // Centres outside the frame and divisors that put the samples far beyond
  // the centre: held to the frame (checked under the sanitizers).
  build_mul_tables();
  opening_pixmap frame = opening_noise(320, 240, 31), source = opening_noise(320, 240, 32);
  // A divisor so small that the factor is infinite: at the centre column it
  // meets a zero distance, and the sample position is not a number.
  for (const auto& c :
       std::vector<std::array<float, 3>>{{-50, 400, 0.5f}, {1000, -300, 2}, {160, 120, 1e-6f}, {161, 120, 1e-40f}}) {
    radial_blur_scaled(frame.get(), source.get(), c[0], c[1], 58, c[2]);
  }
  const std::vector<uint32_t> before = pixels_of(frame.get());
  radial_blur_scaled(frame.get(), source.get(), 160, 120, 58, 0);
  radial_blur_scaled(frame.get(), source.get(), 160, 120, 58, NAN);
  EXPECT_EQ(pixels_of(frame.get()), before) << "no divisor, no blur";
}

TEST(EndpartRipple, CornersFollowTheTwoCrossedWaves) {
  endpart_state s{};
  s.phi1 = 0.3f;
  s.phi2 = -1.1f;
  s.phi3 = 0.7f;
  s.phi4 = 2.0f;
  endpart_ripple(&s, 2.0f);
  const double k = 0.0160285339468867;
  const double a1 = 64 * std::cos(0.3f), a2 = 128 * std::sin(-1.1f);
  const double g = 16 * std::cos(0.7f), h = 32 * std::cos(0.7f), e = 5 * std::sin(2.0f);
  for (int32_t r : {0, 7, 30})
    for (int32_t i : {0, 13, 41}) {
      const block_corner& c = s.grid[r][i];
      EXPECT_NEAR(c.u, a1 * std::sin((r * h + i) * k) + 0.5 + (a1 + 68) * i * 0.1, 1.0) << r << "," << i;
      EXPECT_NEAR(c.v, a2 * std::cos((r * e + i * g) * k) + 0.5 + r * (a2 + 130) * 0.1, 1.0) << r << "," << i;
    }
  EXPECT_FLOAT_EQ(s.phi1, 0.3f - 2 * 0.008235242878342177f);
  EXPECT_FLOAT_EQ(s.phi2, -1.1f + 2 * 0.0048719886071713365f);
  EXPECT_FLOAT_EQ(s.phi3, 0.7f + 2 * 0.0010833078115826875f);
  EXPECT_FLOAT_EQ(s.phi4, 2.0f - 2 * 0.004908738521234051f);
}

TEST(EndpartScreen, LettersAreAddedWhereTheirFirstByteIsSetAndNothingPastTheEnd) {
  opening_pixmap frame(pixmap_create(320, 240, 0));
  const uint32_t base = pixmap_rgba(200, 20, 100, 0x55);
  std::fill(frame->pixels, frame->pixels + 320 * 240, base);
  // A screen of 100 rows, narrower than the frame; row y holds red y + 1
  // where y is even, and only green and blue (no first byte) where it is odd.
  opening_pixmap screen(pixmap_create(300, 100, 0));
  for (int32_t y = 0; y < 100; y++)
    for (int32_t x = 0; x < 300; x++)
      screen->pixels[y * 300 + x] = y % 2 ? pixmap_rgba(0, 90, 90, 0) : pixmap_rgba(uint32_t(y + 1), 250, 1, 9);
  endpart_add_screen(frame.get(), screen.get(), 40.7f);
  for (int32_t y : {0, 1, 58, 59, 60, 239})
    for (int32_t x : {0, 299, 300}) {
      const int32_t sy = y + 40;
      uint32_t want = base;
      if (x < 300 && sy < 100 && sy % 2 == 0)
        want = pixmap_rgba(std::min(255, 200 + sy + 1), 255, 101, 0x55);
      EXPECT_EQ(frame->pixels[y * 320 + x], want) << x << "," << y;
    }
  // Scrolled past its end, the screen adds nothing.
  const std::vector<uint32_t> before = pixels_of(frame.get());
  endpart_add_screen(frame.get(), screen.get(), 1107);
  EXPECT_EQ(pixels_of(frame.get()), before);
}

namespace {
struct fade_fixture : ::testing::Test {
  opening_pixmap frame = opening_noise(320, 240, 41);
  endpart_state s{};
  void SetUp() override {
    s.frame = frame.get();
    s.fade = 1.0f;
  }
  double mean() const {
    double sum = 0;
    for (int32_t i = 0; i < 320 * 240; i++)
      for (int k = 0; k < 3; k++)
        sum += opening_channel(frame->pixels[i], k);
    return sum / (320.0 * 240 * 3);
  }
};
} // namespace

TEST_F(fade_fixture, BlackUntilOrder2ThenFadesInWhileTheScreenScrollsFromOrder3) {
  endpart_scroll_and_fade(&s, 5.0f, 1, 40);
  EXPECT_EQ(mean(), 0.0) << "black in orders 0 and 1";
  EXPECT_EQ(s.fade, 1.0f);
  EXPECT_EQ(s.scroll, 0.0f);
  frame = opening_noise(320, 240, 42);
  s.frame = frame.get();
  endpart_scroll_and_fade(&s, 5.0f, 2, 0);
  EXPECT_EQ(mean(), 0.0) << "still black at the start of order 2";
  EXPECT_FLOAT_EQ(s.fade, 0.95f);
  EXPECT_EQ(s.scroll, 0.0f) << "no scroll before order 3";
  s.fade = 0.004f;
  endpart_scroll_and_fade(&s, 1.0f, 3, 0);
  EXPECT_FLOAT_EQ(s.scroll, 0.1f);
  EXPECT_LT(s.fade, 0.0f);
  endpart_scroll_and_fade(&s, 1.0f, 3, 1);
  EXPECT_EQ(s.fade, 0.0f) << "reset on the next frame";
  s.scroll = 1106.95f;
  endpart_scroll_and_fade(&s, 1.0f, 9, 1);
  EXPECT_EQ(s.scroll, ENDPART_LAST_SCROLL);
}

TEST_F(fade_fixture, FadesOutAfterRow32OfOrder17) {
  s.fade = 0;
  const double lit = mean();
  endpart_scroll_and_fade(&s, 10.0f, 17, 32);
  EXPECT_EQ(mean(), lit) << "nothing before row 33";
  EXPECT_EQ(s.fade, 0.0f);
  endpart_scroll_and_fade(&s, 10.0f, 17, 33);
  EXPECT_FLOAT_EQ(s.fade, 0.1f);
  endpart_scroll_and_fade(&s, 100.0f, 17, 40);
  EXPECT_LT(mean(), lit * 0.95);
  EXPECT_EQ(s.fade, 1.0f) << "at most 1";
  endpart_scroll_and_fade(&s, 10.0f, 17, 50);
  EXPECT_EQ(mean(), 0.0);
}

TEST(EndpartInit, MissingOrBrokenFilesFailCleanly) {
  music_clock clock{};
  opening_pixmap frame(pixmap_create(320, 240, PIXMAP_CLEAR));
  show_context show{};
  show.clock = &clock;
  show.frame = frame.get();
  opening_each_variant({{"no texture", "endp/tmap.pcx", {}},
                        {"texture not 256 wide", "endp/tmap.pcx", opening_build_files().at("diffuse/bgpic.pcx")},
                        {"no end screen", "endp/endscr.pcx", {}}},
                       [&] {
                         EXPECT_EQ(endpart_init(&show), 0);
                         EXPECT_EQ(endpart_get_state()->texture, nullptr) << "everything read so far is released";
                         EXPECT_EQ(endpart_frame(), 0);
                       });
}

TEST(EndpartData, AShortEndScreenScrollsToItsEndAndTheFrameRunsToRow61OfOrder17) {
  testkit_tempdir dir;
  opening_files files = opening_build_files();
  // The diffuse cube's background as the end screen: 240 rows, far short of
  // 1,347.
  files["endp/endscr.pcx"] = files.at("diffuse/bgpic.pcx");
  std::string error;
  ASSERT_EQ(opening_use_archive(dir.path, files, &error), 1) << error;
  build_mul_tables();
  music_clock clock{};
  opening_pixmap frame(pixmap_create(320, 240, PIXMAP_CLEAR));
  show_context show{};
  show.clock = &clock;
  show.frame = frame.get();
  ASSERT_EQ(endpart_init(&show), 1);
  opening_clock_set(&clock, 1.2f, 0, 10);
  for (int i = 0; i < 5; i++)
    ASSERT_EQ(endpart_frame(), 1);
  EXPECT_EQ(opening_lit_share(frame.get()), 0.0) << "black in order 0";
  opening_clock_set(&clock, 30.0f, 2, 10);
  for (int i = 0; i < 4; i++)
    endpart_frame();
  opening_clock_set(&clock, 30.0f, 5, 10);
  std::vector<uint32_t> previous;
  for (int i = 0; i < 400; i++) {
    ASSERT_EQ(endpart_frame(), 1);
    std::vector<uint32_t> now = pixels_of(frame.get());
    ASSERT_NE(now, previous) << "moves, frame " << i;
    previous = std::move(now);
  }
  EXPECT_EQ(endpart_get_state()->scroll, ENDPART_LAST_SCROLL);
  EXPECT_GT(opening_lit_share(frame.get()), 0.9) << "the ripple alone";
  opening_clock_set(&clock, 1.2f, 17, 60);
  EXPECT_EQ(endpart_frame(), 1);
  opening_clock_set(&clock, 1.2f, 17, 61);
  EXPECT_EQ(endpart_frame(), 0);
  opening_release_archive();
}
