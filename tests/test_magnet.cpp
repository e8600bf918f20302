// The magnet: the potential and shade of the corners, the beats, the end
// phase, the glow lines' strict bounds, and init and frames on the build's
// data (and on broken data).
#include "magnet.h"
#include "magnet_parts.h"
#include "net_fixtures.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
constexpr double PI = 3.14159265358979323846;

magnet_field fresh_field() {
  magnet_field f{};
  magnet_field_reset(&f);
  return f;
}
} // namespace

TEST(MagnetField, TheCornersFollowThePotentialOfThePoles) {
  magnet_field f = fresh_field();
  f.flash = 0.0f;
  f.scroll = 3;
  // w = P x strength (64): texture offsets by cos and sin of w, shade 63 - 12 w.
  for (const float p : {0.001f, 0.02f, 0.05f, 0.07f}) {
    const double w = double(p) * 64;
    const block_corner c = magnet_corner(p, &f, 5, 7);
    EXPECT_EQ(c.u, 8 * (3 + 7) + int32_t(128 * std::cos(w))) << p;
    EXPECT_EQ(c.v, 8 * 5 + int32_t(256 * std::sin(w))) << p;
    EXPECT_EQ(c.shade, 63 - std::min(63, int32_t(12 * w))) << p;
  }
  // While the flash is 63 or more every shade is 63.
  f.flash = 63.0f;
  for (const float p : {0.0f, 0.03f, 0.5f})
    EXPECT_EQ(magnet_corner(p, &f, 0, 0).shade, 63);
  f.flash = 10.5f;
  EXPECT_EQ(magnet_corner(0.05f, &f, 0, 0).shade, 63 - 38 + 10);

  // Unturned poles at (+-64, +-64): the potential sums the inverse distances.
  f = fresh_field();
  f.flash = 0.0f;
  f.angle[2] = 0.0f;
  magnet_field_corners(&f);
  for (const auto& [r, j] : {std::pair{0, 0}, {15, 20}, {30, 40}, {9, 33}}) {
    const double gx = -100 + 5 * j, gy = -100 + 6 * r;
    double potential = 0;
    for (const auto& [px, py] : {std::pair{-64, 64}, {64, 64}, {64, -64}, {-64, -64}})
      potential += 1 / std::hypot(px - gx, py - gy);
    const block_corner c = f.corners[r * MAGNET_COLUMNS + j];
    EXPECT_NEAR(c.u, 8 * j + 128 * std::cos(potential * 64), 1.0) << r << "," << j;
    EXPECT_NEAR(c.v, 8 * r + 256 * std::sin(potential * 64), 1.0) << r << "," << j;
    EXPECT_NEAR(c.shade, 63 - std::min(63.0, std::floor(12 * potential * 64)), 1.0) << r << "," << j;
  }
  // A pole right on a corner does not divide by zero: the corner goes dark.
  f.poles[0] = {-100, -100, 0};
  magnet_field_corners(&f);
  EXPECT_EQ(f.corners[0].shade, 0);
  EXPECT_LT(std::abs(f.corners[0].u), 200);
}

TEST(MagnetField, BeatsJumpThePolesOncePerSpanUntilTheFieldGrows) {
  magnet_field f = fresh_field();
  magnet_cube c{};
  magnet_cube_reset(&c);
  // Before the countdown runs out no beat counts, whatever the row.
  magnet_field_advance(&f, &c, 22, 0, 100.0f);
  EXPECT_EQ(f.beats, 0);
  EXPECT_EQ(f.countdown, 412.0f);
  // The speeds change per frame once the countdown is below 256 and 128.
  magnet_field_advance(&f, &c, 22, 10, 200.0f);
  EXPECT_EQ(f.speed[0], 0.0f) << "412 is not below 256 yet";
  magnet_field_advance(&f, &c, 22, 10, 200.0f);
  EXPECT_FLOAT_EQ(f.speed[0], float(PI / 16384)) << "212: one step, not scaled by the frame time";
  EXPECT_EQ(f.speed[1], 0.0f);
  magnet_field_advance(&f, &c, 22, 10, 200.0f);
  EXPECT_FLOAT_EQ(f.speed[0], float(2 * PI / 16384));
  EXPECT_FLOAT_EQ(f.speed[1], float(-PI / 8192));
  EXPECT_EQ(f.countdown, 12.0f - 200.0f);
  EXPECT_EQ(f.beats, 0) << "row 10 lies past the span's first 7 rows";
  EXPECT_EQ(c.glow, 100.0f) << "a quarter per tick below 16";

  // Rows 0 to 6 of every 32 beat once; rows 8 to 31 clear the flag, row 7
  // does neither.
  const uint32_t rows[] = {0, 3, 6, 7, 8, 31, 33, 40, 64, 65, 72, 96, 100, 104, 128};
  const int32_t counted[] = {1, 1, 1, 1, 1, 1, 2, 2, 3, 3, 3, 4, 4, 4, 5};
  for (size_t i = 0; i < std::size(rows); i++) {
    magnet_field_advance(&f, &c, 22, rows[i], 4.0f);
    EXPECT_EQ(f.beats, counted[i]) << "row " << rows[i];
    // The field grows from the fifth beat on (or from order 24).
    EXPECT_EQ(f.strength, counted[i] > 4 ? 65.0f : 64.0f) << "row " << rows[i];
  }
  EXPECT_NEAR(f.angle[0], -5 * PI / 8, 1e-5);
  EXPECT_NEAR(f.angle[1], -5 * 0.5249658742291038, 1e-5);
  EXPECT_NEAR(f.angle[2], 5 * 0.41541721039203877, 1e-5);
  EXPECT_EQ(c.glow, 115.0f);
  magnet_field_advance(&f, &c, 22, 129, 400.0f);
  EXPECT_EQ(c.glow, 128.0f) << "at most 128";
  // From order 24 the field grows without beats.
  magnet_field g = fresh_field();
  magnet_field_advance(&g, &c, 24, 10, 4.0f);
  EXPECT_EQ(g.strength, 65.0f);
  magnet_field_advance(&g, &c, 23, 10, 4.0f);
  EXPECT_EQ(g.strength, 65.0f);
}

TEST(MagnetCube, GlowLinesKeepStrictlyInsideThePicture) {
  opening_pixmap p(pixmap_create(16, 10, 0));
  pixmap_fill_rect(p.get(), 0, 0, 16, 10, 0x7F0000C8);
  auto lit = [&](int32_t x, int32_t y) { return (p->pixels[y * 16 + x] & 255) != 0xC8; };
  magnet_glow_line(p.get(), 0.0f, 5.0f, 10.0f, 5.0f, 40);
  EXPECT_FALSE(lit(0, 5)) << "x = 0 is not inside";
  for (int32_t x = 1; x < 10; x++)
    EXPECT_TRUE(lit(x, 5)) << x;
  EXPECT_FALSE(lit(10, 5)) << "the end point is not drawn";
  EXPECT_EQ(p->pixels[5 * 16 + 3], 0x7F2828F0u) << "g added to each channel, saturating; the top byte stays";
  // The top row and the left column never; the last ones are inside.
  magnet_glow_line(p.get(), 3.0f, 0.0f, 9.0f, 0.0f, 40);
  magnet_glow_line(p.get(), 0.0f, 1.0f, 0.0f, 9.0f, 40);
  magnet_glow_line(p.get(), 15.9f, 9.5f, 15.9f, 1.0f, 40);
  for (int32_t x = 0; x < 16; x++)
    EXPECT_FALSE(lit(x, 0)) << x;
  for (int32_t y = 0; y < 10; y++)
    EXPECT_FALSE(lit(0, y)) << y;
  EXPECT_TRUE(lit(15, 9));
  // Shorter than a pixel: the start only. Far outside or absurd: nothing.
  magnet_glow_line(p.get(), 7.5f, 2.5f, 7.9f, 2.9f, 40);
  EXPECT_TRUE(lit(7, 2));
  EXPECT_FALSE(lit(7, 3));
  opening_pixmap q(pixmap_create(16, 10, 0));
  magnet_glow_line(q.get(), -1e9f, -1e9f, 1e9f, 1e9f, 40);
  magnet_glow_line(q.get(), NAN, 1.0f, 3.0f, 3.0f, 40);
  magnet_glow_line(q.get(), 16.0f, 10.0f, 26.0f, 20.0f, 40);
  EXPECT_EQ(opening_lit_share(q.get()), 0.0);

  // A face seen edge-on is not drawn outside the end phase.
  EXPECT_TRUE(magnet_face_visible({10, 0, 0}, {0, 0, 0}, {0, 10, 0}));
  EXPECT_FALSE(magnet_face_visible({0, 10, 0}, {0, 0, 0}, {10, 0, 0}));
  EXPECT_FALSE(magnet_face_visible({10, 10, 0}, {0, 0, 0}, {20, 20, 0}));
}

TEST(MagnetCube, TheEndPhaseFliesTheCubeBackAndOutOfTheTop) {
  magnet_cube c{};
  magnet_cube_reset(&c);
  c.glow = 20.0f;
  opening_pixmap p(pixmap_create(320, 240, 0));
  magnet_cube_step(&c, p.get(), 1.0f);
  EXPECT_EQ(c.distance, 600.0f) << "no flight before the end phase";
  EXPECT_GT(opening_lit_share(p.get()), 0.01);
  EXPECT_NEAR(c.c0, -0.007340169751378021, 1e-7);
  EXPECT_NEAR(c.c1, 0.008181230868723419, 1e-7);
  magnet_cube_reset(&c);
  c.end_phase = 1;
  float last_distance = c.distance;
  int32_t steps = 0;
  while (!c.done && steps < 10000) {
    magnet_cube_step(&c, p.get(), 1.0f);
    steps++;
    ASSERT_GE(c.distance, last_distance);
    ASSERT_LT(c.distance, 811.0f) << "stops past 800";
    ASSERT_LE(c.speed, 10.1f);
    ASSERT_TRUE(c.lift == 0.0f || c.distance > 700.0f) << "rises only beyond 700";
    last_distance = c.distance;
  }
  EXPECT_LT(c.lift, -200.0f);
  EXPECT_GE(c.lift, -201.0f) << "done as soon as the lift passes -200";
  EXPECT_GT(steps, 240);
  EXPECT_LT(steps, 260);
}

using magnet_data = net_show_objects;

TEST_F(magnet_data, AMissingOrSmallTextureFailsTheInit) {
  const opening_files all = net_build_files();
  ASSERT_TRUE(all.count("magnet/rost.pcx"));
  opening_files files = all;
  files.erase("magnet/rost.pcx");
  EXPECT_EQ(init_with(files, magnet_init), 0);
  EXPECT_EQ(magnet_frame(), 0);
  files["magnet/rost.pcx"] = opening_build_files().at("galaxy/pexil.pcx");
  EXPECT_EQ(init_with(files, magnet_init), 0);
  EXPECT_EQ(magnet_frame(), 0);
}

TEST_F(magnet_data, TheSceneEndsAfter2048TicksOrWhenTheCubeHasGone) {
  ASSERT_EQ(init_with(net_build_files(), magnet_init), 1);
  // Row 10 never beats and order 22 never grows the field: the scene runs
  // its full 2048 ticks, drawing the bent texture every frame.
  opening_clock_set(&clock, 16.0f, 22, 10);
  for (int32_t f = 1; f < 128; f++) {
    ASSERT_EQ(magnet_frame(), 1) << f;
    if (f == 1 || f == 100) {
      EXPECT_GT(opening_lit_share(frame.get()), 0.5) << f;
    }
  }
  EXPECT_EQ(magnet_frame(), 0);
  EXPECT_EQ(magnet_get_state()->cube.end_phase, 0);

  // From order 24 the field grows past 164 within 400 ticks: the end phase
  // shows the net (not drawn here, without its init) on black, and the cube
  // flies off.
  ASSERT_EQ(init_with(net_build_files(), magnet_init), 1);
  opening_clock_set(&clock, 8.0f, 24, 10);
  int32_t frames = 1;
  while (magnet_frame() && frames < 1000)
    frames++;
  const magnet_state* s = magnet_get_state();
  EXPECT_EQ(s->cube.done, 1);
  EXPECT_EQ(s->cube.end_phase, 1);
  EXPECT_LT(frames * 8, 2048);
  EXPECT_GT(s->field.strength, 164.0f);
  EXPECT_LT(s->field.strength, 164.0f + 2 * 8);
}
