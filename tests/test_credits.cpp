// The radial-blur credits: plate placement and stretched drawing, launches on
// the beat, the dot scroller's end, the cross-fade and blur phases, and init
// on the build's data (and broken data).
#include "blend.h"
#include "blurp.h"
#include "blurp_parts.h"
#include "opening_fixtures.h"
#include "random.h"
#include "testkit.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <ctime>
#include <vector>

namespace {
constexpr float PI = 3.14159265358979323846f;

struct rect {
  int32_t x0, y0, x1, y1;
  bool operator==(const rect&) const = default;
};

// A bitmap over a vector the test keeps.
scx_bitmap bitmap_of(int32_t w, int32_t h, std::vector<uint8_t>* pixels) {
  pixels->resize(size_t(std::max(0, w)) * size_t(std::max(0, h)));
  return scx_bitmap{w, h, pixels->data()};
}

// The show's placement of a plate that fits: the start corner below
// (160, 120) drawn again until twice the width fits (the single width for
// plates of 160 or more), the target below (280, 200) until half the width
// fits.
void shown_place(int32_t w, int32_t h, rect* start, rect* target) {
  int32_t x0 = demo_rand() % 160, y0 = demo_rand() % 120, x1 = x0 + 2 * w;
  while (x1 > 320) {
    x0 = demo_rand() % 160;
    x1 = x0 + (w >= 160 ? w : 2 * w);
  }
  *start = {x0, y0, x1, y0 + 2 * h};
  int32_t tx0 = demo_rand() % 280, ty0 = demo_rand() % 200, tx1 = tx0 + w / 2;
  while (tx1 > 320) {
    tx0 = demo_rand() % 280;
    tx1 = tx0 + w / 2;
  }
  *target = {tx0, ty0, tx1, ty0 + h / 2};
}

rect start_of(const blurp_credit& c) { return {int32_t(c.sx0), int32_t(c.sy0), int32_t(c.sx1), int32_t(c.sy1)}; }
rect target_of(const blurp_credit& c) {
  return {int32_t(std::lround(c.sx0 + 64 * c.dx0)), int32_t(std::lround(c.sy0 + 64 * c.dy0)),
          int32_t(std::lround(c.sx1 + 64 * c.dx1)), int32_t(std::lround(c.sy1 + 64 * c.dy1))};
}

bool inside_frame(const rect& r) {
  return r.x0 >= 0 && r.y0 >= 0 && r.x0 <= r.x1 && r.y0 <= r.y1 && r.x1 <= 320 && r.y1 <= 240;
}

std::vector<uint32_t> pixels_of(const pixmap* p) {
  return std::vector<uint32_t>(p->pixels, p->pixels + int64_t(p->width) * p->height);
}
} // namespace

TEST(CreditsPlacement, PlatesThatFitArePlacedAsTheShowDrawsThem) {
  const int32_t sizes[][2] = {{1, 1}, {60, 20}, {80, 60}, {81, 33}, {150, 60}, {155, 40}, {160, 30}, {250, 17}};
  for (const auto& size : sizes)
    for (uint32_t seed : {1u, 77u, 4242u, 99991u}) {
      SCOPED_TRACE(testing::Message() << size[0] << " x " << size[1] << ", seed " << seed);
      std::vector<uint8_t> px;
      blurp_credit c{};
      scx_bitmap b = bitmap_of(size[0], size[1], &px);
      c.bitmap = &b;
      demo_srand(seed);
      blurp_place_credit(&c);
      const int32_t after = demo_rand();
      rect start, target;
      demo_srand(seed);
      shown_place(size[0], size[1], &start, &target);
      EXPECT_EQ(start_of(c), start);
      EXPECT_EQ(target_of(c), target);
      EXPECT_EQ(after, demo_rand()) << "the same number of draws";
    }
}

TEST(CreditsPlacement, AnyPlateSizeEndsInsideTheFrame) {
  // As the show draws them, plates wider than 320 (or 640 at the target)
  // would be placed for ever and tall ones would reach below the frame.
  const int32_t sizes[][2] = {{0, 0}, {0, 50}, {321, 10}, {640, 60}, {641, 61}, {1000, 500}, {65535, 65535}, {90, 200}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(testing::Message() << size[0] << " x " << size[1]);
    std::vector<uint8_t> px;
    scx_bitmap b{size[0], size[1], px.data()};
    blurp_credit c{};
    c.bitmap = &b;
    demo_srand(5);
    blurp_place_credit(&c);
    EXPECT_TRUE(inside_frame(start_of(c)));
    EXPECT_TRUE(inside_frame(target_of(c)));
  }
}

TEST(CreditsDrawing, LettersAboveTheThresholdAddTheLevelStretched) {
  std::vector<uint8_t> px = {0, 128, 129, 255, 200, 127};
  const scx_bitmap b{3, 2, px.data()};
  opening_pixmap dst(pixmap_create(320, 240, 0));
  const uint32_t base = pixmap_rgba(250, 10, 100, 0xAA);
  std::fill(dst->pixels, dst->pixels + 320 * 240, base);
  // Twice the size at (10, 20); level 300 adds its low 8 bits, 44.
  blurp_draw_credit(dst.get(), 10, 20, 16, 24, &b, 300);
  for (int32_t y = 18; y < 26; y++)
    for (int32_t x = 8; x < 18; x++) {
      const bool in = x >= 10 && x < 16 && y >= 20 && y < 24;
      const bool lit = in && px[size_t((y - 20) / 2 * 3 + (x - 10) / 2)] > 128;
      EXPECT_EQ(pixmap_get_pixel(dst.get(), x, y), lit ? pixmap_rgba(255, 54, 144, 0xAA) : base) << x << "," << y;
    }
}

TEST(CreditsDrawing, ClippingKeepsTheVisiblePartAndOddSizesDrawNothing) {
  std::vector<uint8_t> px;
  const scx_bitmap b = bitmap_of(37, 23, &px);
  for (size_t i = 0; i < px.size(); i++)
    px[i] = uint8_t((i * 97 + i / 37 * 13) & 255);
  // Each rectangle drawn into the frame, and 100 pixels further into a
  // larger picture that holds it whole: the frame is a window of the larger.
  const rect rects[] = {{-50, -30, 100, 60}, {250, 200, 400, 300}, {-400, -10, 700, 250}, {300, -90, 330, 5}};
  for (const rect& r : rects) {
    SCOPED_TRACE(testing::Message() << r.x0 << "," << r.y0 << " - " << r.x1 << "," << r.y1);
    opening_pixmap frame(pixmap_create(320, 240, PIXMAP_CLEAR));
    opening_pixmap big(pixmap_create(1200, 500, PIXMAP_CLEAR));
    blurp_draw_credit(frame.get(), r.x0, r.y0, r.x1, r.y1, &b, 200);
    blurp_draw_credit(big.get(), r.x0 + 450, r.y0 + 100, r.x1 + 450, r.y1 + 100, &b, 200);
    int64_t lit = 0;
    for (int32_t y = 0; y < 240; y++)
      for (int32_t x = 0; x < 320; x++) {
        ASSERT_EQ(frame->pixels[y * 320 + x], big->pixels[(y + 100) * 1200 + x + 450]) << x << "," << y;
        lit += (frame->pixels[y * 320 + x] & 0xFFFFFF) != 0;
      }
    EXPECT_GT(lit, 0);
  }
  opening_pixmap frame(pixmap_create(320, 240, PIXMAP_CLEAR));
  const std::vector<uint32_t> black = pixels_of(frame.get());
  const scx_bitmap empty{0, 5, nullptr};
  blurp_draw_credit(frame.get(), 10, 10, 10, 50, &b, 255);      // no width
  blurp_draw_credit(frame.get(), 10, 50, 40, 10, &b, 255);      // upside down
  blurp_draw_credit(frame.get(), 330, 10, 400, 50, &b, 255);    // beside the frame
  blurp_draw_credit(frame.get(), 10, 10, 100, 50, &empty, 255); // an empty bitmap
  blurp_draw_credit(frame.get(), 10, 10, 100, 50, nullptr, 255);
  EXPECT_EQ(pixels_of(frame.get()), black);
}

namespace {
// A state of fifteen waiting credits without bitmaps, as the init leaves it.
void waiting_credits(blurp_state* s) {
  const float waits[15] = {-8, -24, -48, -24, -24, -24, -48, -24, -48, -8, -24, -48, -24, -48, -24};
  for (int32_t i = 0; i < BLURP_CREDITS; i++)
    s->credits[i].stage = waits[i];
}
} // namespace

TEST(CreditsLaunch, OneNamePerBarInFileOrderDrawnFor128Ticks) {
  blurp_state s{};
  opening_pixmap work(pixmap_create(320, 240, PIXMAP_CLEAR));
  s.work = work.get();
  waiting_credits(&s);
  // Orders 11 and 12 row by row, a frame a row (60 ms rows: 30/7 ticks).
  const float fd = 60.0f / 14.0f;
  std::vector<int32_t> launched_at(BLURP_CREDITS, -1);
  for (int32_t step = 0; step < 256; step++) {
    blurp_credits_step(&s, fd, uint32_t(step & 127));
    for (int32_t k = 0; k < BLURP_CREDITS; k++)
      if (launched_at[size_t(k)] < 0 && s.credits[k].stage >= 0)
        launched_at[size_t(k)] = step;
  }
  for (int32_t k = 0; k < BLURP_CREDITS; k++)
    EXPECT_EQ(launched_at[size_t(k)], 16 * k) << "credit " << k;
  EXPECT_EQ(s.next_credit, BLURP_CREDITS) << "the sixteenth bar launches nothing";
  // Each launched credit rises half a stage a tick.
  EXPECT_NEAR(s.credits[14].stage, 0.5f * fd * float(255 - 224), 1e-3);

  // The flag: rows below 7 launch once, rows above 7 re-arm, row 7 neither.
  blurp_state t{};
  t.work = work.get();
  waiting_credits(&t);
  for (uint32_t row : {6u, 0u, 7u, 3u})
    blurp_credits_step(&t, 0, row);
  EXPECT_EQ(t.next_credit, 1);
  blurp_credits_step(&t, 0, 8);
  blurp_credits_step(&t, 0, 7);
  EXPECT_EQ(t.next_credit, 1);
  blurp_credits_step(&t, 0, 18);
  EXPECT_EQ(t.next_credit, 2);
}

TEST(CreditsLaunch, ACreditIsDrawnOnlyBetweenTheStagesZeroAnd64) {
  std::vector<uint8_t> px(40 * 20, 255);
  scx_bitmap b{40, 20, px.data()};
  opening_pixmap work(pixmap_create(320, 240, PIXMAP_CLEAR));
  blurp_state s{};
  s.work = work.get();
  waiting_credits(&s);
  s.beat = 1; // no launch in these calls
  blurp_credit& c = s.credits[0];
  c.bitmap = &b;
  c = {&b, 0, 0, 0, 0, 0, 20, 30, 100, 70, 1, 0.5f, -0.25f, -0.5f};
  const std::vector<uint32_t> black = pixels_of(work.get());
  blurp_credits_step(&s, 0, 9);
  EXPECT_EQ(pixels_of(work.get()), black) << "stage 0";
  c.stage = 64;
  blurp_credits_step(&s, 0, 9);
  EXPECT_EQ(pixels_of(work.get()), black) << "stage 64";
  c.stage = 32;
  blurp_credits_step(&s, 0, 9);
  // Start + 32 steps: (52, 46) to (92, 54), level 255 - 96.
  EXPECT_EQ(pixmap_get_pixel(work.get(), 52, 46), pixmap_rgba(159, 159, 159, 255));
  EXPECT_EQ(pixmap_get_pixel(work.get(), 91, 53), pixmap_rgba(159, 159, 159, 255));
  EXPECT_EQ(pixmap_get_pixel(work.get(), 92, 53) & 0xFFFFFF, 0u);
  EXPECT_EQ(pixmap_get_pixel(work.get(), 51, 50) & 0xFFFFFF, 0u);
  EXPECT_EQ(pixmap_get_pixel(work.get(), 60, 54) & 0xFFFFFF, 0u);
}

namespace {
struct scroller_fixture : ::testing::Test {
  opening_pixmap work{pixmap_create(320, 240, PIXMAP_CLEAR)};
  opening_pixmap dot{pixmap_create(16, 16, 0)};
  std::vector<uint8_t> px;
  scx_bitmap text{};
  blurp_state s{};
  void SetUp() override {
    std::fill(dot->pixels, dot->pixels + 256, pixmap_rgba(40, 40, 40, 0));
    s.work = work.get();
    s.dot = dot.get();
    s.text = &text;
  }
  int64_t lit() const {
    int64_t n = 0;
    for (int32_t i = 0; i < 320 * 240; i++)
      n += (work->pixels[i] & 0xFFFFFF) != 0;
    return n;
  }
};
} // namespace

TEST_F(scroller_fixture, DotsSpellTheWindowAndTheScrollerEndsForGood) {
  // 8 rows: cells of 50 x 40 pixels; one dot of value 100 (25 pixels) in
  // row 4, column 3 of the window: at the centre's height, 50 left of it.
  text = bitmap_of(40, 8, &px);
  px[4 * 40 + 3] = 100;
  px[2 * 40 + 5] = 31; // too small to draw
  blurp_scroller(&s, 2.0f);
  EXPECT_EQ(lit(), 24 * 24);
  EXPECT_NE(pixmap_get_pixel(work.get(), 110, 120) & 0xFFFFFF, 0u);
  EXPECT_EQ(pixmap_get_pixel(work.get(), 160, 120) & 0xFFFFFF, 0u);
  EXPECT_NEAR(s.scroll, 0.22f, 1e-6);
  EXPECT_NEAR(s.scroll_angle, PI / 64, 1e-6);
  EXPECT_NEAR(s.scroll_frac, 0.78f, 1e-6);

  // Past w - h - 4 = 28 nothing is drawn or moved any more, though the
  // scroll is below the width that would wrap it.
  s.scroll = 28.01f;
  const float angle = s.scroll_angle;
  std::fill(work->pixels, work->pixels + 320 * 240, 0u);
  blurp_scroller(&s, 5.0f);
  EXPECT_EQ(lit(), 0);
  EXPECT_EQ(s.scroll, 28.01f);
  EXPECT_EQ(s.scroll_angle, angle);
}

TEST_F(scroller_fixture, OddTextSizesNeverDivideByZeroOrReadOutside) {
  for (const auto& size : std::vector<std::array<int32_t, 2>>{{0, 0}, {40, 0}, {0, 8}, {8, 8}, {3, 40}, {9, 4}}) {
    SCOPED_TRACE(testing::Message() << size[0] << " x " << size[1]);
    text = bitmap_of(size[0], size[1], &px);
    std::fill(px.begin(), px.end(), uint8_t(255));
    s.scroll = 0;
    blurp_scroller(&s, 1.0f);
    if (size[0] - size[1] - 4 < 0) {
      EXPECT_EQ(s.scroll, 0.0f) << "ended before it began";
    }
  }
  EXPECT_GT(lit(), 0) << "the 9 x 4 text is drawn";
}

namespace {
struct phases_fixture : ::testing::Test {
  opening_pixmap background = opening_noise(320, 240, 3);
  opening_pixmap mirror = opening_noise(320, 240, 4);
  opening_pixmap work{pixmap_create(320, 240, PIXMAP_CLEAR)};
  opening_pixmap black{pixmap_create(320, 240, PIXMAP_CLEAR)};
  opening_pixmap frame = opening_noise(320, 240, 5);
  show_context show{};
  blurp_state s{};
  void SetUp() override {
    build_mul_tables();
    show.pictures.mirror_opening = mirror.get();
    s.show = &show;
    s.frame = frame.get();
    s.background = background.get();
    s.work = work.get();
    s.black = black.get();
  }
};
} // namespace

TEST_F(phases_fixture, TheBackgroundCrossFadesIntoTheMirrorHallsPicture) {
  blurp_base(&s, 2.0f, 12, 64);
  EXPECT_EQ(pixels_of(work.get()), pixels_of(background.get()));
  EXPECT_EQ(s.fade, 0.0f) << "no fade before row 65";
  s.fade = 40.7f;
  blurp_base(&s, 2.0f, 12, 65);
  EXPECT_FLOAT_EQ(s.fade, 41.2f);
  for (int32_t i : {0, 1234, 76799}) {
    const uint32_t a = mirror->pixels[i], b = background->pixels[i], got = work->pixels[i];
    for (int k = 0; k < 3; k++)
      EXPECT_EQ(opening_channel(got, k), mul_table[40][opening_channel(a, k)] + mul_table[23][opening_channel(b, k)]);
    EXPECT_EQ(got >> 24, 0u);
  }
  s.fade = 64;
  blurp_base(&s, 2.0f, 12, 127);
  EXPECT_EQ(pixels_of(work.get()), pixels_of(mirror.get()));
  // The frame that ends the credits (order 13, row 0) keeps the mirror
  // hall's picture: no flash of the background before the mirror hall.
  background->pixels[0] ^= 0xFFFFFF;
  blurp_base(&s, 2.0f, 13, 0);
  EXPECT_EQ(pixels_of(work.get()), pixels_of(mirror.get()));

  // Without the mirror hall's picture (or with one of another size) the
  // picture fades to black.
  opening_pixmap small = opening_noise(100, 100, 6);
  for (pixmap* p : {static_cast<pixmap*>(nullptr), small.get()}) {
    show.pictures.mirror_opening = p;
    s.fade = 20;
    blurp_base(&s, 0, 12, 80);
    EXPECT_EQ(opening_channel(work->pixels[77], 1), mul_table[43][opening_channel(background->pixels[77], 1)]);
    s.fade = 64;
    blurp_base(&s, 0, 12, 80);
    EXPECT_EQ(pixels_of(work.get()), pixels_of(black.get()));
  }
}

TEST_F(phases_fixture, TheBlurWandersThenRelaxesUntilThePictureStandsSharp) {
  s.angle1 = 0.5f;
  s.angle2 = 1.0f;
  s.angle3 = 2.0f;
  blurp_blur(&s, 2.0f, 12, 110);
  EXPECT_FLOAT_EQ(s.blur_factor, 0.2f + 0.15f * std::sin(0.5f));
  EXPECT_FLOAT_EQ(s.centre_y, 120 + 80 * std::cos(1.0f));
  EXPECT_FLOAT_EQ(s.centre_x, 160 + 80 * std::cos(2.0f));
  EXPECT_FLOAT_EQ(s.angle1, 0.5f + PI / 32);
  EXPECT_FLOAT_EQ(s.angle2, 1.0f + PI / 64);
  EXPECT_FLOAT_EQ(s.angle3, 2.0f + PI / 32);
  // The weighted blur: away from the centre the frame is not the work picture.
  EXPECT_NE(pixels_of(frame.get()), pixels_of(work.get()));

  const float factor = s.blur_factor;
  blurp_blur(&s, 2.0f, 12, 111);
  EXPECT_FLOAT_EQ(s.blur_factor, factor - 0.02f) << "relaxes by 0.01 a tick";
  EXPECT_FLOAT_EQ(s.angle1, 0.5f + PI / 32) << "the centre stays";
  s.blur_factor = 0.001f;
  blurp_blur(&s, 1.0f, 12, 120);
  EXPECT_NE(pixels_of(frame.get()), pixels_of(work.get())) << "still blurred at a factor above 0";
  blurp_blur(&s, 1.0f, 13, 0);
  EXPECT_EQ(pixels_of(frame.get()), pixels_of(work.get())) << "copied once the factor is spent";
}

TEST(CreditsInit, MissingOrBrokenFilesFailCleanly) {
  music_clock clock{};
  opening_pixmap frame(pixmap_create(320, 240, PIXMAP_CLEAR));
  show_context show{};
  show.clock = &clock;
  show.frame = frame.get();
  const opening_files& all = opening_build_files();
  opening_each_variant({{"no background", "radblur/morvat.jpg", {}},
                        {"background not 320 x 240", "radblur/morvat.jpg", all.at("lobj/envmap.jpg")},
                        {"no text", "radblur/text.scx", {}},
                        {"no dot", "radblur/flare.gif", {}},
                        {"no first plate", "radblur/coding.scx", {}},
                        {"no last plate", "radblur/qex.scx", {}}},
                       [&] {
                         EXPECT_EQ(blurp_init(&show), 0);
                         EXPECT_EQ(blurp_get_state()->work, nullptr) << "everything read so far is released";
                         EXPECT_EQ(blurp_get_state()->credits[0].bitmap, nullptr);
                         EXPECT_EQ(blurp_frame(), 0) << "and the frame step only ends";
                       });
}

namespace {
struct credits_data : ::testing::Test {
  testkit_tempdir dir;
  music_clock clock{};
  opening_pixmap frame{pixmap_create(320, 240, PIXMAP_CLEAR)};
  show_context show{};
  void SetUp() override {
    std::string error;
    ASSERT_EQ(opening_use_archive(dir.path, opening_build_files(), &error), 1) << error;
    build_mul_tables();
    show.clock = &clock;
    show.frame = frame.get();
  }
  void TearDown() override { opening_release_archive(); }
};
} // namespace

// The init seeds the program's generator from the clock (so the hidden
// sprite's bounces and the plates' places differ from run to run) and then
// places the plates with it.
TEST_F(credits_data, InitSeedsTheGeneratorFromTheClockAndPlacesThePlates) {
  for (int attempt = 0; attempt < 3; attempt++) {
    const uint32_t before = uint32_t(std::time(nullptr));
    ASSERT_EQ(blurp_init(&show), 1);
    const uint32_t after = uint32_t(std::time(nullptr));
    if (before != after)
      continue; // the second turned over: try again
    demo_srand(before);
    const blurp_state* s = blurp_get_state();
    for (int32_t k = 0; k < BLURP_CREDITS; k++) {
      rect start, target;
      shown_place(s->credits[k].bitmap->width, s->credits[k].bitmap->height, &start, &target);
      EXPECT_EQ(start_of(s->credits[k]), start) << k;
      EXPECT_EQ(target_of(s->credits[k]), target) << k;
    }
    return;
  }
  FAIL() << "the clock kept turning over";
}

TEST_F(credits_data, ThePlatesAndTheTextFitTheFrame) {
  ASSERT_EQ(blurp_init(&show), 1);
  const blurp_state* s = blurp_get_state();
  for (const blurp_credit& c : s->credits) {
    const scx_bitmap* b = c.bitmap;
    EXPECT_LE(b->width, 150);
    EXPECT_LE(b->height, 60);
    int64_t letters = 0;
    for (int64_t i = 0; i < int64_t(b->width) * b->height; i++)
      letters += b->pixels[i] > BLURP_LETTER;
    EXPECT_GT(letters, int64_t(b->width) * b->height / 5) << "a word in a bold face";
  }
  // The scroller's text: a few dozen rows, its letters' values 32 and up,
  // nothing but blank cells in the first h columns (it enters from the
  // window's edge) and in the last h + 4 (it has left when it ends).
  const scx_bitmap* t = s->text;
  ASSERT_GE(t->height, 24);
  ASSERT_LE(t->height, 48);
  int64_t dots = 0;
  for (int32_t y = 0; y < t->height; y++)
    for (int32_t x = 0; x < t->width; x++) {
      const uint8_t v = t->pixels[int64_t(y) * t->width + x];
      EXPECT_TRUE(v == 0 || v >= 32);
      if (v && (x < t->height || x >= t->width - t->height - 4))
        ADD_FAILURE() << "a dot at column " << x;
      dots += v != 0;
    }
  EXPECT_GT(dots, 100);
}

TEST_F(credits_data, TheFrameRunsToOrder13) {
  ASSERT_EQ(blurp_init(&show), 1);
  opening_clock_set(&clock, 1.2f, 11, 0);
  std::vector<uint32_t> previous;
  for (int32_t i = 0; i < 40; i++) {
    ASSERT_EQ(blurp_frame(), 1);
    const std::vector<uint32_t> now = pixels_of(frame.get());
    if (i > 0) {
      EXPECT_NE(now, previous) << "moves, frame " << i;
    }
    previous = now;
  }
  EXPECT_EQ(blurp_get_state()->next_credit, 1);
  opening_clock_set(&clock, 1.2f, 12, 127);
  EXPECT_EQ(blurp_frame(), 1);
  opening_clock_set(&clock, 1.2f, 13, 0);
  EXPECT_EQ(blurp_frame(), 0);
}
