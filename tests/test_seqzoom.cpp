// The sequence zoomer: its polar map and ring lookup, the polar pass, the
// fly-in and the flares in isolation, then its frame step on the build's
// data driven by a hand-set clock, its init on broken data, and its files.
#include "gif.h"
#include "jpeg.h"
#include "opening_fixtures.h"
#include "pcx.h"
#include "random.h"
#include "seqzoom.h"
#include "seqzoom_parts.h"
#include "testkit.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {
uint32_t& at(pixmap* p, int32_t x, int32_t y) { return p->pixels[p->rows[y] + x]; }
} // namespace

TEST(SeqzoomPolar, AnglesAndDepthsOfKnownPixels) {
  // The negative x axis is the only place of angle 255; straight right is
  // half a turn round, straight up a quarter.
  EXPECT_EQ(seqzoom_polar_at(0, 120).angle, 255);
  EXPECT_EQ(seqzoom_polar_at(319, 120).angle, 127);
  EXPECT_EQ(seqzoom_polar_at(160, 0).angle, 63);
  EXPECT_EQ(seqzoom_polar_at(160, 239).angle, 191);
  EXPECT_EQ(seqzoom_polar_at(0, 119).angle, 0) << "just above the negative axis";
  // The corners lie at radius 200: depth 187. Radius 1 is depth -487.
  EXPECT_EQ(seqzoom_polar_at(0, 0).depth, 187);
  EXPECT_EQ(seqzoom_polar_at(161, 120).depth, -487);
  // Radius 110 is half of 220: 200 - ln 2 / ln(128/127) steps.
  EXPECT_EQ(seqzoom_polar_at(270, 120).depth, int32_t(200 - std::log(0.5) / std::log(0.9921875)));
  std::vector<seqzoom_polar> map(SEQZOOM_PIXELS);
  seqzoom_fill_polar_map(map.data());
  for (int32_t i = 0; i < SEQZOOM_PIXELS; i++) {
    ASSERT_GE(map[size_t(i)].angle, 0);
    ASSERT_LE(map[size_t(i)].angle, 255);
    if (i != 120 * 320 + 160) {
      ASSERT_GE(map[size_t(i)].depth, -487);
    }
  }
  // Depth grows with the radius along a row.
  for (int32_t x = 162; x < 320; x++)
    ASSERT_GE(map[size_t(120 * 320 + x)].depth, map[size_t(120 * 320 + x - 1)].depth);
}

TEST(SeqzoomPolar, TheCentrePixelIsNeverWritten) {
  std::vector<seqzoom_polar> map(SEQZOOM_PIXELS);
  seqzoom_fill_polar_map(map.data());
  opening_pixmap picture = opening_noise(400, 400, 5);
  std::vector<const uint32_t*> lookup(SEQZOOM_RINGS * SEQZOOM_ANGLES);
  for (int32_t k = 0; k < 3; k++)
    seqzoom_fill_band(lookup.data(), 200 * k, picture.get());
  opening_pixmap frame(pixmap_create(320, 240, 0));
  for (int32_t z = -100; z <= 1200; z += 7) {
    pixmap_fill_rect(frame.get(), 0, 0, 320, 240, 0xABCDEF);
    seqzoom_polar_pass(frame.get(), map.data(), lookup.data(), z);
    ASSERT_EQ(at(frame.get(), 160, 120), 0xABCDEFu) << z;
  }
  // At zoom 0 the inner disc (radius below about 46) is left alone too.
  pixmap_fill_rect(frame.get(), 0, 0, 320, 240, 0xABCDEF);
  seqzoom_polar_pass(frame.get(), map.data(), lookup.data(), 0);
  EXPECT_EQ(at(frame.get(), 160 + 44, 120), 0xABCDEFu);
  EXPECT_NE(at(frame.get(), 160 + 48, 120), 0xABCDEFu);
  EXPECT_NE(at(frame.get(), 0, 0), 0xABCDEFu);
}

TEST(SeqzoomLookup, EntriesReferToStrictlyInteriorPixels) {
  opening_pixmap p = opening_noise(10, 12, 3);
  std::vector<const uint32_t*> lookup(SEQZOOM_RINGS * SEQZOOM_ANGLES, nullptr);
  seqzoom_fill_band(lookup.data(), 200, p.get());
  auto entry = [&](int32_t i, int32_t j) { return lookup[size_t((200 + i) * 256 + j)]; };
  // Radius 0 is the picture's middle (w/2, h/2) at every angle.
  for (int32_t j = 0; j < 256; j++)
    ASSERT_EQ(entry(0, j), &at(p.get(), 5, 6));
  // Angle index 0 points left (pi), 64 up, 128 right, 192 down, as on the
  // screen (y grows downwards).
  EXPECT_EQ(entry(4, 0), &at(p.get(), 1, 6));
  EXPECT_EQ(entry(5, 0), nullptr) << "column 0 is never used";
  EXPECT_EQ(entry(4, 128), &at(p.get(), 9, 6));
  EXPECT_EQ(entry(5, 128), nullptr) << "column 10 lies past the picture";
  EXPECT_EQ(entry(5, 64), &at(p.get(), 5, 1));
  EXPECT_EQ(entry(6, 64), nullptr) << "row 0 is never used";
  EXPECT_EQ(entry(5, 192), &at(p.get(), 5, 11));
  EXPECT_EQ(entry(6, 192), nullptr) << "row 12 lies past the picture";
  // Everything past the picture is null, and the band's rows only.
  for (int32_t i = 8; i < 200; i++)
    for (int32_t j = 0; j < 256; j++)
      ASSERT_EQ(entry(i, j), nullptr);
  for (int32_t r = 0; r < 200; r++)
    ASSERT_EQ(lookup[size_t(r * 256)], nullptr);
}

TEST(SeqzoomPass, RowsZeroAndSixHundredAreLeftAndNullIsBlack) {
  std::vector<seqzoom_polar> map(SEQZOOM_PIXELS, seqzoom_polar{7, 0});
  map[0].depth = 0;   // row z + 0
  map[1].depth = -10; // row z - 10
  map[2].depth = 599; // row z + 599
  map[3].depth = 1;   // a null entry
  map[5] = {8, 0};
  std::vector<const uint32_t*> lookup(SEQZOOM_RINGS * SEQZOOM_ANGLES, nullptr);
  const uint32_t value = 0x11223344u;
  for (int32_t r = 0; r < SEQZOOM_RINGS; r++)
    lookup[size_t(r * 256 + 7)] = lookup[size_t(r * 256 + 8)] = &value;
  lookup[size_t(1 * 256 + 7)] = nullptr;
  opening_pixmap frame(pixmap_create(320, 240, 0));
  pixmap_fill_rect(frame.get(), 0, 0, 320, 240, 0x555555);
  seqzoom_polar_pass(frame.get(), map.data(), lookup.data(), 0);
  EXPECT_EQ(frame->pixels[0], 0x555555u) << "row 0";
  EXPECT_EQ(frame->pixels[1], 0x555555u) << "a negative row";
  EXPECT_EQ(frame->pixels[2], value) << "row 599";
  EXPECT_EQ(frame->pixels[3], 0u) << "a null entry draws black";
  EXPECT_EQ(frame->pixels[4], 0x555555u) << "depth 0 at zoom 0";
  pixmap_fill_rect(frame.get(), 0, 0, 320, 240, 0x555555);
  seqzoom_polar_pass(frame.get(), map.data(), lookup.data(), 1);
  EXPECT_EQ(frame->pixels[2], 0x555555u) << "row 600";
  EXPECT_EQ(frame->pixels[4], 0u) << "row 1, a null entry";
  EXPECT_EQ(frame->pixels[5], value) << "row 1 at another angle";
}

TEST(SeqzoomFlyIn, StartsAsACopyThenNarrowsAndMirrors) {
  opening_pixmap ring = opening_noise(320, 240, 9);
  opening_pixmap frame(pixmap_create(320, 240, 0));
  seqzoom_fly_in(frame.get(), ring.get(), 0.0f);
  for (int32_t i = 0; i < 320 * 240; i++)
    ASSERT_EQ(frame->pixels[i], ring->pixels[i]) << i;
  // Approach 100: columns 79 to 241, rows 59 to 181 stretched over the frame.
  seqzoom_fly_in(frame.get(), ring.get(), 100.0f);
  EXPECT_EQ(at(frame.get(), 0, 0), at(ring.get(), 79, 59));
  const int32_t step = (162 * 65536) / 320;
  const float v_step = 122.0f / 240.0f;
  for (int32_t x : {1, 100, 319})
    for (int32_t y : {1, 120, 239}) {
      float v = 59.0f;
      for (int32_t k = 0; k < y; k++)
        v += v_step;
      EXPECT_EQ(at(frame.get(), x, y), at(ring.get(), (79 * 65536 + x * step) >> 16, int32_t(v))) << x << "," << y;
    }
  // Past 160 the rectangle turns over: the left edge shows the right part.
  seqzoom_fly_in(frame.get(), ring.get(), 250.0f);
  EXPECT_EQ(at(frame.get(), 0, 0), at(ring.get(), 197, 147));
  EXPECT_EQ(at(frame.get(), 319, 0), at(ring.get(), (197 * 65536 + 319 * ((-75 * 65536) / 320)) >> 16, 147));
}

TEST(SeqzoomFlyIn, FarApproachesAndSmallPicturesStayInside) {
  opening_pixmap small = opening_noise(40, 30, 2);
  opening_pixmap frame(pixmap_create(320, 240, 0));
  for (float a : {0.0f, 250.0f, 5000.0f, -300.0f, 1e30f, std::nanf("")})
    seqzoom_fly_in(frame.get(), small.get(), a);
  // Clamped to the picture: the first pixel is one of the picture's.
  seqzoom_fly_in(frame.get(), small.get(), 0.0f);
  EXPECT_EQ(at(frame.get(), 0, 0), at(small.get(), 0, 0));
  EXPECT_EQ(at(frame.get(), 319, 239), at(small.get(), 39, 29));
  seqzoom_fly_in(frame.get(), nullptr, 0.0f); // no picture: nothing drawn
}

namespace {
// A flat sprite: every pixel adds `level` to each channel.
opening_pixmap flat_sprite(uint32_t level) {
  opening_pixmap s(pixmap_create(16, 16, 0));
  pixmap_fill_rect(s.get(), 0, 0, 16, 16, level | level << 8 | level << 16);
  return s;
}

int32_t lit(const pixmap* p) {
  int32_t n = 0;
  for (int32_t i = 0; i < p->width * p->height; i++)
    n += (p->pixels[i] & 0xFFFFFF) != 0;
  return n;
}
} // namespace

TEST(SeqzoomFlares, StartDriftToTheCentreAndShrink) {
  flare f[FLARES_COUNT];
  flares_reset(f);
  EXPECT_EQ(f[0].life, 128.0f);
  EXPECT_EQ(f[1].target_y, 200.0f);
  EXPECT_EQ(f[2].image, 2);
  EXPECT_EQ(f[3].life, 512.0f);
  opening_pixmap s = flat_sprite(1);
  pixmap* images[3] = {s.get(), s.get(), s.get()};
  opening_pixmap frame(pixmap_create(320, 240, 0));
  // A zero delta draws and moves nothing on.
  flares_draw(f, images, frame.get(), 10, 0.0f);
  EXPECT_EQ(f[0].life, 128.0f);
  EXPECT_EQ(f[0].travel, 0.0f);
  EXPECT_EQ(f[0].x, 40.0f);
  EXPECT_GT(lit(frame.get()), 0);
  // 256 ticks: travel 64, every flare on the centre.
  flares_reset(f);
  flares_draw(f, images, frame.get(), 10, 256.0f);
  EXPECT_EQ(f[0].life, 128.0f - 384.0f);
  EXPECT_EQ(f[0].travel, 64.0f);
  flares_draw(f, images, frame.get(), 10, 0.0f);
  for (const flare& k : f) {
    EXPECT_FLOAT_EQ(k.x, 160.0f);
    EXPECT_FLOAT_EQ(k.y, 120.0f);
  }
}

TEST(SeqzoomFlares, ASpentFlareIsDrawnSmallerThenSkipped) {
  opening_pixmap s = flat_sprite(1);
  pixmap* images[3] = {s.get(), s.get(), s.get()};
  opening_pixmap frame(pixmap_create(320, 240, 0));
  flare f[FLARES_COUNT];
  auto drawn_side = [&](float life) {
    flares_reset(f);
    for (flare& k : f)
      k.life = -1000.0f; // skipped
    f[0].life = life;
    f[0].target_x = 160;
    f[0].target_y = 120;
    pixmap_fill_rect(frame.get(), 0, 0, 320, 240, 0);
    flares_draw(f, images, frame.get(), 8, 0.0f); // row 8: no respawn
    return lit(frame.get());
  };
  EXPECT_EQ(drawn_side(0.0f), 64 * 64);
  EXPECT_EQ(drawn_side(-20.0f), 44 * 44) << "side 64 + life";
  EXPECT_EQ(drawn_side(-56.0f), 8 * 8);
  EXPECT_EQ(drawn_side(-56.5f), 0);
  EXPECT_EQ(drawn_side(600.0f), 320 * 240) << "at most 512, clipped to the frame";
}

TEST(SeqzoomFlares, RespawnOnTheFirstSixRowsOfEvery16) {
  opening_pixmap s = flat_sprite(1);
  pixmap* images[3] = {s.get(), s.get(), s.get()};
  opening_pixmap frame(pixmap_create(320, 240, 0));
  flare f[FLARES_COUNT];
  flares_reset(f);
  for (flare& k : f)
    k.life = 10.0f;
  f[1].life = -0.5f;
  f[1].travel = 99.0f;
  // Row 22 (6 of 16): no respawn; the flare shrinks on.
  flares_draw(f, images, frame.get(), 22, 1.0f);
  EXPECT_EQ(f[1].life, -2.0f);
  // Row 37 (5 of 16): three draws in order, image, x, y.
  demo_srand(77);
  const int32_t r1 = demo_rand(), r2 = demo_rand(), r3 = demo_rand();
  demo_srand(77);
  flares_draw(f, images, frame.get(), 37, 2.0f);
  const float xs[4] = {20, 60, 180, 300}, ys[4] = {20, 80, 160, 220};
  EXPECT_EQ(f[1].image, r1 % 3);
  EXPECT_EQ(f[1].target_x, xs[r2 % 4]);
  EXPECT_EQ(f[1].target_y, ys[r3 % 4]);
  EXPECT_EQ(f[1].life, 512.0f - 3.0f) << "respawned, then this frame's decrease";
  EXPECT_EQ(f[1].travel, 0.5f);
  EXPECT_EQ(f[0].life, 5.5f) << "the others only age";
}

// ---- The frame step on the build's data ----

namespace {
struct seqzoom_fixture : ::testing::Test {
  testkit_tempdir dir;
  music_clock clock{};
  opening_pixmap frame{pixmap_create(320, 240, 0)};
  opening_pixmap ring = opening_noise(320, 240, 11);
  show_context show{.clock = &clock, .frame = frame.get(), .pictures = {.ring = ring.get()}};

  void SetUp() override {
    std::string error;
    ASSERT_EQ(opening_use_archive(dir.path, opening_build_files(), &error), 1) << error;
    testing::internal::CaptureStdout();
    const int32_t ok = seqzoom_init(&show);
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(ok, 1);
  }
  void TearDown() override { opening_release_archive(); }
  int32_t step(float fd, uint32_t row = 8) {
    opening_clock_set(&clock, fd, 8, row);
    return seqzoom_frame();
  }
};
} // namespace

TEST_F(seqzoom_fixture, Lasts500TicksAtAnyFrameRate) {
  for (float fd : {1.0f, 2.5f, 0.7f}) {
    SCOPED_TRACE(fd);
    seqzoom_state* s = seqzoom_get_state();
    s->zoom = 800.0f;
    s->approach = 0.0f;
    int frames = 0;
    while (step(fd) && frames < 10000)
      frames++;
    EXPECT_NEAR(double(frames) * fd, 500.0, fd + 0.01);
    EXPECT_EQ(step(fd), 0) << "stays over";
  }
}

TEST_F(seqzoom_fixture, FlyInUntilZoom400ThenThePicturesFillTheScreen) {
  seqzoom_state* s = seqzoom_get_state();
  // The first frame: the ring picture everywhere but a small disc in the middle.
  ASSERT_EQ(step(2.0f), 1);
  EXPECT_EQ(s->approach, 2.0f);
  EXPECT_FLOAT_EQ(s->zoom, 796.8f);
  EXPECT_NE(at(frame.get(), 160 + 3, 120), at(ring.get(), 160 + 3, 120)) << "picture 1 in the middle";
  for (int i = 0; i < 130; i++)
    step(2.0f);
  EXPECT_LE(s->zoom, 400.0f);
  const float approach = s->approach;
  step(2.0f);
  EXPECT_EQ(s->approach, approach) << "no fly-in below zoom 400";
  // The polar pass now writes every pixel but the few innermost ones
  // (flares put out of the way).
  for (flare& f : s->flares.flares)
    f.life = -1000.0f;
  pixmap_fill_rect(frame.get(), 0, 0, 320, 240, 0x123456);
  step(0.0f);
  int32_t kept = 0;
  for (int32_t y = 0; y < 240; y++)
    for (int32_t x = 0; x < 320; x++)
      if (at(frame.get(), x, y) == 0x123456u) {
        kept++;
        EXPECT_LT(std::hypot(x - 160, y - 120), 4.0) << x << "," << y;
      }
  EXPECT_GE(kept, 1);
}

TEST_F(seqzoom_fixture, AZeroDeltaRedrawsTheSameFrame) {
  step(5.0f);
  step(5.0f);
  const seqzoom_state before = *seqzoom_get_state();
  step(0.0f);
  const std::vector<uint32_t> first(frame->pixels, frame->pixels + 320 * 240);
  step(0.0f);
  const seqzoom_state* s = seqzoom_get_state();
  EXPECT_EQ(s->zoom, before.zoom);
  EXPECT_EQ(s->approach, before.approach);
  for (int32_t k = 0; k < FLARES_COUNT; k++) {
    EXPECT_EQ(s->flares.flares[k].life, before.flares.flares[k].life);
    EXPECT_EQ(s->flares.flares[k].travel, before.flares.flares[k].travel);
  }
  EXPECT_EQ(std::vector<uint32_t>(frame->pixels, frame->pixels + 320 * 240), first);
}

TEST_F(seqzoom_fixture, TheFlaresAreHandedOnThroughTheShowContext) {
  ASSERT_EQ(show.flares, &seqzoom_get_state()->flares);
  EXPECT_EQ(seqzoom_get_state()->ring_picture, ring.get()) << "the ring picture comes from the context";
  const float life = show.flares->flares[2].life;
  opening_clock_set(&clock, 4.0f, 9, 8);
  flares_step(show.flares);
  EXPECT_EQ(seqzoom_get_state()->flares.flares[2].life, life - 6.0f);
  EXPECT_EQ(seqzoom_get_state()->zoom, 800.0f) << "the zoom is the frame step's";
}

TEST_F(seqzoom_fixture, TheBandsHoldTheLastPictureInnermostAndTheFirstOutermost) {
  testing::internal::CaptureStdout();
  const opening_pixmap pictures[3] = {opening_pixmap(pcx_load("data/seqzoom/lastpic.pcx")),
                                      opening_pixmap(jpeg_load("data/seqzoom/p2.jpg")),
                                      opening_pixmap(jpeg_load("data/seqzoom/p1.jpg"))};
  testing::internal::GetCapturedStdout();
  const uint32_t** lookup = seqzoom_get_state()->ring_lookup;
  for (int32_t band = 0; band < 3; band++) {
    const pixmap* p = pictures[band].get();
    ASSERT_TRUE(p);
    int32_t compared = 0;
    for (int32_t i = 3; i < 200; i += 28)
      for (int32_t j = 5; j < 256; j += 37) {
        const double t = M_PI + j * M_PI / 128;
        const int32_t sx = int32_t(i * std::cos(t)) + p->width / 2, sy = int32_t(i * std::sin(t)) + p->height / 2;
        const uint32_t* entry = lookup[(200 * band + i) * 256 + j];
        ASSERT_NE(entry, nullptr) << band << ": " << i << "," << j;
        // By value: the pictures here are copies read for the test.
        ASSERT_EQ(*entry, p->pixels[p->rows[sy] + sx]) << band << ": " << i << "," << j;
        compared += *entry != p->pixels[p->rows[p->height / 2] + p->width / 2];
      }
    EXPECT_GT(compared, 20) << "samples that tell the pictures apart";
  }
}

TEST(SeqzoomInit, MissingOrBrokenFilesFailCleanly) {
  const opening_files& all = opening_build_files();
  ASSERT_TRUE(all.count("seqzoom/p1.jpg"));
  music_clock clock{};
  opening_pixmap frame(pixmap_create(320, 240, 0));
  struct variant {
    const char* what;
    std::string name;
    std::vector<uint8_t> bytes; // empty: the file is left out
  };
  const std::vector<uint8_t>& p2 = all.at("seqzoom/p2.jpg");
  const std::vector<variant> cases = {
      {"no picture 1", "seqzoom/p1.jpg", {}},
      {"truncated picture 2", "seqzoom/p2.jpg", std::vector<uint8_t>(p2.begin(), p2.begin() + 200)},
      {"no last picture", "seqzoom/lastpic.pcx", {}},
      {"no flare 3", "seqzoom/flares/flare3.gif", {}},
      {"a flare that is not a picture", "seqzoom/flares/flare2.gif", std::vector<uint8_t>(40, 0x47)},
  };
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
    EXPECT_EQ(seqzoom_init(&show), 0);
    testing::internal::GetCapturedStdout();
    opening_release_archive();
  }
  // A frame smaller than the polar map.
  testkit_tempdir dir;
  std::string error;
  ASSERT_EQ(opening_use_archive(dir.path, all, &error), 1) << error;
  opening_pixmap small(pixmap_create(200, 240, 0));
  testing::internal::CaptureStdout();
  show_context show{.clock = &clock, .frame = small.get()};
  EXPECT_EQ(seqzoom_init(&show), 0);
  testing::internal::GetCapturedStdout();
  opening_release_archive();
}

TEST(SeqzoomInit, APictureSmallerThanItsBandDrawsBlackOutside) {
  // The lookup leaves whatever lies past a small picture null.
  opening_pixmap p = opening_noise(64, 48, 1);
  std::vector<const uint32_t*> lookup(SEQZOOM_RINGS * SEQZOOM_ANGLES, nullptr);
  seqzoom_fill_band(lookup.data(), 0, p.get());
  int32_t refs = 0;
  for (const uint32_t* r : lookup)
    if (r) {
      refs++;
      ASSERT_GE(r, p->pixels);
      ASSERT_LT(r, p->pixels + 64 * 48);
    }
  EXPECT_GT(refs, 0);
}

// ---- The zoomer's files as the forge made them ----

namespace {
struct seqzoom_data : ::testing::Test {
  testkit_tempdir dir;
  void SetUp() override {
    std::string error;
    ASSERT_EQ(opening_use_archive(dir.path, opening_build_files(), &error), 1) << error;
  }
  void TearDown() override { opening_release_archive(); }
  // Reads a picture with the reader's progress lines kept off the output.
  static opening_pixmap load(pixmap* (*reader)(const char*), const char* name) {
    testing::internal::CaptureStdout();
    opening_pixmap p(reader(name));
    testing::internal::GetCapturedStdout();
    return p;
  }
};

// Mean colour of a picture over the radii [r0, r1) about its centre.
std::array<double, 3> ring_mean(const pixmap* p, double r0, double r1) {
  std::array<double, 3> sum{};
  int n = 0;
  for (int32_t y = 0; y < p->height; y++)
    for (int32_t x = 0; x < p->width; x++) {
      const double r = std::hypot(x - p->width / 2, y - p->height / 2);
      if (r < r0 || r >= r1)
        continue;
      for (int k = 0; k < 3; k++)
        sum[size_t(k)] += opening_channel(p->pixels[p->rows[y] + x], k);
      n++;
    }
  for (double& s : sum)
    s /= n;
  return sum;
}

double distance(const std::array<double, 3>& a, const std::array<double, 3>& b) {
  return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}
} // namespace

TEST_F(seqzoom_data, PicturesCoverEveryRadiusAndMeetWithoutASeam) {
  opening_pixmap p1 = load(jpeg_load, "data/seqzoom/p1.jpg");
  opening_pixmap p2 = load(jpeg_load, "data/seqzoom/p2.jpg");
  opening_pixmap p3 = load(pcx_load, "data/seqzoom/lastpic.pcx");
  for (const pixmap* p : {p1.get(), p2.get(), p3.get()}) {
    ASSERT_TRUE(p);
    EXPECT_GE(p->width, 400) << "radius 199 strictly inside";
    EXPECT_GE(p->height, 400);
  }
  // Each centre has the colour of the next picture's rim.
  EXPECT_LT(distance(ring_mean(p1.get(), 0, 3), ring_mean(p2.get(), 197, 200)), 40.0);
  EXPECT_LT(distance(ring_mean(p2.get(), 0, 3), ring_mean(p3.get(), 197, 200)), 40.0);
  // The first picture's rim is dark, like the sky the fly-in ends in.
  const auto rim = ring_mean(p1.get(), 192, 200);
  EXPECT_LT(rim[0] + rim[1] + rim[2], 3 * 40.0);
  // Not flat: every picture has bright and dark parts.
  for (const pixmap* p : {p1.get(), p2.get(), p3.get()}) {
    int bright = 0, dark = 0;
    for (int32_t i = 0; i < p->width * p->height; i++) {
      const uint32_t sum =
          opening_channel(p->pixels[i], 0) + opening_channel(p->pixels[i], 1) + opening_channel(p->pixels[i], 2);
      bright += sum > 400;
      dark += sum < 120;
    }
    EXPECT_GT(bright, 2000);
    EXPECT_GT(dark, 2000);
  }
}

TEST_F(seqzoom_data, FlaresAreSoftLightsOnBlack) {
  for (const char* name :
       {"data/seqzoom/flares/flare1.gif", "data/seqzoom/flares/flare2.gif", "data/seqzoom/flares/flare3.gif"}) {
    SCOPED_TRACE(name);
    opening_pixmap f = load(gif_load, name);
    ASSERT_TRUE(f);
    EXPECT_GE(f->width, 64);
    EXPECT_EQ(f->width, f->height);
    // Black along the whole border, so stretched copies show no square.
    for (int32_t k = 0; k < f->width; k++) {
      ASSERT_EQ(opening_rgb(at(f.get(), k, 0)), 0u);
      ASSERT_EQ(opening_rgb(at(f.get(), k, f->height - 1)), 0u);
      ASSERT_EQ(opening_rgb(at(f.get(), 0, k)), 0u);
      ASSERT_EQ(opening_rgb(at(f.get(), f->width - 1, k)), 0u);
    }
    // Bright in the middle, dimming outwards.
    const uint32_t c = at(f.get(), f->width / 2, f->height / 2);
    EXPECT_GT(opening_channel(c, 0) + opening_channel(c, 1) + opening_channel(c, 2), 500u);
    const uint32_t m = at(f.get(), f->width / 2 + f->width / 4, f->height / 2 + 3);
    EXPECT_LT(opening_channel(m, 0) + opening_channel(m, 1) + opening_channel(m, 2),
              opening_channel(c, 0) + opening_channel(c, 1) + opening_channel(c, 2));
  }
}
